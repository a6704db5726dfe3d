// Readers that turn sections and entries of skin.ini into description records.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "skin/SkinProfile.h"
#include "skin/SkinRecords.h"

namespace nsSkin {

// Section names.
inline constexpr wchar_t kSkinInfoSection[] = L"SKININFO";
inline constexpr wchar_t kImageListSection[] = L"IMAGELISTINFO";
inline constexpr wchar_t kEnumsSection[] = L"ENUMS";
inline constexpr wchar_t kFontsSection[] = L"FONTSINFO";
inline constexpr wchar_t kButtonsSuffix[] = L"/BUTTONS";
inline constexpr wchar_t kTextInfoSuffix[] = L"/TEXTINFO";
inline constexpr wchar_t kTrackbarSuffix[] = L"/TRACKBARINFO";
inline constexpr wchar_t kProgressSuffix[] = L"/PROGRESSINFO";
inline constexpr wchar_t kEditsSuffix[] = L"/EDITS";
inline constexpr wchar_t kListBoxesSuffix[] = L"/LISTBOXS";
inline constexpr wchar_t kComboBoxSuffix[] = L"/COMBOBOXINFO";
inline constexpr wchar_t kStringsSuffix[] = L"/STRINGSINFO";
inline constexpr wchar_t kAppViewsSuffix[] = L"/APPVIEWS";

// One entry value -> one record (entry is the key number the value came from).
SkinImageEntry ParseImageEntry(std::wstring_view value);
SkinFontStyleRecord ParseFontStyleEntry(std::wstring_view value);
SkinButtonRecord ParseButtonEntry(int entry, std::wstring_view value);
SkinLabelRecord ParseLabelEntry(int entry, std::wstring_view value);
SkinTrackbarRecord ParseTrackbarEntry(int entry, std::wstring_view value);
SkinProgressRecord ParseProgressEntry(int entry, std::wstring_view value);
SkinEditRecord ParseEditEntry(int entry, std::wstring_view value);
SkinListBoxRecord ParseListBoxEntry(int entry, std::wstring_view value);
SkinComboBoxRecord ParseComboBoxEntry(int entry, std::wstring_view value);
SkinStaticTextRecord ParseStaticTextEntry(int entry, std::wstring_view value);
SkinAppViewRecord ParseAppViewEntry(int entry, std::wstring_view value);
SkinBorderParam ParseBorderParam(std::wstring_view value);

// Global sections.
SkinInfoRecord ReadSkinInfo(const CSkinProfile& profile);
std::vector<SkinImageEntry> ReadImageList(const CSkinProfile& profile);
std::vector<SkinFontStyleRecord> ReadFontStyles(const CSkinProfile& profile);

// A window section and its control sections (section is the window section's name).
SkinWindowRecord ReadWindowSection(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinButtonRecord> ReadButtons(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinLabelRecord> ReadLabels(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinTrackbarRecord> ReadTrackbars(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinProgressRecord> ReadProgressBars(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinEditRecord> ReadEdits(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinListBoxRecord> ReadListBoxes(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinComboBoxRecord> ReadComboBoxes(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinStaticTextRecord> ReadStaticTexts(const CSkinProfile& profile, const std::wstring& section);
std::vector<SkinAppViewRecord> ReadAppViews(const CSkinProfile& profile, const std::wstring& section);
// All of the above for one window, in the order a window loads them.
SkinWindowDescription ReadWindowDescription(const CSkinProfile& profile, const std::wstring& section);

// The mask file named by a panel key ("MaskNoAdvancedPanel" or
// "MaskWithAdvancedPanel", any case, as profile keys are); empty for any other key.
std::wstring PanelMaskOf(const SkinWindowRecord& window, std::wstring_view key);

// Cuts the border pieces of a frame window from its four border keys.
SkinBorderLayout ComputeBorderLayout(const SkinWindowRecord& window);

}  // namespace nsSkin
