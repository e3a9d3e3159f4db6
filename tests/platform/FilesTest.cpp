// The settings files written whole or not at all, on either system.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

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
        try {
            WriteFilesWhole({{dir.File("a.ini"), "new a"}, {dir.File("b.conf"), "new b"}}, std::nullopt);
            ADD_FAILURE() << "no error";
        } catch (const EFileWriteError& e) {
            EXPECT_EQ(e.Index(), 1u);
            EXPECT_FALSE(e.Message().empty());
        }
        if (firstExists) {
            EXPECT_EQ(ReadWholeFile(dir.File("a.ini")), "old a");
            EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"a.ini", "b.conf"}));
        } else {
            EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"b.conf"}));
        }
    }
}

}  // namespace
}  // namespace tarvik
