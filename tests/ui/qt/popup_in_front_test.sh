#!/usr/bin/env bash
# The pop-up as a user sees it under a real window manager: armed, then the
# user types into another program; at the minute the window must come back
# above that program while the keys still go where the user was typing.
# Everything is read from the X server (xprop, xwininfo, a root-window event
# log), not from what Qt believes.
#   usage: popup_in_front_test.sh PROGRAM WINDOW_MANAGER
set -euo pipefail
program=$1 wm=$2
source "$(dirname "$0")/../x_display.sh"
export NO_AT_BRIDGE=1
source "$(dirname "$0")/../window_manager.sh"

# Every restack request any client sends to the window manager.
xev -root -event substructure >"$work/root-events.log" 2>&1 &
pids+=($!)

# Only the wall clock is faked; the program's timers run on the real one.
export FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=verify_asan_link_order=0 QT_QPA_PLATFORM=xcb
faketime -f '@2026-01-05 20:09:27' "$program" >"$work/program.log" 2>&1 &
pids+=($!)
started=$(date +%s.%N)
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^タイマセット$' | head -1) ||
  fail "the window did not appear"

# Before any arming: the user works in front of our window; the tick at
# 20:09:40 asks to raise it, which must not take the keyboard.
xdotool windowactivate --sync "$work_window"
xdotool type --delay 50 'first '
sleep "$(echo "$started + 14 - $(date +%s.%N)" | bc)"
[ "$(active)" = "$work_id" ] || fail "the tick before any arming took the focus (active $(active))"
grep -qE '_NET_RESTACK_WINDOW|ConfigureRequest' "$work/root-events.log" ||
  fail "the tick's raise did not reach the X server"
if above "$wid" "$work_window"; then honoured=raised; else honoured=refused; fi
echo "$wm: the raise before any arming was $honoured by the window manager, focus kept"

# Set for 20:10 and armed with a click, as a user would.
xdotool windowactivate --sync "$wid" 2>/dev/null || true
xdotool key --window "$wid" Tab type --window "$wid" 20
xdotool key --window "$wid" Tab type --window "$wid" 10
xdotool mousemove --window "$wid" 120 20 click 1
await_shown 100 0 || fail "a click on セット did not hide the window"

# The user turns to the work window and types.
xdotool windowactivate --sync "$work_window"
xdotool type --delay 50 'before '
[ "$(active)" = "$work_id" ] || fail "the work window could not be activated"

await_shown 400 1 || fail "the window did not come back"
popped=$(date +%s.%N)
sleep 1 # Let the window manager finish placing it.
import -window root "$work/popup.png"

state=$(xprop -id "$wid" _NET_WM_STATE WM_HINTS _NET_WM_USER_TIME_WINDOW _NET_WM_USER_TIME)
time_window=$(sed -n 's/^_NET_WM_USER_TIME_WINDOW(WINDOW): window id # //p' <<<"$state")
user_time=$(xprop -id "${time_window:-$wid}" _NET_WM_USER_TIME | sed -n 's/.* = //p')
echo "$wm: popped up $(echo "$popped - $started - 33" | bc) s after 20:10:00; $(tr '\n' ';' <<<"$state"); user time ${user_time:-unset}"

grep -q '_NET_WM_STATE_ABOVE' <<<"$state" || fail "the window does not ask to stay above: $state"
[ "${user_time:-unset}" = 0 ] || fail "_NET_WM_USER_TIME is ${user_time:-unset}, not 0"
grep -qE 'urgent|Urgency|_NET_WM_STATE_DEMANDS_ATTENTION' <<<"$state" ||
  [ $(($(xprop -id "$wid" -notype -f WM_HINTS 32c ' $0\n' WM_HINTS | awk '{print $2}' | tr -d ,) & 256)) -ne 0 ] ||
  fail "the window does not ask for attention: $state"
above "$wid" "$work_window" || fail "the window came back behind the work window"
[ "$(active)" = "$work_id" ] || fail "the pop-up took the focus (active $(active))"

# The next keys still go to the work window, not into a box of ours.
import -window "$wid" "$work/before-keys.png"
xdotool type --delay 50 'after'
import -window "$wid" "$work/after-keys.png"
[ "$(compare -metric AE "$work/before-keys.png" "$work/after-keys.png" null: 2>&1 || true)" -le 30 ] ||
  fail "keys typed after the pop-up changed our window"

# The user clicks into the work window, which raises it among the ordinary
# windows; the reminder stays in front of it, at the next tick too.
xdotool mousemove 200 250 click 1
sleep 21
above "$wid" "$work_window" || fail "after a click on the work window and a tick, the window is behind it"
[ "$(active)" = "$work_id" ] || fail "a later tick took the focus"

# Armed again: hidden, and no longer asking to stay above.
popup=$wid
xdotool mousemove --window "$popup" 120 20 click 1
await_shown 100 0 || fail "a second click on セット did not hide the window"
if xprop -id "$popup" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; then
  fail "armed again, but still asking to stay above"
fi
cp "$work/popup.png" "/tmp/popup-$wm.png"
echo "$wm: in front, focus kept, above state dropped when armed again; screen at /tmp/popup-$wm.png"
