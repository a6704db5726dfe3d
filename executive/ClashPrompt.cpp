// The clash question as a small dialog built in memory: it needs no resource
// of the program and no comctl32 version 6 (which a task dialog would).
#include "executive/ClashPrompt.h"

#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct DialogItem {
    int id;
    WORD windowClass;  // 0x0080 button, 0x0082 static
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text;
};

constexpr short kButtonY = 82;
constexpr DialogItem kItems[] = {
    {kClashText, 0x0082, SS_LEFT | SS_NOPREFIX, 7, 7, 300, 56, L""},
    {kClashForAll, 0x0080, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 66, 300, 10, L"Do this for all remaining conflicts"},
    {kClashReplace, 0x0080, BS_PUSHBUTTON | WS_TABSTOP, 7, kButtonY, 56, 14, L"&Replace"},
    {kClashSkip, 0x0080, BS_PUSHBUTTON | WS_TABSTOP, 67, kButtonY, 56, 14, L"&Skip"},
    {kClashKeepBoth, 0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 127, kButtonY, 56, 14, L"&Keep both"},
    {kClashSkipIdentical, 0x0080, BS_PUSHBUTTON | WS_TABSTOP, 187, kButtonY, 60, 14, L"Skip &identical"},
    {IDCANCEL, 0x0080, BS_PUSHBUTTON | WS_TABSTOP, 251, kButtonY, 56, 14, L"Cancel copy"},
};

void Put(std::vector<WORD>* t, const wchar_t* text) {
    for (; *text; ++text) t->push_back(static_cast<WORD>(*text));
    t->push_back(0);
}

void PutDword(std::vector<WORD>* t, DWORD value) {
    t->push_back(LOWORD(value));
    t->push_back(HIWORD(value));
}

void AlignDword(std::vector<WORD>* t) {
    if (t->size() % 2) t->push_back(0);
}

std::vector<WORD> Template() {
    std::vector<WORD> t;
    PutDword(&t, DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    PutDword(&t, 0);
    t.push_back(static_cast<WORD>(std::size(kItems)));
    for (short v : {short(0), short(0), short(314), short(103)}) t.push_back(static_cast<WORD>(v));
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard class
    Put(&t, kClashCaption);
    t.push_back(8);
    Put(&t, L"MS Shell Dlg");
    for (const DialogItem& item : kItems) {
        AlignDword(&t);
        PutDword(&t, item.style | WS_CHILD | WS_VISIBLE);
        PutDword(&t, 0);
        for (short v : {item.x, item.y, item.cx, item.cy}) t.push_back(static_cast<WORD>(v));
        t.push_back(static_cast<WORD>(item.id));
        t.push_back(0xFFFF);
        t.push_back(item.windowClass);
        Put(&t, item.text);
        t.push_back(0);  // no creation data
    }
    return t;
}

std::wstring When(std::uint64_t ticks) {
    if (!ticks) return L"unknown";
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME u{}, local{};
    if (!::FileTimeToSystemTime(&utc, &u) || !::SystemTimeToTzSpecificLocalTime(nullptr, &u, &local)) return L"unknown";
    wchar_t text[32];
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                  local.wMinute, local.wSecond);
    return text;
}

std::wstring Size(std::uint64_t bytes) {
    wchar_t text[64] = {};
    ::StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64);
    return text;
}

std::wstring Question(const TransferClash& clash) {
    std::wstring target = clash.targetPath ? clash.targetPath : L"";
    const size_t cut = target.find_last_of(L"\\/");
    const std::wstring name = cut == std::wstring::npos ? target : target.substr(cut + 1);
    // "in C:\photos", but "in /" and "in C:\" for a root.
    std::wstring folder = cut == std::wstring::npos ? std::wstring() : target.substr(0, cut);
    if (cut != std::wstring::npos && (folder.empty() || folder.back() == L':')) folder = target.substr(0, cut + 1);
    std::wstring text = L"\"" + name + L"\" already exists in " + folder + L".\n\nThe copy: " +
                        Size(clash.sourceBytes) + L", modified " + When(clash.sourceModified) + L"\nThe one there: " +
                        Size(clash.targetBytes) + L", modified " + When(clash.targetModified);
    if (clash.identical) text += L"\nBoth have the same size and time: the one there looks complete.";
    return text;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            ::SetDlgItemTextW(dialog, kClashText, reinterpret_cast<const wchar_t*>(lp));
            ::SetFocus(::GetDlgItem(dialog, kClashKeepBoth));
            return FALSE;
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (id == IDCANCEL || (id >= kClashReplace && id <= kClashSkipIdentical)) {
                const bool forAll = ::IsDlgButtonChecked(dialog, kClashForAll) == BST_CHECKED;
                ::EndDialog(dialog, id | (forAll ? 0x10000 : 0));
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

class RealClashPrompt final : public IClashPrompt {
public:
    ClashAnswer Ask(HWND owner, const TransferClash& clash) override {
        const std::vector<WORD> dialog = Template();
        const std::wstring text = Question(clash);
        const INT_PTR result =
            ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                      owner, &PromptProc, reinterpret_cast<LPARAM>(text.c_str()));
        ClashAnswer answer;
        answer.forAll = (result & 0x10000) != 0;
        switch (result & 0xFFFF) {
            case kClashReplace: answer.choice = TransferClashChoice::Replace; break;
            case kClashSkip: answer.choice = TransferClashChoice::Skip; break;
            case kClashSkipIdentical: answer.choice = TransferClashChoice::SkipIdentical; break;
            case kClashKeepBoth: answer.choice = TransferClashChoice::KeepBoth; break;
            // The dialog could not be shown: keep both, which loses nothing.
            default: answer.cancel = result == IDCANCEL; break;
        }
        return answer;
    }
};

RealClashPrompt g_realPrompt;
IClashPrompt* g_prompt = &g_realPrompt;

}  // namespace

IClashPrompt& ClashPrompt() { return *g_prompt; }

ScopedClashPrompt::ScopedClashPrompt(IClashPrompt& replacement) : previous_(g_prompt) { g_prompt = &replacement; }

ScopedClashPrompt::~ScopedClashPrompt() { g_prompt = previous_; }
