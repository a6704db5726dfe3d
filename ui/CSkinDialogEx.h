// CSkinDialogEx: a skinned dialog joined to the module system. Control events
// become named commands, refreshes pull the command state, and the views
// listed under "<section>/APPVIEWS" are hosted in it.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "framework/ICommandExecutive.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "framework/IUIOperation.h"
#include "skin/dialog/SkinDialog.h"

namespace uidetail {
// The window wrapper and the refresh interface both name an operation
// PreTranslateMessage with different results; this face gives the interface's
// one another name.
class UIOperationFace : public IUIOperation {
public:
    LONG PreTranslateMessage(MSG* msg) final { return PreTranslateUIMessage(msg); }
    virtual LONG PreTranslateUIMessage(MSG* msg) = 0;

protected:
    ~UIOperationFace() = default;
};
}  // namespace uidetail

// Splits the next name off a comma-separated list: the text before the first
// comma as it stands; the rest, trimmed of spaces, stays in `rest`.
std::wstring PopCommandName(std::wstring& rest);

class CSkinDialogEx : public nsSkin::CSkinDialog, public uidetail::UIOperationFace, public IEmberAppModuleView {
public:
    // Without a template: a container that follows its parent (auto-anchor on).
    CSkinDialogEx();
    explicit CSkinDialogEx(UINT templateId, HINSTANCE resources = nullptr);
    ~CSkinDialogEx() override;

    void SetCommandSink(ICommandExecutive* sink) { commands_ = sink; }
    void SetViewFactory(IEmberAppModuleUICtrl* factory) { views_ = factory; }
    void SetConfiguration(IConfigSettings* config) { config_ = config; }
    void SetStringTable(IUnknown* strings) { strings_ = strings; }
    void SetLinks(ICommandExecutive* sink, IEmberAppModuleUICtrl* factory, IConfigSettings* config, IUnknown* strings);
    ICommandExecutive* CommandSink() const { return commands_; }

    // IUIOperation.
    HRESULT UpdateUI(const wchar_t* names) override;
    HRESULT ReloadSkin() override { return S_OK; }
    LONG PreTranslateUIMessage(MSG*) override { return 0; }

    // IEmberAppModuleView.
    LRESULT OnParentMessage(HWND parent, UINT msg, WPARAM wp, LPARAM lp) override;
    HRESULT RefreshView(INT_PTR param, const wchar_t* names) override;
    HWND GetViewWindow() override { return hwnd_; }
    HRESULT GetViewName(wchar_t* buffer, int capacity) override;

    // Added operations, in slot order.
    virtual bool CreateChild(const RECT& rect, HWND parent, const wchar_t* param, UINT templateId);
    virtual int HandleLocalCommand(const std::wstring& name);
    virtual std::wstring TranslateToolTip(const std::wstring& text);

    // Skin folder from the settings (or the shipped one), then the window, its
    // size and its views. False when no folder holds a usable skin: MissingSkin()
    // then names the folders tried, or RefusedSkin() the shipped skin that went
    // over its memory budget.
    bool LoadDialogSkin(const std::wstring& section);
    const std::wstring& MissingSkin() const { return missingSkin_; }
    const std::wstring& RefusedSkin() const { return refusedSkin_; }
    void LoadAppViews();
    // Containers inside containers end here; and no window hosts more views than this.
    static constexpr int kMaxViewDepth = 4;
    static constexpr int kMaxHostedViews = 64;
    // What a hosted view counts against the skin's budget.
    static constexpr unsigned long long kViewCost = 1ull << 20;
    void DestroyHostedViews();
    void UpdateControl(const std::wstring& name);

    const std::vector<IEmberAppModuleView*>& HostedViews() const { return hosted_; }
    int AutoAnchor() const { return autoAnchor_; }
    void SetAutoAnchor(int on) { autoAnchor_ = on; }
    const RECT& Margins() const { return margins_; }
    // The smallest size the border pieces allow; {0, 0} without borders.
    SIZE MinimumSkinSize() const;

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Everything after the hosted views have seen the message.
    LRESULT SkinWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnDestroy() override;

    void OnSkinButtonClicked(const std::wstring& name) override;
    void OnSkinSliderChanged(const std::wstring& name, int code, int position) override;
    void OnSkinProgressChanged(const std::wstring& name, int value) override;
    void OnSkinComboSelChanged(const std::wstring& name, int selection, const std::wstring& text) override;
    void OnSkinTextChanged(const std::wstring& name, const std::wstring& text) override;

    void Invoke(const std::wstring& name, LONG param, CommandArgs* args);
    void LoadSkinFrom(const std::wstring& folder, const std::wstring& section);
    bool MayHostView(const std::wstring& name) const;
    void ApplyMinimumSize(MINMAXINFO* info) const;

    ICommandExecutive* commands_ = nullptr;
    IEmberAppModuleUICtrl* views_ = nullptr;
    IConfigSettings* config_ = nullptr;
    IUnknown* strings_ = nullptr;
    std::vector<IEmberAppModuleView*> hosted_;
    int autoAnchor_ = 0;
    RECT margins_{};

private:
    std::wstring missingSkin_;
    std::wstring refusedSkin_;
    void UpdateButton(nsSkin::CSkinButton& button, int value);
    void UpdateProgress(nsSkin::CSkinProgress& bar, INT_PTR value, INT_PTR second);
    void ShowWindowByCommand(const std::wstring& name);
    void RefreshNamedView(const std::wstring& name);

    // Push buttons shown held down by a value of 1 (their pressed look needs the toggle mode).
    std::set<std::wstring> heldButtons_;
};
