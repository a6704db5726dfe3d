// Size texts, skin parameter tokens, extensions and the icon cache.
#include <gtest/gtest.h>

#include "fileview/CShellIconCache.h"
#include "fileview/FileViewText.h"

namespace {

TEST(SizeText, UnitsAndBoundaries) {
    EXPECT_EQ(L"0Bytes", FormatSizeText(0));
    EXPECT_EQ(L"1023Bytes", FormatSizeText(1023));
    EXPECT_EQ(L"1.0KB", FormatSizeText(1024));
    EXPECT_EQ(L"1.5KB", FormatSizeText(1536));
    // 1048575 / 1024 = 1023.999..., rounded at one decimal.
    EXPECT_EQ(L"1024.0KB", FormatSizeText(1048575));
    EXPECT_EQ(L"1.0MB", FormatSizeText(1048576));
    EXPECT_EQ(L"4096.0MB", FormatSizeText(4294967295ull));
}

TEST(SizeText, FilesOfFourGibibytesAndMoreKeepTheirSize) {
    // A 32-bit size would have wrapped these to 0Bytes and 1024.0MB.
    EXPECT_EQ(L"4096.0MB", FormatSizeText(4294967296ull));
    EXPECT_EQ(L"5120.0MB", FormatSizeText(5ull << 30));
    EXPECT_EQ(L"5120.5MB", FormatSizeText((5ull << 30) + (1u << 19)));
}

TEST(SkinTokens, BlanksAfterCommasAreSkipped) {
    EXPECT_EQ((std::vector<std::wstring>{L"10", L"20"}), SplitSkinTokens(L"10, 20"));
    EXPECT_EQ((std::vector<std::wstring>{L"a.bmp", L"b c", L""}), SplitSkinTokens(L"a.bmp,  \tb c,"));
    // Blanks before a comma and at the end belong to the token.
    EXPECT_EQ((std::vector<std::wstring>{L"1 ", L"2 "}), SplitSkinTokens(L"1 ,2 "));
    EXPECT_TRUE(SplitSkinTokens(L"").empty());
}

TEST(Extension, LastDotOrWholeName) {
    EXPECT_EQ(L".jpg", ExtensionOf(L"IMG.0001.jpg"));
    EXPECT_EQ(L"README", ExtensionOf(L"README"));
    EXPECT_EQ(L".profile", ExtensionOf(L".profile"));
    EXPECT_EQ(L".", ExtensionOf(L"name."));
}

TEST(IconCache, AsksTheShellOncePerExtension) {
    CShellIconCache cache;
    int jpg = cache.FileIcon(L".jpg");
    EXPECT_EQ(1u, cache.ShellQueries());
    for (int i = 0; i < 100; ++i) EXPECT_EQ(jpg, cache.FileIcon(i % 2 ? L".jpg" : L".JPG"));
    EXPECT_EQ(1u, cache.ShellQueries());
    cache.FileIcon(L".txt");
    int readme = cache.FileIcon(L"README");
    EXPECT_EQ(3u, cache.ShellQueries());
    // Names without an extension all get the shell's answer for the first one.
    EXPECT_EQ(readme, cache.FileIcon(L"Makefile"));
    EXPECT_EQ(3u, cache.ShellQueries());
    int folder = cache.FolderIcon();
    EXPECT_EQ(folder, cache.FolderIcon());
    EXPECT_EQ(4u, cache.ShellQueries());
    EXPECT_NE(nullptr, CShellIconCache::SystemSmallImages());
}

}  // namespace
