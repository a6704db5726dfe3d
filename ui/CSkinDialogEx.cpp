// CSkinDialogEx: links, command records, local commands, skin and view loading.
#include "ui/CSkinDialogEx.h"

#include <algorithm>

#include "app/Applog.h"
#include "platform/SystemServices.h"
#include "app/resource.h"
#include "outside/skinscrollbar/SkinScrollBar.h"
#include "skin/SkinProfile.h"
#include "skin/SkinTokens.h"
#include "ui/SkinFolder.h"

using nsSkin::EqualsNoCase;

namespace {
constexpr int kViewNameCapacity = 128;

std::wstring TrimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

// The scroll-bar library takes the skin path in 8-bit characters.
std::string NarrowSkinPath(const std::wstring& path) {
    for (UINT codePage : {2u, static_cast<UINT>(CP_ACP)}) {
        int n = ::WideCharToMultiByte(codePage, 0, path.c_str(), -1, nullptr, 0, " ", nullptr);
        if (n <= 0) continue;
        std::string narrow(static_cast<size_t>(n), '\0');
        ::WideCharToMultiByte(codePage, 0, path.c_str(), -1, narrow.data(), n, " ", nullptr);
        narrow.resize(static_cast<size_t>(n - 1));
        return narrow;
    }
    return {};
}

int ShowCommandFor(const std::wstring& action, bool visible) {
    if (EqualsNoCase(action, L"show")) return SW_SHOW;
    if (EqualsNoCase(action, L"showhide")) return visible ? SW_HIDE : SW_SHOW;
    if (EqualsNoCase(action, L"Hide")) return SW_HIDE;
    if (EqualsNoCase(action, L"Minimize")) return SW_MINIMIZE;
    return -1;
}
}  // namespace

std::wstring PopCommandName(std::wstring& rest) {
    size_t comma = rest.find(L',');
    if (comma == std::wstring::npos) {
        std::wstring last = rest;
        rest.clear();
        return last;
    }
    std::wstring name = rest.substr(0, comma);
    rest = TrimSpaces(rest.substr(comma + 1));
    return name;
}

CSkinDialogEx::CSkinDialogEx() : CSkinDialog(IDD_CONTAINER), autoAnchor_(1) {}

CSkinDialogEx::CSkinDialogEx(UINT templateId, HINSTANCE resources) : CSkinDialog(templateId, resources) {}

CSkinDialogEx::~CSkinDialogEx() {
    // Destroyed here, while the hosted views can still be handed back.
    if (hwnd_) DestroyWindow();
}

void CSkinDialogEx::SetLinks(ICommandExecutive* sink, IEmberAppModuleUICtrl* factory, IConfigSettings* config,
                             IUnknown* strings) {
    commands_ = sink;
    views_ = factory;
    config_ = config;
    strings_ = strings;
}

void CSkinDialogEx::Invoke(const std::wstring& name, LONG param, CommandArgs* args) {
    if (commands_) commands_->InvokeCommand(name.c_str(), param, args);
}

// ---- initialisation and messages ---------------------------------------------

bool CSkinDialogEx::OnInitDialog() {
    // Creators name the real section afterwards and load again; a section
    // known already (a re-created window) is loaded here.
    CSkinDialog::OnInitDialog();
    LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
    ::SetWindowLongW(hwnd_, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    LoadDialogSkin(SectionName());
    return true;
}

LRESULT CSkinDialogEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // A copy: a view may be destroyed while it handles the message.
    std::vector<IEmberAppModuleView*> views = hosted_;
    for (IEmberAppModuleView* view : views) view->OnParentMessage(hwnd_, msg, wp, lp);
    return SkinWindowProc(msg, wp, lp);
}

LRESULT CSkinDialogEx::SkinWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        if (LRESULT handled = SkinSB_ParentWndProc(hwnd_, msg, wp, lp)) return handled;
    }
    if (msg == WM_GETMINMAXINFO) {
        ApplyMinimumSize(reinterpret_cast<MINMAXINFO*>(lp));
        return DefWindowProc(msg, wp, lp);
    }
    if (msg == WM_ACTIVATE) return DefWindowProc(msg, wp, lp);
    return CSkinDialog::WindowProc(msg, wp, lp);
}

SIZE CSkinDialogEx::MinimumSkinSize() const {
    using L = nsSkin::SkinBorderLayout;
    const L& b = Borders();
    auto across = [](const RECT(&strip)[L::kPieceCount]) {
        return L::Width(strip[L::kFirst]) + L::Width(strip[L::kMiddle]) + L::Width(strip[L::kLast]);
    };
    auto down = [](const RECT(&strip)[L::kPieceCount]) {
        return L::Height(strip[L::kFirst]) + L::Height(strip[L::kLast]) + L::Height(strip[L::kTile1]) +
               L::Height(strip[L::kTile2]);
    };
    int width = std::max(across(b.top), across(b.bottom));
    int ends = b.topHeight + b.bottomHeight;
    int height = std::max(ends + down(b.left), ends + down(b.right));
    return SIZE{width, height};
}

void CSkinDialogEx::ApplyMinimumSize(MINMAXINFO* info) const {
    if (!info || WndMoveType() != 0) return;
    SIZE minimum = MinimumSkinSize();
    // A skin without border pieces keeps the system's minimum.
    if (minimum.cx > 0) info->ptMinTrackSize.x = minimum.cx;
    if (minimum.cy > 0) info->ptMinTrackSize.y = minimum.cy;
}

void CSkinDialogEx::OnLButtonUp(UINT flags, POINT pt) {
    if (commands_) {
        CommandArgs args;
        args.words[0] = reinterpret_cast<INT_PTR>(GetViewWindow());
        Invoke(SectionName(), 0, &args);
    }
    CSkinDialog::OnLButtonUp(flags, pt);
}

void CSkinDialogEx::OnDestroy() {
    CSkinDialog::OnDestroy();
    DestroyHostedViews();
}

// ---- control events -----------------------------------------------------------

void CSkinDialogEx::OnSkinButtonClicked(const std::wstring& name) {
    if (!commands_) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (HandleLocalCommand(name)) return;
    CommandArgs args;
    args.words[0] = reinterpret_cast<INT_PTR>(GetViewWindow());
    args.words[1] = cursor.x;
    args.words[2] = cursor.y;
    Invoke(name, 0, &args);
}

void CSkinDialogEx::OnSkinSliderChanged(const std::wstring& name, int code, int position) {
    if (!commands_) return;
    LONG param = code == TB_ENDTRACK ? 4 : code == TB_THUMBPOSITION ? 3 : 2;
    CommandArgs args;
    args.words[0] = reinterpret_cast<INT_PTR>(GetViewWindow());
    args.words[3] = position;
    Invoke(name, param, &args);
}

void CSkinDialogEx::OnSkinProgressChanged(const std::wstring& name, int value) {
    if (!commands_) return;
    CommandArgs args;
    args.words[0] = reinterpret_cast<INT_PTR>(GetViewWindow());
    args.words[3] = value;
    Invoke(name, 0, &args);
}

void CSkinDialogEx::OnSkinComboSelChanged(const std::wstring& name, int selection, const std::wstring& text) {
    if (!commands_) return;
    CommandArgs args;
    args.words[0] = reinterpret_cast<INT_PTR>(GetViewWindow());
    args.words[3] = selection;
    args.words[4] = reinterpret_cast<INT_PTR>(text.c_str());
    Invoke(name, 0, &args);
}

void CSkinDialogEx::OnSkinTextChanged(const std::wstring& name, const std::wstring& text) {
    if (!commands_) return;
    CommandArgs args;
    args.words[0] = reinterpret_cast<INT_PTR>(GetViewWindow());
    args.words[3] = reinterpret_cast<INT_PTR>(text.c_str());
    args.words[5] = 13;
    Invoke(name, 0, &args);
}

int CSkinDialogEx::HandleLocalCommand(const std::wstring& name) {
    size_t dot = name.find(L'.');
    if (name.empty() || dot == std::wstring::npos) return 0;
    std::wstring target = name.substr(0, dot);
    std::wstring action = name.substr(dot + 1);
    if (!EqualsNoCase(target, L"this") && !EqualsNoCase(target, SectionName())) return 0;
    // The executive learns the outcome, not the button: it keeps the window's row in step.
    int show = ShowCommandFor(action, IsWindowVisible());
    if (show < 0) return 0;
    ShowWindow(show);
    if (show == SW_SHOW) ::SetForegroundWindow(hwnd_);
    CommandArgs args;
    args.words[3] = show;
    args.words[4] = reinterpret_cast<INT_PTR>(SectionName().c_str());
    Invoke(L"ProcessWindowShowHide", 0, &args);
    return 1;
}

std::wstring CSkinDialogEx::TranslateToolTip(const std::wstring& text) {
    // No module supplies a string table, so texts stay as the skin has them.
    return text;
}

// ---- the view face ---------------------------------------------------------------

LRESULT CSkinDialogEx::OnParentMessage(HWND parent, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_SIZE || WndMoveType() == 1 || autoAnchor_ != 1 || !hwnd_) return 0;
    RECT pr{};
    if (!::GetWindowRect(parent, &pr)) return 0;
    int pw = pr.right - pr.left, ph = pr.bottom - pr.top;
    ::MoveWindow(hwnd_, margins_.left, margins_.top, pw - margins_.right - margins_.left,
                 ph - margins_.bottom - margins_.top, TRUE);
    return 0;
}

HRESULT CSkinDialogEx::RefreshView(INT_PTR, const wchar_t* names) { return UpdateUI(names); }

HRESULT CSkinDialogEx::GetViewName(wchar_t* buffer, int capacity) {
    return CopyViewName(SectionName(), buffer, capacity);
}

bool CSkinDialogEx::CreateChild(const RECT& rect, HWND parent, const wchar_t*, UINT templateId) {
    // The template is the one this object was built for.
    if (templateId != 0 && templateId != TemplateId()) return false;
    if (!::IsWindow(parent) || !Create(parent)) return false;
    // Distances to the parent's edges, kept for anchoring and for the splitter's layout.
    RECT pr{};
    ::GetWindowRect(parent, &pr);
    margins_.left = rect.left;
    margins_.top = rect.top;
    margins_.right = (pr.right - pr.left) - rect.right;
    margins_.bottom = (pr.bottom - pr.top) - rect.bottom;
    return true;
}

// ---- skin and views ----------------------------------------------------------------

// A top-level window decides for the whole skin: a skin over its memory
// budget is refused with a message and the shipped skin is loaded instead.
// False when no usable skin is left: MissingSkin() or RefusedSkin() says why.
bool CSkinDialogEx::LoadDialogSkin(const std::wstring& section) {
    // Nothing to load before a creator has named the window's section.
    if (!config_ || section.empty()) return true;
    missingSkin_.clear();
    refusedSkin_.clear();
    std::wstring folder = ChooseSkinFolder(config_, &missingSkin_);
    if (folder.empty()) return false;
    LoadSkinFrom(folder, section);
    const bool topLevel = !hwnd_ || !(::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD);
    if (topLevel)
        PelicanLog(4, L"Skin %s: %u KB of %u KB\n", folder.c_str(), static_cast<unsigned>(Budget().Used() >> 10),
                   static_cast<unsigned>(Budget().Limit() >> 10));
    if (!topLevel || !SkinOverBudget()) return true;
    PelicanLog(0, L"The skin in %s needs more memory than a skin may use.\n", folder.c_str());
    if (!EqualsNoCase(folder, DefaultSkinFolder())) {
        platform::System().MessageBox(hwnd_,
                                      L"The skin in \"" + folder + L"\" needs more than " +
                                          std::to_wstring(Budget().Limit() >> 20) +
                                          L" MB of memory and was refused. Pelican uses the default skin instead.",
                                      L"Pelican", MB_OK | MB_ICONWARNING);
        folder = FallBackToDefaultSkin(config_);
        if (folder.empty()) {
            missingSkin_ = DefaultSkinFolder();
            return false;
        }
        LoadSkinFrom(folder, section);
        if (!SkinOverBudget()) return true;
    }
    refusedSkin_ = folder;
    return false;
}

void CSkinDialogEx::LoadSkinFrom(const std::wstring& folder, const std::wstring& section) {
    std::wstring file = folder + L"skin.ini";
    SetSkin(file, section);
    std::string narrow = NarrowSkinPath(file);
    SkinSB_LoadSkin(narrow.c_str(), "SCROLLBAR");
    LoadSkin();

    std::wstring initSize = nsSkin::CSkinProfile(file).ReadString(section, L"InitSize");
    if (!initSize.empty() && hwnd_) {
        std::wstring_view rest(initSize);
        RECT size = nsSkin::ParseSkinRect(rest);
        int w = std::clamp<long long>(static_cast<long long>(size.right) - size.left, 0, nsSkin::kMaxSkinExtent);
        int h = std::clamp<long long>(static_cast<long long>(size.bottom) - size.top, 0, nsSkin::kMaxSkinExtent);
        ::SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LoadAppViews();
}

// A container may list views of its own; one that lists itself, or one of the
// windows it lies in, would recurse until the process dies.
bool CSkinDialogEx::MayHostView(const std::wstring& name) const {
    int depth = 0;
    for (HWND wnd = hwnd_; wnd; wnd = ::GetParent(wnd)) {
        if (auto* dialog = dynamic_cast<CSkinDialogEx*>(platform::CWnd::FromHandle(wnd))) {
            if (EqualsNoCase(dialog->SectionName(), name)) return false;
            if (++depth >= kMaxViewDepth) return false;
        }
        if (!(::GetWindowLongW(wnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return true;
}

void CSkinDialogEx::LoadAppViews() {
    if (!views_) return;
    DestroyHostedViews();
    nsSkin::CSkinProfile profile(SkinPath());
    const std::wstring listSection = SectionName() + L"/APPVIEWS";
    for (int n = 1; n <= kMaxHostedViews; ++n) {
        std::wstring value = profile.ReadString(listSection, std::to_wstring(n));
        if (value.empty()) break;
        std::wstring rest = value;
        std::wstring name = PopCommandName(rest);
        std::wstring_view tail(rest);
        RECT rect = nsSkin::ParseSkinRect(tail);
        std::wstring param(tail);
        if (!MayHostView(name)) {
            PelicanLog(1, L"View %s is not created inside itself.\n", name.c_str());
            continue;
        }
        // Every window counts against the skin's budget, so no list of views multiplies without end.
        if (!Budget().Charge(kViewCost)) break;
        if (hwnd_ && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_BORDER))
            ::OffsetRect(&rect, -::GetSystemMetrics(SM_CXDLGFRAME), -::GetSystemMetrics(SM_CYDLGFRAME));
        IEmberAppModuleView* view = nullptr;
        HRESULT hr = views_->CreateView(name.c_str(), GetViewWindow(), rect, param.c_str(), &view);
        if (hr >= 0 && view) hosted_.push_back(view);
    }
}

void CSkinDialogEx::DestroyHostedViews() {
    std::vector<IEmberAppModuleView*> views;
    views.swap(hosted_);
    if (!views_) return;
    for (IEmberAppModuleView* view : views) views_->DestroyView(view);
}
