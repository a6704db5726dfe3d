// Whole-job transfers: an optional companion of the device library's object.
// The plain copy slots take one item and report two integers, so they cannot
// plan a drop of many items, stop a copy, ask about a name that exists or say
// which file is in flight. A library that offers more exports "HandsetTransfer";
// Shuttle.dll uses it when present and hands it on to nobody but the executive.
#pragma once
#include <windows.h>

#include <cstdint>

#include "shuttle/IHandsetInteraction.h"

// What a job is about to do, known before the first byte moves.
struct TransferTotals {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;
};

// Where a running job stands. The name is valid during the call only.
struct TransferProgress {
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    // Of filesDone: skipped by a clash choice, and not copied because they failed.
    std::uint64_t filesSkipped = 0;
    std::uint64_t filesFailed = 0;
    // Of bytesDone: the bytes of those skipped and failed files, counted so that the bar still ends full.
    std::uint64_t bytesPassedOver = 0;
    const wchar_t* currentName = nullptr;  // the source path of the file in flight; null between files
};

// A file about to be written where an entry of that name exists. Folders merge
// without a question; a clash between a file and a folder is asked like any other.
struct TransferClash {
    const wchar_t* sourcePath = nullptr;
    const wchar_t* targetPath = nullptr;
    std::uint64_t sourceBytes = 0;
    std::uint64_t targetBytes = 0;
    std::uint64_t sourceModified = 0;  // FILETIME ticks, UTC; 0 when unknown
    std::uint64_t targetModified = 0;
    // Same size and modification times within 2 seconds: already complete at the target.
    bool identical = false;
};

enum class TransferClashChoice : int {
    Replace = 1,   // written under a temporary name, then put in the old one's place
    Skip = 2,
    KeepBoth = 3,  // the new file gets a numbered name; what a job does when nobody can ask
    // Resuming a job: skip when `identical`, otherwise keep both, so nothing different is lost.
    SkipIdentical = 4,
};

// Why an item was not copied.
enum class TransferError : int {
    Unreadable = 1,
    NameNotAllowed = 2,
    NoSpace = 3,
    DeviceRemoved = 4,
    LinkLeftOut = 5,  // a link that leads back into what is being copied
    TooLong = 6,
    Other = 7,
};

enum class TransferOutcome : int {
    Completed = 0,  // every item arrived or was skipped by choice
    Failed = 1,     // some items failed; the others arrived
    Cancelled = 2,  // stopped by the sink; the file in flight was removed
    DeviceRemoved = 3,
};

// Implemented by the caller. Every call comes on the thread that runs the job.
class ITransferSink {
public:
    // Returning false stops the job at the next chunk boundary.
    virtual bool OnProgress(const TransferProgress& progress) = 0;
    // May block until the user has answered.
    virtual TransferClashChoice OnClash(const TransferClash& clash) = 0;
    // The job goes on with the next item.
    virtual void OnItemFailed(const wchar_t* path, TransferError why) = 0;
};

// A planned job. Run once, then Release.
class ITransferJob {
public:
    virtual void Totals(TransferTotals* totals) = 0;
    // A null sink keeps both names on a clash and never stops.
    virtual TransferOutcome Run(ITransferSink* sink) = 0;
    virtual void Release() = 0;
};

class IHandsetTransfer {
public:
    // Device files and folders (a null-terminated list) into an existing PC folder.
    // Null when the device is gone or the arguments are unusable; sources that
    // are missing are reported through the sink when the job runs.
    virtual ITransferJob* PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) = 0;
    // PC files and folders (a null-terminated list) into an existing device folder.
    virtual ITransferJob* PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) = 0;
    // Free bytes on the device's file system; false when it cannot be told.
    virtual bool DeviceFreeBytes(std::uint64_t* bytes) = 0;
};

// Handset.dll's export "HandsetTransfer": the companion of the object that
// DllCreateObject returned, owned by it, or null.
using HandsetTransferFn = IHandsetTransfer* (*)(IHandsetInteraction* device);
inline constexpr const char* kHandsetTransferExport = "HandsetTransfer";
