// The profile reading, through real files: one table for the Linux stand-in and for the
// system's own reading on Windows. Where the two differ, the case names the Windows result
// and platform/ProfileReader.h says why.

#include "platform/ProfileReader.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/TempDir.h"

namespace tarvik {
namespace {

struct ReadCase {
    const char* name;
    std::optional<std::string> contents;  // no file at all when absent
    const char* section;
    const char* key;
    const char* defaultValue;
    std::string expected;
    std::optional<std::string> onWindows = std::nullopt;  // where the system reads otherwise

    const std::string& Expected() const {
#ifdef _WIN32
        if (onWindows) return *onWindows;
#endif
        return expected;
    }
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FollowsTheReadingRules) {
    const ReadCase& c = GetParam();
    test::TTempDir dir;
    if (c.contents) dir.Write("settings.ini", *c.contents);
    const TProfileReader reader(dir.File("settings.ini"));
    EXPECT_EQ(reader.ReadString(c.section, c.key, c.defaultValue), c.Expected());
}

const std::string k2047(2047, 'v');
const std::string k2046(2046, 'v');

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    ::testing::Values(
        ReadCase{"crlf", "[ip]\r\nlocal=db1\r\n", "ip", "local", "", "db1"},
        ReadCase{"lf", "[ip]\nlocal=db1\nother=2\n", "ip", "local", "", "db1"},
        ReadCase{"lone_cr", "[a]\rk=cr\r[b]\rk=b\r", "a", "k", "", "cr"},
        ReadCase{"mixed_line_ends", "[a]\rx=1\r\ny=2\nk=3", "a", "k", "", "3"},
        ReadCase{"no_line_end_at_all", "[a]\nk=last", "a", "k", "", "last"},
        ReadCase{"blanks_around_key_and_value", "[FilialMatriz]\r\n  usa_fislogica   =   1  \r\n",
                 "FilialMatriz", "usa_fislogica", "0", "1"},
        ReadCase{"tabs_around_key_and_value", "[a]\r\n\tk\t=\t1\t\r\n", "a", "k", "0", "1"},
        ReadCase{"blanks_inside_value_kept", "[a]\nk= x  y \n", "a", "k", "", "x  y"},
        ReadCase{"blanks_inside_section_name", "[ a ]\nk=1\n", "a", "k", "d", "1"},
        ReadCase{"double_quotes_removed", "[FilialMatriz]\nusa_fislogica=\"1\"\n", "FilialMatriz",
                 "usa_fislogica", "0", "1"},
        ReadCase{"single_quotes_removed", "[a]\nk='x y'\n", "a", "k", "", "x y"},
        ReadCase{"blanks_inside_quotes_kept", "[a]\nk=\" 1 \"\n", "a", "k", "", " 1 "},
        ReadCase{"unmatched_quotes_kept", "[a]\nk=\"x'\n", "a", "k", "", "\"x'"},
        ReadCase{"opening_quote_alone_kept", "[a]\nk=\"x\n", "a", "k", "", "\"x"},
        ReadCase{"only_one_pair_removed", "[a]\nk=\"\"x\"\"\n", "a", "k", "", "\"x\""},
        ReadCase{"semicolon_in_value_kept", "[a]\nk=x;y ; z\n", "a", "k", "", "x;y ; z"},
        ReadCase{"semicolon_line_is_no_entry", "[a]\n;k=no\nk=yes\n", "a", "k", "", "yes"},
        ReadCase{"section_case_ignored", "[FILIALMATRIZ]\nCodLogica=7\n", "FilialMatriz", "CodLogica", "0", "7"},
        ReadCase{"key_case_ignored", "[FilialMatriz]\ncodlogica=7\n", "FilialMatriz", "CODLOGICA", "0", "7"},
        ReadCase{"present_empty_is_not_default", "[FilialMatriz]\nCodLogica=\n", "FilialMatriz", "CodLogica",
                 "0", ""},
        ReadCase{"missing_key_gives_default", "[FilialMatriz]\nusa_fislogica=1\n", "FilialMatriz", "CodLogica",
                 "0", "0"},
        ReadCase{"missing_section_gives_default", "[ip]\nCodLogica=5\n", "FilialMatriz", "CodLogica", "0", "0"},
        ReadCase{"missing_file_gives_default", std::nullopt, "ip", "database", "merovan", "merovan"},
        ReadCase{"empty_file_gives_default", "", "ip", "database", "merovan", "merovan"},
        ReadCase{"default_loses_trailing_blanks", std::nullopt, "a", "k", "dflt \t ", "dflt"},
        ReadCase{"default_keeps_leading_blanks", "[a]\n", "a", "k", "  dflt", "  dflt"},
        ReadCase{"repeated_key_first_wins", "[a]\nk=1\nK=2\n", "a", "k", "", "1"},
        ReadCase{"repeated_section_first_searched", "[a]\nx=1\n[a]\nk=2\n", "a", "k", "d", "d"},
        ReadCase{"repeated_section_other_case_first_searched", "[a]\nx=1\n[A]\nk=2\n", "a", "k", "d", "d"},
        ReadCase{"repeated_section_first_entry_wins", "[a]\nk=1\n[a]\nk=2\n", "a", "k", "d", "1"},
        ReadCase{"entry_of_another_section_not_taken", "[a]\n[b]\nk=2\n", "a", "k", "d", "d"},
        ReadCase{"entry_before_any_section_ignored", "k=0\n[a]\nk=1", "a", "k", "", "1"},
        ReadCase{"lines_without_equals_skipped", "[a]\njunk\n\nk=yes\n", "a", "k", "", "yes"},
        ReadCase{"value_keeps_later_equals", "[a]\nk=x=y\n", "a", "k", "", "x=y"},
        ReadCase{"value_of_2046", "[a]\nk=" + k2046 + "\n", "a", "k", "", k2046},
        ReadCase{"value_of_2047", "[a]\nk=" + k2047 + "\n", "a", "k", "", k2047},
        ReadCase{"value_of_2048_cut", "[a]\nk=" + k2047 + "w\n", "a", "k", "", k2047},
        ReadCase{"value_of_3000_cut", "[a]\nk=" + std::string(3000, 'v') + "\n", "a", "k", "", k2047},
        ReadCase{"quoted_long_value_cut", "[a]\nk=\"" + k2047 + "w\"\n", "a", "k", "", k2047},
        ReadCase{"bytes_passed_through", "[a]\nk=S\xE3o Jos\xE9\n", "a", "k", "", "S\xE3o Jos\xE9"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ProfileReader, ReadsEveryTimeAfreshAndNeverCreatesTheFile) {
    test::TTempDir dir;
    TProfileReader reader(dir.File("sistema_qor.ini"));
    EXPECT_EQ(reader.ReadString("ip", "database", "merovan"), "merovan");
    EXPECT_FALSE(test::FileExists(dir.File("sistema_qor.ini")));

    dir.Write("sistema_qor.ini", "[FilialMatriz]\r\nCodLogica=3\r\n");
    EXPECT_EQ(reader.ReadString("FilialMatriz", "CodLogica", "0"), "3");
    dir.Write("sistema_qor.ini", "[FilialMatriz]\r\nCodLogica=4\r\n");
    EXPECT_EQ(reader.ReadString("FilialMatriz", "CodLogica", "0"), "4");
}

TEST(ProfileReader, DirectoryInsteadOfFileGivesDefault) {
    test::TTempDir dir;
    TProfileReader reader(dir.Path());
    EXPECT_EQ(reader.ReadString("a", "k", "d"), "d");
}

// The in-memory lookup that the Linux reading is built on, with text that no editor writes.
TEST(ProfileLookup, SurvivesZeroBytesAndGarbage) {
    EXPECT_EQ(TProfileReader::Lookup(std::string("\x01\x02[a]\0\n[a]\nk=1\n", 16), "a", "k", "d"), "d");
}

}  // namespace
}  // namespace tarvik
