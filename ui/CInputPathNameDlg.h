// The name box: asks for a device folder or file name (template 106).
#pragma once
#include <string>

#include "platform/Dialog.h"

class CInputPathNameDlg : public platform::CDialog {
public:
    static constexpr int kCapacity = 260;
    static constexpr size_t kTooLong = 65;  // names this long or longer are refused

    // result: the caller's buffer of kCapacity characters; written on OK, and
    // emptied when a too-long name was refused.
    CInputPathNameDlg(std::wstring title, wchar_t* result, std::wstring initialText = {});

    // The characters a device path component cannot hold, in the order they are checked.
    static const wchar_t* ForbiddenCharacters() { return L"\\/:*?\"<>|"; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void OnAccept();

    std::wstring title_;
    std::wstring initialText_;
    wchar_t* result_;
};
