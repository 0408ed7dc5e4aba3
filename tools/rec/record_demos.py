#!/usr/bin/env python3
"""Records the screens' demonstrations with the viewer's own recorder (mundora --record).

The viewer runs in a virtual X server on a volume; xdotool operates it like a user: it goes to
the screen, clicks the screen's demonstration button (which starts the recording), performs the
steps below and presses Pause, which writes the record file. Every step clicks a button or a
fixed place of the screen, never a spot that depends on the data, so the recording plays the
same on a volume rebuilt from the same sources.

    tools/rec/record_demos.py VIEWER VOLUME OUTDIR [NAME...]   (NAME: 2d 3d globe stats flyby)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

# Panel buttons, centres in window pixels.
DEMO = (778, 588)        # 14, "Start self-running demo"
TAB_3D, TAB_STATS, TAB_GLOBE, TAB_FLYBY = (414, 12), (540, 12), (754, 12), (650, 12)


def btn(x, y, w, h):
    return (x + w // 2, y + h // 2)


# The steps before the demonstration button: each screen entered from the 2D map.
PREFIX = {
    "2d": [],
    "3d": [("click", TAB_3D), ("wait", 1.5), ("click", (365, 170)), ("wait", 12)],   # the Alps
    "globe": [("click", TAB_GLOBE), ("wait", 6)],
    "stats": [("click", TAB_STATS), ("wait", 2), ("click", (520, 250)), ("wait", 3)],  # South Asia
    "flyby": [("click", TAB_FLYBY), ("wait", 10)],   # in flight over the map's centre
}

# The flyby's panel: buttons, the heading dial (centre and radius), the throttle track's and
# the climb pad's middles, and the display options' rows under their panel at (546, 45).
FLY_DISPLAY, FLY_NAMES, FLY_NEW_AREA = btn(695, 47, 102, 20), btn(695, 93, 102, 20), btn(695, 116, 102, 20)
DIAL_X, DIAL_Y, DIAL_R = 746, 212, 41
THROTTLE_Y, CLIMB_Y = 476, 531


def throttle(fraction):
    """The throttle track at fraction -1 (full back) .. 1 (full forward). Its middle pixel
    gives the speed step next to 0, so a stop takes the Down key after it."""
    return (746 + round(fraction * 46), THROTTLE_Y)


def option_row(row):
    return (600, 45 + 26 * row + 37)


def keys(name, count, pause=0.12):
    return [step for _ in range(count) for step in (("key", name), ("wait", pause))]


OPTIONS_OK = (600, 45 + 162 + 12)

# The demonstrations themselves.
STEPS = {
    # The pointer's readout over the world, two clicks that zoom, the background chooser's
    # shaded relief and elevation, pans by the right and bottom edges, zoom out, the imagery
    # again and back to the world.
    "2d": [("move", (300, 250), 1.5), ("wait", 1), ("move", (420, 300), 1.5), ("wait", 1), ("move", (395, 200), 1.0),
           ("wait", 0.5), ("click", (395, 200)), ("wait", 5), ("move", (300, 330), 1.2), ("wait", 0.5),
           ("click", (350, 290)), ("wait", 5), ("move", (500, 200), 1.0), ("wait", 1),
           ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 106)), ("wait", 5),
           ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (590, 130)), ("wait", 5),
           ("move", (600, 290), 0.8), ("click", (674, 290)), ("wait", 4),
           ("move", (350, 450), 0.8), ("click", (350, 531)), ("wait", 4),
           ("click", btn(771, 503, 22, 26)), ("wait", 4),
           ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 82)), ("wait", 4),
           ("move", (400, 300), 1.0), ("wait", 1), ("click", btn(745, 531, 44, 32)), ("wait", 4),
           ("move", (380, 200), 1.5), ("wait", 1)],
    # Display types from the chooser, vertical exaggeration, a coarser and back the medium
    # grid, the water level raised to 300 m, and the reset.
    "3d": [("wait", 2), ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 1 * 20 + 8)), ("wait", 4),
           ("shot", "3d-1"), ("click", btn(775, 441, 22, 20)), ("wait", 3), ("click", btn(775, 441, 22, 20)), ("wait", 3),
           ("click", btn(729, 418, 22, 20)), ("wait", 3), ("click", btn(775, 418, 22, 20)), ("wait", 4),
           ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 2 * 20 + 8)), ("wait", 4),
           ("shot", "3d-2"), ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 4 * 20 + 8)),
           ("wait", 4), ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 3 * 20 + 8)), ("wait", 4),
           ("shot", "3d-3"), ("click", btn(695, 48, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 0 * 20 + 8)),
           ("wait", 3), ("click", btn(695, 353, 102, 20)), ("wait", 1.5), ("type", "300"), ("wait", 0.5),
           ("key", "Return"), ("wait", 5), ("shot", "3d-4"), ("key", "Escape"), ("wait", 3),
           ("click", btn(775, 441, 22, 20)), ("wait", 3), ("click", btn(706, 489, 38, 24)), ("wait", 4)],
    # Sizes, the turn (paused, sped up, reversed), the data types relief, elevation and the
    # temperature overlay from the chooser, names, and the satellites' orbits. (The shipped
    # recording was made without the last click and had it added with mundora-rec.)
    "globe": [("wait", 2), ("click", btn(772, 408, 22, 22)), ("wait", 4), ("shot", "globe-1"),
              ("click", btn(697, 408, 22, 22)), ("wait", 3), ("click", btn(747, 408, 22, 22)), ("wait", 3),
              ("click", btn(743, 508, 26, 22)), ("wait", 1), ("click", btn(743, 508, 26, 22)), ("wait", 3),
              ("click", btn(771, 456, 26, 22)), ("wait", 3), ("click", btn(743, 481, 54, 24)), ("wait", 2),
              ("click", btn(743, 481, 54, 24)), ("wait", 2),
              ("click", btn(695, 46, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 1 * 18 + 8)), ("wait", 1),
              ("key", "Return"), ("wait", 4), ("shot", "globe-2"),
              ("click", btn(695, 46, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 2 * 18 + 8)), ("wait", 1),
              ("key", "Return"), ("wait", 4),
              ("click", btn(695, 46, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 7 * 18 + 8)), ("wait", 1),
              ("key", "Return"), ("wait", 5), ("shot", "globe-3"),
              ("click", btn(695, 46, 102, 20)), ("wait", 1.5), ("click", (600, 45 + 24 + 0 * 18 + 8)), ("wait", 1),
              ("key", "Return"), ("wait", 4),
              ("click", btn(695, 69, 102, 20)), ("wait", 3), ("click", btn(695, 296, 102, 20)), ("wait", 6),
              ("shot", "globe-4"), ("click", btn(695, 296, 102, 20)), ("wait", 2), ("click", btn(771, 508, 26, 22)),
              # The turn paused at the end, so the globe stands still afterwards.
              ("wait", 0.5), ("click", btn(743, 481, 54, 24)), ("wait", 1)],
    # The flat map's readout over the region, the chart, the table paged, figures picked from
    # the People and Economy lists, and the flat map again.
    "stats": [("wait", 2), ("move", (150, 200), 1.5), ("move", (300, 250), 1.5), ("move", (450, 300), 1.5),
              ("move", (350, 400), 1.5), ("wait", 1), ("shot", "stats-1"),
              ("click", btn(694, 69, 102, 19)), ("wait", 5), ("shot", "stats-2"),
              ("click", btn(694, 90, 102, 19)), ("wait", 4), ("key", "Next"), ("wait", 2), ("key", "Prior"), ("wait", 2),
              ("shot", "stats-3"), ("click", btn(694, 48, 102, 19)), ("wait", 3),
              ("click", btn(694, 200, 102, 20)), ("wait", 2), ("shot", "stats-4"), ("click", (605, 45 + 24 + 1 * 18 + 8)), ("wait", 4),
              ("move", (200, 250), 1.5), ("move", (400, 300), 1.5), ("wait", 1),
              ("click", btn(694, 177, 102, 20)), ("wait", 2), ("click", (605, 45 + 24 + 1 * 18 + 8)), ("wait", 4),
              ("click", btn(694, 69, 102, 19)), ("wait", 5), ("click", btn(694, 48, 102, 19)), ("wait", 3),
              ("move", (300, 300), 1.5), ("wait", 2)],
    # A new start on the world picture (the western Alps), speed from the keys and the throttle,
    # turns, climbs with Page Up and the climb pad, a click on the heading dial, the display
    # options (haze and the cockpit off, then on again), the names, and a stop; Escape ends
    # the flight on the 2D map, whose loop waits for input, so the end is quiet (the flight's
    # loop draws frames as long as it runs).
    "flyby": [("wait", 1.5), ("click", FLY_NEW_AREA), ("wait", 1.5), ("move", (300, 250), 0.8),
              ("move", (361, 212), 0.8), ("click", (361, 212)), ("wait", 8), ("shot", "flyby-1"),
              *keys("Up", 10), ("wait", 1.5), ("click", throttle(0.3)), ("wait", 3),
              *keys("Right", 10), ("wait", 1.5), *keys("Prior", 10), ("wait", 2), ("shot", "flyby-2"),
              *keys("Left", 12), ("wait", 2),
              ("click", (DIAL_X - 30, DIAL_Y - 20)), ("wait", 3),
              ("click", (746, CLIMB_Y - 5)), ("wait", 2), ("click", (746, CLIMB_Y)), ("wait", 1.5),
              ("shot", "flyby-3"), *keys("Next", 8), ("wait", 1.5),
              ("click", FLY_DISPLAY), ("wait", 1.5), ("move", option_row(3), 0.6), ("click", option_row(3)), ("wait", 1),
              ("click", option_row(4)), ("wait", 1), ("click", OPTIONS_OK), ("wait", 3.5), ("shot", "flyby-4"),
              ("click", FLY_DISPLAY), ("wait", 1.5), ("click", option_row(3)), ("wait", 1),
              ("click", option_row(4)), ("wait", 1), ("key", "Return"), ("wait", 2.5),
              ("click", FLY_NAMES), ("wait", 3), ("shot", "flyby-5"), ("click", FLY_NAMES), ("wait", 2.5),
              ("click", throttle(0.6)), ("wait", 3), *keys("Down", 6), ("wait", 1.5),
              ("click", throttle(0)), ("wait", 1), *keys("Down", 3, 0.3), ("wait", 2), ("shot", "flyby-6"),
              ("key", "Escape"), ("wait", 2.5), ("move", (400, 300), 1.0), ("wait", 1)],
}


class Session:
    def __init__(self, viewer, volume, record, shots):
        self.display = ":%d" % (70 + os.getpid() % 20)
        self.shots = shots
        self.root = tempfile.mkdtemp(prefix="mundora-demo-root-")
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        command = [viewer, "--volume", volume, "--data-root", self.root]
        self.viewer = subprocess.Popen(command + (["--record", record] if record else []), env=self.env)
        self.xdo("search", "--sync", "--onlyvisible", "--name", "^Mundora")
        time.sleep(2.0)
        # The window of 800 x 600; the toolkit keeps other windows of the same name.
        for wid in self.xdo("search", "--onlyvisible", "--name", "^Mundora").split():
            geometry = self.xdo("getwindowgeometry", wid)
            if "800x600" in geometry:
                pos = geometry.split("Position:")[1].split()[0].split(",")
                self.origin = (int(pos[0]), int(pos[1]))
                break
        else:
            raise RuntimeError("no 800x600 window")
        self.pointer = (400, 300)

    def xdo(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, check=True, capture_output=True, text=True).stdout

    def move(self, to, seconds=0.6):
        # A pointer glides as a hand moves it: a step every 20 ms.
        steps = max(1, int(seconds / 0.02))
        x0, y0 = self.pointer
        for i in range(1, steps + 1):
            x = round(x0 + (to[0] - x0) * i / steps)
            y = round(y0 + (to[1] - y0) * i / steps)
            self.xdo("mousemove", str(self.origin[0] + x), str(self.origin[1] + y))
            time.sleep(0.02)
        self.pointer = to

    def run(self, steps):
        for step in steps:
            kind = step[0]
            if kind == "click":
                self.move(step[1])
                self.xdo("click", "1")
            elif kind == "rclick":
                self.move(step[1])
                self.xdo("click", "3")
            elif kind == "move":
                self.move(step[1], step[2] if len(step) > 2 else 0.6)
            elif kind == "drag":
                self.move(step[1])
                self.xdo("mousedown", "1")
                self.move(step[2], step[3] if len(step) > 3 else 1.0)
                self.xdo("mouseup", "1")
            elif kind == "key":
                self.xdo("key", step[1])
            elif kind == "type":
                for c in step[1]:
                    self.xdo("type", c)
                    time.sleep(0.15)
            elif kind == "wait":
                time.sleep(step[1])
            elif kind == "shot":
                subprocess.run(["import", "-window", "root", os.path.join(self.shots, step[1] + ".png")], env=self.env, check=True)

    def close(self):
        try:
            self.xdo("key", "ctrl+q")
            self.viewer.wait(timeout=20)
        except Exception:
            self.viewer.kill()
        self.xvfb.terminate()
        shutil.rmtree(self.root, ignore_errors=True)


def record(viewer, volume, outdir, name):
    out = os.path.join(outdir, name + ".rec")
    s = Session(viewer, volume, out, outdir)
    try:
        s.run([("wait", 1), ("click", (400, 300)), ("wait", 4), ("click", (212, 151)), ("wait", 6)])
        s.run(PREFIX[name])
        s.run([("shot", name + "-before"), ("click", DEMO), ("wait", 0.5)])
        start = time.time()
        s.run(STEPS[name])
        s.run([("shot", name + "-after"), ("key", "Pause"), ("wait", 1)])
        print("%s: %.1f s recorded into %s" % (name, time.time() - start, out))
    finally:
        s.close()


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    viewer, volume, outdir = sys.argv[1:4]
    for name in sys.argv[4:] or ["2d", "3d", "globe", "stats", "flyby"]:
        record(viewer, volume, outdir, name)
