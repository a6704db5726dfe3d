// The device entries of a drag or a copy as virtual files for the shell:
// a file group descriptor (folders as directory entries, with relative paths)
// and one stream per file, read from the device only when the target asks.
// The object lives on the window thread, as OLE's drag and clipboard expect;
// its streams live in the multithreaded apartment, so the target's reads
// (on a thread of its own, IDataObjectAsyncCapability) never run there.
#pragma once
#include <windows.h>
// The OLE headers need the types of <windows.h>.
#include <objidl.h>
#include <shldisp.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "shelltransfer/VirtualFiles.h"

class DeviceReadSession;
class MtaHome;

class CDeviceDataObject final : public IDataObject, public IDataObjectAsyncCapability {
public:
    // Without a home the streams are served from the creating thread.
    CDeviceDataObject(std::vector<VirtualFile> files, std::shared_ptr<DeviceReadSession> session,
                      std::shared_ptr<MtaHome> home);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // IDataObjectAsyncCapability
    HRESULT STDMETHODCALLTYPE SetAsyncMode(BOOL async) override;
    HRESULT STDMETHODCALLTYPE GetAsyncMode(BOOL* async) override;
    HRESULT STDMETHODCALLTYPE StartOperation(IBindCtx*) override;
    HRESULT STDMETHODCALLTYPE InOperation(BOOL* inOperation) override;
    HRESULT STDMETHODCALLTYPE EndOperation(HRESULT result, IBindCtx*, DWORD effects) override;

    // The clipboard formats offered.
    static CLIPFORMAT DescriptorFormat();
    static CLIPFORMAT ContentsFormat();
    static CLIPFORMAT PreferredEffectFormat();

private:
    ~CDeviceDataObject();
    // What a target stored with SetData (the shell keeps its notes on the source).
    struct Stored {
        FORMATETC format;
        STGMEDIUM medium;
    };
    int FindStored(const FORMATETC& format) const;

    std::atomic<ULONG> refs_{1};
    const std::vector<VirtualFile> files_;
    std::shared_ptr<DeviceReadSession> session_;
    std::shared_ptr<MtaHome> home_;

    std::mutex mutex_;
    std::vector<Stored> stored_;
    BOOL async_ = TRUE;
    bool inOperation_ = false;
};
