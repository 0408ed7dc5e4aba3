#!/usr/bin/env bash
# How much processor the viewer uses while it waits for input: it runs under a virtual X
# server on a volume, sits on the title page, enters the room (click anywhere), then the 2D
# map (the room's start button), then the globe (its tab) while it turns and once its
# rotation is stopped, then the 3D terrain view of an area picked on the world view, and prints for each screen the CPU time used over the measuring window
# as a percentage of one core. An idle viewer, and a globe left still, should stay under 1 %;
# the turning globe shows what its 60 frames a second cost.
#
#   bench/idle_cpu.sh [VOLUME [VIEWER]]
#
# VOLUME defaults to ~/.local/share/mundora/volume, VIEWER to build/mundora of this checkout.
# IDLE_SECONDS (10) sets the measuring window, SETTLE_SECONDS (5) the wait after each click
# before measuring; SHOTS=DIR keeps a screenshot of every screen in DIR.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
volume=$(realpath "${1:-$HOME/.local/share/mundora/volume}")
viewer=$(realpath "${2:-$here/build/mundora}")
idle=${IDLE_SECONDS:-10}
settle=${SETTLE_SECONDS:-5}

if [ -z "${IDLE_CPU_INSIDE_X:-}" ]; then
    [ -f "$volume/titlepg.bmp" ] || { echo "no volume at $volume (titlepg.bmp missing)" >&2; exit 2; }
    [ -x "$viewer" ] || { echo "no viewer at $viewer" >&2; exit 2; }
    export IDLE_CPU_INSIDE_X=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$volume" "$viewer"
fi

# A fresh data root, the volume found where the viewer looks for the installed one, and a
# temporary folder of its own so that a copy of the viewer already running elsewhere is not
# taken for this one.
scratch=$(mktemp -d)
mkdir -p "$scratch/root" "$scratch/data/mundora" "$scratch/tmp"
ln -s "$volume" "$scratch/data/mundora/volume"
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT

(cd "$scratch/root" && exec env XDG_DATA_HOME="$scratch/data" TMPDIR="$scratch/tmp" "$viewer") >"$scratch/viewer.log" 2>&1 &
pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Mundora$' | head -n 1) || {
    echo "the viewer's window did not appear; its output:" >&2
    cat "$scratch/viewer.log" >&2
    exit 1
}

ticks_per_second=$(getconf CLK_TCK)

# utime + stime of the viewer in clock ticks (fields 14 and 15; the name in field 2 is
# skipped by cutting after its closing parenthesis).
cpu_ticks() {
    local rest
    rest=$(sed 's/^.*) //' "/proc/$pid/stat")
    set -- $rest
    echo $(( ${12} + ${13} ))
}

# Sits `idle` seconds on the current screen and prints the CPU share used meanwhile.
measure() {
    local name=$1 before after start end
    kill -0 "$pid" 2>/dev/null || { echo "the viewer has exited" >&2; exit 1; }
    before=$(cpu_ticks); start=$(date +%s.%N)
    sleep "$idle"
    after=$(cpu_ticks); end=$(date +%s.%N)
    if [ -n "${SHOTS:-}" ]; then mkdir -p "$SHOTS" && import -window root "$SHOTS/$name.png"; fi
    awk -v n="$name" -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$start" -v e="$end" \
        'BEGIN { printf "%-12s %6.2f %% of a core over %.1f s\n", n, 100 * t / hz / (e - s), e - s }'
}

click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
}

sleep "$settle"
measure "title page"
click 400 300                 # any click leaves the title page; the room's entry plays
sleep "$settle"
measure "room"
click 212 151                 # the room's start button (142, 131, 140 x 41)
sleep "$settle"
measure "2D map"
click 754 12                  # the globe tab
sleep "$settle"
measure "globe turning"
click 770 493                 # the start / stop rotation button
sleep "$settle"
measure "globe still"
click 300 12                  # back to the 2D map
sleep "$settle"
click 414 12                  # the 3D tab: an area is picked on the world view
sleep 2
click 364 160                 # the Alps
sleep 2
xdotool key --window "$window" Return
sleep "$settle"
measure "3D terrain"
