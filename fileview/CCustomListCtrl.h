// CCustomListCtrl: the skinned list as a module view: a name, the settings and
// event sink it reports to, and the margins it keeps against its parent.
#pragma once
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "framework/IEmberEventSink.h"
#include "skin/controls/SkinListCtrl.h"

class CCustomListCtrl : public nsSkin::CSkinListCtrl, public IEmberAppModuleView {
public:
    CCustomListCtrl() = default;
    virtual ~CCustomListCtrl() = default;

    // IEmberAppModuleView
    LRESULT OnParentMessage(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    HRESULT RefreshView(INT_PTR, const wchar_t*) override { return S_OK; }
    HWND GetViewWindow() override { return hwnd_; }
    HRESULT GetViewName(wchar_t* buffer, int capacity) override { return CopyViewName(viewName_, buffer, capacity); }

    void SetViewName(std::wstring name) { viewName_ = std::move(name); }
    void SetSettings(IConfigSettings* settings) { settings_ = settings; }
    void SetEventSink(IEmberEventSink* sink) { eventSink_ = sink; }

    // Creates the window in rect (parent client coordinates); param is the skin's text.
    virtual bool Create(const RECT& rect, HWND parent, const std::wstring& param);
    // Applies the look named by the skin text; false without a window.
    virtual bool LoadLook();

    // Column-1 text of the first selected row; empty when none is selected.
    std::wstring GetSelectedName() const;
    // Column-1 texts of every selected row, in list order.
    std::vector<std::wstring> GetSelectedNames() const;

protected:
    // The name a row shows (column 1).
    virtual std::wstring NameOfRow(int row) const { return GetItemText(row, 1); }
    // Margins are taken against the parent's window rectangle.
    void TakeMargins(const RECT& rect, HWND parent);
    // Moves the list so that its four margins hold in the parent's new rectangle.
    void Layout(const RECT& parentRect);

    std::wstring param_;
    std::wstring viewName_;
    IConfigSettings* settings_ = nullptr;
    IEmberEventSink* eventSink_ = nullptr;
    int leftMargin_ = 0;
    int topMargin_ = 0;
    int rightMargin_ = 0;
    int bottomMargin_ = 0;
};
