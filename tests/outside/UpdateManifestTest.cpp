// The updater's manifest, the addresses it may contact, and version order.
#include <gtest/gtest.h>

#include "outside/caretaker/UpdateManifest.h"

namespace {

const std::string kSha(64, 'a');

std::string Manifest(const std::string& extra = "") {
    return "\xEF\xBB\xBF; comment\r\nversion = 1.2.3.4\r\ninstaller=https://x.example/setup.exe\r\nsha256=" + kSha +
           "\r\nnotes=One.\r\nnotes=Two.\r\nfuture=ignored\r\n" + extra;
}

TEST(UpdateManifest, ReadsAWellFormedManifest) {
    UpdateManifest m;
    std::wstring why;
    ASSERT_TRUE(ParseManifest(Manifest("zip=https://x.example/p.zip\n"), &m, &why)) << std::string(why.begin(), why.end());
    EXPECT_EQ(L"1.2.3.4", VersionText(m.version));
    EXPECT_EQ(L"https://x.example/setup.exe", m.installer);
    EXPECT_EQ(L"https://x.example/p.zip", m.zip);
    EXPECT_EQ(L"One.\nTwo.", m.notes);
    EXPECT_EQ(0xAA, m.sha256[0]);
    EXPECT_EQ(0xAA, m.sha256[31]);
}

TEST(UpdateManifest, RefusesWhatItCannotTrust) {
    const std::string cases[] = {
        "",
        "version=1.2.3.4\ninstaller=https://x.example/s.exe\n",                     // no checksum
        "version=1.2.3.4\nsha256=" + kSha + "\n",                                   // no installer
        "installer=https://x.example/s.exe\nsha256=" + kSha + "\n",                 // no version
        Manifest("version=2.0\n"),                                                  // two versions
        Manifest("sha256=" + kSha + "\n"),                                          // two checksums
        "version=1.2.3.4\ninstaller=http://x.example/s.exe\nsha256=" + kSha + "\n",  // plain HTTP elsewhere
        "version=1.2.3.4\ninstaller=https://x.example/s.exe\nsha256=" + kSha.substr(1) + "g\n",
        "version=1.2.70000\ninstaller=https://x.example/s.exe\nsha256=" + kSha + "\n",
        "version=1.2.3.4\ninstaller https://x.example/s.exe\nsha256=" + kSha + "\n",
        "version=1.2.3.4\ninstaller=https://x.example/s.exe\nsha256=" + kSha + "\nnotes=\xFF\xFE\n",  // not UTF-8
        Manifest(std::string(kMaxManifestBytes, '#')),
    };
    for (const std::string& text : cases) {
        UpdateManifest m;
        std::wstring why;
        EXPECT_FALSE(ParseManifest(text, &m, &why)) << text.substr(0, 200);
        EXPECT_FALSE(why.empty());
    }
}

TEST(UpdateAddress, HttpsAnywhereAndPlainHttpOnlyOnThisMachine) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"https://updates.example/pelican.txt", true},
        {L"http://127.0.0.1:8080/m.txt", true},
        {L"http://localhost/m.txt", true},
        {L"http://updates.example/pelican.txt", false},
        {L"http://127.0.0.1.evil.example/m.txt", false},
        {L"http://localhost@evil.example/m.txt", false},
        {L"ftp://updates.example/m.txt", false},
        {L"file:///C:/m.txt", false},
        {L"updates.example/m.txt", false},
        {L"", false},
    };
    for (const auto& [address, allowed] : cases)
        EXPECT_EQ(allowed, IsAllowedAddress(address)) << std::wstring(address).size();
}

TEST(FileVersionOrder, ComparesPartByPartNumerically) {
    FileVersion a, b;
    ASSERT_TRUE(ParseVersion(L"1.10", &a));
    ASSERT_TRUE(ParseVersion(L"1.9.9.9", &b));
    EXPECT_GT(CompareVersions(a, b), 0);
    EXPECT_EQ(L"1.10.0.0", VersionText(a));
    ASSERT_TRUE(ParseVersion(L"1.10.0.0", &b));
    EXPECT_EQ(0, CompareVersions(a, b));
    for (const wchar_t* bad : {L"", L"1.", L".1", L"1.2.3.4.5", L"1..2", L"v1", L"65536", L"1.2 "})
        EXPECT_FALSE(ParseVersion(bad, &a)) << std::wstring(bad).size();
}

}  // namespace
