// The title and the error box's full-stop rule, and the decoding of the program's texts.
#include "app/qt/Boxes.h"
#include "app/qt/Windows1252.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct TTitleCase {
    const char* file;
    const char* title;
};

void PrintTo(const TTitleCase& c, std::ostream* os) { *os << '"' << c.file << '"'; }

class ApplicationTitleTest : public testing::TestWithParam<TTitleCase> {};

TEST_P(ApplicationTitleTest, CutAtFirstDotAndLowerAfterFirst) {
    EXPECT_EQ(ApplicationTitleFor(GetParam().file), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Files, ApplicationTitleTest,
                         testing::Values(TTitleCase{"TARVIK.EXE", "Tarvik"},
                                         TTitleCase{"tarvik.old.exe", "tarvik"},
                                         TTitleCase{"tarvik", "tarvik"},
                                         TTitleCase{"Tarvik", "Tarvik"},
                                         TTitleCase{"MyTool.exe", "Mytool"},
                                         TTitleCase{".hidden", ""},
                                         TTitleCase{"", ""}));

struct TFullStopCase {
    std::string message;
    std::string shown;
};

void PrintTo(const TFullStopCase& c, std::ostream* os) { *os << testing::PrintToString(c.message); }

class ErrorBoxTextTest : public testing::TestWithParam<TFullStopCase> {};

TEST_P(ErrorBoxTextTest, FullStopOnlyAfterCodesAboveTheDot) {
    EXPECT_EQ(ErrorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ErrorBoxTextTest,
    testing::Values(TFullStopCase{"Access denied", "Access denied."},
                    TFullStopCase{"Error 1045", "Error 1045."},
                    TFullStopCase{"Motivo:", "Motivo:."},
                    TFullStopCase{"What?", "What?."},
                    TFullStopCase{"Ends with a slash/", "Ends with a slash/."},
                    // A Windows-1252 letter above 0x7F is a letter too, not a negative char.
                    TFullStopCase{"Falha na identifica\xE7\xE3o", "Falha na identifica\xE7\xE3o."},
                    TFullStopCase{"Done.", "Done."},
                    TFullStopCase{"Processamento Concluido!", "Processamento Concluido!"},
                    TFullStopCase{"(see above)", "(see above)"},
                    TFullStopCase{"'abc'", "'abc'"},
                    TFullStopCase{"trailing blank ", "trailing blank "},
                    TFullStopCase{"line\r\n", "line\r\n"},
                    TFullStopCase{"minus-", "minus-"},
                    TFullStopCase{"", ""}));

TEST(Windows1252Test, DecodesLatin1RangeAndTheWindowsPunctuation) {
    EXPECT_EQ(FromWindows1252("N\xE3o foi poss\xEDvel"), QString::fromUtf8("Não foi possível"));
    EXPECT_EQ(FromWindows1252("\x80 \x93x\x94 \x85"), QString::fromUtf8("€ “x” …"));
    EXPECT_EQ(FromWindows1252(std::string("a\0b", 3)), QString(QStringLiteral("a") + QChar(0) + "b"));
    EXPECT_EQ(FromWindows1252("\x81\x9F\xFF"), QString::fromUtf8("\xC2\x81Ÿÿ"));
}

}  // namespace
}  // namespace tarvik
