// The keys of the device views.
#include "fileview/ViewKeys.h"

const wchar_t kSelectAllAction[] = L"SelectAll";

namespace {

struct KeyBinding {
    UINT key;
    bool ctrl;
    bool alt;
    bool inList;
    bool inTree;
    const wchar_t* command;
};

// The tree moves to the parent on Backspace and opens and closes items on
// Enter, Left and Right by itself.
constexpr KeyBinding kBindings[] = {
    {VK_RETURN, false, false, true, false, L"OpenFolder"},
    {VK_BACK, false, false, true, false, L"Up"},
    {VK_UP, false, true, true, true, L"Up"},
    {VK_F2, false, false, true, false, L"RenamePath"},
    {VK_DELETE, false, false, true, false, L"DeleteFromDevice"},
    {VK_F5, false, false, true, true, L"Refresh"},
    {'A', true, false, true, false, kSelectAllAction},
    {'C', true, false, true, false, L"CopyToClipboard"},
    {'V', true, false, true, false, L"PasteFromClipboard"},
};

}  // namespace

const wchar_t* CommandForKey(UINT key, bool ctrl, bool alt, KeyPlace place) {
    for (const KeyBinding& binding : kBindings) {
        if (binding.key != key || binding.ctrl != ctrl || binding.alt != alt) continue;
        if (place == KeyPlace::List ? binding.inList : binding.inTree) return binding.command;
    }
    return nullptr;
}
