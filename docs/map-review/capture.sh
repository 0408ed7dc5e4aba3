#!/bin/bash
# Takes the three map-review views of a viewer and a data root (run under xvfb-run):
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/map-review/capture.sh build/mundora ROOT PREFIX
# writes PREFIX-world.png, PREFIX-europe.png and PREFIX-alps.png (the 800x600 window).
BIN=$1; ROOT=$2; PREFIX=$3
cd "$ROOT" || exit 1
"$BIN" > /dev/null 2>&1 &
PID=$!
# The window opens centred; every position below is relative to it.
W=$(timeout 30 xdotool search --sync --onlyvisible --name '^Mundora$' | head -n 1) || exit 1
sleep 4
at() { xdotool mousemove --window "$W" "$1" "$2" click 1; }
shot() { import -window "$W" "$1"; }
field() { at $1 $2; sleep 0.3; xdotool key ctrl+a; xdotool type --delay 50 "$3"; }
position() {  # a click on the readout box opens the position dialog
  at 745 462; sleep 2
  field 530 448 "$1"; field 530 478 "$2"; sleep 3
  at 540 516; sleep 12
}
scale() {  # a click on the scale text opens the scale dialog
  at 630 551; sleep 2
  xdotool key ctrl+a; xdotool type --delay 50 "$1"; xdotool key Return; sleep 12
}
at 400 300; sleep 3    # the title page
at 212 151; sleep 12   # the room's start button (id 73)
shot "$PREFIX-world.png"
position 48 10
scale 18000000
shot "$PREFIX-europe.png"
at 766 546; sleep 15   # World
position 46.3 10
scale 1800000
shot "$PREFIX-alps.png"
kill $PID
