// CSkinImageListManager: the named images of a skin, cut from one atlas picture.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Handles.h"

namespace nsSkin {

class CSkinBudget;

class CSkinImageListManager {
public:
    CSkinImageListManager() = default;
    virtual ~CSkinImageListManager();
    CSkinImageListManager(const CSkinImageListManager&) = delete;
    CSkinImageListManager& operator=(const CSkinImageListManager&) = delete;

    // path: skin.ini or the skin folder. Reads SKININFO "ImageList" and IMAGELISTINFO; returns 1.
    // The atlas is charged to the budget when one is given.
    int Load(const std::wstring& path, CSkinBudget* budget = nullptr);
    // A new bitmap holding the named part of the atlas (name in any case), or none.
    platform::UniqueBitmap Lookup(const std::wstring& name) const;

    const std::wstring& SkinFolder() const { return folder_; }
    const std::vector<std::wstring>& Names() const { return names_; }
    const std::vector<RECT>& Rects() const { return rects_; }
    HBITMAP Atlas() const { return atlas_.get(); }

private:
    std::wstring path_;
    std::wstring folder_;
    std::vector<std::wstring> names_;  // upper case, parallel to rects_
    std::vector<RECT> rects_;
    platform::UniqueBitmap atlas_;
};

}  // namespace nsSkin
