// The pointer rules every chooser panel shares: a click needs the press and the release on
// the same area, and the looks change only when the area under the pointer does.
#include <gtest/gtest.h>

#include "imaging/imaging.h"

namespace {

Message Mouse(uint32_t kind) {
    Message m;
    m.kind = kind;
    return m;
}

TEST(ChooserPointer, PressAndReleaseOnTheSameAreaClick) {
    ChooserPointer p;
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_MOUSEMOVE), 2), kPointerRedraw);
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_MOUSEMOVE), 2), kPointerNothing);
    EXPECT_EQ(p.hover, 2);
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_LBUTTONDOWN), 2), kPointerRedraw);
    EXPECT_EQ(p.pressed, 2);
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_LBUTTONUP), 2), kPointerClicked);
    EXPECT_EQ(p.pressed, -1);
    // Dragged off before the release: no click, the pressed look goes.
    TrackChooserPointer(&p, Mouse(MSG_LBUTTONDOWN), 2);
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_LBUTTONUP), 3), kPointerRedraw);
    EXPECT_EQ(p.pressed, -1);
    // Pressed outside every area and released on one: nothing is clicked.
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_LBUTTONDOWN), -1), kPointerNothing);
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_LBUTTONUP), 3), kPointerRedraw);
    EXPECT_EQ(TrackChooserPointer(&p, Mouse(MSG_KEYDOWN), 3), kPointerNothing);
}

}  // namespace
