// The program's icon: three sizes, a transparent surround, the globe drawn from the world
// imagery it is given and the amber orbit ring over it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "art.h"
#include "support/test_volume.h"
#include "volume.h"

TEST(ProgramIcon, ThreeSizesOfTheGlobeFromTheImagery) {
    EnsureArtApplication();
    TempFolder folder;
    // A world of blue sea west of 0 degrees and green land east of it: the icon looks at 15 E.
    QImage world(360, 180, QImage::Format_RGB32);
    world.fill(QColor(0, 0, 200));
    QPainter(&world).fillRect(180, 0, 180, 180, QColor(0, 200, 0));
    ASSERT_TRUE(world.save(QString::fromStdString(folder / "world.png")));
    BuildContext ctx;
    ctx.recipe["imagery"] = folder / "world.png";
    std::string dir = folder / "icons";
    ASSERT_EQ(WriteProgramIcons(ctx, dir.c_str()), 1);
    for (int size : {48, 128, 256}) {
        QImage icon(QString::fromStdString(dir + "/mundora-" + std::to_string(size) + ".png"));
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
            EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << size;
        QRgb centre = icon.pixel(size / 2, size / 2);
        EXPECT_EQ(qAlpha(centre), 255) << size;
        EXPECT_GT(qGreen(centre), qBlue(centre) + 40) << size;
        QRgb west = icon.pixel(size * 22 / 100, size / 2);  // the sea west of the meridian
        EXPECT_GT(qBlue(west), qGreen(west) + 40) << size;
        int amber = 0;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                QRgb c = icon.pixel(x, y);
                amber += qAlpha(c) > 200 && qRed(c) > 200 && qGreen(c) > 120 && qBlue(c) < 90;
            }
        EXPECT_GT(amber, size / 2) << size;
    }
}
