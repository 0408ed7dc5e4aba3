// The manual's mark-up read without drawing: line ends and the 194-character limit, caption
// and picture fields, cutting a line into segments, every tag's fields, and the search match.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "manual/manual_markup.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    ByteCursor c = MakeCursor((const uint8_t*)text.data(), text.size());
    std::vector<std::string> out;
    char line[kManualLineBuffer];
    while (ReadManualLine(c, line)) out.push_back(line);
    return out;
}

TEST(ManualLines, EndsTabsAndTheLengthLimit) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines("one\ntwo\r\nthree\rfour"), (V{"one", "two", "three", "four"}));
    EXPECT_EQ(Lines("a\n\nb\r\n\r\n"), (V{"a", "", "b", ""}));
    EXPECT_EQ(Lines("tab\there\t"), (V{"tab here "}));
    EXPECT_EQ(Lines(""), V{});
    // 194 characters make a full line; its own end goes with it rather than giving an empty line.
    std::string full(194, 'x');
    EXPECT_EQ(Lines(full + "\r\nnext"), (V{full, "next"}));
    // A longer line goes on as the next one.
    EXPECT_EQ(Lines(full + "yz\n"), (V{full, "yz"}));
    EXPECT_EQ(Lines(std::string(400, 'q')), (V{std::string(194, 'q'), std::string(194, 'q'), std::string(12, 'q')}));
}

TEST(ManualLines, CaptionAndPictureFields) {
    struct Case {
        const char* line;
        int kind, x, y;
        const char* text;
    } cases[] = {
        {"{bigtext=51,100,\"Satellites\"}", kLineCaption, 51, 100, "Satellites"},
        {"{bitmap=300,60,\"manual\\pic.bmp\"}", kLinePicture, 300, 60, "manual\\pic.bmp"},
        {"{bigtext=20,30,\"Open ended", kLineCaption, 20, 30, "Open ended"},
        {"{bigtext=20,30,\"stops at}brace\"}", kLineCaption, 20, 30, "stops at"},
        {"{bigtext=7}", kLineCaption, 7, 0, ""},
        {"{bitmap=-5,x,\"p.bmp\"}", kLinePicture, -5, 0, "p.bmp"},
        {"{bigtext 1,2,\"no equals\"}", kLineText, 0, 0, ""},
        {"plain {bigtext=1,2,\"x\"}", kLineText, 0, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ManualLineKind(c.line), c.kind) << c.line;
        if (c.kind == kLineText) continue;
        ManualPlaced p;
        ParsePlacedLine(c.line, &p);
        EXPECT_EQ(p.x, c.x) << c.line;
        EXPECT_EQ(p.y, c.y) << c.line;
        EXPECT_STREQ(p.text, c.text) << c.line;
    }
}

std::vector<std::string> Segments(const char* line) {
    ManualSegment s[kManualMaxSegments];
    int n = SplitManualSegments(line, s);
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) out.push_back(std::string(line + s[i].start, (size_t)s[i].length));
    return out;
}

TEST(ManualSegments, CutAtBracesWithTheFinalBraceDropped) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Segments("{4}Body text {f \"a.txt\" the link} after"),
              (V{"{4", "Body text ", "{f \"a.txt\" the link", " after"}));
    EXPECT_EQ(Segments("{1}{u \"http://x.org\" site}"), (V{"{1", "{u \"http://x.org\" site"}));
    EXPECT_EQ(Segments("text} more"), (V{"text} more"}));   // a brace inside a segment stays
    EXPECT_EQ(Segments("ends with}"), (V{"ends with"}));
    EXPECT_EQ(Segments("open {3 never closed"), (V{"open ", "{3 never closed"}));
    EXPECT_EQ(Segments("{}"), (V{"{"}));
    EXPECT_TRUE(LineHasTags("a}b"));
    EXPECT_FALSE(LineHasTags("plain text"));
    // At most 30 segments: the rest of the line is not drawn.
    std::string many;
    for (int i = 0; i < 20; i++) many += "{4}w";
    V cut = Segments(many.c_str());
    ASSERT_EQ(cut.size(), 30u);
    EXPECT_EQ(cut[28], "{4");
    EXPECT_EQ(cut[29], "w");
}

TEST(ManualTags, EveryKindWithItsFields) {
    struct Case {
        const char* segment;  // as SplitManualSegments leaves it
        int kind, font;
        const char* target;
        const char* shown;
        double n0, n1, n2, n3;
    } cases[] = {
        {"{1", kTagFont, 1, "", "", 0, 0, 0, 0},
        {"{4", kTagFont, 4, "", "", 0, 0, 0, 0},
        {"{u \"https://example.org/a\" Our site", kTagWebLink, 0, "https://example.org/a", "Our site", 0, 0, 0, 0},
        {"{f \"sats\\gps.txt\" GPS", kTagFileLink, 0, "sats\\gps.txt", "GPS", 0, 0, 0, 0},
        {"{s \"08 02\" Show the GPS satellites", kTagValueLink, 0, "08 02", "Show the GPS satellites", 0, 0, 0, 0},
        {"{z \"5.5,48,45.8,10.5\" Switzerland", kTagMapLink, 0, "5.5,48,45.8,10.5", "Switzerland", 5.5, 48, 45.8, 10.5},
        {"{v \"20,60,180,180\" video\\clip.avi\"", kTagVideo, 0, "20,60,180,180", "video\\clip.avi", 20, 60, 180, 180},
        {"{v \"1,2\" short", kTagVideo, 0, "1,2", "short", 1, 2, 0, 0},
        // A link without its quotes shows nothing and aims at what follows the tag.
        {"{f no quotes", kTagFileLink, 0, "o quotes", "", 0, 0, 0, 0},
        {"{s \"7", kTagValueLink, 0, "7", "", 0, 0, 0, 0},
        {"{x unknown", kTagText, 0, "", "", 0, 0, 0, 0},
        {"{5", kTagText, 0, "", "", 0, 0, 0, 0},
        {"plain", kTagText, 0, "", "", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ManualTag t;
        ParseManualTag(c.segment, (int)strlen(c.segment), &t);
        EXPECT_EQ(t.kind, c.kind) << c.segment;
        EXPECT_EQ(t.font, c.font) << c.segment;
        EXPECT_STREQ(t.target, c.target) << c.segment;
        EXPECT_STREQ(t.shown, c.shown) << c.segment;
        double n[4] = {c.n0, c.n1, c.n2, c.n3};
        for (int i = 0; i < 4; i++) EXPECT_DOUBLE_EQ(t.numbers[i], n[i]) << c.segment << " number " << i;
    }
    // The target is cut at 78 characters; the shown text still starts after the closing quote.
    std::string longTarget = "{u \"" + std::string(100, 'a') + "\" shown";
    ManualTag t;
    ParseManualTag(longTarget.c_str(), (int)longTarget.size(), &t);
    EXPECT_EQ(std::string(t.target), std::string(78, 'a'));
    EXPECT_STREQ(t.shown, "shown");
}

TEST(ManualSearchMatch, WholeTextInUpperCaseWithAccents) {
    struct Case {
        const char* text;
        const char* search;
        std::vector<int> at;
    } cases[] = {
        {"The globe and the Globe", "GLOBE", {4, 18}},
        {"aaaa", "AA", {0, 1, 2}},
        {"Z\xFCrich und M\xFCnchen", "\xDC", {1, 12}},         // ü found as Ü
        {"caf\xE9 and CAF\xC9", "CAF\xC9", {0, 9}},            // é as É
        {"\xE8re", "\xC8RE", {0}},
        {"ends with GLO", "GLOBE", {}},                        // a part of the text at its end is no match
        {"anything", "", {}},
    };
    for (const Case& c : cases) {
        int at[16];
        int n = FindManualMatches(c.text, (int)strlen(c.text), c.search, at, 16);
        EXPECT_EQ(std::vector<int>(at, at + n), c.at) << c.text;
    }
    EXPECT_EQ(ManualUpper('q'), 'Q');
    EXPECT_EQ(ManualUpper(0xF6), 0xD6);  // ö
    EXPECT_EQ(ManualUpper(0xE4), 0xC4);  // ä
    EXPECT_EQ(ManualUpper(0xE7), 0xE7);  // ç has no mapping
}

}  // namespace
