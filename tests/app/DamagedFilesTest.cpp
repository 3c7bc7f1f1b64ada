#include <cstring>
#include <fstream>
#include <random>

#include "tests/app/WindowFixture.h"
#include "tests/support/FileBytes.h"

namespace {
struct ScanOfADamagedFile : WindowFixture {};

uint32_t Long(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// Where the resources of a PE file start and how long they are.
std::pair<size_t, size_t> ResourceSection(const std::string& bytes) {
    const size_t name = bytes.find(std::string(".rsrc\0\0\0", 8));
    if (name == std::string::npos) return {0, 0};
    return {Long(bytes, name + 20), Long(bytes, name + 8)};
}

// The icon count the file line gives, 0 for "no icons", -1 when it is neither.
int CountOnLine(const std::string& line, const std::string& name) {
    const std::string start = " 文件名: " + name + "  [";
    if (line.compare(0, start.size(), start) != 0) return -1;
    if (line.compare(start.size(), std::strlen("没有图标文件]"), "没有图标文件]") == 0) return 0;
    const std::string counted = "图标数: ";
    if (line.compare(start.size(), counted.size(), counted) != 0) return -1;
    return std::atoi(line.c_str() + start.size() + counted.size());
}
}  // namespace

TEST_F(ScanOfADamagedFile, NeitherCrashesNorComplainsAndTheNextFileScansWhole) {
    const std::string multi = FileBytes(kFixtures + "\\multi.ico");
    const std::string library = FileBytes(kFixtures + "\\threeicons.dll");
    ASSERT_FALSE(multi.empty());
    const auto [start, length] = ResourceSection(library);
    ASSERT_GT(length, 64u);

    std::string tooMany = multi, pastEnd = multi, scrambled = library;
    tooMany[4] = '\xE8', tooMany[5] = '\x03';  // 1000 entries
    for (size_t i = 0; i < 3; ++i) {
        const auto end = static_cast<uint32_t>(multi.size());
        std::memcpy(&pastEnd[6 + i * 16 + 12], &end, 4);
    }
    std::mt19937 random(7);
    for (size_t i = 0; i < 64; ++i) scrambled[start + i] = static_cast<char>(random());

    // The most icons each may still show: an .ico holds one icon of several images.
    const struct { const char* name; std::string bytes; int most; } rows[] = {
        {"count1000.ico", tooMany, 1},
        {"pastend.ico", pastEnd, 0},
        {"halfcut.ico", multi.substr(0, multi.size() / 2), 1},
        {"scrambled.dll", scrambled, 2},
        {"cutbefore.dll", library.substr(0, start), 0},
        {"cutinside.dll", library.substr(0, start + 24), 0},
        {"cutmiddle.dll", library.substr(0, start + length / 2), 2},
        {"cutquarter.dll", library.substr(0, library.size() / 4), 0}};
    for (const auto& r : rows) {
        std::ofstream(temp + "\\" + r.name, std::ios::binary) << r.bytes;
        ASSERT_EQ(SizeOf(temp + "\\" + r.name), static_cast<long long>(r.bytes.size())) << r.name;
    }
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Pick(temp, r.name);
        EXPECT_TRUE(shown.empty()) << shown.front();
        shown.clear();
        const int count = CountOnLine(FileLine(), r.name);
        EXPECT_GE(count, 0) << FileLine();
        EXPECT_LE(count, r.most) << FileLine();
        EXPECT_EQ(ListedIcons(), count);
    }

    Pick(kFixtures, "threeicons.dll");
    EXPECT_EQ(CountOnLine(FileLine(), "threeicons.dll"), 3) << FileLine();
    EXPECT_EQ(ListedIcons(), 3);
    form->FileListBox1->SetDirPath(kFixtures);
}
