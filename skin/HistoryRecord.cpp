// The drop-down history file. The text goes through the C runtime's text-mode
// wide streams under its "chinese-simplified" locale (code page 936), so the
// file stays readable by earlier builds that wrote it the same way.
#include "skin/HistoryRecord.h"

#include <windows.h>

#include <share.h>

#include <clocale>
#include <cstdio>
#include <deque>

#include "skin/SkinTokens.h"

namespace nsSkin {

namespace {

std::wstring g_historyPathOverride;

// Closes a C stream on scope exit.
struct StreamCloser {
    FILE* file;
    ~StreamCloser() {
        if (file) std::fclose(file);
    }
};

void SelectHistoryLocale() { std::setlocale(LC_ALL, "chinese-simplified"); }

void RemoveCaseDuplicates(std::vector<std::wstring>& entries) {
    std::vector<std::wstring> kept;
    for (std::wstring& e : entries) {
        bool seen = false;
        for (const std::wstring& k : kept) {
            if (EqualsNoCase(k, e)) {
                seen = true;
                break;
            }
        }
        if (!seen) kept.push_back(std::move(e));
        // Nothing past the tenth distinct entry survives the cap below.
        if (kept.size() > CHistoryRecord::kMaxEntries) break;
    }
    entries = std::move(kept);
}

}  // namespace

int CHistoryRecord::Load(const std::wstring& path) {
    entries_.clear();
    SelectHistoryLocale();
    StreamCloser stream{_wfsopen(path.c_str(), L"rt", _SH_DENYNO)};
    if (!stream.file) return 0;
    std::deque<std::wstring> lines;
    std::wstring line;
    bool overlong = false;
    wchar_t chunk[512];
    // A line arrives in chunks when it is longer than the buffer.
    while (std::fgetws(chunk, 512, stream.file)) {
        std::wstring_view piece(chunk);
        bool complete = !piece.empty() && piece.back() == L'\n';
        if (complete) piece.remove_suffix(1);
        if (!overlong) {
            if (line.size() + piece.size() > kMaxLineLength) {
                overlong = true;
                line.clear();
            } else {
                line.append(piece);
            }
        }
        if (!complete) continue;
        if (!overlong && !line.empty()) {
            lines.push_back(std::move(line));
            if (lines.size() > kMaxLinesKept) lines.pop_front();
        }
        line.clear();
        overlong = false;
    }
    if (!overlong && !line.empty()) lines.push_back(std::move(line));
    entries_.assign(lines.rbegin(), lines.rend());
    RemoveCaseDuplicates(entries_);
    if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
    return 1;
}

int CHistoryRecord::Save(const std::wstring& path) {
    SelectHistoryLocale();
    StreamCloser stream{_wfsopen(path.c_str(), L"wt", _SH_DENYWR)};
    if (!stream.file) return 0;
    if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        std::fputws(it->c_str(), stream.file);
        std::fputws(L"\n", stream.file);
    }
    return 1;
}

bool CHistoryRecord::Append(const std::wstring& text) {
    if (text.empty()) return false;
    for (const std::wstring& e : entries_)
        if (e == text) return false;
    entries_.push_back(text);
    return true;
}

std::vector<std::wstring> CHistoryRecord::Suggestions(const std::wstring& text) const {
    std::vector<std::wstring> found;
    for (const std::wstring& e : entries_)
        if (e.size() > text.size() && StartsWithNoCase(e, text)) found.push_back(e);
    return found;
}

std::wstring HistoryFilePath() {
    if (!g_historyPathOverride.empty()) return g_historyPathOverride;
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (n == 0) return L"config\\HistroyRecord.bin";
        if (n < module.size()) {
            module.resize(n);
            break;
        }
        module.resize(module.size() * 2);
    }
    return module.substr(0, module.find_last_of(L'\\') + 1) + L"config\\HistroyRecord.bin";
}

ScopedHistoryPath::ScopedHistoryPath(std::wstring path) : previous_(std::move(g_historyPathOverride)) {
    g_historyPathOverride = std::move(path);
}

ScopedHistoryPath::~ScopedHistoryPath() { g_historyPathOverride = std::move(previous_); }

}  // namespace nsSkin
