// MtaHome.
#include "shelltransfer/MtaHome.h"

#include <objbase.h>

namespace {

// A thread that enters the apartment and stays in it until told to stop.
DWORD WINAPI Keep(void* arg) {
    HANDLE* events = static_cast<HANDLE*>(arg);
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HANDLE stop = events[0];
    ::SetEvent(events[1]);  // entered (or failed to); `events` belongs to the starter from here on
    if (FAILED(hr)) return 1;
    ::WaitForSingleObject(stop, INFINITE);
    ::CoUninitialize();
    return 0;
}

struct MarshalWork {
    IUnknown* object;
    const IID* iid;
    IStream* stream;
    HRESULT result;
};

// Marshals the object from inside the apartment: its stub then lives there.
// The stub is made for other processes (MSHCTX_LOCAL), not for this one: Wine's
// stub keeps the context of its first marshalling for every later client, and
// an in-process stub hands memory blocks (the file descriptors) to another
// process as bare handles.
DWORD WINAPI MarshalInMta(void* arg) {
    auto* work = static_cast<MarshalWork*>(arg);
    work->result = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(work->result)) return 1;
    work->result = ::CreateStreamOnHGlobal(nullptr, TRUE, &work->stream);
    if (SUCCEEDED(work->result))
        work->result =
            ::CoMarshalInterface(work->stream, *work->iid, work->object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL);
    ::CoUninitialize();
    return 0;
}

}  // namespace

bool MtaHome::Start() {
    if (keeper_) return true;
    if (stopped_) return false;
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    platform::UniqueHandle entered(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_ || !entered) return false;
    HANDLE events[2] = {stop_.get(), entered.get()};
    keeper_.reset(::CreateThread(nullptr, 0, &Keep, events, 0, nullptr));
    if (!keeper_) return false;
    ::WaitForSingleObject(entered.get(), INFINITE);
    // A keeper that could not enter has ended already.
    if (::WaitForSingleObject(keeper_.get(), 0) == WAIT_OBJECT_0) {
        keeper_.reset();
        return false;
    }
    return true;
}

void MtaHome::Stop() {
    stopped_ = true;
    if (!keeper_) return;
    ::SetEvent(stop_.get());
    ::WaitForSingleObject(keeper_.get(), INFINITE);
    keeper_.reset();
}

HRESULT MtaHome::Adopt(IUnknown* object, REFIID iid, void** proxy) {
    if (!object || !proxy) return E_POINTER;
    *proxy = nullptr;
    if (!Start()) return CO_E_NOTINITIALIZED;
    MarshalWork work{object, &iid, nullptr, E_FAIL};
    platform::UniqueHandle thread(::CreateThread(nullptr, 0, &MarshalInMta, &work, 0, nullptr));
    if (!thread) return HRESULT_FROM_WIN32(::GetLastError());
    ::WaitForSingleObject(thread.get(), INFINITE);
    if (FAILED(work.result)) {
        if (work.stream) work.stream->Release();
        return work.result;
    }
    const LARGE_INTEGER start{};
    HRESULT hr = work.stream->Seek(start, STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(hr)) hr = ::CoUnmarshalInterface(work.stream, iid, proxy);
    work.stream->Release();
    return hr;
}
