#!/usr/bin/env bash
# The Windows program under Wine with a real window manager (metacity) and no
# Wine desktop, so that its windows are X windows the manager stacks: armed,
# then the user types into a GTK window; at the next tick the pop-up must ask
# to stay above (Wine turns HWND_TOPMOST into _NET_WM_STATE_ABOVE) and stand
# above that window. The focus under Wine follows Wine's own rules, not
# Windows', so it is reported, not judged; the Wine driver checks the flags.
#   usage: popup_in_front_test.sh PROGRAM.exe PREFIX
set -euo pipefail
program=$(realpath "$1") prefix=$(realpath -m "$2") wm=metacity
here=$(dirname "$0")
source "$here/../x_display.sh"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
trap 'wineserver -k 2>/dev/null || true; kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null; rm -rf "$work"' EXIT
source "$here/../window_manager.sh"
if [ ! -f "$prefix/system.reg" ]; then
  echo "Making the Wine prefix $prefix"
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
fi

wine "$program" >"$work/program.log" 2>&1 &
pids+=($!)
await_shown 600 1 || fail "the window did not appear"
# A target no clock shows, due at the first tick; Enter in a box sets it.
xdotool windowactivate --sync "$wid" 2>/dev/null || true
sleep 1
xdotool key Tab type 99
xdotool key Tab type 99
xdotool key Return
await_shown 100 0 || fail "Enter did not hide the window"

xdotool windowactivate --sync "$work_window"
xdotool type --delay 50 'before '
await_shown 500 1 || fail "the window did not come back at the tick"
sleep 1
state=$(xprop -id "$wid" _NET_WM_STATE)
grep -q _NET_WM_STATE_ABOVE <<<"$state" || fail "the window does not ask to stay above: $state"
above "$wid" "$work_window" || fail "the window came back behind the work window"
import -window root "$work/popup.png" && cp "$work/popup.png" /tmp/popup-wine-$wm.png
echo "wine under $wm: above the work window ($state); active window $(active), the work window is $work_id"
