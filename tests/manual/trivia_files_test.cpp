// The quiz's question file reader and its progress file: which question an index picks, how
// the index wraps, overlong and Windows-style lines, short files, and the stored position.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/core.h"
#include "manual/manual.h"
#include "platform/files.h"
#include "support/test_volume.h"

namespace {

// A question file of n questions: question i reads "Question i", its answers "Answer i.k",
// its judgement digit is i % 4 followed by "Because i".
std::string QuestionFile(int n, const char* eol = "\n") {
    std::string text = std::to_string(n) + eol;
    for (int i = 0; i < n; i++) {
        text += "Question " + std::to_string(i) + eol;
        for (int k = 0; k < 4; k++) text += "Answer " + std::to_string(i) + "." + std::to_string(k) + eol;
        text += std::to_string(i % 4) + "Because " + std::to_string(i) + eol;
    }
    return text;
}

struct Read {
    int count;
    int nextIndex;
    TriviaQuestion q;
};

Read ReadFrom(const std::string& text, int index) {
    TempFolder folder;
    std::string path = folder / "trivia.txt";
    EXPECT_TRUE(WriteTestText(path, text));
    FILE* f = fopen(path.c_str(), "rb");
    Read r{};
    r.nextIndex = index;
    r.count = ReadTriviaQuestion(f, &r.nextIndex, &r.q);
    fclose(f);
    return r;
}

TEST(TriviaFile, IndexPicksQuestionAndWraps) {
    struct Row {
        int n, stored, shown, next;
    } rows[] = {
        {3, 7, 1, 2},   // 7 - 3 - 3 = 1; the next is 2
        {3, 0, 0, 1},
        {3, 2, 2, 0},   // after the last question comes the first
        {3, 3, 0, 1},
        {1, 0, 0, 0},   // a single question is always the next
        {5, 104, 4, 0},
        {3, -4, 0, 1},  // a damaged progress file counts from the start
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("n " + std::to_string(row.n) + " stored " + std::to_string(row.stored));
        Read r = ReadFrom(QuestionFile(row.n), row.stored);
        EXPECT_EQ(r.count, row.n);
        EXPECT_EQ(r.nextIndex, row.next);
        EXPECT_EQ(r.q.number, row.shown);
        EXPECT_EQ(std::string(r.q.question), "Question " + std::to_string(row.shown));
        for (int k = 0; k < 4; k++)
            EXPECT_EQ(std::string(r.q.answers[k]), "Answer " + std::to_string(row.shown) + "." + std::to_string(k));
        EXPECT_EQ(std::string(r.q.judgement), std::to_string(row.shown % 4) + "Because " + std::to_string(row.shown));
    }
}

TEST(TriviaFile, NoQuestions) {
    for (const char* text : {"0\n", "0\nQuestion\nA\nB\nC\nD\n0x\n", "", "none\n", "-3\n"}) {
        SCOPED_TRACE(text);
        Read r = ReadFrom(text, 5);
        EXPECT_EQ(r.count, 0);
        EXPECT_EQ(r.nextIndex, 0);
        EXPECT_STREQ(r.q.question, "");
        EXPECT_STREQ(r.q.judgement, "");
    }
}

TEST(TriviaFile, LinesCutAtLineEndAndBuffer) {
    // Windows line ends leave no carriage return behind.
    Read crlf = ReadFrom(QuestionFile(2, "\r\n"), 1);
    EXPECT_STREQ(crlf.q.question, "Question 1");
    EXPECT_STREQ(crlf.q.answers[3], "Answer 1.3");
    EXPECT_STREQ(crlf.q.judgement, "1Because 1");

    // An overlong question keeps the buffer's worth and does not shift the lines after it.
    std::string longLine(300, 'x');
    for (size_t i = 0; i < longLine.size(); i += 10) longLine[i] = ' ';
    std::string text = "2\n" + longLine + "\nA0\nB0\nC0\nD0\n2" + longLine + "\nQuestion 1\nA1\nB1\nC1\nD1\n3Why\n";
    Read first = ReadFrom(text, 0);
    EXPECT_EQ(strlen(first.q.question), (size_t)kTriviaLineSize - 1);
    EXPECT_EQ(std::string(first.q.question), longLine.substr(0, kTriviaLineSize - 1));
    EXPECT_STREQ(first.q.answers[0], "A0");
    EXPECT_STREQ(first.q.answers[3], "D0");
    EXPECT_EQ(first.q.judgement[0], '2');
    EXPECT_EQ(strlen(first.q.judgement), (size_t)kTriviaLineSize - 1);
    Read second = ReadFrom(text, 1);
    EXPECT_STREQ(second.q.question, "Question 1");
    EXPECT_STREQ(second.q.judgement, "3Why");

    // A line exactly one short of the buffer is read whole with its line end.
    std::string fits(kTriviaLineSize - 2, 'y');
    Read exact = ReadFrom("1\n" + fits + "\nA\nB\nC\nD\n0ok\n", 0);
    EXPECT_EQ(std::string(exact.q.question), fits);
    EXPECT_STREQ(exact.q.answers[0], "A");
    EXPECT_STREQ(exact.q.judgement, "0ok");
}

TEST(TriviaFile, FileShorterThanItsCount) {
    // Nine questions announced, two present: the third and later come back empty and the
    // index still moves on.
    std::string text = QuestionFile(2);
    text[0] = '9';
    Read missing = ReadFrom(text, 4);
    EXPECT_EQ(missing.count, 9);
    EXPECT_EQ(missing.nextIndex, 5);
    EXPECT_STREQ(missing.q.question, "");
    EXPECT_STREQ(missing.q.judgement, "");
    // The last line without its line end is still read.
    Read unterminated = ReadFrom("1\nQ\nA\nB\nC\nD\n3Last", 0);
    EXPECT_STREQ(unterminated.q.judgement, "3Last");
}

struct TriviaProgress : ::testing::Test {
    TempFolder folder;
    char savedTemp[sizeof tempDir];
    void SetUp() override {
        memcpy(savedTemp, tempDir, sizeof tempDir);
        snprintf(tempDir, sizeof tempDir, "%s", folder.path.c_str());
    }
    void TearDown() override { memcpy(tempDir, savedTemp, sizeof tempDir); }
};

TEST_F(TriviaProgress, StoredAsOneLittleEndianInteger) {
    EXPECT_EQ(LoadTriviaIndex(), 0);  // no file yet
    ASSERT_TRUE(SaveTriviaIndex(0x01020304));
    std::vector<uint8_t> bytes = ReadTestFile(folder / "trivia.tmp");
    EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(LoadTriviaIndex(), 0x01020304);
    // A truncated file or a negative value starts from the first question.
    WriteTestFile(folder / "trivia.tmp", {7, 0});
    EXPECT_EQ(LoadTriviaIndex(), 0);
    WriteTestFile(folder / "trivia.tmp", {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(LoadTriviaIndex(), 0);
}

}  // namespace
