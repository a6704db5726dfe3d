// The value grammar of skin.ini: comma-separated tokens and the composite
// types built from them (integers, flags, colours, rects, edges).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace nsSkin {

// Colour value meaning "none" (OtherColor unset).
constexpr COLORREF kNoColor = 0xFFFFFFFF;

// Takes the next token off the front of rest: text up to the first comma
// (quotes do not protect commas), trimmed, with one pair of enclosing double
// quotes removed; rest becomes the trimmed text after the comma. An empty rest
// yields an empty token.
std::wstring PopToken(std::wstring_view& rest);

std::wstring_view TrimSkinText(std::wstring_view text);

// Reads a decimal integer as _wtoi does (white space, sign, digits, stop at
// anything else); out-of-range values saturate instead of wrapping.
int SkinToInt(std::wstring_view token);

// Cursor over a value, for readers that take many tokens in a row.
class CTokenReader {
public:
    explicit CTokenReader(std::wstring_view value) : rest_(TrimSkinText(value)) {}
    std::wstring Text() { return PopToken(rest_); }
    int Int() { return SkinToInt(PopToken(rest_)); }
    bool Flag() { return Int() != 0; }
    // An integer whose empty token stands for a given default.
    int IntOr(int whenEmpty);
    COLORREF Color();
    RECT Rect();
    RECT Edges();
    // Upper-cased text (names that the format upper-cases when read).
    std::wstring Upper();
    bool Empty() const { return rest_.empty(); }
    std::wstring_view Rest() const { return rest_; }

private:
    std::wstring_view rest_;
};

// Four tokens x, y, width, height -> left, top, right, bottom (sums saturate).
RECT ParseSkinRect(std::wstring_view& rest);
// Three tokens R, G, B, each cut to its low 8 bits -> 0x00BBGGRR.
COLORREF ParseSkinColor(std::wstring_view& rest);
// Four tokens stored as they stand: left, top, right, bottom.
RECT ParseSkinEdges(std::wstring_view& rest);

// Case helpers for names (the format matches names without regard to case).
std::wstring ToUpperText(std::wstring_view text);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// "\n" written as the two characters backslash and n becomes a line break.
std::wstring ExpandLineBreaks(std::wstring_view text);

}  // namespace nsSkin
