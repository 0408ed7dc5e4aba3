// The message queue, message boxes and template dialogs under the test double.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/test_double.h"

namespace {

std::vector<uint32_t> seen;
int64_t Record(uint32_t kind, uint64_t, int64_t, const Message&) {
    seen.push_back(kind);
    return 0;
}

TEST(Queue, OrderPaintMergingAndMoveCollapsing) {
    ASSERT_EQ(CreateMainWindow(WindowOptions{"Test", 800, 600, 1}, Record), 1);
    seen.clear();
    TestPumpMessages();
    EXPECT_EQ(seen, std::vector<uint32_t>{MSG_CREATE});
    seen.clear();
    PostMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(1, 2));
    PostMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(3, 4));
    Rect a{0, 0, 10, 10}, b{50, 60, 70, 80};
    InvalidateWindow(&a);
    InvalidateWindow(&b);
    PostMessage(MSG_KEYDOWN, VK_ESCAPE, 0);
    Message m;
    ASSERT_EQ(PeekMessage(&m, 1), 1);
    EXPECT_EQ(m.kind, (uint32_t)MSG_MOUSEMOVE);
    EXPECT_EQ(MessageX(m), 3);
    EXPECT_EQ(MessageY(m), 4);
    ASSERT_EQ(PeekMessage(&m, 1), 1);
    EXPECT_EQ(m.kind, (uint32_t)MSG_PAINT);
    EXPECT_EQ(m.paintRect.left, 0);
    EXPECT_EQ(m.paintRect.bottom, 80);
    ASSERT_EQ(PeekMessage(&m, 0), 1);
    EXPECT_EQ(m.kind, (uint32_t)MSG_KEYDOWN);
    FlushMessages(MSG_KEYDOWN, MSG_KEYUP);
    EXPECT_EQ(PeekMessage(&m, 1), 0);
    PostMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(-5, 700));
    ASSERT_EQ(PeekMessage(&m, 1), 1);
    EXPECT_EQ(MessageX(m), -5);  // positions are signed 16-bit
    EXPECT_EQ(MessageY(m), 700);
    PostQuitMessage(3);
    ASSERT_EQ(GetMessage(&m), 0);
    EXPECT_EQ(m.wParam, 3u);
    DestroyMainWindow();
}

TEST(MessageBoxes, ScriptedAnswersAndRecordedTexts) {
    TestClearShown();
    EXPECT_EQ(MessageBox("Continue?", "Warning", MB_YESNO), IDYES);
    TestPushAnswer(IDNO);
    EXPECT_EQ(MessageBox("Again?", "Warning", MB_YESNO), IDNO);
    ShowMessage("Cannot open file %s", "x.dat");
    ASSERT_EQ(TestShownMessages().size(), 3u);
    EXPECT_EQ(TestShownMessages()[1].caption, "Warning");
    EXPECT_EQ(TestLastMessage(), "Cannot open file x.dat");
    EXPECT_EQ(TestShownMessages()[2].caption, "");
}

struct Answers {
    std::string name;
    int checked = 0;
    std::vector<int> picked;
};

int ExampleProc(Dialog* d, int event, int id, int notification, void* user) {
    Answers* a = (Answers*)user;
    if (event == DLG_INIT) {
        SetItemText(d, 10, "start");
        ListAdd(d, 30, "Alpha");
        ListAdd(d, 30, "Beta\tTabbed");
        ListAdd(d, 30, "Gamma");
        return 1;
    }
    if (id == IDOK) {
        a->name = GetItemText(d, 10);
        a->checked = GetItemCheck(d, 20);
        a->picked = ListGetSelections(d, 30);
        EndDialog(d, IDOK);
    } else if (id == IDCANCEL) {
        EndDialog(d, IDCANCEL);
    }
    return 1;
}

TEST(Dialogs, ItemsAreDrivenThroughTheSameFunctions) {
    DialogTemplate t{"Example", 300, 200, {}, {60}};
    t.items = {{DI_EDIT, 10, 10, 10, 100, 20, "", 0, 5},
               {DI_CHECKBOX, 20, 10, 40, 100, 20, "Check", 0, 0},
               {DI_LISTBOX, 30, 10, 70, 150, 80, "", DS_MULTISELECT | DS_TABSTOPS, 0},
               {DI_DEFBUTTON, IDOK, 200, 160, 80, 24, "OK", 0, 0},
               {DI_BUTTON, IDCANCEL, 110, 160, 80, 24, "Cancel", 0, 0}};
    Answers answers;
    TestPushDialogScript([](Dialog* d) {
        EXPECT_EQ(GetItemText(d, 10), "start");
        SetItemText(d, 10, "typed far too long");  // the edit keeps its limit of 5
        TestDialogCommand(d, 20);
        ListSetSelected(d, 30, 0, 1);
        ListSetSelected(d, 30, 2, 1);
        EXPECT_EQ(ListCount(d, 30), 3);
        EXPECT_EQ(ListGetText(d, 30, 1), "Beta\tTabbed");  // columns are drawn at the tab stops, the text keeps its tab
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(DialogBox(t, ExampleProc, &answers), IDOK);
    EXPECT_EQ(answers.name, "typed");
    EXPECT_EQ(answers.checked, 1);
    EXPECT_EQ(answers.picked, (std::vector<int>{0, 2}));
    EXPECT_EQ(TestShownDialogs().back(), "Example");
    // Without a script the dialog is cancelled.
    EXPECT_EQ(DialogBox(t, ExampleProc, &answers), IDCANCEL);
}

}  // namespace
