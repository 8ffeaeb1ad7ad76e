#include "ui/LayoutParser.h"

#include <gtest/gtest.h>

namespace {

using namespace ui::layout;

TEST(LayoutParser, ReadsObjectsPropertiesAndEveryKindOfValue) {
    const Object root = Parse(
        "object MAIN: TMAIN\n"
        "  Caption = 'Norvanta Glimra 1.3'\n"
        "  Left = -12\n"
        "  Color = $00F0E4EA\n"
        "  Font.Height = -11\n"
        "  BorderIcons = [biSystemMenu, biMinimize]\n"
        "  Empty = []\n"
        "  Align = alTop\n"
        "  Text = 'Rotate 90'#176' it''s'\n"
        "  Lines = (\n"
        "    'one'\n"
        "    'two')\n"
        "  // a comment\n"
        "  object Timer1: TTimer\n"
        "    Interval = 1\n"
        "  end\n"
        "  object Panel1: TPanel\n"
        "    object Child: TLabel\n"
        "    end\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(root.name, "MAIN");
    EXPECT_EQ(root.className, "TMAIN");
    ASSERT_EQ(root.properties.size(), 9u);
    EXPECT_EQ(root.properties[0].value.text, "Norvanta Glimra 1.3");
    EXPECT_EQ(root.properties[1].value.number, -12);
    EXPECT_EQ(root.properties[2].value.number, 0x00F0E4EA);
    EXPECT_EQ(root.properties[3].name, "Font.Height");
    EXPECT_EQ(root.properties[4].value.kind, Value::Kind::Set);
    EXPECT_EQ(root.properties[4].value.items,
              (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
    EXPECT_TRUE(root.properties[5].value.items.empty());
    EXPECT_EQ(root.properties[6].value.kind, Value::Kind::Identifier);
    EXPECT_EQ(root.properties[7].value.text, "Rotate 90\xB0 it's");
    EXPECT_EQ(root.properties[8].value.items, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(root.properties[8].line, 10);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].properties[0].value.number, 1);
    EXPECT_EQ(root.children[1].children[0].name, "Child");
}

TEST(LayoutParser, ErrorsNameTheLine) {
    auto errorOf = [](const char* text) {
        try {
            Parse(text);
        } catch (const LayoutError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(errorOf("object A: TA\n  X = 'open\nend\n").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("object A: TA\n  X 1\nend\n").find("'=' expected"), std::string::npos);
    EXPECT_NE(errorOf("object A: TA\n  X = #300\nend\n").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("object A: TA\n").find("expected"), std::string::npos);
    EXPECT_NE(errorOf("object A: TA\nend\nend\n").find("after the last"), std::string::npos);
    EXPECT_NE(errorOf("thing A: TA\nend\n").find("'object' expected"), std::string::npos);
    EXPECT_NE(errorOf("object A: TA\n X = $1FFFFFFFF\nend").find("too large"), std::string::npos);
}

}  // namespace
