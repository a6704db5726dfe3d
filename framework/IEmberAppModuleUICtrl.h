// Views supplied by modules to the windows that host them.
#pragma once
#include <unknwn.h>
#include <windows.h>

#include <string>

class IEmberAppModuleView {
public:
    // The parent passes each of its messages on, so a view can follow its size.
    virtual LRESULT OnParentMessage(HWND parent, UINT msg, WPARAM wp, LPARAM lp) = 0;
    virtual HRESULT RefreshView(INT_PTR param, const wchar_t* names) = 0;
    virtual HWND GetViewWindow() = 0;
    // E_POINTER for a null buffer; otherwise copies at most capacity characters.
    virtual HRESULT GetViewName(wchar_t* buffer, int capacity) = 0;
};

class IEmberAppModuleUICtrl : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE CreateView(const wchar_t* name, HWND parent, const RECT& rect,
                                                 const wchar_t* param, IEmberAppModuleView** view) = 0;
    virtual HRESULT STDMETHODCALLTYPE DestroyView(IEmberAppModuleView* view) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved(INT_PTR a, INT_PTR b) = 0;
};

// Base for views that are not dialogs of their own.
class CEmberAppModuleViewBase : public IEmberAppModuleView {
public:
    explicit CEmberAppModuleViewBase(std::wstring name) : name_(std::move(name)) {}

    LRESULT OnParentMessage(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    HRESULT RefreshView(INT_PTR param, const wchar_t* names) override {
        return names ? OnRefresh(param, names) : S_OK;
    }
    HWND GetViewWindow() override { return nullptr; }
    HRESULT GetViewName(wchar_t* buffer, int capacity) override;
    virtual ~CEmberAppModuleViewBase() = default;
    virtual HRESULT OnRefresh(INT_PTR, const wchar_t*) { return S_OK; }

protected:
    const std::wstring& ViewName() const { return name_; }

private:
    std::wstring name_;
};

// Copies a view name into a caller's buffer (shared by every view kind).
HRESULT CopyViewName(const std::wstring& name, wchar_t* buffer, int capacity);

inline HRESULT CEmberAppModuleViewBase::GetViewName(wchar_t* buffer, int capacity) {
    return CopyViewName(name_, buffer, capacity);
}
