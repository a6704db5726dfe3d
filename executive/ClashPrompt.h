// The question asked when a copy meets a name that exists: Replace, Skip,
// Keep both or Skip identical, optionally for all remaining conflicts. Behind
// a replaceable seam, so tests answer it without anybody at the keyboard.
#pragma once
#include <windows.h>

#include "shuttle/IHandsetTransfer.h"

struct ClashAnswer {
    TransferClashChoice choice = TransferClashChoice::KeepBoth;
    bool forAll = false;
    bool cancel = false;  // the user stopped the whole copy
};

class IClashPrompt {
public:
    virtual ~IClashPrompt() = default;
    // On the user-interface thread; modal to `owner`.
    virtual ClashAnswer Ask(HWND owner, const TransferClash& clash) = 0;
};

// The prompt in force: the real dialog unless a test replaced it.
IClashPrompt& ClashPrompt();

class ScopedClashPrompt {
public:
    explicit ScopedClashPrompt(IClashPrompt& replacement);
    ~ScopedClashPrompt();
    ScopedClashPrompt(const ScopedClashPrompt&) = delete;
    ScopedClashPrompt& operator=(const ScopedClashPrompt&) = delete;

private:
    IClashPrompt* previous_;
};

// The dialog's caption and the identifiers of its controls, for whoever drives it.
inline constexpr const wchar_t* kClashCaption = L"Name Already Exists";
enum ClashControl : int {
    kClashReplace = 1001,
    kClashSkip = 1002,
    kClashKeepBoth = 1003,
    kClashSkipIdentical = 1004,
    kClashForAll = 1005,
    kClashText = 1006,
};
