// CBitmapComboBox and its edit field CSearchEdit.
#include "skin/controls/BitmapComboBox.h"

#include <cstdlib>

#include "skin/SkinTokens.h"

namespace nsSkin {

namespace {
// At most one suggestion list is open in the process.
HWND g_suggestionPopup = nullptr;

constexpr LPARAM kTagItems = 0;
constexpr LPARAM kTagSuggestions = 1;
}  // namespace

// The edit field passes Enter, the suggestion keys and the pop-up's messages to
// its drop-down; everything else is an ordinary edit box.
LRESULT CSearchEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        // Enter belongs to the field, not to the dialog's default button; Tab
        // still moves on to the next control.
        const MSG* key = reinterpret_cast<const MSG*>(lp);
        LRESULT code = CEdit::WindowProc(msg, wp, lp);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN: {
        HWND suggestions = CBitmapComboBox::SuggestionPopup();
        if (wp == VK_RETURN) {
            ::SendMessageW(::GetParent(hwnd_), kMsgEditCommit, 13, lp);
            return 0;
        }
        if (suggestions && (wp == VK_UP || wp == VK_DOWN || wp == VK_ESCAPE)) {
            ::SendMessageW(suggestions, WM_KEYDOWN, wp, lp);
            return 0;
        }
        break;
    }
    case WM_CHAR:
        if (wp == L'\r' || wp == L'\n') return 0;  // no beep for Enter
        break;
    case kMsgPopupClosed:
        ::SendMessageW(::GetParent(hwnd_), msg, wp, lp);
        return 0;
    case kMsgTextCommitted: {
        const auto* text = reinterpret_cast<const wchar_t*>(lp);
        std::wstring copy = text ? text : L"";
        SetWindowText(copy);
        SetSel(static_cast<int>(copy.size()), static_cast<int>(copy.size()));
        ::SendMessageW(::GetParent(hwnd_), kMsgTextCommitted, wp, reinterpret_cast<LPARAM>(copy.c_str()));
        return 0;
    }
    default:
        break;
    }
    return CEdit::WindowProc(msg, wp, lp);
}

CBitmapComboBox::CBitmapComboBox() : edit_(*this) {
    caption_.format = DT_SINGLELINE | DT_VCENTER;
    caption_.insets = RECT{5, 0, 0, 0};
    showCaption_ = true;
}

CBitmapComboBox::~CBitmapComboBox() = default;

HWND CBitmapComboBox::SuggestionPopup() {
    if (g_suggestionPopup && !::IsWindow(g_suggestionPopup)) g_suggestionPopup = nullptr;
    return g_suggestionPopup;
}

// The editable form keeps 17 pixels on the right for the drop-down arrow of
// its pictures and 3 at the bottom for their frame.
bool CBitmapComboBox::Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CBitmapBtn::Create(text, style, rect, parent, id)) return false;
    if (!(style & kEditableStyle)) return true;
    RECT client = GetClientRect();
    RECT field{client.left + 1, client.top, client.right - 17, client.bottom - 3};
    if (!edit_.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, field, hwnd_, kEditId)) return false;
    edit_.SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    ::SetTimer(hwnd_, kEditTimer, 50, nullptr);
    LoadHistory();
    return true;
}

int CBitmapComboBox::AddItem(const std::wstring& text) {
    items_.push_back(text);
    return static_cast<int>(items_.size()) - 1;
}

std::wstring CBitmapComboBox::GetItemText(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) return {};
    return items_[static_cast<size_t>(index)];
}

// The caption and the edit field show the chosen item.
int CBitmapComboBox::SetCurSel(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return E_INVALIDARG;
    if (index == sel_) return 1;
    sel_ = index;
    SetWindowText(items_[static_cast<size_t>(index)]);
    if (edit_.hwnd()) {
        edit_.SetWindowText(items_[static_cast<size_t>(index)]);
        int end = static_cast<int>(items_[static_cast<size_t>(index)].size());
        edit_.SetSel(end, end);
    }
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
}

void CBitmapComboBox::SetCaptionColor(COLORREF color) {
    for (COLORREF& c : caption_.colors) c = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

// Opening the list by a click reads the history again (another drop-down of
// the program may have saved since).
void CBitmapComboBox::OpenList() {
    if (items_.empty() || ListPopup()) return;
    if (edit_.hwnd()) LoadHistory();
    RECT anchor = GetWindowRect();
    CSkinListPopup* popup =
        CSkinListPopup::Open(hwnd_, anchor, items_, popupColors_, translucent_, true, kTagItems);
    if (!popup) return;
    listPopup_ = popup->hwnd();
    popup->Highlight(sel_);
}

// A drop-down reached with Tab shows that it has the focus.
void CBitmapComboBox::DrawItem(DRAWITEMSTRUCT* item) {
    CBitmapBtn::DrawItem(item);
    if ((item->itemState & ODS_FOCUS) && !edit_.hwnd()) {
        RECT focus = item->rcItem;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(item->hDC, &focus);
    }
}

void CBitmapComboBox::OnLButtonUp(UINT flags, POINT pt) {
    bool wasPressed = state_ == kPressed;
    CBitmapBtn::OnLButtonUp(flags, pt);
    RECT client = GetClientRect();
    if (wasPressed && ::PtInRect(&client, pt)) OpenList();
}

LRESULT CBitmapComboBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kMsgPopupClosed:
        OnPopupClosed(static_cast<int>(wp), lp);
        return 0;
    case kMsgEditCommit:
        if (wp == 13) CommitEditText();
        return 0;
    case kMsgTextCommitted: {
        const auto* text = reinterpret_cast<const wchar_t*>(lp);
        OnTextCommitted(static_cast<int>(wp), text ? std::wstring(text) : std::wstring());
        return 0;
    }
    case WM_SETFONT:
        if (edit_.hwnd()) edit_.SendMessage(WM_SETFONT, wp, lp);
        break;
    case WM_SETFOCUS:
        // Typing goes to the edit field of an editable drop-down.
        if (edit_.hwnd()) {
            ::SetFocus(edit_.hwnd());
            return 0;
        }
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case WM_KEYDOWN:
        // The keyboard opens the list as a click does.
        if ((wp == VK_DOWN && (::GetKeyState(VK_MENU) & 0x8000)) || wp == VK_F4 || wp == VK_SPACE) {
            OpenList();
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wp == VK_SPACE) return 0;
        break;
    default:
        break;
    }
    return CBitmapBtn::WindowProc(msg, wp, lp);
}

bool CBitmapComboBox::OnCommand(WPARAM wp, LPARAM lp) {
    if (reinterpret_cast<HWND>(lp) != edit_.hwnd() || !edit_.hwnd()) return false;
    switch (HIWORD(wp)) {
    case EN_CHANGE:
        OnEditChanged();
        return true;
    case EN_SETFOCUS:
        LoadHistory();
        return true;
    default:
        return false;
    }
}

// Suggestions follow the typed text; a change of letter case only is not a
// new text and keeps the list as it is.
void CBitmapComboBox::OnEditChanged() {
    std::wstring text = edit_.GetWindowText();
    bool changed = !EqualsNoCase(text, lastText_);
    lastText_ = text;
    if (!changed || text.empty()) {
        if (text.empty()) CloseSuggestions();
        return;
    }
    sel_ = kFreeText;
    filtered_ = history_.Suggestions(text);
    CloseSuggestions();
    if (!filtered_.empty()) ShowSuggestions();
}

void CBitmapComboBox::ShowSuggestions() {
    RECT anchor = edit_.GetWindowRect();
    CSkinListPopup* popup =
        CSkinListPopup::Open(edit_.hwnd(), anchor, filtered_, popupColors_, true, false, kTagSuggestions);
    if (!popup) return;
    g_suggestionPopup = suggestions_ = popup->hwnd();
    ::SetFocus(edit_.hwnd());
}

void CBitmapComboBox::CloseSuggestions() {
    HWND popup = SuggestionPopup();
    g_suggestionPopup = nullptr;
    if (popup) ::DestroyWindow(popup);
}

void CBitmapComboBox::CommitEditText() {
    if (!edit_.hwnd()) return;
    HWND popup = SuggestionPopup();
    if (popup) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        RECT rc{};
        ::GetWindowRect(popup, &rc);
        if (::PtInRect(&rc, cursor)) {
            ::SendMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
            return;
        }
    }
    std::wstring text = edit_.GetWindowText();
    // Kept at once: the history is read again from the file whenever the
    // field gains the focus, and a text typed since must not be lost then.
    if (history_.Append(text)) SaveHistory();
    CloseSuggestions();
    SendMessage(kMsgTextCommitted, static_cast<WPARAM>(sel_), reinterpret_cast<LPARAM>(text.c_str()));
}

// A chosen suggestion is committed like typed text: it is what the user asked for.
void CBitmapComboBox::OnPopupClosed(int row, LPARAM tag) {
    if (tag == kTagSuggestions) {
        if (row < 0 || row >= static_cast<int>(filtered_.size())) return;
        std::wstring text = filtered_[static_cast<size_t>(row)];
        edit_.SetWindowText(text);
        lastText_ = text;
        edit_.SetSel(static_cast<int>(text.size()), static_cast<int>(text.size()));
        CloseSuggestions();
        sel_ = kFreeText;
        SendMessage(kMsgTextCommitted, static_cast<WPARAM>(sel_), reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    listPopup_ = nullptr;
    if (row < 0) return;
    SetCurSel(row);
}

void CBitmapComboBox::OnTimer(UINT_PTR id) {
    if (id != kEditTimer) {
        CBitmapBtn::OnTimer(id);
        return;
    }
    // Only this drop-down's own list is judged against its own edit field.
    HWND popup = SuggestionPopup();
    if (!popup || popup != suggestions_ || !edit_.hwnd()) return;
    // The window moved away from the list (dragged or resized): close it.
    RECT list{}, field = edit_.GetWindowRect();
    ::GetWindowRect(popup, &list);
    if (std::abs(list.top - field.bottom) > 5 || std::abs(list.left - field.left) >= 6) CloseSuggestions();
}

void CBitmapComboBox::OnDestroy() {
    ::KillTimer(hwnd_, kEditTimer);
    if (HWND popup = ListPopup()) ::DestroyWindow(popup);
    if (edit_.hwnd()) {
        if (SuggestionPopup() && SuggestionPopup() == suggestions_) CloseSuggestions();
        SaveHistory();
    }
    CBitmapBtn::OnDestroy();
}

// Loading resets the selection to none.
bool CBitmapComboBox::LoadHistory() {
    bool loaded = history_.Load(HistoryFilePath()) != 0;
    sel_ = -1;
    return loaded;
}

bool CBitmapComboBox::SaveHistory() { return history_.Save(HistoryFilePath()) != 0; }

}  // namespace nsSkin
