// Shared helper of the view interfaces.
#include "framework/IEmberAppModuleUICtrl.h"

HRESULT CopyViewName(const std::wstring& name, wchar_t* buffer, int capacity) {
    if (!buffer) return E_POINTER;
    if (capacity <= 0) return E_INVALIDARG;
    // At most capacity characters, always terminated inside the buffer.
    size_t n = name.size() < static_cast<size_t>(capacity) ? name.size() : static_cast<size_t>(capacity) - 1;
    name.copy(buffer, n);
    buffer[n] = L'\0';
    return S_OK;
}
