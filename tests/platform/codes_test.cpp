#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/Codes.h"

using namespace tms;

TEST(Orientation, TableMapsCodesTextsNumbersAndExtents) {
    struct Row {
        int number;
        const char *code, *text;
        double x, y, z;
    } rows[] = {
        {1, "DMJX", "立放，正向", 600, 300, 400}, {2, "DMJY", "立放，横向", 400, 300, 600},
        {3, "JMJX", "侧放，正向", 600, 400, 300}, {4, "JMJY", "侧放，横向", 300, 400, 600},
        {5, "CMJX", "卧放，横向", 300, 600, 400}, {6, "CMJY", "卧放，正向", 400, 600, 300},
    };
    for (const Row& r : rows) {
        const Orientation* o = orientationByCode(r.code);
        ASSERT_NE(o, nullptr) << r.code;
        EXPECT_EQ(o, orientationByText(r.text));
        EXPECT_EQ(o, orientationByNumber(r.number));
        Extents e = extentsOf(*o, 600, 400, 300);  // L, W, H
        EXPECT_EQ(e.x, r.x) << r.code;
        EXPECT_EQ(e.y, r.y) << r.code;
        EXPECT_EQ(e.z, r.z) << r.code;
    }
    EXPECT_EQ(orientationByCode("OUT"), nullptr);
    EXPECT_EQ(orientationByNumber(0), nullptr);
    EXPECT_EQ(orientationByNumber(7), nullptr);
    EXPECT_EQ(orientationByText("立放,正向"), nullptr);  // ASCII comma is not the stored text
}

TEST(ColorText, ConversionsRoundTrip) {
    int r, g, b;
    TColor2RGB(RGB2TColor(255, 0, 0), r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(RGB2TColor(1, 2, 3), 1 + 256 * 2 + 65536 * 3);
    EXPECT_EQ(colorText(RGB2TColor(12, 200, 7)), "12,200,7");
    auto c = parseColorText("0,128,255");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->r, 0);
    EXPECT_EQ(c->g, 128);
    EXPECT_EQ(c->b, 255);
}

TEST(ColorText, MalformedTextsAreRefusedNotGuessed) {
    for (const char* bad : {"", "1,2", "1,2,3,4", "256,0,0", "-1,0,0", " 1,2,3", "1, 2,3", "1,,3", "a,b,c", "1,2,3,",
                            ",1,2", "0001,2,3", "99999999999999999999,0,0"}) {
        EXPECT_FALSE(parseColorText(bad)) << bad;
    }
}

TEST(CodeTexts, KnownCodesAndEverythingElseEmpty) {
    EXPECT_EQ(countTypeText(0), "A类");
    EXPECT_EQ(countTypeText(1), "B类");
    EXPECT_EQ(countTypeText(2), "");
    EXPECT_EQ(loadingTypeText(0), "无限制");
    EXPECT_EQ(loadingTypeText(1), "平放");
    EXPECT_EQ(loadingTypeText(2), "纵放");
    EXPECT_EQ(loadingTypeText(-1), "");
    EXPECT_EQ(restrictText(1), "有");
    EXPECT_EQ(restrictText(0), "无");
    EXPECT_EQ(restrictText(5), "");
    EXPECT_EQ(yesNoText(1), "是");
    EXPECT_EQ(yesNoText(0), "否");
    EXPECT_EQ(yesNoText(9), "");
}

TEST(GbkWidth, ChineseCountsTwoAsciiOne) {
    EXPECT_EQ(gbkWidth(""), 0);
    EXPECT_EQ(gbkWidth("abc"), 3);
    EXPECT_EQ(gbkWidth("货柜"), 4);
    EXPECT_EQ(gbkWidth("40尺普柜"), 8);
    EXPECT_EQ(gbkWidth("立放，正向"), 10);  // the full-width comma is one GBK character
    EXPECT_EQ(padGbk("货物", 6), "货物  ");
    EXPECT_EQ(padGbk("toolong", 3), "toolong");
    // Broken UTF-8 is counted, not crashed on.
    EXPECT_GT(gbkWidth(std::string("a\xff"
                                   "b")),
              1);
    // A character the code page lacks counts two columns, unlike the report,
    // which writes it as a one-byte "?".
    EXPECT_EQ(gbkWidth("a😀b"), 4);
    EXPECT_EQ(gbkWidth("货😀"), 4);
}

TEST(ConvertGbk, HandsOverWhatTheCodePageLacks) {
    std::string out = "x";
    std::vector<std::string> skipped;
    auto keep = [&](std::string_view s, std::string& o) {
        skipped.emplace_back(s);
        o += '#';
    };
    ASSERT_TRUE(convertGbk("甲😀b", true, out, keep));
    EXPECT_EQ(out, "x\xBC\xD7#b");  // appended, the lacking character replaced by the handler
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0], "😀");
    out.clear();
    skipped.clear();
    // 0xFF starts no GBK character; a byte from 0x81 up goes with the next.
    ASSERT_TRUE(
        convertGbk("\xBC\xD7\xFF"
                   "0z\xFF",
                   false, out, keep));
    EXPECT_EQ(out, "甲#z#");
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0],
              "\xFF"
              "0");
    EXPECT_EQ(skipped[1], "\xFF");
}

TEST(Add0, PadsToSixCharacters) {
    EXPECT_EQ(add0(0), "000000");
    EXPECT_EQ(add0(12), "000012");
    EXPECT_EQ(add0(999999), "999999");
    EXPECT_EQ(add0(1234567), "1234567");
}
