// The symbol font: fontforge builds it, it names the family "Orvek" and the full name "Orvek
// Symbol", keeps the letters and carries a symbol at every code the map labels use.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QPainterPath>
#include <QRawFont>
#include <string>
#include <vector>

#include "support/test_volume.h"
#include "volume.h"

// The English names (platform 3, UTF-16 big-endian) with the given name identifier.
static std::vector<std::string> NamesWithId(const QByteArray& table, int nameId) {
    std::vector<std::string> out;
    auto be16 = [&](size_t at) -> int {
        if (at + 2 > (size_t)table.size()) return -1;
        return ((uint8_t)table[(int)at] << 8) | (uint8_t)table[(int)at + 1];
    };
    int count = be16(2), storage = be16(4);
    for (int i = 0; i < count; i++) {
        size_t rec = 6 + (size_t)i * 12;
        int platform = be16(rec), id = be16(rec + 6), length = be16(rec + 8), offset = be16(rec + 10);
        if (platform != 3 || id != nameId || length < 0) continue;
        std::string text;
        for (int k = 0; k + 1 < length; k += 2) text += (char)be16((size_t)storage + offset + k);
        out.push_back(text);
    }
    return out;
}

TEST(SymbolFont, FamilyFullNameAndSymbols) {
    TempFolder folder;
    BuildContext ctx;
    ctx.outDir = folder.path;
    ASSERT_EQ(BuildSymbolFont(ctx), 1) << "fontforge (Debian fontforge) must be installed";
    std::string path = folder / "helv12.ttf";
    QRawFont font(QString::fromStdString(path), 48);
    ASSERT_TRUE(font.isValid());
    EXPECT_EQ(font.familyName(), QString("Orvek"));
    QByteArray name = font.fontTable("name");
    ASSERT_FALSE(name.isEmpty());
    std::vector<std::string> full = NamesWithId(name, 4);
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full[0], "Orvek Symbol");

    QRawFont letters(QString("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"), 48);
    ASSERT_TRUE(letters.isValid());
    // Latin letters are kept; each symbol code has its own outline, none of them the letter
    // Liberation Sans has there.
    for (uint32_t code : {171u, 224u, 225u, 226u, 227u, 228u, 229u, 230u, 231u, 232u, 233u, 234u, 65u}) {
        ASSERT_TRUE(font.supportsCharacter(QChar(code))) << code;
        QVector<quint32> g = font.glyphIndexesForString(QString(QChar(code)));
        QVector<quint32> l = letters.glyphIndexesForString(QString(QChar(code)));
        ASSERT_EQ(g.size(), 1);
        QPainterPath outline = font.pathForGlyph(g[0]);
        EXPECT_FALSE(outline.isEmpty()) << code;
        QPainterPath original = letters.pathForGlyph(l[0]);
        if (code == 65u) {
            EXPECT_EQ(outline.boundingRect(), original.boundingRect());
            continue;
        }
        EXPECT_NE(outline.boundingRect(), original.boundingRect()) << code;
        // Symbols sit on the text's middle line: their centre is near half the cap height.
        double capMiddle = -letters.pathForGlyph(letters.glyphIndexesForString("H")[0]).boundingRect().height() / 2;
        EXPECT_NEAR(outline.boundingRect().center().y(), capMiddle, 6) << code;
    }
    // The two capital marks and the peak marks are not the same shapes as the plain classes.
    QVector<quint32> peak = font.glyphIndexesForString(QString(QChar(225))), major = font.glyphIndexesForString(QString(QChar(234)));
    EXPECT_NE(font.pathForGlyph(peak[0]).elementCount(), font.pathForGlyph(major[0]).elementCount());

    // The family is what the viewer looks for when it registers the file.
    int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
    ASSERT_GE(id, 0);
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).contains("Orvek"));
    QFontDatabase::removeApplicationFont(id);
}

// A failing fontforge run leaves neither a font nor its scraps behind.
TEST(SymbolFont, FailedRunLeavesNothing) {
    TempFolder folder;
    BuildContext ctx;
    ctx.outDir = folder.path;
    ctx.recipe["font-script"] = folder / "no-such-script.py";
    EXPECT_EQ(BuildSymbolFont(ctx), 0);
    EXPECT_TRUE(ReadTestFile(folder / "helv12.ttf").empty());
    EXPECT_TRUE(ReadTestFile(folder / "helv12.ttf.new.ttf").empty());
    EXPECT_TRUE(ReadTestFile(folder / "helv12.ttf.log").empty());
    ctx.recipe["font"] = folder / "missing.ttf";
    EXPECT_EQ(BuildSymbolFont(ctx), 0);
    ASSERT_EQ(ctx.missing.size(), 1u);
    EXPECT_NE(ctx.missing[0].find("helv12.ttf"), std::string::npos);
}
