// CSkinDialogEx: pulling the command state into the controls.
#include <algorithm>

#include "skin/SkinTokens.h"
#include "ui/CSkinDialogEx.h"

using nsSkin::EqualsNoCase;

namespace {
constexpr int kViewNameCapacity = 128;

template <class T>
void ForEachNamed(const std::vector<std::unique_ptr<T>>& items, const std::wstring& name, auto&& action) {
    for (const auto& item : items)
        if (EqualsNoCase(item->Name(), name)) action(*item);
}

void SetEnabled(HWND wnd, bool enable) {
    if (wnd && (::IsWindowEnabled(wnd) != 0) != enable) ::EnableWindow(wnd, enable ? TRUE : FALSE);
}

// A text that a command value points at; -1 stands for an empty text.
std::wstring TextOfValue(INT_PTR value) {
    if (value == -1) return {};
    return reinterpret_cast<const wchar_t*>(value);
}
}  // namespace

HRESULT CSkinDialogEx::UpdateUI(const wchar_t* names) {
    if (!commands_ || !hwnd_) return S_OK;
    std::wstring rest = names ? names : L"";
    if (!rest.empty()) {
        while (!rest.empty()) {
            std::wstring name = PopCommandName(rest);
            bool enabled = commands_->IsCommandEnabled(name.c_str()) != 0;
            EnableSkinButton(name, enabled);
            EnableSkinSlider(name, enabled);
            ForEachNamed(ComboBoxes(), name, [&](auto& c) { SetEnabled(c.hwnd(), enabled); });
            ForEachNamed(ProgressBars(), name, [&](auto& c) { SetEnabled(c.hwnd(), enabled); });
            ForEachNamed(Labels(), name, [&](auto& c) { SetEnabled(c.hwnd(), enabled); });
            ForEachNamed(Edits(), name, [&](auto& c) { c.SetReadOnly(!enabled); });
            UpdateControl(name);
            ShowWindowByCommand(name);
            RefreshNamedView(name);
        }
        return S_OK;
    }
    auto enabledOf = [&](const std::wstring& name) { return commands_->IsCommandEnabled(name.c_str()) != 0; };
    for (const auto& c : Buttons()) {
        c->EnableButton(enabledOf(c->Name()));
        UpdateControl(c->Name());
    }
    for (const auto& c : Sliders()) {
        SetEnabled(c->hwnd(), enabledOf(c->Name()));
        UpdateControl(c->Name());
    }
    for (const auto& c : ComboBoxes()) {
        SetEnabled(c->hwnd(), enabledOf(c->Name()));
        UpdateControl(c->Name());
    }
    for (const auto& c : ProgressBars()) {
        SetEnabled(c->hwnd(), enabledOf(c->Name()));
        UpdateControl(c->Name());
    }
    for (const auto& c : Labels()) {
        SetEnabled(c->hwnd(), enabledOf(c->Name()));
        UpdateControl(c->Name());
    }
    for (const auto& c : Edits()) {
        bool readOnly = !enabledOf(c->Name());
        if (c->IsReadOnly() != readOnly) c->SetReadOnly(readOnly);
        UpdateControl(c->Name());
    }
    std::vector<IEmberAppModuleView*> views = hosted_;
    for (IEmberAppModuleView* view : views) view->RefreshView(0, names ? names : L"");
    return S_OK;
}

void CSkinDialogEx::ShowWindowByCommand(const std::wstring& name) {
    if (!EqualsNoCase(name, SectionName())) return;
    int show = static_cast<int>(commands_->GetCommandValue(SectionName().c_str(), 0));
    ::ShowWindow(hwnd_, show);
    ::EnableWindow(hwnd_, commands_->IsCommandEnabled(SectionName().c_str()) ? TRUE : FALSE);
    if (show == SW_SHOW) ::SetForegroundWindow(hwnd_);
}

void CSkinDialogEx::RefreshNamedView(const std::wstring& name) {
    std::vector<IEmberAppModuleView*> views = hosted_;
    for (IEmberAppModuleView* view : views) {
        wchar_t viewName[kViewNameCapacity] = {};
        if (view->GetViewName(viewName, kViewNameCapacity) < 0) continue;
        // An empty list asks the view for everything it shows.
        if (EqualsNoCase(viewName, name)) view->RefreshView(0, L"");
    }
}

void CSkinDialogEx::UpdateControl(const std::wstring& name) {
    if (!commands_) return;
    INT_PTR value = commands_->GetCommandValue(name.c_str(), 0);
    if (nsSkin::CSkinButton* button = FindButton(name)) {
        UpdateButton(*button, static_cast<int>(value));
        return;
    }
    if (nsSkin::CSkinSlider* slider = FindSlider(name)) {
        if (slider->GetPos() != static_cast<int>(value)) {
            slider->SetPos(static_cast<int>(value), true);
            ::InvalidateRect(slider->hwnd(), nullptr, FALSE);
        }
        return;
    }
    if (nsSkin::CSkinComboBox* combo = FindComboBox(name)) {
        int index = static_cast<int>(value);
        if (combo->GetCurSel() != index && index >= 0 && index < combo->GetCount()) {
            // The drawing class's selection: a pulled value is not a user's choice,
            // so it is not reported back as one.
            combo->CBitmapComboBox::SetCurSel(index);
            ::InvalidateRect(combo->hwnd(), nullptr, FALSE);
        }
        return;
    }
    if (nsSkin::CSkinProgress* bar = FindProgress(name)) {
        UpdateProgress(*bar, value, commands_->GetCommandValue(name.c_str(), 1));
        return;
    }
    // The value is read as a text only when a label or edit box has the name.
    if (value > 0) {
        ForEachNamed(Labels(), name, [&](nsSkin::CSkinLabel& label) {
            std::wstring text = TextOfValue(value);
            if (!EqualsNoCase(label.GetText(), text)) label.SetText(text);
        });
    }
    if (value != 0) {
        ForEachNamed(Edits(), name, [&](nsSkin::CSkinEdit& edit) {
            std::wstring text = TextOfValue(value);
            if (!EqualsNoCase(edit.GetWindowText(), text)) edit.SetWindowText(text);
        });
    }
}

void CSkinDialogEx::UpdateButton(nsSkin::CSkinButton& button, int value) {
    if (button.GetStateIndex() == value) return;
    const std::wstring& name = button.Name();
    if (button.stateEnum.empty()) {
        bool held = value == 1;
        if (held && !button.IsToggle()) {
            heldButtons_.insert(nsSkin::ToUpperText(name));
            button.SetToggle(true);
        }
        if (button.IsToggle()) button.SetOn(held);
        if (!held && heldButtons_.erase(nsSkin::ToUpperText(name))) button.SetToggle(false);
    } else {
        const nsSkin::CSkinEnumManager& enums = Enums();
        auto item = [&](int k) { return enums.Item(button.stateEnum, k); };
        std::wstring over, down, disabled;
        if (button.group) {
            over = item(value + 3);
            down = item(value + 1);
            disabled = item(value + 2);
        }
        SetButtonImages(name, item(value), over, down, disabled);
    }
    if (!button.tooltipEnum.empty()) {
        std::wstring tip = TranslateToolTip(Enums().Item(button.tooltipEnum, value)) + GetButtonTooltipSuffix(name);
        UpdateToolTip(button.hwnd(), tip);
    }
    if (!button.captionEnum.empty()) button.SetCaption(TranslateToolTip(Enums().Item(button.captionEnum, value)));
    button.SetStateIndex(value);
}

void CSkinDialogEx::UpdateProgress(nsSkin::CSkinProgress& bar, INT_PTR value, INT_PTR second) {
    if (value > 0xFFFF) bar.SetRange(static_cast<int>((value >> 16) & 0xFFFF));
    int limit = static_cast<int>(second);
    bar.SetBufferedLimit(limit);
    int position = static_cast<int>(value & 0xFFFF);
    // A disabled bar still shows the value: the executive keeps its progress
    // row disabled (the user cannot drag it), yet the copy progress must move.
    if (position == bar.GetPos()) return;
    if (limit != 0 && limit != 0xFFFF && limit < position) return;
    bar.SetPos(std::min(position, bar.GetRangeMax()));
    ::InvalidateRect(bar.hwnd(), nullptr, FALSE);
}
