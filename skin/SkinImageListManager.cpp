// Named images cut from the skin's atlas picture.
#include "skin/SkinImageListManager.h"

#include "skin/SkinImage.h"
#include "skin/SkinProfile.h"
#include "skin/SkinReader.h"

namespace nsSkin {

CSkinImageListManager::~CSkinImageListManager() = default;

int CSkinImageListManager::Load(const std::wstring& path, CSkinBudget* budget) {
    path_ = path;
    names_.clear();
    rects_.clear();
    folder_ = SkinFolderOf(path);
    CSkinProfile profile(folder_ + L"skin.ini");
    std::wstring atlasFile = ReadSkinInfo(profile).imageList;
    std::wstring atlasPath = ResolveSkinFile(folder_, atlasFile);
    DWORD attrs = atlasPath.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(atlasPath.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        // No atlas: keep no stale picture from an earlier skin either.
        atlas_.reset();
        return 1;
    }
    atlas_ = LoadImageFile(atlasPath, budget);
    for (SkinImageEntry& e : ReadImageList(profile)) {
        names_.push_back(std::move(e.name));
        rects_.push_back(e.rect);
    }
    return 1;
}

platform::UniqueBitmap CSkinImageListManager::Lookup(const std::wstring& name) const {
    if (!atlas_) return {};
    for (size_t i = 0; i < names_.size(); ++i) {
        if (EqualsNoCase(names_[i], name)) return CopyBitmapRect(atlas_.get(), rects_[i]);
    }
    return {};
}

}  // namespace nsSkin
