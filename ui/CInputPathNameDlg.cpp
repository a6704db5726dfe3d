// CInputPathNameDlg.
#include "ui/CInputPathNameDlg.h"

#include <cwchar>

#include "app/resource.h"
#include "platform/SystemServices.h"

namespace {
constexpr int kEditId = 1002;
constexpr int kOkId = 1003;
}  // namespace

CInputPathNameDlg::CInputPathNameDlg(std::wstring title, wchar_t* result, std::wstring initialText)
    : CDialog(IDD_INPUT_NAME), title_(std::move(title)), initialText_(std::move(initialText)), result_(result) {}

bool CInputPathNameDlg::OnInitDialog() {
    if (!title_.empty()) SetWindowText(title_);
    CentreOverOwner();
    ::SetDlgItemTextW(hwnd(), kEditId, initialText_.c_str());
    ::SetFocus(::GetDlgItem(hwnd(), kOkId));
    // TRUE lets the dialog manager put the caret in the edit box, the first tab stop.
    return true;
}

bool CInputPathNameDlg::OnCommand(WPARAM wp, LPARAM) {
    if (LOWORD(wp) != kOkId || HIWORD(wp) != BN_CLICKED) return false;
    OnAccept();
    return true;
}

void CInputPathNameDlg::OnAccept() {
    HWND edit = ::GetDlgItem(hwnd(), kEditId);
    int length = ::GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(edit, text.data(), length + 1)));

    if (text.size() >= kTooLong) {
        platform::System().MessageBox(hwnd(), L"The name is too long.", L"Pelican", MB_OK);
        if (result_) result_[0] = L'\0';
        return;
    }
    for (const wchar_t* c = ForbiddenCharacters(); *c; ++c) {
        if (text.find(*c) != std::wstring::npos) {
            platform::System().MessageBox(hwnd(), L"Invalid name.", L"Pelican", MB_OK);
            return;
        }
    }
    if (result_) {
        text.copy(result_, text.size());  // under 65 characters: always fits
        result_[text.size()] = L'\0';
    }
    EndDialog(IDOK);
}
