// CDeviceFileStream.
#include "shelltransfer/CDeviceFileStream.h"

#include <cstring>

#include "shelltransfer/DeviceReadSession.h"

namespace {

// The one file the device module left in a folder of its own (its PC spelling
// of the name is the module's choice), or empty.
std::wstring OnlyFileIn(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return L"";
    std::wstring found;
    int files = 0;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found = folder + L"\\" + data.cFileName;
        ++files;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return files == 1 ? found : L"";
}

}  // namespace

CDeviceFileStream::CDeviceFileStream(std::shared_ptr<DeviceReadSession> session, std::wstring devicePath,
                                     std::wstring name, std::uint64_t size)
    : session_(std::move(session)), devicePath_(std::move(devicePath)), name_(std::move(name)), size_(size) {
    session_->Begin();
}

CDeviceFileStream::~CDeviceFileStream() {
    handle_.reset();
    if (!folder_.empty()) {
        // Whatever the device module left there, the served copy or the rest of a failed one.
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((folder_ + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((folder_ + L"\\" + data.cFileName).c_str());
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(folder_.c_str());
    }
    session_->End(state_ != State::Failed);
}

HRESULT STDMETHODCALLTYPE CDeviceFileStream::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) || IsEqualIID(iid, IID_IStream)) {
        *out = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CDeviceFileStream::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CDeviceFileStream::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

bool CDeviceFileStream::EnsureFetched() {
    if (state_ == State::NotFetched) {
        state_ = State::Failed;
        folder_ = DeviceReadSession::MakeScratchFolder();
        if (!folder_.empty() && session_->Fetch(devicePath_, folder_)) {
            file_ = OnlyFileIn(folder_);
            if (!file_.empty())
                handle_.reset(::CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            LARGE_INTEGER actual{};
            if (handle_ && ::GetFileSizeEx(handle_.get(), &actual)) {
                // The file may have changed on the device since it was listed; what arrived is what is served.
                size_ = static_cast<std::uint64_t>(actual.QuadPart);
                state_ = State::Ready;
            }
        }
    }
    return state_ == State::Ready;
}

HRESULT STDMETHODCALLTYPE CDeviceFileStream::Read(void* buffer, ULONG bytes, ULONG* read) {
    if (read) *read = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!EnsureFetched()) return STG_E_READFAULT;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(position_);
    DWORD got = 0;
    if (!::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN) ||
        !::ReadFile(handle_.get(), buffer, bytes, &got, nullptr))
        return STG_E_READFAULT;
    position_ += got;
    // Read again after a seek back, the same bytes count once.
    if (position_ > served_) {
        session_->Served(position_ - served_);
        served_ = position_;
    }
    if (read) *read = got;
    return got < bytes ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    std::lock_guard<std::mutex> lock(mutex_);
    LONGLONG base = 0;
    switch (origin) {
        case STREAM_SEEK_SET:
            break;
        case STREAM_SEEK_CUR:
            base = static_cast<LONGLONG>(position_);
            break;
        case STREAM_SEEK_END:
            base = static_cast<LONGLONG>(size_);
            break;
        default:
            return STG_E_INVALIDFUNCTION;
    }
    const LONGLONG target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(target);
    if (position) position->QuadPart = position_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceFileStream::Stat(STATSTG* stat, DWORD flags) {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    stat->grfMode = STGM_READ;
    if (!(flags & STATFLAG_NONAME)) {
        const size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
        stat->pwcsName = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
        if (!stat->pwcsName) return STG_E_INSUFFICIENTMEMORY;
        std::memcpy(stat->pwcsName, name_.c_str(), bytes);
    }
    return S_OK;
}
