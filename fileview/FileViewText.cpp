// Text rules of the file views.
#include "fileview/FileViewText.h"

#include <cmath>
#include <cwchar>
#include <sstream>

std::wstring FormatSizeText(std::uint64_t size) {
    wchar_t text[64] = {};
    if (size < 1024) {
        std::swprintf(text, 64, L"%dBytes", static_cast<int>(size));
    } else if (size < 1048576) {
        float kb = static_cast<float>(std::ldexp(static_cast<double>(size), -10));
        std::swprintf(text, 64, L"%.1fKB", static_cast<double>(kb));
    } else {
        float mb = static_cast<float>(std::ldexp(static_cast<double>(size), -20));
        std::swprintf(text, 64, L"%.1fMB", static_cast<double>(mb));
    }
    return text;
}

std::wstring FormatModifiedText(std::uint64_t fileTimeUtc) {
    if (fileTimeUtc == 0) return std::wstring();
    FILETIME utc{static_cast<DWORD>(fileTimeUtc), static_cast<DWORD>(fileTimeUtc >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!::FileTimeToSystemTime(&utc, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return std::wstring();
    wchar_t date[80] = {}, time[80] = {};
    if (!::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80, nullptr) ||
        !::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, 80))
        return std::wstring();
    return std::wstring(date) + L" " + time;
}

std::vector<std::wstring> SplitSkinTokens(const std::wstring& text) {
    std::vector<std::wstring> tokens;
    if (text.empty()) return tokens;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(L',', start);
        tokens.push_back(text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
        while (start < text.size() && (text[start] == L' ' || text[start] == L'\t')) ++start;
    }
    return tokens;
}

bool HeaderPicturePaths(const std::wstring& skinFolder, const std::vector<std::wstring>& names,
                        std::wstring (&paths)[3]) {
    if (names.size() < 3) return false;
    std::wstring folder = skinFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    for (int i = 0; i < 3; ++i) {
        if (names[i].empty()) return false;
        std::wstring path = folder + names[i];
        // A path that does not fit a 260-character buffer is no path here.
        if (path.size() >= 260) return false;
        DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
        paths[i] = std::move(path);
    }
    return true;
}

TreeLook ParseTreeParam(const std::wstring& param) {
    TreeLook look;
    look.textColour = ::GetSysColor(COLOR_WINDOWTEXT);
    if (param.find(L',') == std::wstring::npos) {
        look.bitmapName = param;
        return look;
    }
    std::wstring blanks = param;
    for (wchar_t& c : blanks)
        if (c == L',') c = L' ';
    std::wistringstream in(blanks);
    in >> look.bitmapName;
    int c[6] = {};
    int got = 0;
    while (got < 6 && (in >> c[got])) ++got;
    // A colour is taken only when all three of its parts are there.
    if (got >= 3) look.textColour = RGB(c[0], c[1], c[2]);
    if (got >= 6) look.backgroundColour = RGB(c[3], c[4], c[5]);
    return look;
}

std::wstring WithTrailingSlash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'/') return path;
    return path + L'/';
}
