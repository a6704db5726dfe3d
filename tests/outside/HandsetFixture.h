// A folder-backed device in a scratch folder, with a PC folder beside it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "outside/handset/CFolderHandset.h"
#include "tests/support/TestPaths.h"

struct HandsetFixture : ::testing::Test {
    testsupport::ScratchFolder scratch{L"hs"};
    std::wstring device = scratch.path() + L"device";
    std::wstring pc = scratch.path() + L"pc";
    handset::CFolderHandset* handset = nullptr;

    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW(device.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
        handset = new handset::CFolderHandset(device);
    }
    void TearDown() override {
        if (handset) handset->Close();
    }

    // Makes the folders on the way and writes the file.
    static void Put(const std::wstring& base, const std::wstring& rel, const std::string& bytes) {
        std::wstring path = base;
        size_t start = 0;
        for (size_t cut; (cut = rel.find(L'\\', start)) != std::wstring::npos; start = cut + 1) {
            path += L"\\" + rel.substr(start, cut - start);
            ::CreateDirectoryW(path.c_str(), nullptr);
        }
        ASSERT_TRUE(testsupport::WriteFileBytes(base + L"\\" + rel, bytes));
    }
    void OnDevice(const std::wstring& rel, const std::string& bytes) { Put(device, rel, bytes); }
    void OnPc(const std::wstring& rel, const std::string& bytes) { Put(pc, rel, bytes); }
    std::string DeviceFile(const std::wstring& rel) { return testsupport::ReadFileBytes(device + L"\\" + rel); }
    std::string PcFile(const std::wstring& rel) { return testsupport::ReadFileBytes(pc + L"\\" + rel); }
    bool OnDeviceExists(const std::wstring& rel) { return testsupport::FileExists(device + L"\\" + rel); }
    bool OnPcExists(const std::wstring& rel) { return testsupport::FileExists(pc + L"\\" + rel); }

    // Names in a folder, partial copies included.
    static std::vector<std::wstring> Names(const std::wstring& folder) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            std::wstring n = fd.cFileName;
            if (n != L"." && n != L"..") names.push_back(n);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return names;
    }
    static bool HoldsPartial(const std::wstring& folder) {
        for (const std::wstring& n : Names(folder)) {
            if (n.find(L"~$pelican-") == 0) return true;
            DWORD a = ::GetFileAttributesW((folder + L"\\" + n).c_str());
            if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && HoldsPartial(folder + L"\\" + n))
                return true;
        }
        return false;
    }
};
