#include "platform/ProfileReader.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace tarvik {
namespace {

struct LookupCase {
    const char* name;
    std::string contents;
    const char* section;
    const char* key;
    const char* defaultValue;
    std::string expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class ProfileLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookup, FollowsTheReadingRules) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(TProfileReader::Lookup(c.contents, c.section, c.key, c.defaultValue), c.expected);
}

const std::string kLong(3000, 'v');

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileLookup,
    ::testing::Values(
        LookupCase{"plain", "[ip]\r\nlocal=db1\r\n", "ip", "local", "", "db1"},
        LookupCase{"blanks_around_key_and_value", "[FilialMatriz]\r\n  usa_fislogica   =   1  \r\n",
                   "FilialMatriz", "usa_fislogica", "0", "1"},
        LookupCase{"double_quotes_removed", "[FilialMatriz]\nusa_fislogica=\"1\"\n", "FilialMatriz",
                   "usa_fislogica", "0", "1"},
        LookupCase{"single_quotes_removed", "[a]\nk='x y'\n", "a", "k", "", "x y"},
        LookupCase{"unmatched_quotes_kept", "[a]\nk=\"x'\n", "a", "k", "", "\"x'"},
        LookupCase{"only_one_pair_removed", "[a]\nk=\"\"x\"\"\n", "a", "k", "", "\"x\""},
        LookupCase{"case_ignored", "[FILIALMATRIZ]\ncodlogica=7\n", "FilialMatriz", "CodLogica", "0", "7"},
        LookupCase{"present_empty_is_not_default", "[FilialMatriz]\nCodLogica=\n", "FilialMatriz",
                   "CodLogica", "0", ""},
        LookupCase{"missing_key_gives_default", "[FilialMatriz]\nusa_fislogica=1\n", "FilialMatriz",
                   "CodLogica", "0", "0"},
        LookupCase{"missing_section_gives_default", "[ip]\nCodLogica=5\n", "FilialMatriz", "CodLogica", "0",
                   "0"},
        LookupCase{"default_loses_trailing_blanks", "", "a", "k", "dflt  ", "dflt"},
        LookupCase{"first_entry_wins", "[a]\nk=1\nk=2\n", "a", "k", "", "1"},
        LookupCase{"first_section_wins", "[a]\nx=1\n[a]\nk=2\n", "a", "k", "d", "d"},
        LookupCase{"entry_of_another_section_not_taken", "[a]\n[b]\nk=2\n", "a", "k", "d", "d"},
        LookupCase{"value_keeps_later_equals", "[a]\nk=x=y\n", "a", "k", "", "x=y"},
        LookupCase{"lf_cr_and_crlf_line_ends", "[a]\rk=cr\r[b]\nk=lf\n", "a", "k", "", "cr"},
        LookupCase{"entry_before_any_section_ignored", "k=0\n[a]\nk=1", "a", "k", "", "1"},
        LookupCase{"lines_without_equals_skipped", "[a]\njunk\n\n;k=no\nk=yes\n", "a", "k", "", "yes"},
        LookupCase{"long_value_cut", "[a]\nk=" + kLong + "\n", "a", "k", "", std::string(2047, 'v')},
        LookupCase{"bytes_passed_through", "[a]\nk=S\xE3o Jos\xE9\n", "a", "k", "", "S\xE3o Jos\xE9"},
        LookupCase{"nul_and_garbage_survive", std::string("\x01\x02[a]\0\n[a]\nk=1\n", 16), "a", "k", "d",
                   "d"}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

TEST(ProfileReader, MissingFileGivesDefaultsAndReadsEveryTimeAfresh) {
    test::TTempDir dir;
    TProfileReader reader(dir.File("sistema_qor.ini"));
    EXPECT_EQ(reader.ReadString("ip", "database", "merovan"), "merovan");
    EXPECT_FALSE(test::FileExists(dir.File("sistema_qor.ini")));  // reading never creates the file

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

}  // namespace
}  // namespace tarvik
