// The record that travels with InvokeCommand, and the small codes shared by
// the executive, the file view module and the views.
#pragma once
#include <windows.h>

// Six words; those that carry pointers or handles are pointer-sized on x64.
// Word 0 an owner window for dialogs, word 3 a requested root or a success
// flag, word 4 a pointer or a total, word 5 an amount done.
struct CommandArgs {
    INT_PTR words[6] = {0, 0, 0, 0, 0, 0};
};

// View events, context-menu items, copy-job kinds and refresh reasons.
enum FileOp : int {
    FileOp_OpenFolder = 1,          // a folder was opened in the list (double-click)
    FileOp_ListSelChanged = 2,
    FileOp_ListKeyDown = 3,
    FileOp_ListRightClick = 4,
    FileOp_DropFiles = 5,           // also the job kind of a drop copy
    FileOp_DragToPC = 6,
    FileOp_TreeSelChanged = 7,      // also the refresh reason after it
    FileOp_Idle = 9,                // job kind: idle
    FileOp_MenuCopyToPC = 10,
    FileOp_CopyFileToDevice = 11,   // job kind and event code
    FileOp_CopyFolderToDevice = 12, // job kind and event code
    FileOp_Delete = 13,             // menu item and refresh reason
    FileOp_NewFolder = 14,          // menu item and refresh reason
    FileOp_Rename = 15,             // menu item and refresh reason
    FileOp_CopyToPC = 16,           // job kind: device items to the PC
    FileOp_NewRoot = 17,            // refresh reason
    FileOp_FolderOpened = 18,       // refresh reason
    FileOp_Refresh = 19,            // menu item "Refresh" and refresh reason: list again, keep what is shown
    FileOp_SelectAll = 20,          // menu item "Select all"
    FileOp_Properties = 21,         // menu item "Properties"
};
