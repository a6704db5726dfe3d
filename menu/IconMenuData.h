// IconMenuData: the record kept for every item of an IconMenu.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

struct IconMenuData {
    IconMenuData(std::wstring itemText, UINT itemFlags, UINT_PTR itemCommand)
        : text(std::move(itemText)), flags(itemFlags), command(itemCommand) {}
    ~IconMenuData() {
        if (imageList) ::ImageList_Destroy(imageList);
    }
    IconMenuData(const IconMenuData&) = delete;
    IconMenuData& operator=(const IconMenuData&) = delete;

    std::wstring text;  // a tab separates the accelerator text
    int imageIndex = -1;
    int sharedImageIndex = -1;  // position of the command in the command-image table
    int imageOffset = -1;
    UINT flags = 0;  // platform menu flags; owner-drawn always set
    UINT_PTR command = 0;
    int synchronised = 0;
    HIMAGELIST imageList = nullptr;  // the item's own images, owned
    int spare = 0;
};
