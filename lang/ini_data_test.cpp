#include "lang/ini_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lang {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Optional;

using namespace std::string_literals;

IniData Read(std::string_view bytes) {
    IniData data;
    data.Assign(SplitLines(bytes));
    return data;
}

TEST(SplitLines, EndsLinesAtCrLfLoneCrAndLoneLf) {
    EXPECT_THAT(SplitLines("a\r\nb\rc\nd"), ElementsAre("a", "b", "c", "d"));
    // LF CR is two breaks, and so is CR CR LF.
    EXPECT_THAT(SplitLines("a\n\rb\r\r\nc"), ElementsAre("a", "", "b", "", "c"));
    // A break at the end adds no empty line; each further break does.
    EXPECT_THAT(SplitLines("a\r\n"), ElementsAre("a"));
    EXPECT_THAT(SplitLines("a\r\n\r\n"), ElementsAre("a", ""));
    EXPECT_THAT(SplitLines("\n"), ElementsAre(""));
    EXPECT_THAT(SplitLines(""), IsEmpty());
}

TEST(SplitLines, StopsAtNulAndKeepsOtherBytes) {
    EXPECT_THAT(SplitLines("a\nb\0c\nd"s), ElementsAre("a", "b"));
    EXPECT_THAT(SplitLines("\0a"s), IsEmpty());
    EXPECT_THAT(SplitLines("a\r\0\nb"s), ElementsAre("a"));
    // Tabs, other control bytes and Windows-1252 letters are line content.
    EXPECT_THAT(SplitLines("\t\x01x\xE9\xFF\n"), ElementsAre("\t\x01x\xE9\xFF"));
}

TEST(Trim, RemovesEveryByteUpToSpaceFromBothEndsOnly) {
    EXPECT_EQ(Trim(" \t\x01\x1F a b \x20\r"), "a b");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is not a control byte
    EXPECT_EQ(Trim(" \x7F "), "\x7F");
    EXPECT_EQ(Trim(" \t "), "");
}

TEST(IniRules, TrimsKeysAndValuesAndSplitsAtTheFirstEquals) {
    IniData data = Read(
        "[MAIN]\n"
        "  MenuFile.Caption  =  &File  \n"
        "\tButtonCapture.Hint\x01=\x02"
        "Capture\x1F\n"
        "SaveDialog1.Filter=Bitmap|*.bmp|JPEG Image File (*.jpg)|*.jpg\n"
        "Menu.Hint= a = b \n"
        "Empty.Caption=\n"
        "=no key\n");
    EXPECT_THAT(data.Value("MAIN", "MenuFile.Caption"), Optional("&File"s));
    EXPECT_THAT(data.Value("MAIN", "ButtonCapture.Hint"), Optional("Capture"s));
    EXPECT_THAT(data.Value("MAIN", "SaveDialog1.Filter"),
                Optional("Bitmap|*.bmp|JPEG Image File (*.jpg)|*.jpg"s));
    EXPECT_THAT(data.Value("MAIN", "Menu.Hint"), Optional("a = b"s));
    // Present with an empty value is not the same as absent.
    EXPECT_THAT(data.Value("MAIN", "Empty.Caption"), Optional(""s));
    EXPECT_EQ(data.Value("MAIN", "Missing.Caption"), std::nullopt);
    EXPECT_THAT(data.Value("MAIN", ""), Optional("no key"s));
}

TEST(IniRules, SkipsCommentsBlankLinesAndLinesBeforeTheFirstSection) {
    IniData data = Read(
        "Early=1\n"
        "[S]\n"
        ";MenuFile.Caption=X\n"
        "   ;Indented=comment\n"
        "\t \n"
        "Late;Key=2\n");
    EXPECT_EQ(data.Value("S", "MenuFile.Caption"), std::nullopt);
    EXPECT_EQ(data.Value("S", ";MenuFile.Caption"), std::nullopt);
    EXPECT_EQ(data.Value("S", "Indented"), std::nullopt);
    EXPECT_EQ(data.Value("S", "Early"), std::nullopt);
    EXPECT_THAT(data.Value("S", "Late;Key"), Optional("2"s));  // ";" starts a comment only first
    EXPECT_THAT(data.ToLines(), ElementsAre("[S]", "Late;Key=2", ""));
}

TEST(IniRules, SectionHeadersNeedBothBracketsAndHaveTrimmedNames) {
    IniData data = Read(
        "  [ General ]  \n"
        "A=1\n"
        "[\n"
        "[Open\n"
        "Close]\n"
        "x[y]\n"
        "[]\n"
        "B=2\n"
        "[[Inner]]\n"
        "C=3\n");
    // Lines that only look like headers are lines of the section before them; having
    // no "=", they match no key.
    ASSERT_NE(data.Section("General"), nullptr);
    EXPECT_THAT(data.Section("General")->Lines(),
                ElementsAre("A=1", "[", "[Open", "Close]", "x[y]"));
    EXPECT_EQ(data.Value("General", "[Open"), std::nullopt);  // kept, but no key
    EXPECT_THAT(data.Value("", "B"), Optional("2"s));
    EXPECT_THAT(data.Value("[Inner]", "C"), Optional("3"s));
}

TEST(IniRules, MatchesAsciiLettersInAnyCaseAndHighBytesExactly) {
    IniData data = Read("[Main]\nMenuFile.Caption=&File\n[Caf\xE9]\nK\xC9Y=1\n");
    EXPECT_THAT(data.Value("MAIN", "menufile.CAPTION"), Optional("&File"s));
    EXPECT_THAT(data.Value("main", "MenuFile.Caption"), Optional("&File"s));
    EXPECT_THAT(data.Value("CAF\xE9", "k\xC9y"), Optional("1"s));
    EXPECT_EQ(data.Section("CAF\xC9"), nullptr);
    EXPECT_EQ(data.Value("Caf\xE9", "K\xE9Y"), std::nullopt);
    // Folding letters must not make neighbouring bytes equal.
    EXPECT_EQ(data.Section("Mai@"), nullptr);
    EXPECT_EQ(data.Section("Main "), nullptr);
}

TEST(IniRules, LastOccurrenceOfASectionOrKeyWins) {
    IniData data = Read(
        "[main]\n"
        "OnlyFirst=1\n"
        "Both=first\n"
        "[Other]\n"
        "X=1\n"
        "[MAIN]\n"
        "Both=second\n"
        "Key=a\n"
        "KEY=b\n"
        "key = c\n");
    // The later section is used whole: keys of the earlier one are not found.
    EXPECT_EQ(data.Value("Main", "OnlyFirst"), std::nullopt);
    EXPECT_THAT(data.Value("Main", "Both"), Optional("second"s));
    EXPECT_THAT(data.Value("Main", "Key"), Optional("c"s));
    EXPECT_THAT(data.Value("Other", "X"), Optional("1"s));
    // Nothing read is dropped from the data.
    EXPECT_THAT(data.ToLines(),
                ElementsAre("[main]", "OnlyFirst=1", "Both=first", "", "[Other]", "X=1", "",
                            "[MAIN]", "Both=second", "Key=a", "KEY=b", "key=c", ""));
}

TEST(IniRules, ByteOrderMarkHidesTheFirstSectionHeader) {
    IniData data = Read(
        "\xEF\xBB\xBF[General]\r\n"
        "LanguageName=Deutsch\r\n"
        "Author=Someone\r\n"
        "[MAIN]\r\n"
        "MenuFile.Caption=&Datei\r\n");
    EXPECT_EQ(data.Section("General"), nullptr);
    EXPECT_EQ(data.Section("\xEF\xBB\xBF[General]"), nullptr);
    EXPECT_EQ(data.Value("MAIN", "LanguageName"), std::nullopt);
    EXPECT_THAT(data.Value("MAIN", "MenuFile.Caption"), Optional("&Datei"s));
}

TEST(IniRules, NulEndsTheFileAndLoneCrEndsLines) {
    IniData data = Read("[MAIN]\rA=1\rB=2\0\rC=3\r[Hidden]\rD=4"s);
    EXPECT_THAT(data.Value("MAIN", "A"), Optional("1"s));
    EXPECT_THAT(data.Value("MAIN", "B"), Optional("2"s));
    EXPECT_EQ(data.Value("MAIN", "C"), std::nullopt);
    EXPECT_EQ(data.Section("Hidden"), nullptr);
}

TEST(IniRules, AssignReplacesEverything) {
    IniData data = Read("[General]\nLanguageName=English\n[MAIN]\nA=1\n");
    data.Assign(std::vector<std::string>{"[MAIN]", "B=2"});
    EXPECT_EQ(data.Section("General"), nullptr);
    EXPECT_EQ(data.Value("MAIN", "A"), std::nullopt);
    EXPECT_THAT(data.Value("MAIN", "B"), Optional("2"s));
    data.Assign({});
    EXPECT_THAT(data.ToLines(), IsEmpty());
}

TEST(IniLines, SerialiseEachSectionAndReadBackTheSame) {
    const std::vector<std::string> templateLines = {
        "[General]", "LanguageVersion=1.0", "Author=Norvanta", "AuthorEmail=", "LanguageName=", ""};
    IniData data;
    data.Assign(templateLines);
    EXPECT_EQ(data.ToLines(), templateLines);

    data = Read(" [ A ] \n k = v \ntext\n[B]\n[C]\nx=1\n");
    std::vector<std::string> lines = data.ToLines();
    EXPECT_THAT(lines, ElementsAre("[A]", "k=v", "text", "", "[B]", "", "[C]", "x=1", ""));
    IniData again;
    again.Assign(lines);
    EXPECT_EQ(again.ToLines(), lines);
}

TEST(IniWrite, ReplacesPresentKeysInPlaceAndAddsMissingOnesAtTheEnd) {
    IniData data = Read(
        "[General]\n"
        "Author=Old\n"
        "LanguageVersion=2.0\n"
        "[MAIN]\n"
        "A=1\n");
    data.Write("General", "author", "New");
    data.Write("General", "LanguageName", "Deutsch");
    data.Write("General", "AuthorEmail", "");
    EXPECT_THAT(data.Value("GENERAL", "Author"), Optional("New"s));
    EXPECT_THAT(data.Value("General", "AuthorEmail"), Optional(""s));
    EXPECT_THAT(data.ToLines(),
                ElementsAre("[General]", "author=New", "LanguageVersion=2.0",
                            "LanguageName=Deutsch", "AuthorEmail=", "", "[MAIN]", "A=1", ""));
}

TEST(IniWrite, CreatesAMissingSectionAtTheEnd) {
    IniData data = Read("[MAIN]\nA=1\n");
    data.Write("General", "Author", "Me");
    data.Write("General", "LanguageVersion", "1.0");
    EXPECT_THAT(data.ToLines(), ElementsAre("[MAIN]", "A=1", "", "[General]", "Author=Me",
                                            "LanguageVersion=1.0", ""));
    EXPECT_THAT(data.Value("MAIN", "A"), Optional("1"s));
}

TEST(IniWrite, WritesTheOccurrenceThatIsFound) {
    IniData data = Read("[General]\nAuthor=A\n[general]\nAuthor=B\nAuthor=C\n");
    data.Write("General", "Author", "D");
    EXPECT_THAT(data.Value("General", "Author"), Optional("D"s));
    EXPECT_THAT(data.ToLines(),
                ElementsAre("[General]", "Author=A", "", "[general]", "Author=B", "Author=D", ""));
}

TEST(IniLookup, SectionKeepsItsKeysAcrossManyLines) {
    // Enough sections and keys to make the tables grow several times over.
    std::string file;
    for (int s = 0; s < 40; ++s) {
        file += "[Form" + std::to_string(s) + "]\n";
        for (int k = 0; k < 200; ++k) {
            file +=
                "Control" + std::to_string(k) + ".Caption=" + std::to_string(s * 1000 + k) + "\n";
        }
    }
    IniData data = Read(file);
    for (int s = 0; s < 40; ++s) {
        const IniSection* section = data.Section("FORM" + std::to_string(s));
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(section->Name(), "Form" + std::to_string(s));
        for (int k = 0; k < 200; ++k) {
            EXPECT_THAT(section->Value("control" + std::to_string(k) + ".caption"),
                        Optional(std::to_string(s * 1000 + k)));
        }
    }
}

}  // namespace
}  // namespace lang
