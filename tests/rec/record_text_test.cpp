// The record tool's text form: a hand-made file printed line by line, text written to a file
// and printed back, every event surviving the round trip, and the faults a text can have.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/le_bytes.h"
#include "rec_text.h"

namespace {

// A file made field by field, apart from the encoder the tool uses.
std::vector<uint8_t> HandMade() {
    std::vector<uint8_t> b;
    WriteBytes(b, "loop\0\0\0\0", 8);
    WriteU32LE(b, 4);
    WriteU32LE(b, 123456);
    const uint32_t events[][5] = {
        {0x0200, 640, 480, 123500, 0},
        {0x020A, 30 | (0xFF88u << 16), 40, 123600, 0},
        {0x0100, 0x1B | (1u << 30), 9, 123700, 7},
        {0x0102, 'z', 0, 123800, 0},
        {0x0113, 0xDEADBEEF, 1, 123900, 0},
    };
    for (auto& e : events)
        for (uint32_t v : e) WriteU32LE(b, v);
    b.push_back(0xAB);  // a torn last event
    return b;
}

TEST(RecordText, HandMadeFilePrinted) {
    std::string text, error;
    ASSERT_TRUE(RecordFileToText(HandMade(), &text, &error)) << error;
    EXPECT_EQ(text,
              "# time (ms) message parameters\n"
              "loop 4 123456\n"
              "123500 mousemove 640 480\n"
              "123600 mousewheel 30 40 -120\n"
              "123700 keydown 0x1B 9 repeat window 7\n"
              "123800 char 122\n"
              "123900 0x0113 0xDEADBEEF 0x00000001\n"
              "# 1 bytes after the last whole event are left out\n");
    std::vector<uint8_t> made = HandMade();
    std::vector<uint8_t> shortFile(made.begin(), made.begin() + 15);
    EXPECT_FALSE(RecordFileToText(shortFile, &text, &error));
    std::vector<uint8_t> otherKeyword = HandMade();
    otherKeyword[4] = 's';
    EXPECT_FALSE(RecordFileToText(otherKeyword, &text, &error));
}

TEST(RecordText, TextToFileAndBack) {
    const std::string text =
        "kestu all 1000   # a comment\n"
        "\n"
        "1010 mousemove 100 200\n"
        "1020 lbuttondown 100 200\n"
        "1030 lbuttonup 101 201 window 3\n"
        "1040 rbuttondown 0 0\n"
        "1050 rbuttonup 65535 65535\n"
        "1060 mousewheel 5 6 240\n"
        "1070 keydown 0x10 42\n"
        "1080 keyup 16 42\n"
        "1090 char 0x41\n"
        "1100 0x0104 0x12 0x3\n"
        "1110 mousemove 1 2 raw 0x00050001 0x00000002\n";
    RecordText r;
    std::string error;
    ASSERT_TRUE(ParseRecordText(text, &r, &error)) << error;
    EXPECT_EQ(r.header.count, 11u);  // "all"
    EXPECT_EQ(r.header.startTime, 1000u);
    std::vector<uint8_t> file = EncodeRecordFile(r.header, r.events);
    ASSERT_EQ(file.size(), 16u + 11u * 20);
    // Spot checks of the bytes: the wheel's turn in the high word, the key codes, the raw line.
    ByteCursor c = MakeCursor(file.data() + 16 + 5 * 20, 20);
    EXPECT_EQ(ReadU32LE(c), 0x020Au);
    EXPECT_EQ(ReadU32LE(c), 5u | (240u << 16));
    c = MakeCursor(file.data() + 16 + 10 * 20, 8);
    EXPECT_EQ(ReadU32LE(c), 0x0200u);
    EXPECT_EQ(ReadU32LE(c), 0x00050001u);
    std::string printed;
    ASSERT_TRUE(RecordFileToText(file, &printed, &error)) << error;
    EXPECT_EQ(printed,
              "# time (ms) message parameters\n"
              "kestu 11 1000\n"
              "1010 mousemove 100 200\n"
              "1020 lbuttondown 100 200\n"
              "1030 lbuttonup 101 201 window 3\n"
              "1040 rbuttondown 0 0\n"
              "1050 rbuttonup 65535 65535\n"
              "1060 mousewheel 5 6 240\n"
              "1070 keydown 0x10 42\n"
              "1080 keyup 0x10 42\n"
              "1090 char 65\n"
              "1100 0x0104 0x00000012 0x00000003\n"
              "1110 mousemove 1 2 raw 0x00050001 0x00000002\n");
}

// Any event, whatever its fields hold, prints to a line that reads back to the same event.
TEST(RecordText, EveryEventSurvivesTheText) {
    std::mt19937 random(7);
    const uint32_t kinds[] = {0x0200, 0x0201, 0x0202, 0x0204, 0x0205, 0x020A, 0x0100, 0x0101, 0x0102, 0x0113, 0};
    RecordText r;
    r.header.looping = 1;
    r.header.count = 77;
    r.header.startTime = 0xFFFFFFF0u;
    for (int i = 0; i < 3000; i++) {
        JournalEvent e;
        e.message = kinds[random() % 11];
        int wide = random() % 3 == 0;
        e.paramL = wide ? (uint32_t)random() : (uint32_t)(random() % 1000);
        e.paramH = wide ? (uint32_t)random() : (uint32_t)(random() % 1000);
        e.time = (uint32_t)random();
        e.window = random() % 5 == 0 ? (uint32_t)random() : 0;
        r.events.push_back(e);
    }
    RecordText back;
    std::string error;
    ASSERT_TRUE(ParseRecordText(FormatRecordText(r), &back, &error)) << error;
    EXPECT_EQ(back.header.looping, 1);
    EXPECT_EQ(back.header.count, 77u);
    EXPECT_EQ(back.header.startTime, 0xFFFFFFF0u);
    ASSERT_EQ(back.events.size(), r.events.size());
    for (size_t i = 0; i < r.events.size(); i++) {
        const JournalEvent &a = r.events[i], &b = back.events[i];
        ASSERT_TRUE(a.message == b.message && a.paramL == b.paramL && a.paramH == b.paramH && a.time == b.time && a.window == b.window)
            << i << ": " << FormatRecordText(RecordText{r.header, {a}});
    }
}

TEST(RecordText, Faults) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "no header line \"kestu COUNT START\""},
        {"10 mousemove 1 2\n", "line 1: the first line is \"kestu COUNT START\" or \"loop COUNT START\""},
        {"kestu 1\n", "line 1: the first line is \"kestu COUNT START\" or \"loop COUNT START\""},
        {"kestu 1 0\n10 mousemove 1\n", "line 2: mousemove needs x and y"},
        {"kestu 1 0\n10 mousemove 1 70000\n", "line 2: mousemove needs x and y"},
        {"kestu 1 0\n\n10 click 1 2\n", "line 3: unknown message click"},
        {"kestu 1 0\n10 keydown 0x100 1\n", "line 2: keydown needs the key code and the scan code"},
        {"kestu 1 0\n10 keydown 0x41 1 twice\n", "line 2: keydown needs the key code and the scan code"},
        {"kestu 1 0\n10 mousewheel 1 2 40000\n", "line 2: mousewheel needs x, y and the turn"},
        {"kestu 1 0\n-5 char 65\n", "line 2: a line starts with the time in milliseconds"},
        {"kestu 1 0\n5 char 65 window x\n", "line 2: bad window x"},
    };
    for (const auto& c : cases) {
        RecordText r;
        std::string error;
        EXPECT_FALSE(ParseRecordText(c.text, &r, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

}  // namespace
