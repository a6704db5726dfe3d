// Section and entry readers of skin.ini.
#include "skin/SkinReader.h"

#include <climits>

#include "skin/SkinEntries.h"

namespace nsSkin {

namespace {

int Add(int a, int b) {
    long long v = static_cast<long long>(a) + b;
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

int Sub(int a, int b) {
    long long v = static_cast<long long>(a) - b;
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

bool FirstCharIs(const std::wstring& text, wchar_t c) { return !text.empty() && text.front() == c; }

// Removes a leading "group" (any case); true when it was there.
bool TakeGroupPrefix(std::wstring& text) {
    if (!StartsWithNoCase(text, L"group")) return false;
    text.erase(0, 5);
    return true;
}

template <class Record, class Parse>
std::vector<Record> ReadWith(const std::vector<NumberedEntry>& entries, Parse parse) {
    std::vector<Record> records;
    records.reserve(entries.size());
    for (const NumberedEntry& e : entries) records.push_back(parse(e.number, e.value));
    return records;
}

// A horizontal strip (top or bottom) from y0 to y0 + height.
void CutHorizontal(const SkinBorderParam& p, int y0, RECT (&pieces)[SkinBorderLayout::kPieceCount], bool* tile2) {
    int y1 = Add(y0, p.extent);
    RECT second{p.b, y0, Add(p.b, p.bLength), y1};
    *tile2 = !::IsRectEmpty(&second);
    pieces[SkinBorderLayout::kFirst] = RECT{0, y0, p.a, y1};
    pieces[SkinBorderLayout::kTile1] = RECT{p.a, y0, Add(p.a, p.aLength), y1};
    if (*tile2) {
        pieces[SkinBorderLayout::kMiddle] = RECT{Add(p.a, p.aLength), y0, p.b, y1};
        pieces[SkinBorderLayout::kTile2] = second;
        pieces[SkinBorderLayout::kLast] = RECT{Add(p.b, p.bLength), y0, p.size, y1};
    } else {
        pieces[SkinBorderLayout::kLast] = RECT{Add(p.a, p.aLength), y0, p.size, y1};
    }
}

// A vertical strip (left or right) from x0 to x1, y from top to top + height.
void CutVertical(const SkinBorderParam& p, int x0, int x1, int top, RECT (&pieces)[SkinBorderLayout::kPieceCount],
                 bool* tile2) {
    int bottom = Add(top, p.extent);
    *tile2 = !(p.b == 0 || p.aLength == 0);
    pieces[SkinBorderLayout::kFirst] = RECT{x0, top, x1, p.a};
    pieces[SkinBorderLayout::kTile1] = RECT{x0, p.a, x1, Add(p.a, p.aLength)};
    if (*tile2) {
        pieces[SkinBorderLayout::kMiddle] = RECT{x0, Add(p.a, p.aLength), x1, p.b};
        pieces[SkinBorderLayout::kTile2] = RECT{x0, p.b, x1, Add(p.b, p.bLength)};
        pieces[SkinBorderLayout::kLast] = RECT{x0, Add(p.b, p.bLength), x1, bottom};
    } else {
        pieces[SkinBorderLayout::kLast] = RECT{x0, Add(p.a, p.aLength), x1, bottom};
    }
}

}  // namespace

SkinImageEntry ParseImageEntry(std::wstring_view value) {
    CTokenReader t(value);
    SkinImageEntry e;
    e.name = t.Upper();
    e.rect = t.Rect();
    return e;
}

SkinFontStyleRecord ParseFontStyleEntry(std::wstring_view value) {
    CTokenReader t(value);
    SkinFontStyleRecord r;
    r.name = t.Text();
    if (r.name.size() > SkinFontStyleRecord::kMaxName) r.name.resize(SkinFontStyleRecord::kMaxName);
    r.pointSize = t.Int();
    r.weight = t.Int();
    r.face = t.Text();
    r.underline = t.Flag();
    r.italic = t.Flag();
    r.format = static_cast<UINT>(t.Int());
    r.shadow = t.Flag();
    r.shadowColor = t.Color();
    r.shadowOffsetX = t.Int();
    r.shadowOffsetY = t.Int();
    r.insets = t.Edges();
    r.textNormal = t.Color();
    r.textOver = t.Color();
    r.textPressed = t.Color();
    r.textDisabled = t.Color();
    r.overInsets = t.Edges();
    r.pressedInsets = t.Edges();
    return r;
}

SkinButtonRecord ParseButtonEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinButtonRecord r;
    r.entry = entry;
    r.name = t.Upper();
    r.rect = t.Rect();
    r.tooltip = t.Text();
    r.group = TakeGroupPrefix(r.tooltip);
    r.toggle = FirstCharIs(t.Text(), L'T');
    r.maskImage = t.Upper();
    r.stateEnum = t.Text();
    r.tooltipEnum = t.Text();
    r.caption = t.Text();
    r.captionStyle = t.Text();
    r.captionEnum = t.Text();
    return r;
}

SkinLabelRecord ParseLabelEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinLabelRecord r;
    r.entry = entry;
    r.name = t.Text();
    r.face = t.Text();
    r.bold = t.Flag();
    r.italic = t.Flag();
    r.pointSize = t.Int();
    r.format = static_cast<UINT>(t.Int());
    r.color = t.Color();
    r.rect = t.Rect();
    r.text = ExpandLineBreaks(t.Text());
    t.Text();  // token 15 carries nothing
    r.backgroundEnum = t.Text();
    r.scroll = t.IntOr(1) != 0;
    return r;
}

SkinTrackbarRecord ParseTrackbarEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinTrackbarRecord r;
    r.entry = entry;
    r.name = t.Upper();
    r.thumbNormal = t.Upper();
    r.thumbDragged = t.Upper();
    r.thumbOver = t.Upper();
    r.thumbDisabled = t.Upper();
    r.rect = t.Rect();
    r.horizontal = FirstCharIs(t.Upper(), L'H');
    r.position = t.Int();
    r.tooltip = t.Text();
    r.rangeMin = t.Int();
    r.rangeMax = t.Int();
    r.channelEnum = t.Text();
    return r;
}

SkinProgressRecord ParseProgressEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinProgressRecord r;
    r.entry = entry;
    r.name = t.Text();
    r.tooltip = t.Text();
    r.rect = t.Rect();
    r.horizontal = FirstCharIs(t.Text(), L'H');
    r.maskImage = t.Text();
    r.picturesEnum = t.Text();
    r.reportWhileDragging = !FirstCharIs(t.Text(), L'0');
    return r;
}

SkinEditRecord ParseEditEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinEditRecord r;
    r.entry = entry;
    r.name = t.Upper();
    r.rect = t.Rect();
    r.color = t.Color();
    r.tooltip = t.Text();
    r.readOnly = t.Flag();
    r.token11 = t.IntOr(1);
    r.digitsOnly = t.IntOr(0) != 0;
    r.password = t.IntOr(0) != 0;
    r.extraStyle = static_cast<DWORD>(t.Int());
    return r;
}

SkinListBoxRecord ParseListBoxEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinListBoxRecord r;
    r.entry = entry;
    r.name = t.Upper();
    r.rect = t.Rect();
    r.color = t.Color();
    r.token9 = t.Text();
    r.token10 = t.Text();
    r.token11 = t.Upper();
    return r;
}

SkinComboBoxRecord ParseComboBoxEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinComboBoxRecord r;
    r.entry = entry;
    r.name = t.Text();
    r.rect = t.Rect();
    r.tooltip = t.Text();
    r.group = TakeGroupPrefix(r.tooltip);
    r.captionColor = t.Color();
    r.itemTextColor = t.Color();
    r.listBackColor = t.Color();
    r.highlightTextColor = t.Color();
    r.highlightBackColor = t.Color();
    r.borderColor = t.Color();
    r.translucent = t.Flag();
    if (r.group) {
        r.picturesEnum = t.Text();
        r.hasMoveRect = true;
        r.moveRect = t.Rect();
    }
    for (std::wstring item = t.Text(); !item.empty(); item = t.Text()) r.items.push_back(std::move(item));
    return r;
}

SkinStaticTextRecord ParseStaticTextEntry(int entry, std::wstring_view value) {
    CTokenReader t(value);
    SkinStaticTextRecord r;
    r.entry = entry;
    r.text = t.Text();
    r.rect = t.Rect();
    r.pointSize = t.Int();
    r.weight = t.Int();
    r.format = static_cast<UINT>(t.Int());
    r.color = t.Color();
    return r;
}

SkinAppViewRecord ParseAppViewEntry(int entry, std::wstring_view value) {
    SkinAppViewRecord r;
    r.entry = entry;
    // The view name is the text before the first comma, as it stands.
    size_t comma = value.find(L',');
    r.name = std::wstring(value.substr(0, comma));
    std::wstring_view rest = comma == std::wstring_view::npos ? std::wstring_view() : TrimSkinText(value.substr(comma + 1));
    r.rect = ParseSkinRect(rest);
    r.parameter = std::wstring(rest);
    return r;
}

SkinBorderParam ParseBorderParam(std::wstring_view value) {
    SkinBorderParam p;
    if (TrimSkinText(value).empty()) return p;
    CTokenReader t(value);
    p.present = true;
    p.size = t.Int();
    p.extent = t.Int();
    p.a = t.Int();
    p.aLength = t.Int();
    p.b = t.Int();
    p.bLength = t.Int();
    return p;
}

SkinInfoRecord ReadSkinInfo(const CSkinProfile& profile) {
    SkinInfoRecord r;
    r.cursorFileName = profile.ReadString(kSkinInfoSection, L"CursorFileName");
    r.imageList = profile.ReadString(kSkinInfoSection, L"ImageList");
    return r;
}

std::vector<SkinImageEntry> ReadImageList(const CSkinProfile& profile) {
    return ReadWith<SkinImageEntry>(ReadEntriesStopAtGap(profile, kImageListSection),
                                    [](int, const std::wstring& v) { return ParseImageEntry(v); });
}

std::vector<SkinFontStyleRecord> ReadFontStyles(const CSkinProfile& profile) {
    return ReadWith<SkinFontStyleRecord>(ReadEntriesStopAtGap(profile, kFontsSection),
                                         [](int, const std::wstring& v) { return ParseFontStyleEntry(v); });
}

SkinWindowRecord ReadWindowSection(const CSkinProfile& profile, const std::wstring& section) {
    SkinWindowRecord r;
    auto read = [&](const wchar_t* key) { return profile.ReadString(section, key); };
    r.main = read(L"Main");
    r.windowType = SkinToInt(read(L"Windowtype"));
    r.maskNoAdvancedPanel = read(L"MaskNoAdvancedPanel");
    // An empty state picture would draw nothing at all; it falls back to Main
    // like a missing one.
    r.over = read(L"Over");
    if (r.over.empty()) r.over = r.main;
    r.down = read(L"Down");
    if (r.down.empty()) r.down = r.main;
    r.disabled = read(L"Disabled");
    if (r.disabled.empty()) r.disabled = r.main;
    r.normalNoAdvancedPanel = read(L"NormalNoAdvancedPanel");
    r.top = ParseBorderParam(read(L"TopParam"));
    r.left = ParseBorderParam(read(L"LeftParam"));
    r.bottom = ParseBorderParam(read(L"BottomParam"));
    r.right = ParseBorderParam(read(L"RightParam"));
    std::wstring other = read(L"OtherColor");
    if (!other.empty()) {
        std::wstring_view v = other;
        r.otherColor = ParseSkinColor(v);
    }
    std::wstring bk = read(L"BKColor");
    if (!bk.empty()) {
        std::wstring_view v = bk;
        r.bkColor = ParseSkinColor(v);
        r.hasBkColor = true;
    }
    r.wndMoveType = SkinToInt(read(L"WndMoveType"));
    r.buttonAlpha = SkinToInt(profile.ReadString(section, L"ButtonAlpha", L"0")) != 0;
    r.maskWithAdvancedPanel = read(L"MaskWithAdvancedPanel");
    std::wstring offset = read(L"MaskOffsetSize");
    if (!offset.empty()) {
        CTokenReader t(offset);
        r.maskOffset.cx = t.Int();
        r.maskOffset.cy = t.Int();
    }
    std::wstring invalidate = read(L"InvalidteRect");
    if (!invalidate.empty()) {
        std::wstring_view v = TrimSkinText(invalidate);
        r.invalidateRects.push_back(ParseSkinRect(v));
        if (!v.empty()) r.invalidateRects.push_back(ParseSkinRect(v));
    }
    r.resizingMask = read(L"ResizingMask");
    std::wstring initSize = read(L"InitSize");
    if (!initSize.empty()) {
        std::wstring_view v = initSize;
        r.hasInitSize = true;
        r.initSize = ParseSkinRect(v);
    }
    return r;
}

std::vector<SkinButtonRecord> ReadButtons(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinButtonRecord>(ReadEntriesStopAtGap(profile, section + kButtonsSuffix), ParseButtonEntry);
}

std::vector<SkinLabelRecord> ReadLabels(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinLabelRecord>(ReadEntriesCountKeys(profile, section + kTextInfoSuffix), ParseLabelEntry);
}

std::vector<SkinTrackbarRecord> ReadTrackbars(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinTrackbarRecord>(ReadEntriesCountKeys(profile, section + kTrackbarSuffix), ParseTrackbarEntry);
}

std::vector<SkinProgressRecord> ReadProgressBars(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinProgressRecord>(ReadEntriesCountKeys(profile, section + kProgressSuffix), ParseProgressEntry);
}

std::vector<SkinEditRecord> ReadEdits(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinEditRecord>(ReadEntriesCountKeys(profile, section + kEditsSuffix), ParseEditEntry);
}

std::vector<SkinListBoxRecord> ReadListBoxes(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinListBoxRecord>(ReadEntriesCountKeys(profile, section + kListBoxesSuffix), ParseListBoxEntry);
}

std::vector<SkinComboBoxRecord> ReadComboBoxes(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinComboBoxRecord>(ReadEntriesCountKeys(profile, section + kComboBoxSuffix), ParseComboBoxEntry);
}

std::vector<SkinStaticTextRecord> ReadStaticTexts(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinStaticTextRecord>(ReadEntriesCountKeys(profile, section + kStringsSuffix),
                                          ParseStaticTextEntry);
}

std::vector<SkinAppViewRecord> ReadAppViews(const CSkinProfile& profile, const std::wstring& section) {
    return ReadWith<SkinAppViewRecord>(ReadEntriesStopAtGap(profile, section + kAppViewsSuffix), ParseAppViewEntry);
}

SkinWindowDescription ReadWindowDescription(const CSkinProfile& profile, const std::wstring& section) {
    SkinWindowDescription d;
    d.window = ReadWindowSection(profile, section);
    d.buttons = ReadButtons(profile, section);
    d.labels = ReadLabels(profile, section);
    d.trackbars = ReadTrackbars(profile, section);
    d.progressBars = ReadProgressBars(profile, section);
    d.edits = ReadEdits(profile, section);
    d.listBoxes = ReadListBoxes(profile, section);
    d.comboBoxes = ReadComboBoxes(profile, section);
    d.staticTexts = ReadStaticTexts(profile, section);
    d.appViews = ReadAppViews(profile, section);
    return d;
}

std::wstring PanelMaskOf(const SkinWindowRecord& window, std::wstring_view key) {
    if (EqualsNoCase(key, L"MaskNoAdvancedPanel")) return window.maskNoAdvancedPanel;
    if (EqualsNoCase(key, L"MaskWithAdvancedPanel")) return window.maskWithAdvancedPanel;
    return {};
}

SkinBorderLayout ComputeBorderLayout(const SkinWindowRecord& window) {
    SkinBorderLayout b;
    if (window.top.present) {
        b.topWidth = window.top.size;
        b.topHeight = window.top.extent;
        CutHorizontal(window.top, 0, b.top, &b.topHasTile2);
    }
    if (window.left.present) {
        b.leftWidth = window.left.size;
        b.leftHeight = window.left.extent;
        CutVertical(window.left, 0, b.leftWidth, b.topHeight, b.left, &b.leftHasTile2);
    }
    if (window.bottom.present) {
        b.bottomHeight = window.bottom.extent;
        CutHorizontal(window.bottom, Add(b.topHeight, b.leftHeight), b.bottom, &b.bottomHasTile2);
    }
    if (window.right.present) {
        b.rightWidth = window.right.size;
        b.rightHeight = window.right.extent;
        int x0 = Sub(b.topWidth, b.rightWidth);
        CutVertical(window.right, x0, b.topWidth, b.topHeight, b.right, &b.rightHasTile2);
        b.centre = RECT{b.leftWidth, b.topHeight, x0, Add(b.topHeight, b.rightHeight)};
    }
    return b;
}

}  // namespace nsSkin
