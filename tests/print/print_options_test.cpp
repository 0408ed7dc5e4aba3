// The print-options dialog driven through the test double: which items are enabled on and off
// the 2D map as the switches change, the thickness checks, and Cancel putting everything back.
#include <gtest/gtest.h>

#include "platform/test_double.h"
#include "print/print.h"

namespace {

struct PrintOptionsTest : ::testing::Test {
    void SetUp() override {
        ResetPrintOptions();
        TestClearShown();
    }
    void TearDown() override { ResetPrintOptions(); }
};

// The enabled state of the map's items for one state of the switches.
struct Enabling {
    int onMap, copy, vectors;
    int copyBox, entire, vectorsBox, thickness, imagery, radios, invert, title;
};

TEST_F(PrintOptionsTest, ItemsFollowTheScreenAndTheSwitches) {
    const Enabling table[] = {
        // off the map: only the title, the inversion and the set-up button
        {0, 0, 1, /*copyBox*/ 0, 0, 0, 0, 0, 0, /*invert*/ 1, 1},
        {0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1},
        // re-rendering: everything but "Print entire screen"; thickness only with vectors
        {1, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1},
        {1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1},
        // copying from the screen: only "Print entire screen" among the map options
        {1, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1},
    };
    for (const Enabling& row : table) {
        SCOPED_TRACE(testing::Message() << "onMap " << row.onMap << " copy " << row.copy << " vectors " << row.vectors);
        printOptions.copyFromScreen = row.copy;
        printOptions.vectors = row.vectors;
        Enabling seen{};
        TestPushDialogScript([&](Dialog* d) {
            seen.copyBox = TestItemEnabled(d, kPrintCopyBox);
            seen.entire = TestItemEnabled(d, kPrintEntireBox);
            seen.vectorsBox = TestItemEnabled(d, kPrintVectorsBox);
            seen.thickness = TestItemEnabled(d, kPrintThicknessEdit);
            seen.imagery = TestItemEnabled(d, kPrintImageryBox);
            seen.radios = TestItemEnabled(d, kPrintSameAreaRadio) && TestItemEnabled(d, kPrintSameScaleRadio);
            seen.invert = TestItemEnabled(d, kPrintInvertBox);
            seen.title = TestItemEnabled(d, kPrintTitleEdit) && TestItemEnabled(d, kPrintSetupButton);
        });
        PrintOptionsDialog(row.onMap);
        EXPECT_EQ(seen.copyBox, row.copyBox);
        EXPECT_EQ(seen.entire, row.entire);
        EXPECT_EQ(seen.vectorsBox, row.vectorsBox);
        EXPECT_EQ(seen.thickness, row.thickness);
        EXPECT_EQ(seen.imagery, row.imagery);
        EXPECT_EQ(seen.radios, row.radios);
        EXPECT_EQ(seen.invert, row.invert);
        EXPECT_EQ(seen.title, row.title);
    }
}

TEST_F(PrintOptionsTest, SwitchesActAtOnceAndReEnableTheirItems) {
    TestPushDialogScript([](Dialog* d) {
        TestDialogCommand(d, kPrintVectorsBox);  // vectors off: the thickness goes grey
        EXPECT_EQ(printOptions.vectors, 0);
        EXPECT_EQ(TestItemEnabled(d, kPrintThicknessEdit), 0);
        TestDialogCommand(d, kPrintCopyBox);     // copying: "Print entire screen" comes alive
        EXPECT_EQ(printOptions.copyFromScreen, 1);
        EXPECT_EQ(TestItemEnabled(d, kPrintEntireBox), 1);
        EXPECT_EQ(TestItemEnabled(d, kPrintImageryBox), 0);
        TestDialogCommand(d, kPrintCopyBox);
        TestDialogCommand(d, kPrintVectorsBox);
        EXPECT_EQ(TestItemEnabled(d, kPrintThicknessEdit), 1);
        TestDialogCommand(d, kPrintSameScaleRadio);
        EXPECT_EQ(GetItemCheck(d, kPrintSameScaleRadio), 1);
        EXPECT_EQ(GetItemCheck(d, kPrintSameAreaRadio), 0);
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(PrintOptionsDialog(1), 1);
    EXPECT_EQ(printOptions.sameScale, 1);
    // The surface area is offered first again at the next opening.
    int sameScaleShown = -1;
    TestPushDialogScript([&](Dialog* d) {
        sameScaleShown = GetItemCheck(d, kPrintSameScaleRadio);
        TestDialogCommand(d, IDOK);
    });
    PrintOptionsDialog(1);
    EXPECT_EQ(sameScaleShown, 0);
}

TEST_F(PrintOptionsTest, ThicknessIsCheckedOnTheMapOnly) {
    struct Case {
        const char* typed;
        int onMap;
        const char* message;  // nullptr: accepted
        int thickness;
    } cases[] = {
        {"", 1, "Line thickness value must be specified.", 1},
        {"0", 1, "Invalid value for vector line thickness.", 1},
        {"51", 1, "Invalid value for vector line thickness.", 1},
        {"x", 1, "Invalid value for vector line thickness.", 1},
        {"50", 1, nullptr, 50},
        {"1", 1, nullptr, 1},
        {"", 0, nullptr, 1},  // off the map the field is not read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ResetPrintOptions();
        TestClearShown();
        // A refused value keeps the dialog open; the script then ends and the dialog is cancelled.
        TestPushDialogScript([&](Dialog* d) {
            SetItemText(d, kPrintThicknessEdit, c.typed);
            TestDialogCommand(d, IDOK);
        });
        int result = PrintOptionsDialog(c.onMap);
        if (c.message) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(TestLastMessage(), c.message);
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(TestShownMessages().empty());
        }
        EXPECT_EQ(printOptions.thickness, c.thickness);
    }
}

TEST_F(PrintOptionsTest, CancelPutsTitleAndSwitchesBack) {
    printOptions.title = "Shaded Relief";
    printOptions.thickness = 7;
    PrintOptions before = printOptions;
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, kPrintTitleEdit, "My trip");
        for (int id : {kPrintVectorsBox, kPrintInvertBox, kPrintCopyBox, kPrintEntireBox}) TestDialogCommand(d, id);
        SetItemText(d, kPrintThicknessEdit, "12");
        EXPECT_EQ(printOptions.invert, 1);
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_EQ(PrintOptionsDialog(1), 0);
    EXPECT_EQ(printOptions.title, before.title);
    EXPECT_EQ(printOptions.vectors, before.vectors);
    EXPECT_EQ(printOptions.invert, before.invert);
    EXPECT_EQ(printOptions.copyFromScreen, before.copyFromScreen);
    EXPECT_EQ(printOptions.entireScreen, before.entireScreen);
    EXPECT_EQ(printOptions.thickness, 7);
    // OK keeps the typed title, cut to its 110 characters.
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, kPrintTitleEdit, std::string(120, 'T').c_str());
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(PrintOptionsDialog(0), 1);
    EXPECT_EQ(printOptions.title, std::string(110, 'T'));
}

TEST_F(PrintOptionsTest, SetupButtonOpensThePrinterSetup) {
    TestPushDialogScript([](Dialog* d) {
        TestDialogCommand(d, kPrintSetupButton);
        TestDialogCommand(d, IDCANCEL);
    });
    PrintOptionsDialog(0);
    EXPECT_EQ(TestPageSetupsShown(), 1);
}

}  // namespace
