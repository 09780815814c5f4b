#!/usr/bin/env bash
# The real program in a real X server, driven from outside as a user would:
# key presses, a mouse click, and the wall clock set by faketime so that the
# reminder falls due while the test watches.
#   usage: program_in_xvfb_test.sh PROGRAM
set -euo pipefail
program=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/program.log" ] && sed 's/^/program: /' "$work/program.log" >&2
  exit 1
}

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$work/display" \
  2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -1 "$work/display")
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb LANG=C.UTF-8

# Started at 20:09:45 on the wall clock; the monotonic clock that paces Qt's
# timers stays real, so the first tick comes 20 s after the start (a coarse
# timer may fire up to a second early: 20:10 is still reached). faketime
# preloads its library ahead of the sanitizer runtime, which ASan must allow.
export FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=verify_asan_link_order=0
started=$(date +%s)
faketime -f '@2026-01-05 20:09:45' "$program" >"$work/program.log" 2>&1 &
pids+=($!)

wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^タイマセット$' | head -1) ||
  fail "the window did not appear"
mapState() { xwininfo -id "$wid" | sed -n 's/^ *Map State: *//p'; }
geometry=$(xwininfo -id "$wid")
for want in 'Width: 157' 'Height: 69' 'Absolute upper-left X:  433' 'Absolute upper-left Y:  349'; do
  grep -q "$want" <<<"$geometry" || fail "window geometry: want '$want', got: $geometry"
done

# Pixels of one control, cut from a screenshot: name x y w h (client coordinates).
shot() { import -window root "$work/$1.png"; }
cut() {
  convert "$work/$1.png" -crop "$4x$5+$((433 + $2))+$((349 + $3))" +repage "$work/$1-$6.png"
}
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
boxes() { cut "$1" 0 8 33 25 t1 && cut "$1" 48 8 33 25 t2 && cut "$1" 0 40 153 25 Text3; }

sleep 0.5
shot empty && boxes empty

# The focus starts on the button; Tab walks the boxes in order. Had the hour
# and the minute gone into each other's box, or anywhere but t1 and t2, the
# reminder would not be due at the first tick (it would be tomorrow's).
xdotool key Tab && xdotool type 20
xdotool key Tab && xdotool type 10
xdotool key Tab && xdotool type 'ok'
sleep 0.5
shot typed && boxes typed
for box in t1 t2 Text3; do
  [ "$(differing "$work/empty-$box.png" "$work/typed-$box.png")" -gt 20 ] ||
    fail "nothing was typed into $box"
done

xdotool mousemove --window "$wid" 120 20 click 1
for _ in $(seq 50); do [ "$(mapState)" != IsViewable ] && break; sleep 0.1; done
[ "$(mapState)" != IsViewable ] || fail "a click on セット did not hide the window"

# 20:10, the time typed, arrives at the first tick, 20 s after the start.
for _ in $(seq 350); do [ "$(mapState)" = IsViewable ] && break; sleep 0.1; done
[ "$(mapState)" = IsViewable ] || fail "the window did not come back"
elapsed=$(($(date +%s) - started))
[ "$elapsed" -lt 35 ] || fail "the window came back after $elapsed s, not at the first tick"

# The texts are as they were typed (the text cursor may blink in Text3).
sleep 0.5
shot back && boxes back
for box in t1 t2 Text3; do
  [ "$(differing "$work/typed-$box.png" "$work/back-$box.png")" -le 30 ] ||
    fail "the text of $box changed while the window was hidden"
done
echo "the window came back after $elapsed s with its texts"
