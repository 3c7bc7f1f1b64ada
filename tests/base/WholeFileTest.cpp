#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "base/Exceptions.h"
#include "base/FileHandle.h"
#include "base/UniqueHandle.h"
#include "base/WholeFile.h"
#include "tests/support/FileBytes.h"

namespace {
// A folder of its own under the temporary folder, emptied again afterwards.
struct WholeFileWriting : ::testing::Test {
    std::string folder;
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tulvar-whole-file";
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const std::string& name : Names()) Remove(name);
    }
    void TearDown() override {
        for (const std::string& name : Names()) Remove(name);
        RemoveDirectoryA(folder.c_str());
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") names.insert(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }
    void Remove(const std::string& name) const {
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
    }
};
}  // namespace

TEST_F(WholeFileWriting, ReplacesAnExistingFileWithTheWholeNewContent) {
    const std::string path = folder + "\\picture.bmp";
    WriteWholeFile(path, "old content, longer than the new");
    WriteWholeFile(path, "new");
    EXPECT_EQ(FileBytes(path), "new");
    EXPECT_EQ(Names(), std::set<std::string>{"picture.bmp"});
}

TEST_F(WholeFileWriting, AFailedWriteLeavesTheFolderAsItWas) {
    const std::string path = folder + "\\kept.bmp";
    WriteWholeFile(path, "old");
    // A file mapped into memory by another program passes every check made
    // before the new file exists: only putting the new file in its place fails.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    UniqueHandle<HANDLE, CloseHandle> mapping(CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    ASSERT_TRUE(mapping);
    const void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    file.Reset();
    const std::function<void()> arrangements[] = {
        [] {},
        [&] {
            UnmapViewOfFile(view);
            mapping.Reset();
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        },
        [&] {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            CreateDirectoryA(path.c_str(), nullptr);
        },
    };
    for (const auto& arrange : arrangements) {
        arrange();
        const std::set<std::string> before = Names();
        try {
            WriteWholeFile(path, "new content");
            ADD_FAILURE() << "written over " << before.size() << " names";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message, "不能创建文件 " + path);
        }
        EXPECT_EQ(Names(), before) << "no new file stays behind";
        if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) continue;
        EXPECT_EQ(FileBytes(path), "old");
    }
}
