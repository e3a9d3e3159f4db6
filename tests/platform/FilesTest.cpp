// The settings files written whole or not at all, on either system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/Files.h"
#include "tests/support/TempDir.h"

namespace tarvik {
namespace {

using test::ReadWholeFile;
using test::TTempDir;

std::set<std::string> Entries(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

// Writing new a.ini and b.conf into `dir` fails at b.conf, with a message.
void ExpectSecondFileRefused(const TTempDir& dir) {
    try {
        WriteFilesWhole({{dir.File("a.ini"), "new a"}, {dir.File("b.conf"), "new b"}}, std::nullopt);
        ADD_FAILURE() << "no error";
    } catch (const EFileWriteError& e) {
        EXPECT_EQ(e.Index(), 1u);
        EXPECT_FALSE(e.Message().empty());
    }
}

TEST(FilesTest, WritesNewFilesAndReplacesExistingOnes) {
    TTempDir dir;
    dir.Write("b.conf", "old b");
    WriteFilesWhole({{dir.File("a.ini"), "new a\r\n"}, {dir.File("b.conf"), "new b"}}, std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir.File("a.ini")), "new a\r\n");
    EXPECT_EQ(ReadWholeFile(dir.File("b.conf")), "new b");
    EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"a.ini", "b.conf"}));
}

// The second name is a folder: the first file, already in place by then, is put back as it was
// (or taken away again when it was new), and no temporary is left behind.
TEST(FilesTest, AFileThatCannotBePutInPlaceLeavesEveryFileAsItWas) {
    for (const bool firstExists : {true, false}) {
        TTempDir dir;
        if (firstExists) dir.Write("a.ini", "old a");
        std::filesystem::create_directory(dir.File("b.conf"));
        ExpectSecondFileRefused(dir);
        if (firstExists) {
            EXPECT_EQ(ReadWholeFile(dir.File("a.ini")), "old a");
            EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"a.ini", "b.conf"}));
        } else {
            EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"b.conf"}));
        }
    }
}

// A folder name outside any one code page: the names go to the system as they are (UTF-8 in
// the program, UTF-16 on Windows).
TEST(FilesTest, FolderNamesOutsideTheCodePage) {
    TTempDir dir;
    const std::string folder = dir.File("Tarvik \xC5\x81\xC3\xB3" "d\xC5\xBA");  // "Tarvik Łódź"
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    ASSERT_TRUE(IsDirectory(folder));
    const std::string file = folder + (folder.find('\\') != std::string::npos ? "\\" : "/") + "a.ini";
    WriteFilesWhole({{file, "new a"}}, std::nullopt);
    EXPECT_TRUE(IsRegularFile(file));
    EXPECT_TRUE(NameExists(file));
    std::ifstream in(std::filesystem::u8path(file), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new a");
}

#ifdef _WIN32
// The old file's attributes stay with the new one, read-only included, and nothing of the old
// one (its password) stays beside it; the file can be replaced again.
TEST(FilesTest, AReadOnlyFileIsReplacedInPlaceKeepingItsAttributes) {
    TTempDir dir;
    const std::wstring a = std::filesystem::path(dir.Write("a.ini", "old a")).wstring();
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(::SetFileAttributesW(a.c_str(), kept));
    for (const char* contents : {"new a", "newer a"}) {
        WriteFilesWhole({{dir.File("a.ini"), contents}, {dir.File("b.conf"), "b"}}, std::nullopt);
        EXPECT_EQ(ReadWholeFile(dir.File("a.ini")), contents);
        EXPECT_EQ(::GetFileAttributesW(a.c_str()) & kept, kept);
        EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"a.ini", "b.conf"}));
    }
    ::SetFileAttributesW(a.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// An old file held open elsewhere without leave to move or delete it: nothing replaced,
// nothing left beside, and the error says so.
TEST(FilesTest, AnOldFileHeldOpenLeavesEveryFileAsItWas) {
    TTempDir dir;
    dir.Write("a.ini", "old a");
    dir.Write("b.conf", "old b");
    const std::wstring b = std::filesystem::path(dir.File("b.conf")).wstring();
    const HANDLE held = ::CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ExpectSecondFileRefused(dir);
    ::CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(dir.File("a.ini")), "old a");
    EXPECT_EQ(ReadWholeFile(dir.File("b.conf")), "old b");
    EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"a.ini", "b.conf"}));
}
#endif

}  // namespace
}  // namespace tarvik
