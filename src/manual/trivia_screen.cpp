// The quiz screen, reached from the room: its backdrop and seven buttons, one question at a time
// drawn on the window over the backdrop kept in hbmVirtual, the judging of a clicked answer,
// and the quiz's own blocking message loop until the leave button, Escape or Enter.
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "imaging/imaging.h"
#include "manual/manual.h"

// [SECTION] Geometry

// Buttons in the order A, B, C, D, next question, explanation, leave (800x600 layout).
enum : int { kButtonNext = 4, kButtonExplain = 5, kButtonLeave = 6, kTriviaButtons = 7 };
static const Rect kButtonRects[kTriviaButtons] = {
    {306, 309, 350, 353}, {356, 309, 400, 353}, {407, 309, 451, 353}, {456, 309, 500, 353},
    {266, 83, 392, 112},  {402, 83, 554, 113},  {309, 552, 497, 591},
};
static const char* const kRolloverNames[kTriviaButtons] = {
    "menu\\137r.bmp", "menu\\138r.bmp", "menu\\139r.bmp", "menu\\140r.bmp",
    "menu\\141r.bmp", "menu\\142r.bmp", "menu\\134r.bmp",
};
static const char* const kHitNames[kTriviaButtons] = {
    "menu\\137h.bmp", "menu\\138h.bmp", "menu\\139h.bmp", "menu\\140h.bmp",
    "menu\\141h.bmp", "menu\\142h.bmp", "menu\\134h.bmp",
};

// Text places, the question area restored between questions, and the right edge text wraps at
// (inside the backdrop's dark panel); the second of each pair is the 640x480 layout's.
struct TriviaLayout {
    Point question;
    int answerX, answerY[4];
    Point explanation;
    Rect questionArea;
    int wrapRight, lineHeight;
};
static const TriviaLayout kLayouts[2] = {
    {{236, 175}, 236, {227, 241, 255, 269}, {236, 425}, {210, 151, 800, 541}, 770, 14},
    {{188, 140}, 188, {181, 192, 204, 215}, {188, 340}, {168, 120, 640, 432}, 616, 11},
};

static const TriviaLayout& Layout() { return kLayouts[smallLayout ? 1 : 0]; }

static Rect ButtonRect(int i) {
    Rect r = kButtonRects[i];
    if (smallLayout) r = Rect{r.left * 4 / 5, r.top * 4 / 5, r.right * 4 / 5, r.bottom * 4 / 5};
    return r;
}

// [SECTION] State of one visit

static struct {
    Surface* rollover[kTriviaButtons];
    Surface* hit[kTriviaButtons];
    int index;                           // the next question to show
    char answerLine[kTriviaLineSize];    // the judgement line of the question shown, "" for none
    int highlighted;                     // the button showing its rollover image, or -1
    int leaving;
    Surface* window;                     // the window's image, whose text settings are kept
    DrawState savedText;
} quiz;

// [SECTION] Drawing

static void SetQuizText(Surface* dc) {
    FontSpec font;
    font.family = "Arial";
    font.points = 9;
    font.dpi = ScreenLogicalDpi();
    font.weight = 400;
    SetFont(dc, font);
    SetTextColour(dc, MakeColour(255, 255, 204));
    SetBackgroundMode(dc, BK_TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

// Draws text from (x, y), broken between words at the layout's right edge, in at most
// maxLines lines; a word wider than a whole line is cut by the clip.
static void DrawWrapped(Surface* dc, int x, int y, const char* text, int maxLines) {
    const TriviaLayout& l = Layout();
    int width = l.wrapRight - x;
    for (int n = 0; n < maxLines && *text; n++) {
        int length = (int)strlen(text);
        int take = length;
        if (TextExtent(dc, text, length).x > width) {
            // The longest run of whole words that fits; at least one word.
            int lastBreak = 0;
            for (int i = 1; i <= length; i++) {
                if (i < length && text[i] != ' ') continue;
                if (TextExtent(dc, text, i).x > width) break;
                lastBreak = i;
            }
            if (lastBreak == 0) {
                lastBreak = 1;
                while (lastBreak < length && text[lastBreak] != ' ') lastBreak++;
            }
            take = lastBreak;
        }
        TextOut(dc, x, y + n * l.lineHeight, text, take);
        text += take;
        while (*text == ' ') text++;
    }
}

static void ClipToQuestionArea(Surface* dc) {
    const Rect& a = Layout().questionArea;
    SetClipRect(dc, Rect{a.left, a.top, Layout().wrapRight, a.bottom});
}

int ShowTriviaQuestion(Surface* dc, int* index, char answerLine[kTriviaLineSize]) {
    FILE* f = OpenDataFile("manual\\trivia.txt", "rb");
    if (!f) return 0;
    TriviaQuestion q;
    int count = ReadTriviaQuestion(f, index, &q);
    fclose(f);
    snprintf(answerLine, kTriviaLineSize, "%s", q.judgement);
    if (count == 0 || !dc) return 1;
    const TriviaLayout& l = Layout();
    DrawState saved = GetDrawState(dc);
    SetQuizText(dc);
    ClipToQuestionArea(dc);
    // Three lines for the question fit above the first answer.
    DrawWrapped(dc, l.question.x, l.question.y, q.question, 3);
    for (int k = 0; k < 4; k++) TextOut(dc, l.answerX, l.answerY[k], q.answers[k]);
    ClearClip(dc);
    SetDrawState(dc, saved);
    return 1;
}

static void DrawExplanation(Surface* dc) {
    if (!dc || !quiz.answerLine[0]) return;
    const TriviaLayout& l = Layout();
    DrawState saved = GetDrawState(dc);
    SetQuizText(dc);
    ClipToQuestionArea(dc);
    DrawWrapped(dc, l.explanation.x, l.explanation.y, quiz.answerLine + 1,
                (l.questionArea.bottom - l.explanation.y) / l.lineHeight);
    ClearClip(dc);
    SetDrawState(dc, saved);
}

static void RestoreFromVirtual(const Rect& r) {
    Surface* w = WindowSurface();
    if (w && hbmVirtual) Blit(w, r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
}

static void DrawButtonImage(Surface* image, int i) {
    Surface* w = WindowSurface();
    Rect r = ButtonRect(i);
    if (w && image) Blit(w, r.left, r.top, SurfaceWidth(image), SurfaceHeight(image), image, 0, 0);
}

// The hit image for a fifth of a second.
static void FlashHitImage(int i) {
    DrawButtonImage(quiz.hit[i], i);
    Delay(0.2);
}

static void Highlight(int button) {
    if (button == quiz.highlighted) return;
    if (quiz.highlighted >= 0) RestoreFromVirtual(ButtonRect(quiz.highlighted));
    quiz.highlighted = button;
    if (button >= 0) DrawButtonImage(quiz.rollover[button], button);
    else SetCursorShape(CURSOR_ARROW);
}

// [SECTION] Input

static int ButtonAt(int x, int y) {
    for (int i = 0; i < kTriviaButtons; i++) {
        Rect r = ButtonRect(i);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
}

static void JudgeAnswer(int k) {
    char digit = quiz.answerLine[0];
    if (digit == '0' + k) {
        PlayCue(CUE_PROCESS);
        MessageBox("That is the correct answer!", "", MB_OK);
    } else {
        PlayCue(CUE_ERROR);
        char text[64];
        snprintf(text, sizeof text, "Sorry, the correct answer was '%c'", (char)(digit + 17));
        MessageBox(text, "", MB_OK);
    }
}

static void QuizClick(int x, int y) {
    int button = ButtonAt(x, y);
    if (button < 0) return;
    if (button == kButtonLeave) {
        FlashHitImage(button);
        quiz.leaving = 1;
        return;
    }
    if (button == kButtonNext) {
        RestoreFromVirtual(Layout().questionArea);
        ShowTriviaQuestion(WindowSurface(), &quiz.index, quiz.answerLine);
        return;
    }
    // Without a question (no question file, or one without questions) there is nothing to judge.
    if (!quiz.answerLine[0]) {
        PlayCue(CUE_ERROR);
        return;
    }
    if (button < 4) JudgeAnswer(button);
    DrawExplanation(WindowSurface());
    FlashHitImage(button);
    RestoreFromVirtual(ButtonRect(button));
    // The pointer may still be over it: the next move shows the rollover again.
    if (quiz.highlighted == button) quiz.highlighted = -1;
}

int HandleTriviaMessage(const Message& m) {
    switch (m.kind) {
    case MSG_KEYDOWN:
        // Enter arrives as a key here: the window passes on only printable characters.
        if (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN) quiz.leaving = 1;
        break;
    case MSG_CHAR:
        if (m.wParam == '\r') quiz.leaving = 1;
        break;
    case MSG_MOUSEMOVE: Highlight(ButtonAt(MessageX(m), MessageY(m))); break;
    case MSG_LBUTTONDOWN: QuizClick(MessageX(m), MessageY(m)); break;
    case MSG_SYSCOMMAND:
        if (m.wParam == SC_RESTORE) ShowMainWindow();
        break;
    case MSG_COMMAND:
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        quiz.leaving = 1;
        break;
    default: break;  // the window keeps what is drawn on it; nothing else concerns the quiz
    }
    return !quiz.leaving;
}

// [SECTION] Entering and leaving

static void ReleaseQuizImages() {
    for (int i = 0; i < kTriviaButtons; i++) {
        if (quiz.rollover[i]) DeleteSurface(quiz.rollover[i]);
        if (quiz.hit[i]) DeleteSurface(quiz.hit[i]);
        quiz.rollover[i] = quiz.hit[i] = nullptr;
    }
}

static int LoadQuizImages() {
    for (int i = 0; i < kTriviaButtons; i++)
        if (!LoadBMPFromFile(kRolloverNames[i], &quiz.rollover[i]) || !LoadBMPFromFile(kHitNames[i], &quiz.hit[i])) {
            ReleaseQuizImages();
            return 0;
        }
    return 1;
}

int OpenTriviaScreen() {
    quiz.index = LoadTriviaIndex();
    quiz.answerLine[0] = 0;
    quiz.highlighted = -1;
    quiz.leaving = 0;
    quiz.window = WindowSurface();
    if (quiz.window) quiz.savedText = GetDrawState(quiz.window);
    if (!LoadBMPToBackground("room\\triv_a.bmp")) return 0;
    RestoreFromVirtual(Rect{0, 0, screenWidth, screenHeight});
    if (!LoadQuizImages()) return 0;
    ShowTriviaQuestion(quiz.window, &quiz.index, quiz.answerLine);
    return 1;
}

void CloseTriviaScreen() {
    if (quiz.window) SetDrawState(quiz.window, quiz.savedText);
    quiz.window = nullptr;
    LoadBMPToBackground("room\\frame16.bmp");
    RestoreFromVirtual(Rect{0, 0, screenWidth, screenHeight});
    ReleaseQuizImages();
    // A folder that cannot be written only costs the position.
    SaveTriviaIndex(quiz.index);
}

void RunTrivia() {
    int going = OpenTriviaScreen();
    while (going) {
        Message m;
        if (!GetMessage(&m)) {
            // The quit is the shell's to act on: handed back to the queue for its loop.
            PostQuitMessage((int)m.wParam);
            break;
        }
        going = HandleTriviaMessage(m);
    }
    CloseTriviaScreen();
}
