// Plain description records of skin.ini, with the format's defaults applied.
// Windows and controls are built from these; nothing past the readers looks
// at the text of the file. Texts are as read: the window's LocalizeText hook
// is the consumer's to apply.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/SkinTokens.h"

namespace nsSkin {

// SKININFO.
struct SkinInfoRecord {
    std::wstring cursorFileName;  // relative to the skin folder; empty: system hand cursor
    std::wstring imageList;       // the atlas of IMAGELISTINFO, relative to the skin folder
};

// One IMAGELISTINFO entry.
struct SkinImageEntry {
    std::wstring name;  // upper-cased
    RECT rect{};        // the part of the atlas the name stands for
};

// One FONTSINFO entry (a caption style), before its font is created.
struct SkinFontStyleRecord {
    static constexpr size_t kMaxName = 259;
    std::wstring name;  // case-sensitive, at most kMaxName characters
    int pointSize = 0;
    int weight = 0;     // 0 keeps the base font's weight
    std::wstring face;  // empty keeps the base font's face
    bool underline = false;
    bool italic = false;
    UINT format = 0;    // DrawText flags
    bool shadow = false;
    COLORREF shadowColor = 0;
    int shadowOffsetX = 0;
    int shadowOffsetY = 0;
    RECT insets{};
    COLORREF textNormal = 0, textOver = 0, textPressed = 0, textDisabled = 0;
    RECT overInsets{};
    RECT pressedInsets{};
};

// The six integers of one border key ("TopParam", ...); absent when the key is empty.
struct SkinBorderParam {
    bool present = false;
    int size = 0;    // W or L / R: strip width; for top/bottom the picture width
    int extent = 0;  // T or B for top/bottom, H for the sides
    int a = 0, aLength = 0, b = 0, bLength = 0;
};

// The window section.
struct SkinWindowRecord {
    int windowType = 0;  // 0 frame window from border pieces, 1 mask-shaped window
    std::wstring main;
    std::wstring over, down, disabled;  // empty or missing: the value of main
    std::wstring normalNoAdvancedPanel;
    std::wstring maskNoAdvancedPanel;
    std::wstring maskWithAdvancedPanel;
    SIZE maskOffset{0, 0};  // "MaskOffsetSize"; 0, 0 when empty
    std::vector<RECT> invalidateRects;  // "InvalidteRect": none, one or two
    std::wstring resizingMask;
    SkinBorderParam top, left, bottom, right;
    COLORREF otherColor = kNoColor;  // kNoColor: client area left unfilled
    COLORREF bkColor = RGB(0, 0, 0);
    bool hasBkColor = false;  // "BKColor" not empty
    int wndMoveType = 0;
    bool buttonAlpha = false;
    bool hasInitSize = false;  // "InitSize", read by the application dialog
    RECT initSize{};
};

// Border pieces cut from the Main picture (picture coordinates). Each strip has
// up to five pieces: first end, first tile, middle, second tile, last end; an
// absent piece is an empty rect.
struct SkinBorderLayout {
    enum Piece { kFirst = 0, kTile1, kMiddle, kTile2, kLast, kPieceCount };
    RECT top[kPieceCount]{};
    RECT left[kPieceCount]{};
    RECT bottom[kPieceCount]{};
    RECT right[kPieceCount]{};
    RECT centre{};
    int leftWidth = 0, topHeight = 0, rightWidth = 0, bottomHeight = 0;  // L, T, R, B
    int topWidth = 0;                                                   // W
    int leftHeight = 0, rightHeight = 0;                                // H, H'
    bool topHasTile2 = false, leftHasTile2 = false, bottomHasTile2 = false, rightHasTile2 = false;

    static int Width(const RECT& r) { return r.right > r.left ? r.right - r.left : 0; }
    static int Height(const RECT& r) { return r.bottom > r.top ? r.bottom - r.top : 0; }
};

// "/BUTTONS" entry.
struct SkinButtonRecord {
    int entry = 0;
    std::wstring name;  // upper-cased
    RECT rect{};
    std::wstring tooltip;  // without the "group" prefix
    bool group = false;
    bool toggle = false;  // token 7 starts with "T"
    std::wstring maskImage;   // upper-cased image name; empty: rectangular
    std::wstring stateEnum;   // token 9
    std::wstring tooltipEnum; // token 10, kept for the owner
    std::wstring caption;     // token 11; empty: no caption
    std::wstring captionStyle;  // token 12, a FONTSINFO name (case-sensitive)
    std::wstring captionEnum;   // token 13, kept for the owner
};

// "/TEXTINFO" entry.
struct SkinLabelRecord {
    int entry = 0;
    std::wstring name;
    std::wstring face;  // empty: the window font's face
    bool bold = false;
    bool italic = false;
    int pointSize = 0;
    UINT format = 0;
    COLORREF color = 0;
    RECT rect{};
    std::wstring text;  // "\n" pairs already turned into line breaks
    std::wstring backgroundEnum;  // item 0 is the background image; empty: Main at rect
    bool scroll = true;
};

// "/TRACKBARINFO" entry.
struct SkinTrackbarRecord {
    int entry = 0;
    std::wstring name;  // upper-cased
    std::wstring thumbNormal, thumbDragged, thumbOver, thumbDisabled;  // upper-cased image names
    RECT rect{};
    bool horizontal = false;
    int position = 0;
    std::wstring tooltip;
    int rangeMin = 0;
    int rangeMax = 0;  // 0 leaves the control's default range
    std::wstring channelEnum;  // items 0 and 1; empty: Main and Down at rect
};

// "/PROGRESSINFO" entry.
struct SkinProgressRecord {
    int entry = 0;
    std::wstring name;
    std::wstring tooltip;
    RECT rect{};
    bool horizontal = false;
    std::wstring maskImage;
    std::wstring picturesEnum;  // items 0..3; empty: Main, Down, Over at rect, no thumb
    bool reportWhileDragging = true;
};

// "/EDITS" entry.
struct SkinEditRecord {
    int entry = 0;
    std::wstring name;  // upper-cased
    RECT rect{};
    COLORREF color = 0;
    std::wstring tooltip;
    bool readOnly = false;
    int token11 = 1;  // kept; nothing depends on it
    bool digitsOnly = false;
    bool password = false;
    DWORD extraStyle = 0;
};

// "/LISTBOXS" entry.
struct SkinListBoxRecord {
    int entry = 0;
    std::wstring name;  // upper-cased
    RECT rect{};
    COLORREF color = 0;
    std::wstring token9, token10, token11;  // kept; token 11 upper-cased
};

// "/COMBOBOXINFO" entry.
struct SkinComboBoxRecord {
    int entry = 0;
    std::wstring name;
    RECT rect{};
    std::wstring tooltip;  // without the "group" prefix
    bool group = false;    // editable form, created with style bit 0x10
    COLORREF captionColor = 0, itemTextColor = 0, listBackColor = 0;
    COLORREF highlightTextColor = 0, highlightBackColor = 0, borderColor = 0;
    bool translucent = false;
    std::wstring picturesEnum;  // group form only
    bool hasMoveRect = false;   // group form: moved there after creation
    RECT moveRect{};
    std::vector<std::wstring> items;
};

// "/STRINGSINFO" entry.
struct SkinStaticTextRecord {
    int entry = 0;
    std::wstring text;
    RECT rect{};
    int pointSize = 0;  // 0 or less keeps the window font's height
    int weight = 0;
    UINT format = 0;
    COLORREF color = 0;
};

// "/APPVIEWS" entry of the application dialog.
struct SkinAppViewRecord {
    int entry = 0;
    std::wstring name;
    RECT rect{};
    std::wstring parameter;  // empty when the value ends after the rect
};

// Everything one window section describes, in load order.
struct SkinWindowDescription {
    SkinWindowRecord window;
    std::vector<SkinButtonRecord> buttons;
    std::vector<SkinLabelRecord> labels;
    std::vector<SkinTrackbarRecord> trackbars;
    std::vector<SkinProgressRecord> progressBars;
    std::vector<SkinEditRecord> edits;
    std::vector<SkinListBoxRecord> listBoxes;
    std::vector<SkinComboBoxRecord> comboBoxes;
    std::vector<SkinStaticTextRecord> staticTexts;
    std::vector<SkinAppViewRecord> appViews;
};

}  // namespace nsSkin
