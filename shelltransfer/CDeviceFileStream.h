// One offered device file as a stream for the shell. On its first read the
// file is copied through the device module into a private temporary folder
// and served from there; the copy goes when the stream is released. A failed
// copy fails every read, so the drop target discards what it has.
#pragma once
#include <objidl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Handles.h"

class DeviceReadSession;

class CDeviceFileStream final : public IStream {
public:
    CDeviceFileStream(std::shared_ptr<DeviceReadSession> session, std::wstring devicePath, std::wstring name,
                      std::uint64_t size);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG bytes, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    ~CDeviceFileStream();
    // Copies the file from the device once; false (for good) when that failed.
    bool EnsureFetched();

    std::atomic<ULONG> refs_{1};
    std::shared_ptr<DeviceReadSession> session_;
    const std::wstring devicePath_;
    const std::wstring name_;
    std::uint64_t size_;

    std::mutex mutex_;
    enum class State { NotFetched, Ready, Failed } state_ = State::NotFetched;
    std::wstring folder_;
    std::wstring file_;
    platform::UniqueFile handle_;
    std::uint64_t position_ = 0;
    std::uint64_t served_ = 0;  // the furthest the target has read
};
