// The quiz screen driven through the platform's test double: the question an index shows, the
// judging of answers with its messages and cues, explanations, rollovers and hit images, leaving,
// missing files, both layouts, the room's button, and the position kept across a restart and
// the shutdown.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app.h"
#include "app/screens.h"
#include "core/core.h"
#include "manual/manual.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

const uint32_t kBackdrop = 0x203040, kRoom = 0x405060;
uint32_t RolloverRgb(int i) { return 0x00C000 + (uint32_t)i * 16; }
uint32_t HitRgb(int i) { return 0xC00000 + (uint32_t)i * 16; }
const char* const kButtonIds[7] = {"137", "138", "139", "140", "141", "142", "134"};
const Rect kButtons[7] = {{306, 309, 350, 353}, {356, 309, 400, 353}, {407, 309, 451, 353}, {456, 309, 500, 353},
                          {266, 83, 392, 112},  {402, 83, 554, 113},  {309, 552, 497, 591}};
enum { kA = 0, kB = 1, kC = 2, kD = 3, kNext = 4, kExplain = 5, kLeave = 6 };

// Three questions whose correct answers are A, C and D.
const char* const kQuestions =
    "3\n"
    "Which ocean is the largest?\nPacific\nAtlantic\nIndian\nArctic\n"
    "0The Pacific covers about a third of the Earth's surface.\n"
    "Which is the longest river in South America?\nOrinoco\nParana\nAmazon\nMagdalena\n"
    "2The Amazon runs some 6,400 km from the Andes to the Atlantic.\n"
    "Which continent has no native people?\nAfrica\nAsia\nAustralia\nAntarctica\n"
    "3Antarctica has only research stations.\n";

int64_t QuietWindowProc(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

uint32_t Pixel(int x, int y) { return SurfacePixels(WindowSurface())[(size_t)y * SurfaceStride(WindowSurface()) + x] & 0xFFFFFF; }

// Pixels in a rectangle of the window that differ from the backdrop: text drawn there.
int MarkedPixels(const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) n += Pixel(x, y) != kBackdrop;
    return n;
}

int Handle(uint32_t kind, uint64_t wParam, int x, int y) {
    Message m;
    m.kind = kind;
    m.wParam = wParam;
    m.lParam = MakeMouseParam(x, y);
    return HandleTriviaMessage(m);
}

struct TriviaScreen : ::testing::Test {
    TempFolder folder;
    char savedRoot[sizeof dataRoot], savedTemp[sizeof tempDir];
    int scale = 10;  // tenths: 10 for 800x600, 8 for 640x480

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        memcpy(savedTemp, tempDir, sizeof tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s/tmp", folder.path.c_str());
        MakeDirectories(tempDir);
        WriteTestFile(folder / "room/triv_a.bmp", SolidBmp24(800, 600, kBackdrop));
        WriteTestFile(folder / "room/frame16.bmp", SolidBmp24(800, 600, kRoom));
        for (int i = 0; i < 7; i++) {
            int w = kButtons[i].right - kButtons[i].left, h = kButtons[i].bottom - kButtons[i].top;
            WriteTestFile(folder / (std::string("menu/") + kButtonIds[i] + "r.bmp"), SolidBmp24(w, h, RolloverRgb(i)));
            WriteTestFile(folder / (std::string("menu/") + kButtonIds[i] + "h.bmp"), SolidBmp24(w, h, HitRgb(i)));
        }
        WriteTestText(folder / "manual/trivia.txt", kQuestions);
        options.soundsOn = 0;
        OpenWindow(0);
    }
    void OpenWindow(int small) {
        smallLayout = small;
        scale = small ? 8 : 10;
        screenWidth = small ? 640 : 800;
        screenHeight = small ? 480 : 600;
        ASSERT_TRUE(CreateMainWindow(WindowOptions{"Mundora", screenWidth, screenHeight, 1}, QuietWindowProc));
        if (!hbmVirtual) hbmVirtual = CreateSurface(screenWidth, screenHeight);
        TestClearShown();
    }
    void CloseWindow() {
        FlushMessages(0, 0xFFFFFFFF);
        if (hbmVirtual) DeleteSurface(hbmVirtual);
        hbmVirtual = nullptr;
        DestroyMainWindow();
    }
    void TearDown() override {
        CloseWindow();
        smallLayout = 0;
        screenWidth = 800;
        screenHeight = 600;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        memcpy(tempDir, savedTemp, sizeof tempDir);
    }

    Rect Scaled(const Rect& r) const { return Rect{r.left * scale / 10, r.top * scale / 10, r.right * scale / 10, r.bottom * scale / 10}; }
    Point Centre(int button) const {
        Rect r = Scaled(kButtons[button]);
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    int Move(int button) { return Handle(MSG_MOUSEMOVE, 0, Centre(button).x, Centre(button).y); }
    int Click(int button) { return Handle(MSG_LBUTTONDOWN, MK_LBUTTON, Centre(button).x, Centre(button).y); }
    uint32_t ButtonPixel(int button) { return Pixel(Centre(button).x, Centre(button).y); }
    void InjectClick(int button) { TestInjectClick(Centre(button).x, Centre(button).y); }
    void Leave() {
        EXPECT_EQ(Handle(MSG_KEYDOWN, VK_ESCAPE, 0, 0), 0);
        CloseTriviaScreen();
    }
    void StoreIndex(int index) { ASSERT_TRUE(SaveTriviaIndex(index)); }
    Rect QuestionText() const { return Scaled(Rect{236, 170, 770, 222}); }
    Rect AnswerText() const { return Scaled(Rect{236, 225, 770, 285}); }
    Rect ExplanationText() const { return Scaled(Rect{236, 420, 770, 535}); }
};

TEST_F(TriviaScreen, AnswersJudgedExplanationHitImageAndNextQuestion) {
    StoreIndex(7);  // three questions: 7 - 3 - 3 = question 1, whose answer is C
    ASSERT_TRUE(OpenTriviaScreen());
    EXPECT_GT(MarkedPixels(QuestionText()), 50);
    EXPECT_GT(MarkedPixels(AnswerText()), 100);
    EXPECT_EQ(MarkedPixels(ExplanationText()), 0);
    Move(kB);
    EXPECT_EQ(ButtonPixel(kB), RolloverRgb(kB));
    // Sounds are off: the error cue of a wrong answer beeps, the process cue is silent.
    EXPECT_EQ(Click(kB), 1);
    EXPECT_EQ(TestLastMessage(), "Sorry, the correct answer was 'C'");
    EXPECT_EQ(TestShownMessages().back().caption, "");
    EXPECT_EQ(TestBeepCount(), 1);
    // The explanation shows even after a wrong answer; the hit image was up for 0.2 s and the
    // button is back to the backdrop's look.
    int explanation = MarkedPixels(ExplanationText());
    EXPECT_GT(explanation, 100);
    ASSERT_FALSE(TestRecordedPauses().empty());
    EXPECT_EQ(TestRecordedPauses().back(), 200);
    EXPECT_EQ(ButtonPixel(kB), kBackdrop);

    // The explanation button shows it without judging anything.
    TestClearShown();
    Click(kExplain);
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(MarkedPixels(ExplanationText()), explanation);
    EXPECT_EQ(TestRecordedPauses(), std::vector<int>{200});
    EXPECT_EQ(ButtonPixel(kExplain), kBackdrop);

    // The same question can be answered again.
    int beeps = TestBeepCount();
    EXPECT_EQ(Click(kC), 1);
    EXPECT_EQ(TestLastMessage(), "That is the correct answer!");
    EXPECT_EQ(TestBeepCount(), beeps);

    // The next question clears the explanation and brings question 2 (answer D).
    Click(kNext);
    EXPECT_EQ(MarkedPixels(ExplanationText()), 0);
    EXPECT_GT(MarkedPixels(QuestionText()), 50);
    Click(kD);
    EXPECT_EQ(TestLastMessage(), "That is the correct answer!");
    Leave();
    EXPECT_EQ(LoadTriviaIndex(), 0);  // the first question is next
    EXPECT_EQ(Pixel(10, 590), kRoom);
}

TEST_F(TriviaScreen, RolloversFollowThePointerAndLeavingFlashesAndRestoresTheRoom) {
    DrawState before = GetDrawState(WindowSurface());
    ASSERT_TRUE(OpenTriviaScreen());
    for (int b = 0; b < 7; b++) EXPECT_EQ(ButtonPixel(b), kBackdrop);
    Move(kB);
    Move(kLeave);
    EXPECT_EQ(ButtonPixel(kB), kBackdrop);
    EXPECT_EQ(ButtonPixel(kLeave), RolloverRgb(kLeave));
    // Off every button: all plain again, and the arrow back.
    SetCursorShape(CURSOR_WAIT);
    Handle(MSG_MOUSEMOVE, 0, 5, 5);
    for (int b = 0; b < 7; b++) EXPECT_EQ(ButtonPixel(b), kBackdrop);
    EXPECT_EQ(GetCursorShape(), CURSOR_ARROW);
    // The rollovers never reach hbmVirtual, which the room's picture replaces on leaving.
    Move(kD);
    EXPECT_EQ(SurfacePixels(hbmVirtual)[Centre(kD).y * SurfaceStride(hbmVirtual) + Centre(kD).x] & 0xFFFFFF, kBackdrop);

    EXPECT_EQ(Click(kLeave), 0);
    EXPECT_EQ(ButtonPixel(kLeave), HitRgb(kLeave));
    EXPECT_EQ(TestRecordedPauses(), std::vector<int>{200});
    CloseTriviaScreen();
    EXPECT_EQ(ButtonPixel(kLeave), kRoom);
    EXPECT_EQ(Pixel(300, 200), kRoom);
    EXPECT_EQ(SurfacePixels(hbmVirtual)[0] & 0xFFFFFF, kRoom);
    // The window's text settings are as they were before the quiz.
    DrawState after = GetDrawState(WindowSurface());
    EXPECT_EQ(after.textColour, before.textColour);
    EXPECT_EQ(after.backgroundMode, before.backgroundMode);
    EXPECT_EQ(after.font.points, before.font.points);
    EXPECT_EQ(LoadTriviaIndex(), 1);
}

TEST_F(TriviaScreen, LoopEndsOnEscapeEnterOrLeave) {
    struct Row {
        const char* what;
        void (*inject)(const Point&);
    } rows[] = {
        {"escape", [](const Point&) { TestInjectKey(VK_ESCAPE); }},
        {"enter", [](const Point&) { TestInjectKey(VK_RETURN); }},
        {"leave", [](const Point& leave) { TestInjectClick(leave.x, leave.y); }},
    };
    int expected = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TestClearShown();
        // An answer first, then the way out; whatever follows stays queued for the shell.
        InjectClick(kD);
        r.inject(Centre(kLeave));
        PostMessage(MSG_USER, 5, 0);
        RunTrivia();
        ASSERT_GE(TestShownMessages().size(), 1u);
        expected = (expected + 1) % 3;
        EXPECT_EQ(LoadTriviaIndex(), expected);
        EXPECT_EQ(Pixel(400, 300), kRoom);
        Message left;
        ASSERT_TRUE(PeekMessageInRange(&left, MSG_USER, MSG_USER, 1));
        EXPECT_EQ(left.wParam, 5u);
        FlushMessages(0, 0xFFFFFFFF);
    }
    // Question 2's answer is D: the third run judged it right.
    EXPECT_EQ(TestShownMessages().front().text, "That is the correct answer!");
}

TEST_F(TriviaScreen, PositionSurvivesRestartAndShutdownAndTheRoomButtonRunsTheQuiz) {
    WriteTestText(std::string(tempDir) + "/locate.tmp", "scratch");
    TestInjectKey(VK_ESCAPE);
    RunTrivia();  // shows question 0
    EXPECT_EQ(LoadTriviaIndex(), 1);

    Shutdown();
    EXPECT_FALSE(FileExists((std::string(tempDir) + "/locate.tmp").c_str()));
    EXPECT_TRUE(FileExists((std::string(tempDir) + "/trivia.tmp").c_str()));

    // A new run of the program: state reset, a new window image, the quiz again from the
    // room's button.
    ResetShellState();
    CloseWindow();
    OpenWindow(0);
    screenMode = 1;
    InjectClick(kC);
    TestInjectKey(VK_ESCAPE);
    RoomButton(68);
    EXPECT_EQ(TestLastMessage(), "That is the correct answer!");  // question 1 came next
    EXPECT_EQ(LoadTriviaIndex(), 2);
    EXPECT_EQ(screenMode, 1);
    EXPECT_EQ(Pixel(400, 300), kRoom);
    screenMode = 0;
    ResetShellState();
}

TEST_F(TriviaScreen, MissingQuestionFile) {
    RemoveFile((folder / "manual/trivia.txt").c_str());
    StoreIndex(5);
    ASSERT_TRUE(OpenTriviaScreen());
    EXPECT_EQ(MarkedPixels(QuestionText()), 0);
    EXPECT_EQ(MarkedPixels(AnswerText()), 0);
    // Nothing to judge: the refusal cue, no message, no explanation.
    Click(kB);
    Click(kExplain);
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(TestBeepCount(), 2);
    EXPECT_EQ(MarkedPixels(ExplanationText()), 0);
    Click(kNext);
    EXPECT_EQ(MarkedPixels(QuestionText()), 0);
    Leave();
    EXPECT_EQ(LoadTriviaIndex(), 5);
}

TEST_F(TriviaScreen, MissingButtonImageEndsTheQuiz) {
    RemoveFile((folder / "menu/140h.bmp").c_str());
    StoreIndex(2);
    InjectClick(kA);
    RunTrivia();
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_NE(TestShownMessages()[0].text.find("Cannot open file"), std::string::npos);
    EXPECT_NE(TestShownMessages()[0].text.find("140h.bmp"), std::string::npos);
    // The click was not taken by the quiz, the room is back, the position untouched.
    Message queued;
    EXPECT_TRUE(PeekMessageInRange(&queued, MSG_LBUTTONDOWN, MSG_LBUTTONDOWN, 0));
    EXPECT_EQ(Pixel(400, 300), kRoom);
    EXPECT_EQ(LoadTriviaIndex(), 2);
}

TEST_F(TriviaScreen, UnwritableProgressIsIgnored) {
    // The temporary folder's place is taken by a plain file: nothing can be created in it.
    WriteTestText(folder / "blocked", "x");
    snprintf(tempDir, sizeof tempDir, "%s/blocked", folder.path.c_str());
    EXPECT_EQ(SaveTriviaIndex(3), 0);
    EXPECT_EQ(LoadTriviaIndex(), 0);
    InjectClick(kA);
    TestInjectKey(VK_ESCAPE);
    RunTrivia();
    ASSERT_EQ(TestShownMessages().size(), 1u);  // only the judgement
    EXPECT_EQ(TestShownMessages()[0].text, "That is the correct answer!");
    EXPECT_EQ(Pixel(400, 300), kRoom);
}

TEST_F(TriviaScreen, SmallLayout) {
    CloseWindow();
    OpenWindow(1);
    WriteTestFile(folder / "640/room/triv_a.bmp", SolidBmp24(640, 480, kBackdrop));
    WriteTestFile(folder / "640/room/frame16.bmp", SolidBmp24(640, 480, kRoom));
    StoreIndex(1);
    ASSERT_TRUE(OpenTriviaScreen());
    // Text at the layout's own places: question from (188, 140), explanation from (188, 340).
    EXPECT_GT(MarkedPixels(Rect{188, 136, 616, 176}), 50);
    EXPECT_EQ(MarkedPixels(Rect{188, 336, 616, 430}), 0);
    // Button C is (407, 309, 451, 353) x 0.8 = (325, 247, 360, 282).
    Handle(MSG_MOUSEMOVE, 0, 326, 248);
    EXPECT_EQ(Pixel(326, 248), RolloverRgb(kC));
    Handle(MSG_MOUSEMOVE, 0, 324, 248);
    EXPECT_EQ(Pixel(326, 248), kBackdrop);
    Handle(MSG_LBUTTONDOWN, MK_LBUTTON, 359, 281);
    EXPECT_EQ(TestLastMessage(), "That is the correct answer!");
    EXPECT_GT(MarkedPixels(Rect{188, 336, 616, 430}), 100);
    Leave();
    EXPECT_EQ(Pixel(600, 470), kRoom);
}

}  // namespace
