// The streams a drop target reads: the progress they report follows what the
// target has read of the offer, not what was fetched from the device.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shelltransfer/CDeviceFileStream.h"
#include "shelltransfer/DeviceReadSession.h"
#include "shuttle/IShuttle.h"
#include "tests/support/TestPaths.h"

namespace {

// A device whose files are strings; a copy writes the one file asked for.
class StringDevice : public IShuttle {
public:
    std::map<std::wstring, std::string> files;

    bool CopyToPC(const wchar_t* const* paths, const wchar_t* folder, ProgressCallback) override {
        auto found = files.find(paths[0]);
        if (found == files.end() || paths[1]) return false;
        const std::wstring name = found->first.substr(found->first.find_last_of(L'/') + 1);
        return testsupport::WriteFileBytes(std::wstring(folder) + L"\\" + name, found->second);
    }
    bool CopyFileToDevice(const wchar_t*, wchar_t*, ProgressCallback) override { return false; }
    bool CopyFolderToDevice(const wchar_t*, wchar_t*, ProgressCallback) override { return false; }
    bool DeletePath(const wchar_t*) override { return false; }
    bool CreateFolder(const wchar_t*) override { return false; }
    bool RenamePath(const wchar_t*, const wchar_t*) override { return false; }
    tag_DirectoryFileTree* GetDirectoryTree(const wchar_t*, int) override { return nullptr; }
    int QueryPathList(const wchar_t* const*) override { return -1; }
};

// The session's progress function takes no context.
std::vector<std::pair<int, int>>* gReports = nullptr;
int Record(int total, int done) {
    if (gReports) gReports->push_back({total, done});
    return 1;
}

// Reads up to `bytes` in pieces of `piece`; the bytes read.
size_t ReadSome(IStream* stream, size_t bytes, ULONG piece) {
    std::vector<char> buffer(piece);
    size_t total = 0;
    while (total < bytes) {
        ULONG got = 0;
        const ULONG want = static_cast<ULONG>(std::min<size_t>(piece, bytes - total));
        if (FAILED(stream->Read(buffer.data(), want, &got)) || got == 0) break;
        total += got;
    }
    return total;
}

TEST(DeviceFileStream, ProgressFollowsWhatTheTargetHasReadInFewReports) {
    std::vector<std::pair<int, int>> reports;
    gReports = &reports;
    StringDevice device;
    const size_t movie = 3 * 1024 * 1024 + 5, photo = 4096;
    device.files[L"/DCIM/MOVIE.MOV"] = std::string(movie, 'm');
    device.files[L"/DCIM/IMG_0001.JPG"] = std::string(photo, 'p');
    const int totalKiB = static_cast<int>((movie + photo + 1023) / 1024);
    auto session = std::make_shared<DeviceReadSession>(&device, nullptr, 0, &Record, movie + photo);
    IStream* first = new CDeviceFileStream(session, L"/DCIM/MOVIE.MOV", L"MOVIE.MOV", movie);
    IStream* second = new CDeviceFileStream(session, L"/DCIM/IMG_0001.JPG", L"IMG_0001.JPG", photo);

    // Half the movie read in small pieces: the whole movie is fetched by now, the bar is not full.
    ASSERT_EQ(movie / 2, ReadSome(first, movie / 2, 4096));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(totalKiB, reports.back().first);
    EXPECT_NEAR(static_cast<int>(movie / 2 / 1024), reports.back().second, totalKiB / 100);
    // Read again from the start, the same bytes count once.
    const std::pair<int, int> half = reports.back();
    LARGE_INTEGER start{};
    ASSERT_EQ(S_OK, first->Seek(start, STREAM_SEEK_SET, nullptr));
    ASSERT_EQ(movie / 2, ReadSome(first, movie / 2, 65536));
    EXPECT_EQ(half, reports.back());

    ASSERT_EQ(movie - movie / 2, ReadSome(first, movie, 65536));
    EXPECT_GT(totalKiB, reports.back().second) << "full before the last file was read";
    ASSERT_EQ(photo, ReadSome(second, photo, 1000));
    EXPECT_EQ(std::make_pair(totalKiB, totalKiB), reports.back());
    // 800 reads of 4 KiB and more; a report for each would flood the window's queue.
    EXPECT_LE(reports.size(), 210u);
    for (size_t i = 1; i < reports.size(); ++i) EXPECT_LT(reports[i - 1].second, reports[i].second);

    first->Release();
    second->Release();
    gReports = nullptr;
}

}  // namespace
