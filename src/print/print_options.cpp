// The print options, kept for the run, and the print-options dialog: the title of the page,
// the inversion switch and, on the 2D map, how the map is put on paper. Every switch takes
// effect at once; Cancel puts the title and the switches back as they were.
#include <cstdlib>

#include "core/core.h"
#include "print/print.h"

PrintOptions printOptions;

void ResetPrintOptions() { printOptions = PrintOptions{}; }

static DialogTemplate PrintOptionsTemplate() {
    DialogTemplate t;
    t.caption = "Print Options";
    t.width = 430;
    t.height = 330;
    t.items = {
        {DI_STATIC, 1200, 12, 14, 40, 20, "Title:"},
        {DI_EDIT, kPrintTitleEdit, 56, 12, 362, 22, "", 0, kPrintTitleMax},
        {DI_CHECKBOX, kPrintInvertBox, 12, 44, 406, 20, "Invert black background to white"},
        {DI_GROUPBOX, kPrintMapGroup, 8, 72, 414, 210, "2D Map options:"},
        {DI_CHECKBOX, kPrintCopyBox, 20, 94, 390, 20, "Copy image from screen"},
        {DI_CHECKBOX, kPrintEntireBox, 40, 116, 370, 20, "Print entire screen"},
        {DI_CHECKBOX, kPrintVectorsBox, 20, 142, 390, 20, "Render vectors on top of image"},
        {DI_STATIC, kPrintThicknessLabel, 40, 166, 170, 20, "Line thickness (pixels):"},
        {DI_EDIT, kPrintThicknessEdit, 214, 164, 60, 22, "", 0, 2},
        {DI_CHECKBOX, kPrintImageryBox, 20, 192, 390, 20, "Draw background imagery"},
        {DI_RADIO, kPrintSameAreaRadio, 20, 222, 390, 20, "Maintain same surface area as screen image", DS_GROUPSTART},
        {DI_RADIO, kPrintSameScaleRadio, 20, 248, 390, 20, "Maintain same map scale as screen image"},
        {DI_DEFBUTTON, IDOK, 12, 294, 100, 26, "OK"},
        {DI_BUTTON, IDCANCEL, 120, 294, 100, 26, "Cancel"},
        {DI_BUTTON, kPrintSetupButton, 318, 294, 100, 26, "Print Setup..."},
    };
    return t;
}

struct OptionsDialogState {
    int onMap;
    PrintOptions before;
};

// Outside the 2D map only the title, the inversion and the set-up button take part. On the
// map, copying from the screen leaves only "Print entire screen" among the map options;
// re-rendering offers the rest, the thickness while vectors are on.
static void EnableOptionItems(Dialog* d, int onMap) {
    const PrintOptions& o = printOptions;
    int render = onMap && !o.copyFromScreen;
    EnableItem(d, kPrintCopyBox, onMap);
    EnableItem(d, kPrintEntireBox, onMap && o.copyFromScreen);
    EnableItem(d, kPrintVectorsBox, render);
    EnableItem(d, kPrintThicknessLabel, render && o.vectors);
    EnableItem(d, kPrintThicknessEdit, render && o.vectors);
    EnableItem(d, kPrintImageryBox, render);
    EnableItem(d, kPrintSameAreaRadio, render);
    EnableItem(d, kPrintSameScaleRadio, render);
    EnableItem(d, kPrintMapGroup, onMap);
}

static void FillOptionItems(Dialog* d) {
    const PrintOptions& o = printOptions;
    SetItemText(d, kPrintTitleEdit, o.title.c_str());
    char thickness[16];
    snprintf(thickness, sizeof thickness, "%d", o.thickness < 1 ? 1 : o.thickness);
    SetItemText(d, kPrintThicknessEdit, thickness);
    SetItemCheck(d, kPrintVectorsBox, o.vectors);
    SetItemCheck(d, kPrintInvertBox, o.invert);
    SetItemCheck(d, kPrintCopyBox, o.copyFromScreen);
    SetItemCheck(d, kPrintImageryBox, o.imagery);
    SetItemCheck(d, kPrintEntireBox, o.entireScreen);
    SetItemCheck(d, kPrintSameAreaRadio, !o.sameScale);
    SetItemCheck(d, kPrintSameScaleRadio, o.sameScale);
}

// The thickness as typed; 1 when it may be used, else 0 after its message.
static int ReadThickness(Dialog* d) {
    std::string text = GetItemText(d, kPrintThicknessEdit);
    if (text.empty()) {
        ShowMessage("Line thickness value must be specified.");
        return 0;
    }
    int value = atoi(text.c_str());
    if (value < 1 || value > kMaxLineThickness) {
        ShowMessage("Invalid value for vector line thickness.");
        return 0;
    }
    printOptions.thickness = value;
    return 1;
}

static int* SwitchOf(int itemId) {
    switch (itemId) {
    case kPrintVectorsBox: return &printOptions.vectors;
    case kPrintInvertBox: return &printOptions.invert;
    case kPrintCopyBox: return &printOptions.copyFromScreen;
    case kPrintImageryBox: return &printOptions.imagery;
    case kPrintEntireBox: return &printOptions.entireScreen;
    default: return nullptr;
    }
}

static int PrintOptionsProc(Dialog* d, int event, int itemId, int notification, void* user) {
    OptionsDialogState* st = (OptionsDialogState*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        FillOptionItems(d);
        EnableOptionItems(d, st->onMap);
        FocusItem(d, kPrintTitleEdit);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (int* option = SwitchOf(itemId)) {
        *option = !*option;
        SetItemCheck(d, itemId, *option);
        EnableOptionItems(d, st->onMap);
        return 1;
    }
    switch (itemId) {
    case kPrintSameAreaRadio: case kPrintSameScaleRadio:
        printOptions.sameScale = itemId == kPrintSameScaleRadio;
        SetItemCheck(d, kPrintSameAreaRadio, !printOptions.sameScale);
        SetItemCheck(d, kPrintSameScaleRadio, printOptions.sameScale);
        return 1;
    case kPrintSetupButton: PrinterSetup(); return 1;
    case IDOK:
        printOptions.title = GetItemText(d, kPrintTitleEdit).substr(0, kPrintTitleMax);
        if (st->onMap && !ReadThickness(d)) return 1;
        EndDialog(d, IDOK);
        return 1;
    case IDCANCEL: EndDialog(d, IDCANCEL); return 1;
    default: return 0;
    }
}

int PrintOptionsDialog(int onMap) {
    printOptions.sameScale = 0;  // the surface area is offered first every time
    OptionsDialogState st{onMap, printOptions};
    if (DialogBox(PrintOptionsTemplate(), PrintOptionsProc, &st) == IDOK) return 1;
    printOptions = st.before;
    return 0;
}
