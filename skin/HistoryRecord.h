// CHistoryRecord: the texts typed into editable drop-downs, kept in
// config\HistroyRecord.bin beside the program (code page 936 text, CR LF lines).
#pragma once
#include <string>
#include <vector>

namespace nsSkin {

class CHistoryRecord {
public:
    static constexpr size_t kMaxEntries = 10;
    // Longer lines are not texts a user typed into a drop-down; they are skipped.
    static constexpr size_t kMaxLineLength = 4096;
    // Only the end of the file matters; older lines beyond this are not kept in memory.
    static constexpr size_t kMaxLinesKept = 1000;

    // Replaces the entries with the file's: last line first, duplicates (any
    // case) dropped keeping the one nearest the end, at most 10. 1 when the
    // file could be opened, else 0 with no entries.
    int Load(const std::wstring& path);
    // Writes the entries, last element first, one per line. 1 when the file
    // could be created (the folder must exist), else 0.
    int Save(const std::wstring& path);

    // Adds a text at the end when it is not empty and not already there (exact
    // comparison); true when added.
    bool Append(const std::wstring& text);
    // Entries longer than text that start with it, any case, in history order.
    std::vector<std::wstring> Suggestions(const std::wstring& text) const;

    const std::vector<std::wstring>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::wstring> entries_;
};

// The program's folder followed by "config\HistroyRecord.bin", or the path
// that a ScopedHistoryPath put in force.
std::wstring HistoryFilePath();

// Points HistoryFilePath elsewhere for its lifetime (tests).
class ScopedHistoryPath {
public:
    explicit ScopedHistoryPath(std::wstring path);
    ~ScopedHistoryPath();
    ScopedHistoryPath(const ScopedHistoryPath&) = delete;
    ScopedHistoryPath& operator=(const ScopedHistoryPath&) = delete;

private:
    std::wstring previous_;
};

}  // namespace nsSkin
