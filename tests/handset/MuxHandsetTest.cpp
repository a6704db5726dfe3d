// The handset backend's operations against the stand-in handset.
#include <algorithm>

#include "tests/handset/StandinFixture.h"

namespace {

using standin::StandinFixture;

int Ignore(int, int) { return 0; }

const tag_DirectoryFileTree* Child(const tag_DirectoryFileTree* node, const std::wstring& name) {
    for (const auto& c : node->children)
        if (c.name == name) return &c;
    return nullptr;
}

TEST_F(StandinFixture, ArrivesWithinASecondOfPlugInAndGoesAtUnplug) {
    ::Sleep(200);
    EXPECT_TRUE(Codes().empty()) << "nothing is attached yet";
    EXPECT_FALSE(handset->IsConnected());
    const ULONGLONG start = ::GetTickCount64();
    Plug();
    ASSERT_EQ(std::vector<int>{1}, WaitFor(1));
    EXPECT_LT(standin::Recorded().ticks[0] - start, 1000u);
    EXPECT_TRUE(handset->IsConnected());
    Unplug();
    ASSERT_EQ((std::vector<int>{1, 2}), WaitFor(2));
    EXPECT_FALSE(handset->IsConnected());
    Plug();
    ASSERT_EQ((std::vector<int>{1, 2, 1}), WaitFor(3));
    ::Sleep(300);
    EXPECT_EQ(3u, Codes().size()) << "never twice for one change";
}

TEST_F(StandinFixture, ListsCopiesAndManagesEntries) {
    OnDevice(L"DCIM\\100APPLE\\IMG_0001.JPG", std::string(3000, 'j'));
    OnDevice(L"DCIM\\100APPLE\\IMG_0002.JPG", "two");
    Connect();
    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/", 2);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, L"100APPLE"));
    EXPECT_TRUE(Child(tree, L"100APPLE")->children.empty()) << "files are left out at the deepest level";
    const tag_DirectoryFileTree* folder = handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/100APPLE/", 2);
    ASSERT_NE(nullptr, folder);
    ASSERT_EQ(2u, folder->children.size());
    EXPECT_EQ(L"IMG_0001.JPG", folder->children[0].name);
    EXPECT_EQ(3000u, folder->children[0].size);

    const wchar_t* paths[] = {L"/var/mobile/Media/DCIM/100APPLE", nullptr};
    ASSERT_TRUE(handset->CopyToPC(paths, pc.c_str(), &Ignore));
    EXPECT_EQ(std::string(3000, 'j'), testsupport::ReadFileBytes(pc + L"\\100APPLE\\IMG_0001.JPG"));

    OnPc(L"up.txt", "uploaded");
    wchar_t target[260] = L"/var/mobile/Media/DCIM//up.txt";
    ASSERT_TRUE(handset->CopyFileToDevice((pc + L"\\up.txt").c_str(), target, &Ignore));
    EXPECT_EQ("uploaded", testsupport::ReadFileBytes(media + L"\\DCIM\\up.txt"));
    EXPECT_TRUE(handset->CreateFolder(L"/var/mobile/Media/New"));
    EXPECT_FALSE(handset->CreateFolder(L"/var/mobile/Media/New")) << "already there";
    EXPECT_TRUE(handset->RenamePath(L"/var/mobile/Media/New", L"/var/mobile/Media/Renamed"));
    EXPECT_TRUE(handset->PathExists(L"/var/mobile/Media/Renamed"));
    EXPECT_TRUE(handset->DeletePath(L"/var/mobile/Media/DCIM"));
    EXPECT_FALSE(handset->PathExists(L"/var/mobile/Media/DCIM"));
}

}  // namespace
