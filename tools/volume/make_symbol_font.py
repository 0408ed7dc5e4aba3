#!/usr/bin/env python3
# Builds the map symbol font: the Latin letters of Liberation Sans under the family "Orvek"
# (full name "Orvek Symbol") with map symbols at the Windows-1252 codes 171 and 224..234.
# usage: make_symbol_font.py SOURCE.ttf OUTPUT.ttf
import math
import sys

import fontforge

# Code -> symbol. The codes are Windows-1252 (and Latin-1) characters: 171 is U+00AB and
# 224..234 are U+00E0..U+00EA.
SYMBOLS = {
    224: "airport",
    225: "peak",
    226: "city1",
    227: "capital_admin",
    228: "square",
    229: "city3",
    230: "capital",
    231: "city2",
    232: "diamond",
    233: "city4",
    234: "peak_major",
    171: "town",
}

CENTRE_Y = 700      # about half the cap height of the source font (units per em 2048)
ADVANCE = 1400


def circle(pen, cx, cy, r, clockwise=True):
    # 64-sided: smooth at any size a map label uses, and plain lines suit TrueType outlines
    pts = [(cx + r * math.sin(2 * math.pi * i / 64), cy + r * math.cos(2 * math.pi * i / 64)) for i in range(64)]
    if not clockwise:
        pts.reverse()
    polygon(pen, pts)


def polygon(pen, points):
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def ring(pen, cx, cy, outer, inner):
    circle(pen, cx, cy, outer, True)
    circle(pen, cx, cy, inner, False)


def star(cx, cy, r_out, r_in, rotation=90):
    pts = []
    for i in range(10):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rotation + i * 36)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return list(reversed(pts))  # clockwise


def draw(glyph, kind):
    pen = glyph.glyphPen()
    cx, cy = ADVANCE / 2, CENTRE_Y
    if kind == "city1":            # large filled dot in a ring
        ring(pen, cx, cy, 560, 440)
        circle(pen, cx, cy, 300)
    elif kind == "city2":
        ring(pen, cx, cy, 470, 360)
        circle(pen, cx, cy, 230)
    elif kind == "city3":          # plain filled dot
        circle(pen, cx, cy, 330)
    elif kind == "city4":
        circle(pen, cx, cy, 250)
    elif kind == "town":           # small open circle
        ring(pen, cx, cy, 230, 130)
    elif kind == "capital":        # national capital: a star in a ring
        ring(pen, cx, cy, 600, 500)
        polygon(pen, star(cx, cy, 440, 180))
    elif kind == "capital_admin":  # second kind of capital: a square in a ring
        ring(pen, cx, cy, 560, 450)
        polygon(pen, [(cx - 250, cy - 250), (cx - 250, cy + 250), (cx + 250, cy + 250), (cx + 250, cy - 250)])
    elif kind == "square":
        polygon(pen, [(cx - 360, cy - 360), (cx - 360, cy + 360), (cx + 360, cy + 360), (cx + 360, cy - 360)])
        polygon(pen, [(cx - 240, cy - 240), (cx + 240, cy - 240), (cx + 240, cy + 240), (cx - 240, cy + 240)])
    elif kind == "diamond":
        polygon(pen, [(cx, cy - 450), (cx - 450, cy), (cx, cy + 450), (cx + 450, cy)])
    elif kind == "peak":           # filled triangle
        polygon(pen, [(cx - 560, cy - 420), (cx, cy + 560), (cx + 560, cy - 420)])
    elif kind == "peak_major":     # triangle with a snow cap cut out
        polygon(pen, [(cx - 620, cy - 460), (cx, cy + 620), (cx + 620, cy - 460)])
        polygon(pen, list(reversed([(cx, cy + 400), (cx + 200, cy + 70), (cx + 70, cy + 140), (cx, cy + 40),
                                    (cx - 70, cy + 140), (cx - 200, cy + 70)])))
    elif kind == "airport":        # an aircraft seen from above, nose up
        polygon(pen, [
            (cx - 70, cy + 560), (cx + 70, cy + 560), (cx + 80, cy + 160), (cx + 560, cy - 60),
            (cx + 560, cy - 180), (cx + 80, cy - 60), (cx + 70, cy - 380), (cx + 240, cy - 500),
            (cx + 240, cy - 590), (cx, cy - 530), (cx - 240, cy - 590), (cx - 240, cy - 500),
            (cx - 70, cy - 380), (cx - 80, cy - 60), (cx - 560, cy - 180), (cx - 560, cy - 60),
            (cx - 80, cy + 160)])
    pen = None
    glyph.width = ADVANCE
    glyph.removeOverlap()
    glyph.correctDirection()


def main():
    if len(sys.argv) != 3:
        sys.stderr.write("usage: make_symbol_font.py SOURCE.ttf OUTPUT.ttf\n")
        return 2
    font = fontforge.open(sys.argv[1])
    font.familyname = "Orvek"
    font.fullname = "Orvek Symbol"
    font.fontname = "OrvekSymbol"
    font.weight = "Regular"
    font.copyright = "Letters from Liberation Sans (SIL Open Font License 1.1); map symbols added."
    font.sfnt_names = tuple(n for n in font.sfnt_names if n[1] not in
                            ("Family", "SubFamily", "Fullname", "PostScriptName", "UniqueID",
                             "Preferred Family", "Preferred Styles", "Compatible Full", "WWS Family"))
    font.appendSFNTName("English (US)", "Family", "Orvek")
    font.appendSFNTName("English (US)", "SubFamily", "Regular")
    font.appendSFNTName("English (US)", "Fullname", "Orvek Symbol")
    font.appendSFNTName("English (US)", "PostScriptName", "OrvekSymbol")
    font.appendSFNTName("English (US)", "UniqueID", "Orvek Symbol 1.0")
    for code, kind in SYMBOLS.items():
        glyph = font.createChar(code)
        glyph.clear()
        draw(glyph, kind)
    font.generate(sys.argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
