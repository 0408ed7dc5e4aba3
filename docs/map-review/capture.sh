#!/bin/bash
# Takes the three map-review views of a viewer and a data root (run under xvfb-run):
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/map-review/capture.sh build/mundora ROOT PREFIX
# writes PREFIX-world.png, PREFIX-europe.png and PREFIX-alps.png (the 800x600 window).
BIN=$1; ROOT=$2; PREFIX=$3
cd "$ROOT" || exit 1
"$BIN" > /dev/null 2>&1 &
PID=$!
sleep 6
shot() { import -window root -crop 800x600+0+0 +repage "$1"; }
field() { xdotool mousemove $1 $2 click 1; sleep 0.3; xdotool key ctrl+a; xdotool type --delay 50 "$3"; }
position() {  # a click on the readout box opens the position dialog
  xdotool mousemove 745 462 click 1; sleep 2
  field 530 448 "$1"; field 530 478 "$2"; sleep 3
  xdotool mousemove 540 516 click 1; sleep 12
}
scale() {  # a click on the scale text opens the scale dialog
  xdotool mousemove 630 551 click 1; sleep 2
  xdotool key ctrl+a; xdotool type --delay 50 "$1"; xdotool key Return; sleep 12
}
xdotool mousemove 400 300 click 1; sleep 3    # the title page
xdotool mousemove 212 151 click 1; sleep 12   # the room's start button (id 73)
shot "$PREFIX-world.png"
position 48 10
scale 18000000
shot "$PREFIX-europe.png"
xdotool mousemove 766 546 click 1; sleep 15   # World
position 46.3 10
scale 1800000
shot "$PREFIX-alps.png"
kill $PID
