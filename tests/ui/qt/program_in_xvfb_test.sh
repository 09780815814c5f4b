#!/usr/bin/env bash
# The real program in a real X server, driven from outside as a user would:
# key presses, a mouse click, and the wall clock set by faketime.
#   usage: program_in_xvfb_test.sh PROGRAM
set -euo pipefail
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; sed 's/^/program: /' "$work/program.log" >&2 2>/dev/null || true; exit 1; }

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display") XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb LANG=C.UTF-8

# Only the wall clock is faked: Qt's timers run on the real monotonic clock, so
# the first tick comes 20 s after the start (a coarse timer may fire up to a
# second early: 20:10 is still reached). ASan must allow faketime's library
# ahead of its own.
export FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=verify_asan_link_order=0
started=$(date +%s)
faketime -f '@2026-01-05 20:09:45' "$1" >"$work/program.log" 2>&1 &
pids+=($!)

wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^タイマセット$' | head -1) ||
  fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$X,$Y,$WIDTH,$HEIGHT" = 433,349,157,69 ] || fail "window at $X,$Y size ${WIDTH}x$HEIGHT"
# Waits up to $1 tenths of a second for the window's map state to be $2.
await() {
  for _ in $(seq "$1"); do xwininfo -id "$wid" | grep -q "Map State: $2" && return; sleep 0.1; done
  false
}
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

xdotool mousemove --window "$wid" 120 20 click 1
await 50 IsUnMapped || fail "a click on セット did not hide the window"
await 350 IsViewable || fail "the window did not come back"
elapsed=$(($(date +%s) - started))
[ "$elapsed" -lt 35 ] || fail "the window came back after $elapsed s, not at the first tick"

shot back
for box in t1 t2 Text3; do # The text cursor may blink in Text3.
  [ "$(differing typed back $box)" -le 30 ] || fail "the text of $box changed while hidden"
done
echo "the window came back after $elapsed s with its texts"
