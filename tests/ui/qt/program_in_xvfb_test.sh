#!/usr/bin/env bash
# The real program in a real X server, driven from outside as a user would:
# key presses, a mouse click, and the wall clock set by faketime.
#   usage: program_in_xvfb_test.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/../x_display.sh"
export QT_QPA_PLATFORM=xcb

# Only the wall clock is faked, by an offset in seconds read from a file, so
# the test can move it while the program runs; Qt's timers run on the real
# monotonic clock. ASan must allow faketime's library ahead of its own.
export TZ=UTC FAKETIME_TIMESTAMP_FILE=$work/faketime FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
export ASAN_OPTIONS=verify_asan_link_order=0
set_clock() { printf "%+d\n" $(($(date -d "$1" +%s) - $(date +%s))) >"$FAKETIME_TIMESTAMP_FILE"; }
set_clock '2026-01-05 20:09:47'
LD_PRELOAD=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1) "$1" >"$work/program.log" 2>&1 &
pids+=($!)

await_shown 600 1 || fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$X,$Y,$WIDTH,$HEIGHT" = 433,349,157,69 ] || fail "window at $X,$Y size ${WIDTH}x$HEIGHT"
shot() { sleep 0.5 && import -window "$wid" "$work/$1.png"; }
declare -A boxes=([t1]=33x25+0+8 [t2]=33x25+48+8 [Text3]=153x25+0+40)
differing() { compare -metric AE "$work/$1.png[${boxes[$3]}]" "$work/$2.png[${boxes[$3]}]" null: 2>&1 || true; }

# Focus starts on the button and Tab walks the boxes: were the hour and the
# minute typed anywhere but t1 and t2, the reminder would not come at 20:10.
shot empty
xdotool key Tab type 20 && xdotool key Tab type 10 && xdotool key Tab type ok
shot typed
for box in t1 t2 Text3; do
  [ "$(differing empty typed $box)" -gt 20 ] || fail "nothing was typed into $box"
done

# The real moment the faked clock reaches 20:10:00.
minute_begins=$(($(date -d '2026-01-05 20:10:00' +%s) - $(cat "$FAKETIME_TIMESTAMP_FILE")))
xdotool mousemove --window "$wid" 120 20 click 1
await_shown 100 0 || fail "a click on セット did not hide the window"
await_shown 600 1 || fail "the window did not come back"
latency=$(echo "$(date +%s.%N) - $minute_begins" | bc)
# A new X window, in the same place.
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$X,$Y" = 433,349 ] || fail "the window came back at $X,$Y"
[ "$(echo "$latency >= 0 && $latency < 1" | bc)" = 1 ] ||
  fail "the window came back $latency s after 20:10:00, not within its first second"

shot back
for box in t1 t2 Text3; do # The text cursor may blink in Text3.
  [ "$(differing typed back $box)" -le 30 ] || fail "the text of $box changed while hidden"
done
echo "the window came back $latency s after 20:10:00 with its texts"

# Set again in the evening for 7:30 the next morning; the computer sleeps
# through the night: the clock jumps, and the next tick shows the window.
xdotool mousemove --window "$wid" 16 20 click 1 key ctrl+a BackSpace type 7
xdotool key Tab ctrl+a BackSpace type 30
xdotool mousemove --window "$wid" 120 20 click 1
await_shown 100 0 || fail "the second arming did not hide the window"
sleep 21
await_shown 1 0 || fail "the window came back in the evening"
set_clock '2026-01-06 07:45:10'
jumped=$(date +%s.%N)
await_shown 440 1 || fail "the window did not come back after the night"
echo "after the night the window came back $(echo "$(date +%s.%N) - $jumped" | bc) s after the clock jumped"
