// The real Pelican.exe started on damaged copies of the default skin: made by
// hand for the faults once seen, and at random from fixed seeds. Each run
// must show the window and close with exit code 7, or refuse the skin with a
// message and fall back to the default one; never crash, hang over 10 s or
// take more than 300 MB. "--seeds=N" on the command line runs N random seeds.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ProcessDriver.h"
#include "tests/support/TestPaths.h"

namespace {

using namespace testsupport;

constexpr DWORD kHangMs = 10000;
constexpr SIZE_T kPeakLimit = 300u << 20;
constexpr int kCiSeeds = 93;  // with the hand-made cases, about 100 runs

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

// Sets key=value in a section, adding the section or the key when missing.
void SetKey(std::vector<std::string>& lines, const std::string& section, const std::string& key,
            const std::string& value) {
    auto header = std::find(lines.begin(), lines.end(), "[" + section + "]");
    if (header == lines.end()) {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
        return;
    }
    auto it = header + 1;
    for (; it != lines.end() && !(it->size() > 0 && (*it)[0] == '['); ++it) {
        if (_strnicmp(it->c_str(), (key + "=").c_str(), key.size() + 1) == 0) {
            *it = key + "=" + value;
            return;
        }
    }
    lines.insert(it, key + "=" + value);
}

// A bitmap file of a few bytes whose header claims a picture of width x height.
std::string ClaimingBitmap(LONG width, LONG height) {
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 8, BI_RLE8, 0, 0, 0, 256, 0};
    BITMAPFILEHEADER head{0x4D42, 0, 0, 0, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + 1024)};
    std::string file(reinterpret_cast<const char*>(&head), sizeof(head));
    file.append(reinterpret_cast<const char*>(&info), sizeof(info));
    file.append(1024, '\0');
    file.append("\x00\x01", 2);
    head.bfSize = static_cast<DWORD>(file.size());
    std::copy_n(reinterpret_cast<const char*>(&head), sizeof(head), file.begin());
    return file;
}

// A damaged copy of the default skin in its own folder.
class DamagedSkin {
public:
    explicit DamagedSkin(const std::wstring& folder) : folder_(folder) {
        std::wstring from = ProgramDirectory() + L"skins\\default\\";
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((from + L"*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            ::CopyFileW((from + fd.cFileName).c_str(), (folder_ + fd.cFileName).c_str(), FALSE);
            if (_wcsicmp(fd.cFileName, L"skin.ini") != 0) pictures_.push_back(fd.cFileName);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        lines_ = Lines(ReadFileBytes(folder_ + L"skin.ini"));
    }
    std::vector<std::string>& lines() { return lines_; }
    const std::vector<std::wstring>& pictures() const { return pictures_; }
    const std::wstring& folder() const { return folder_; }
    bool Save() { return WriteFileBytes(folder_ + L"skin.ini", Joined(lines_)); }

private:
    std::wstring folder_;
    std::vector<std::string> lines_;
    std::vector<std::wstring> pictures_;
};

// One random change to the skin; returns what it did, for failure messages.
std::string Damage(DamagedSkin& skin, std::mt19937& rng) {
    static const char* const kNumbers[] = {"0",          "-1",         "1",      "2147483647", "-2147483648",
                                           "65536",      "30000",      "4096",   "-2000000000", "99999999999",
                                           "16384",      "-30000"};
    static const char* const kNames[] = {"..\\..\\elsewhere\\x.bmp", "C:\\windows\\win.ini", "\\\\server\\s\\x.bmp",
                                         "missing.bmp",               "skin.ini",            ""};
    auto& lines = skin.lines();
    auto pick = [&](size_t n) { return n ? static_cast<size_t>(rng() % n) : 0; };
    switch (rng() % 9) {
    case 0:
    case 1:
    case 2: {  // a number of an entry becomes a hostile one
        std::string& line = lines[pick(lines.size())];
        std::vector<size_t> starts;
        for (size_t i = line.find('=') == std::string::npos ? line.size() : line.find('='); i < line.size(); ++i)
            if (isdigit(static_cast<unsigned char>(line[i])) && (i == 0 || !isdigit(static_cast<unsigned char>(line[i - 1]))))
                starts.push_back(i);
        if (starts.empty()) return {};
        size_t at = starts[pick(starts.size())];
        if (at > 0 && line[at - 1] == '-') --at;
        size_t end = line.find_first_not_of("-0123456789", at);
        line.replace(at, (end == std::string::npos ? line.size() : end) - at, kNumbers[pick(std::size(kNumbers))]);
        return "number: " + line;
    }
    case 3:  // a line goes
        if (lines.empty()) return {};
        {
            auto gone = lines.begin() + static_cast<long>(pick(lines.size()));
            std::string line = *gone;
            lines.erase(gone);
            return "line removed: " + line;
        }
    case 4: {  // a picture name points elsewhere
        static const char* const kKeys[] = {"Main", "Over", "Down", "Disabled", "ResizingMask", "Windowtype"};
        std::string section = rng() % 2 ? "MAINDLG" : "SplitterBar";
        std::string key = kKeys[pick(std::size(kKeys))];
        std::string name = kNames[pick(std::size(kNames))];
        SetKey(lines, section, key, name);
        return "name: [" + section + "] " + key + "=" + name;
    }
    case 5: {  // a picture is cut short or has its header bytes changed
        if (skin.pictures().empty()) return {};
        std::wstring path = skin.folder() + skin.pictures()[pick(skin.pictures().size())];
        std::string bytes = ReadFileBytes(path);
        if (bytes.empty()) return {};
        if (rng() % 2) {
            bytes.resize(pick(bytes.size()));
        } else {
            for (int i = 0; i < 4; ++i) bytes[pick(std::min<size_t>(bytes.size(), 64))] = static_cast<char>(rng());
        }
        WriteFileBytes(path, bytes);
        return "picture damaged: " + Narrow(path.substr(path.find_last_of(L'\\') + 1));
    }
    case 6:  // a picture claims a huge size
        if (skin.pictures().empty()) return {};
        {
            const std::wstring& name = skin.pictures()[pick(skin.pictures().size())];
            LONG w = static_cast<LONG>(1 + rng() % 30000), h = static_cast<LONG>(1 + rng() % 30000);
            WriteFileBytes(skin.folder() + name, ClaimingBitmap(w, h));
            return "picture claims " + std::to_string(w) + "x" + std::to_string(h) + ": " + Narrow(name);
        }
    case 7:  // containers that list themselves or each other
        SetKey(lines, "MAINDLG/APPVIEWS", "4", "BottomContainer, 0, 590, 960, 30");
        SetKey(lines, "BottomContainer/APPVIEWS", "1", rng() % 2 ? "BottomContainer, 0, 0, 10, 10" : "SplitterBar, 0, 0, 1, 10");
        SetKey(lines, "SplitterBar/APPVIEWS", "1", "BottomContainer, 0, 0, 5, 5");
        return "containers";
    default:  // the file is cut at a random place
        if (!lines.empty()) lines.resize(pick(lines.size()));
        return "cut after line " + std::to_string(lines.size());
    }
}

// The faults once seen, each a change to the default skin.
struct HandMade {
    const char* name;
    bool refused;  // over the budget: refused with a message, then the default skin
    std::function<void(DamagedSkin&)> apply;
};

std::vector<HandMade> HandMadeCases() {
    return {
        {"border numbers that made a repaint issue 2e9 blits", false,
         [](DamagedSkin& s) {
             SetKey(s.lines(), "MAINDLG", "LeftParam", "1,0,88,1,0,0");
             SetKey(s.lines(), "MAINDLG", "BottomParam", "960,-2000000000,0,0,0,0");
         }},
        {"two ENUMS lines of 65,536 copies of a 4,000-character token", true,
         [](DamagedSkin& s) {
             std::string token(4000, 'x');
             SetKey(s.lines(), "ENUMS", "1", "A, 0, 0, 65536, " + token);
             SetKey(s.lines(), "ENUMS", "2", "B, 0, 0, 65536, " + token);
         }},
        {"four 4096x4096 buttons", false,
         [](DamagedSkin& s) {
             for (char key : {'1', '2', '3', '4'})
                 SetKey(s.lines(), "MAINDLG/BUTTONS", std::string(1, key),
                        std::string("B") + key + ", 0, 0, 4096, 4096, tip");
         }},
        {"a status label of size 30000", false,
         [](DamagedSkin& s) {
             SetKey(s.lines(), "MAINDLG/TEXTINFO", "1",
                    "Information, Segoe UI, 0, 0, 30000, 36, 72,83,96, 32,591,290,28, Waiting for Handset..., , , 0");
         }},
        {"a 1 KB compressed bitmap that claims 16384x16384", false,
         [](DamagedSkin& s) { WriteFileBytes(s.folder() + L"main.bmp", ClaimingBitmap(16384, 16384)); }},
        {"a picture outside the skin folder", false,
         [](DamagedSkin& s) { SetKey(s.lines(), "MAINDLG", "Main", "..\\..\\elsewhere\\x.bmp"); }},
        {"a container that lists itself", false,
         [](DamagedSkin& s) {
             SetKey(s.lines(), "MAINDLG/APPVIEWS", "4", "BottomContainer, 0, 590, 960, 30");
             SetKey(s.lines(), "BottomContainer/APPVIEWS", "1", "BottomContainer, 0, 0, 960, 30");
         }},
    };
}

// Seeds 1..N: "--seeds=N" on the command line, else the fixed CI list;
// "--seed=K" runs seed K alone (to look at one failure).
std::pair<int, int> SeedRange() {
    if (const wchar_t* one = std::wcsstr(::GetCommandLineW(), L"--seed=")) {
        int k = std::max(1, _wtoi(one + 7));
        return {k, k};
    }
    const wchar_t* flag = std::wcsstr(::GetCommandLineW(), L"--seeds=");
    return {1, flag ? std::max(0, _wtoi(flag + 8)) : kCiSeeds};
}

class SkinFuzz : public ::testing::Test {
protected:
    void SetUp() override { copy_.UseOwnLog(1); }

    // Starts the program on `skin`, answers refusals, closes the window; a
    // failure message names the case.
    void Run(DamagedSkin& skin, const std::string& label, int* refusalsShown = nullptr) {
        ASSERT_TRUE(skin.Save());
        ASSERT_TRUE(WriteFileBytes(copy_.dir() + L"config\\Settings.ini",
                                   "[Settings]\r\nCurrentSkinPath=" + Narrow(skin.folder()) + "\r\n"));
        RunningProgram app(copy_.dir() + L"Pelican.exe", {L"PELICAN_DEVICE_ROOT=" + scratch_.path() + L"no-device"});
        ASSERT_TRUE(app.started()) << label;
        SIZE_T peak = 0;
        auto sample = [&] {
            PROCESS_MEMORY_COUNTERS counters{};
            counters.cb = sizeof(counters);
            if (::GetProcessMemoryInfo(app.handle(), &counters, sizeof(counters)))
                peak = std::max(peak, counters.PeakWorkingSetSize);
        };
        DWORD start = ::GetTickCount();
        HWND main = nullptr;
        bool exited = false;
        int refusals = 0;
        while (::GetTickCount() - start < kHangMs) {
            sample();
            if (app.WaitExit(0)) {
                exited = true;
                break;
            }
            if (HWND box = app.FindWindow(L"Pelican")) {
                std::wstring text = ChildTexts(box);
                EXPECT_NE(std::wstring::npos, text.find(L"default skin")) << label << ": " << Narrow(text);
                ++refusals;
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                ::Sleep(100);
                continue;
            }
            main = app.FindWindow(L"EmberPelican");
            if (main) break;
            ::Sleep(25);
        }
        ASSERT_FALSE(exited) << label << ": the program ended before its window showed";
        ASSERT_NE(nullptr, main) << label << ": no window within 10 s";
        EXPECT_LE(refusals, 1) << label;
        if (refusalsShown) *refusalsShown = refusals;
        // Let it paint and settle, then close as the user does.
        ::Sleep(200);
        sample();
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        DWORD code = 0;
        DWORD closing = ::GetTickCount();
        bool ended = false;
        while (!(ended = app.WaitExit(50, &code)) && ::GetTickCount() - closing < kHangMs) sample();
        ASSERT_TRUE(ended) << label << ": still running 10 s after closing";
        EXPECT_EQ(7u, code) << label;
        EXPECT_LE(peak, kPeakLimit) << label << ": peak working set " << (peak >> 20) << " MB";
        peaks_.push_back(peak);
    }

    ScratchFolder scratch_{L"fuzz"};
    ProgramCopy copy_;
    std::vector<SIZE_T> peaks_;
};

TEST_F(SkinFuzz, HandMadeDamageNeverCrashesHangsOrExhausts) {
    int n = 0;
    for (const HandMade& c : HandMadeCases()) {
        DamagedSkin skin(scratch_.path() + L"hand" + std::to_wstring(++n) + L"\\");
        c.apply(skin);
        int refusals = 0;
        Run(skin, c.name, &refusals);
        if (HasFatalFailure()) return;
        EXPECT_EQ(c.refused ? 1 : 0, refusals) << c.name;
    }
}

TEST_F(SkinFuzz, RandomDamageNeverCrashesHangsOrExhausts) {
    const auto [first, last] = SeedRange();
    for (int seed = first; seed <= last; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        DamagedSkin skin(scratch_.path() + L"seed" + std::to_wstring(seed) + L"\\");
        int changes = 1 + static_cast<int>(rng() % 4);
        std::string label = "seed " + std::to_string(seed);
        for (int i = 0; i < changes; ++i) label += "\n  " + Damage(skin, rng);
        Run(skin, label);
        if (HasFatalFailure()) return;
        RemoveTree(skin.folder());
    }
    if (!peaks_.empty())
        std::printf("seeds %d to %d; highest peak working set %u MB\n", first, last,
                    static_cast<unsigned>(*std::max_element(peaks_.begin(), peaks_.end()) >> 20));
}

}  // namespace
