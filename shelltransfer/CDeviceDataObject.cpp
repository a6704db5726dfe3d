// CDeviceDataObject.
#include "shelltransfer/CDeviceDataObject.h"

#include <shlobj.h>

#include <cstring>

#include "shelltransfer/CDeviceFileStream.h"
#include "shelltransfer/DeviceReadSession.h"
#include "shelltransfer/MtaHome.h"

namespace {

FORMATETC Format(CLIPFORMAT format, DWORD tymed, LONG index = -1) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, index, tymed};
}

HGLOBAL DwordBlock(DWORD value) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (!block) return nullptr;
    *static_cast<DWORD*>(::GlobalLock(block)) = value;
    ::GlobalUnlock(block);
    return block;
}

HGLOBAL CopyBlock(HGLOBAL source) {
    const SIZE_T bytes = ::GlobalSize(source);
    const void* from = ::GlobalLock(source);
    if (!from) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block) {
        std::memcpy(::GlobalLock(block), from, bytes);
        ::GlobalUnlock(block);
    }
    ::GlobalUnlock(source);
    return block;
}

}  // namespace

CLIPFORMAT CDeviceDataObject::DescriptorFormat() {
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW));
}
CLIPFORMAT CDeviceDataObject::ContentsFormat() {
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_FILECONTENTS));
}
CLIPFORMAT CDeviceDataObject::PreferredEffectFormat() {
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));
}

CDeviceDataObject::CDeviceDataObject(std::vector<VirtualFile> files, std::shared_ptr<DeviceReadSession> session,
                                     std::shared_ptr<MtaHome> home)
    : files_(std::move(files)), session_(std::move(session)), home_(std::move(home)) {}

CDeviceDataObject::~CDeviceDataObject() {
    for (Stored& stored : stored_) ::ReleaseStgMedium(&stored.medium);
    // An operation the target never ended must not keep the device commands off.
    if (inOperation_) session_->End(false);
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
        *out = static_cast<IDataObject*>(this);
    } else if (IsEqualIID(iid, IID_IDataObjectAsyncCapability)) {
        *out = static_cast<IDataObjectAsyncCapability*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CDeviceDataObject::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CDeviceDataObject::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    *medium = STGMEDIUM{};
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (format->cfFormat == DescriptorFormat()) {
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        medium->hGlobal = MakeFileGroupDescriptor(files_);
        if (!medium->hGlobal) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    if (format->cfFormat == ContentsFormat()) {
        if (!(format->tymed & TYMED_ISTREAM)) return DV_E_TYMED;
        const LONG index = format->lindex;
        if (index < 0 || static_cast<size_t>(index) >= files_.size() || files_[index].folder) return DV_E_LINDEX;
        const VirtualFile& file = files_[index];
        const size_t slash = file.relativePath.find_last_of(L'\\');
        const std::wstring name = slash == std::wstring::npos ? file.relativePath : file.relativePath.substr(slash + 1);
        IStream* stream = new CDeviceFileStream(session_, file.devicePath, name, file.size);
        IStream* homed = nullptr;
        if (home_ && SUCCEEDED(home_->Adopt(stream, IID_IStream, reinterpret_cast<void**>(&homed)))) {
            stream->Release();
            stream = homed;
        }
        medium->pstm = stream;
        medium->tymed = TYMED_ISTREAM;
        return S_OK;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const int at = FindStored(*format);
    if (at >= 0) {
        medium->hGlobal = CopyBlock(stored_[at].medium.hGlobal);
        if (!medium->hGlobal) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    if (format->cfFormat == PreferredEffectFormat()) {
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        medium->hGlobal = DwordBlock(DROPEFFECT_COPY);
        if (!medium->hGlobal) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::QueryGetData(FORMATETC* format) {
    if (!format) return E_INVALIDARG;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (format->cfFormat == ContentsFormat()) return (format->tymed & TYMED_ISTREAM) ? S_OK : DV_E_TYMED;
    if (format->cfFormat == DescriptorFormat() || format->cfFormat == PreferredEffectFormat())
        return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    std::lock_guard<std::mutex> lock(mutex_);
    return FindStored(*format) >= 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (!out) return E_INVALIDARG;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

int CDeviceDataObject::FindStored(const FORMATETC& format) const {
    for (size_t i = 0; i < stored_.size(); ++i)
        if (stored_[i].format.cfFormat == format.cfFormat && (format.tymed & TYMED_HGLOBAL)) return static_cast<int>(i);
    return -1;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium) return E_INVALIDARG;
    // Only blocks of memory are kept: the shell's notes ("Performed DropEffect", drag images) are such blocks.
    if (medium->tymed != TYMED_HGLOBAL || !medium->hGlobal) return DV_E_TYMED;
    if (format->cfFormat == DescriptorFormat() || format->cfFormat == ContentsFormat()) return DV_E_FORMATETC;
    Stored stored{*format, STGMEDIUM{}};
    stored.format.ptd = nullptr;
    stored.format.tymed = TYMED_HGLOBAL;
    stored.medium.tymed = TYMED_HGLOBAL;
    if (release) {
        stored.medium = *medium;
    } else {
        stored.medium.hGlobal = CopyBlock(medium->hGlobal);
        if (!stored.medium.hGlobal) return E_OUTOFMEMORY;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const int at = FindStored(stored.format);
    if (at >= 0) {
        ::ReleaseStgMedium(&stored_[at].medium);
        stored_[at] = stored;
    } else {
        stored_.push_back(stored);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats = {Format(DescriptorFormat(), TYMED_HGLOBAL),
                                      Format(ContentsFormat(), TYMED_ISTREAM),
                                      Format(PreferredEffectFormat(), TYMED_HGLOBAL)};
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Stored& stored : stored_)
        if (stored.format.cfFormat != PreferredEffectFormat()) formats.push_back(stored.format);
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::SetAsyncMode(BOOL async) {
    std::lock_guard<std::mutex> lock(mutex_);
    async_ = async;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::GetAsyncMode(BOOL* async) {
    if (!async) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex_);
    *async = async_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::StartOperation(IBindCtx*) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (inOperation_) return S_OK;
        inOperation_ = true;
    }
    session_->Begin();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::InOperation(BOOL* inOperation) {
    if (!inOperation) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex_);
    *inOperation = inOperation_ ? TRUE : FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDeviceDataObject::EndOperation(HRESULT result, IBindCtx*, DWORD) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!inOperation_) return S_OK;
        inOperation_ = false;
    }
    session_->End(SUCCEEDED(result));
    return S_OK;
}
