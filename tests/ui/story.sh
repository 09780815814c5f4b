#!/usr/bin/env bash
# The user's story, typed into the real program (the .exe's too) under a real window manager.
#   usage: story.sh PROGRAM WINDOW_MANAGER [SCREENSHOT.png]
set -euo pipefail
program=$(realpath "$1") wm=$2 screenshot=${3:-}
source "$(dirname "$0")/session.sh"

# Only the wall clock is faked, by an offset in a file. ASan must let faketime's library come first.
export FAKETIME_TIMESTAMP_FILE=$work/clock FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
export ASAN_OPTIONS=verify_asan_link_order=0 QT_QPA_PLATFORM=xcb
fake() { date -d "2026-01-05 $1" +%s; }
real_at() { echo "$(fake "$1") - $(cat "$FAKETIME_TIMESTAMP_FILE")" | bc; }
aim() { # Moves the clock by whole 20 s so that the program's next tick (:00, :20, :40) reads $1.
  local offset now && offset=$(cat "$FAKETIME_TIMESTAMP_FILE") now=$(($(date +%s) + 1))
  echo $((offset + $(fake "$1") - (now + offset + 19) / 20 * 20)) >"$FAKETIME_TIMESTAMP_FILE"
}
back_at() { # The window shown within a second of $1, when it is due.
  wait_until 25 shown || fail "not back at $1"
  local late && late=$(echo "$(date +%s.%N) - $(real_at "$1")" | bc) && echo "$wm: back $late s after $1"
  (($(echo "$late >= 0 && $late < 1" | bc))) || fail "not back within a second of $1"
}
after() { sleep "$(echo "x = $(real_at "$1") + 0.5 - $(date +%s.%N); if (x > 0) x else 0" | bc)"; }
unmaps() { grep -c UnmapNotify "$work/requests.log" || true; } # As the server told xev, from the first tick on
withdrawn() { local n && n=$(unmaps) && "$@" && wait_until 5 eval '(($(unmaps) > n))'; } # Though a clock set may bring it back at once
kept() { # In front of the user's window, which keeps the keyboard.
  above "$wid" "$work_window" || fail "$1: behind the work window"
  [ "$(active)" = "$work_window" ] || fail "$1: took the focus"
}
run=("$program")
if [[ $program == *.exe ]]; then # Wine's user32 notes the registration for resume events.
  wine_prefix && run=(wine "$program") && WINEDEBUG=-all,fixme+win
else # A stand-in logind on a private system bus says the computer has woken on SIGUSR1.
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system-bus # With the session's rules: any name
  pids+=("$(dbus-daemon --session --fork --print-pid=1 --address="$DBUS_SYSTEM_BUS_ADDRESS")")
  /usr/bin/python3 -u -c 'import signal; from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SYSTEM)
GLib.unix_signal_add(0, signal.SIGUSR1, lambda: bus.emit_signal(None, "/org/freedesktop/login1",
    "org.freedesktop.login1.Manager", "PrepareForSleep", GLib.Variant("(b)", (False,))) or True)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.login1", 0, lambda *_: print("owned"))
GLib.MainLoop().run()' >"$work/logind" 2>&1 & logind=$! && pids+=($!)
  wait_until 10 grep -q owned "$work/logind" || fail "the stand-in logind did not start: $(cat "$work/logind")"
fi
echo $(($(fake 20:11:30) - $(date +%s))) >"$FAKETIME_TIMESTAMP_FILE"
LD_PRELOAD=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1) "${run[@]}" >"$work/program.log" 2>&1 & program_pid=$! pids+=($!)
wait_until 60 shown || fail "the window did not appear"
# A second .exe, started minimised, stays so through every tick before any arming (not under mutter).
iconic() { [ "$wm" = mutter ] || xprop -id "$minimised" WM_STATE | grep -q Iconic; }
if [ -n "${WINEPREFIX:-}" ] && [ "$wm" != mutter ]; then
  wine start /min /unix "$program" >/dev/null 2>&1
  wait_until 30 eval 'minimised=$(xdotool search --name "^タイマセット$" | grep -vxm1 "$wid")' || fail "no second .exe"
  wait_until 5 iconic || fail "the second .exe, started minimised, is shown"
fi

# Starts with its frame, as the manager says, centred to 2 px (Wine centres the frame Windows would draw).
read -r x y w h < <(xwininfo -id "$wid" | awk '/Absolute upper-left|Width|Height/ {printf "%s ", $NF} END {print ""}')
read -r l r t b < <(xprop -id "$wid" _NET_FRAME_EXTENTS | grep -oE '[0-9]+' | xargs) && off=2 && [ -z "${WINEPREFIX:-}" ] || off=12
(((2 * x + w + r - l - 1024) ** 2 + (2 * y + h + b - t - 768) ** 2 <= (2 * off) ** 2)) || fail "not centred: ${w}x$h at $x,$y in $l $r $t $b"
shot() { sleep 0.5 && import -window "$wid" "$work/$1.png"; }
declare -A boxes=([t1]=27x19+3+11 [t2]=27x19+51+11 [Text3]=147x19+3+43) # Inside the frames
changed() { compare -metric AE "$work/$1.png[${boxes[$3]}]" "$work/$2.png[${boxes[$3]}]" null: 2>&1 || true; }
shot empty

# The tick before any arming raises ours, the keys left to the user (Qt's raise read from xev).
stdbuf -oL xev -root -event substructure >"$work/requests.log" 2>&1 & pids+=($!)
listening() { xdotool windowactivate --sync "$work_window" && grep -q _NET_ACTIVE_WINDOW "$work/requests.log"; }
wait_until 10 listening && xdotool type 'first ' || fail "xev did not start"
aim 20:11:40 && after 20:11:40
if [ -n "${WINEPREFIX:-}" ] && [ "$wm" = metacity ]; then
  kept "the tick before any arming"
else
  [ "$(active)" = "$work_window" ] || fail "the tick before any arming took the focus"
  [ -n "${WINEPREFIX:-}" ] || grep -qE '_NET_RESTACK_WINDOW|ConfigureRequest' "$work/requests.log" ||
    fail "the tick's raise did not reach the server"
fi

# From セット, Shift+Tab walks round to the note, the minute and the hour box: 20:12 and a note.
xdotool windowactivate --sync "$wid" 2>/dev/null || true
xdotool key shift+Tab type memo && xdotool key shift+Tab type 12 && xdotool key shift+Tab type 20
shot typed
for box in t1 t2 Text3; do [ "$(changed empty typed $box)" -gt 20 ] || fail "nothing was typed into $box"; done
place() { xwininfo -id "$wid" | grep Absolute; }
urgent() { # The urgency hint (Wine's for a flashing taskbar button too), or the manager's mark of it.
  (($(xprop -id "$wid" -notype -f WM_HINTS 32c ' $0\n' WM_HINTS | awk '{print $2}' | tr -d ,) & 256)) ||
    xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_DEMANDS_ATTENTION
}
home=$(place)
withdrawn xdotool key Return || fail "Enter in the hour box did not set the reminder"
xdotool windowactivate --sync "$work_window" type 'before '

# Back at its minute where it stood (xfwm4 places it anew), asking for attention, with its texts.
back_at 20:12:00
sleep 1 && kept "the pop-up"
urgent || fail "no request for attention"
[ "$(place)" = "$home" ] || [ "$wm" = xfwm4 ] || fail "not back where it stood: $(place)"
shot back && [ -z "$screenshot" ] || import -window root "$screenshot"
xdotool type 'after ' && shot after
for box in t1 t2 Text3; do
  [ "$(changed typed back $box)" -le 30 ] || fail "the text of $box changed"
  [ "$(changed back after $box)" -le 30 ] || fail "keys went into $box"
done

# A click into the work window raises it; the next tick keeps ours in front.
xdotool mousemove 200 250 click 1 && after 20:12:20 && kept "after a click into the work window and a tick"

# Minimised by the user: back at the next tick (Wine and mutter minimise no such window).
if [ -z "${WINEPREFIX:-}" ] && [ "$wm" != mutter ]; then
  withdrawn xdotool windowminimize "$wid" || fail "the window manager did not minimise the window"
  after 20:12:40
  shown && xprop -id "$wid" WM_STATE | grep -q 'state: Normal' || fail "minimised, and not back at the next tick"
  kept "back from minimised"
fi

# Armed again, due at once: back at a wake and a clock set (Linux; one at a time), or a tick.
exec 9>"$PWD/clock.lock" && flock 9 && popup=$wid
rearm() { withdrawn xdotool mousemove --window "$wid" 120 20 click 1; }
rearm || fail "a click on セット did not hide the pop-up"
! xprop -id "$popup" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || shown || fail "hidden, but still asking to stay above"
[ -z "${logind:-}" ] || { kill -USR1 "$logind" && wait_until 1 shown; } || fail "not back within 1 s of a wake"
set_clock() { /usr/bin/python3 -c 'import time; time.clock_settime(time.CLOCK_REALTIME, time.clock_gettime(time.CLOCK_REALTIME))'; }
for time in ${logind:+first second}; do
  rearm || fail "a click on セット did not hide the window before the clock was set the $time time"
  set_clock 2>/dev/null || { echo "$wm: skipped the clock setting: not allowed to set the clock" && break; }
  wait_until 1 shown || fail "not back within 1 s of the clock set the $time time"
done
exec 9>&-
wait_until 25 shown || fail "armed again within the grace, but not back at the next tick"

# Turned to: no more attention asked. Back from the work window, keys go to the hour box; Tab ×5
# walks round to the minute box, selecting 12: 14 replaces it. Closing it ends the program.
sleep 0.5 && xdotool mousemove --window "$wid" 20 20 click 1
wait_until 2 eval '! urgent' || fail "turned to, and still asking for attention"
xdotool mousemove 200 250 click 1 && sleep 0.5 && xdotool windowactivate --sync "$wid"
xdotool key Tab Tab Tab Tab Tab type 14 && withdrawn xdotool key Return || fail "Enter in the minute box did not set the reminder"
aim 20:13:40 && after 20:13:40
! shown || fail "shown before 20:14: the keys did not go to the minute box, or did not replace its text"
back_at 20:14:00
wmctrl -i -c "$wid"
wait_until 5 eval '! kill -0 $program_pid 2>/dev/null' || fail "closing the window did not end the program"
[ -z "${WINEPREFIX:-}" ] || iconic || fail "the .exe started minimised was shown by a tick before any arming"
[ -z "${WINEPREFIX:-}" ] || [ "$(grep -cE 'SuspendResumeNotification 0*[1-9A-F][0-9A-F]*(, 0)?: stub' "$work/program.log")" = 2 ] ||
  fail "the window was not registered for resume events, or not unregistered: $(grep Register "$work/program.log")"
echo "$wm: in front at its minute with its texts, armed again, closed"
