// Tokens and composite values of skin.ini.
#include "skin/SkinTokens.h"

#include <climits>

namespace nsSkin {

namespace {
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

int Saturate(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}
}  // namespace

std::wstring_view TrimSkinText(std::wstring_view text) {
    size_t begin = 0;
    while (begin < text.size() && IsSpace(text[begin])) ++begin;
    size_t end = text.size();
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::wstring PopToken(std::wstring_view& rest) {
    std::wstring_view token;
    size_t comma = rest.find(L',');
    if (comma == std::wstring_view::npos) {
        token = rest;
        rest = std::wstring_view();
    } else {
        token = rest.substr(0, comma);
        rest = TrimSkinText(rest.substr(comma + 1));
    }
    token = TrimSkinText(token);
    if (!token.empty() && token.front() == L'"' && token.back() == L'"')
        token = token.size() == 1 ? std::wstring_view() : token.substr(1, token.size() - 2);
    return std::wstring(token);
}

int SkinToInt(std::wstring_view token) {
    size_t i = 0;
    while (i < token.size() && IsSpace(token[i])) ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == L'+' || token[i] == L'-')) negative = token[i++] == L'-';
    long long value = 0;
    for (; i < token.size() && token[i] >= L'0' && token[i] <= L'9'; ++i) {
        // Past INT range every further digit changes nothing but the sign.
        if (value <= 1LL << 32) value = value * 10 + (token[i] - L'0');
    }
    return Saturate(negative ? -value : value);
}

RECT ParseSkinRect(std::wstring_view& rest) {
    int x = SkinToInt(PopToken(rest));
    int y = SkinToInt(PopToken(rest));
    int w = SkinToInt(PopToken(rest));
    int h = SkinToInt(PopToken(rest));
    return RECT{x, y, Saturate(static_cast<long long>(x) + w), Saturate(static_cast<long long>(y) + h)};
}

COLORREF ParseSkinColor(std::wstring_view& rest) {
    unsigned r = static_cast<unsigned>(SkinToInt(PopToken(rest))) & 0xFF;
    unsigned g = static_cast<unsigned>(SkinToInt(PopToken(rest))) & 0xFF;
    unsigned b = static_cast<unsigned>(SkinToInt(PopToken(rest))) & 0xFF;
    return RGB(r, g, b);
}

RECT ParseSkinEdges(std::wstring_view& rest) {
    RECT r;
    r.left = SkinToInt(PopToken(rest));
    r.top = SkinToInt(PopToken(rest));
    r.right = SkinToInt(PopToken(rest));
    r.bottom = SkinToInt(PopToken(rest));
    return r;
}

int CTokenReader::IntOr(int whenEmpty) {
    std::wstring token = PopToken(rest_);
    return token.empty() ? whenEmpty : SkinToInt(token);
}

COLORREF CTokenReader::Color() { return ParseSkinColor(rest_); }
RECT CTokenReader::Rect() { return ParseSkinRect(rest_); }
RECT CTokenReader::Edges() { return ParseSkinEdges(rest_); }
std::wstring CTokenReader::Upper() { return ToUpperText(PopToken(rest_)); }

std::wstring ToUpperText(std::wstring_view text) {
    std::wstring out(text);
    if (!out.empty()) ::CharUpperBuffW(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::wstring ExpandLineBreaks(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
            out += L'\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace nsSkin
