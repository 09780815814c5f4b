#!/usr/bin/env bash
# A stand-in logind on a private system bus says the computer has woken, the
# faked clock past the target: the window must be back within 1 s, not at the
# next tick.
#   usage: resume_test.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/../session.sh"
export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=verify_asan_link_order=0
export FAKETIME_TIMESTAMP_FILE=$work/faketime FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
set_clock() { echo $(($(date -d "2026-01-05 $1" +%s) - $(date +%s))) >"$FAKETIME_TIMESTAMP_FILE"; }
start_armed() { # PROGRAM HOUR MINUTE: started at 20:09:52, the boxes typed, セット pressed
  set_clock 20:09:52
  LD_PRELOAD=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1) "$1" >>"$work/program.log" 2>&1 & pids+=($!)
  wait_until 30 shown || fail "the window did not appear"
  xdotool key Tab type "$2" && xdotool key Tab type "$3" && xdotool mousemove --window "$wid" 120 20 click 1
  wait_until 5 eval '! shown' || fail "セット did not hide the window"
}

# Any name may be owned on a bus made with the session's rules. The stand-in
# says "woken" on SIGUSR1.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system-bus
dbus-daemon --session --nofork --address="$DBUS_SYSTEM_BUS_ADDRESS" 2>/dev/null & pids+=($!)
sleep 0.5
/usr/bin/python3 -u -c '
import signal
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SYSTEM)
GLib.unix_signal_add(0, signal.SIGUSR1, lambda: bus.emit_signal(None, "/org/freedesktop/login1",
    "org.freedesktop.login1.Manager", "PrepareForSleep", GLib.Variant("(b)", (False,))) or True)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.login1", 0, lambda *_: print("owned"))
GLib.MainLoop().run()' >"$work/logind" 2>&1 &
logind=$! && pids+=($!)
wait_until 10 grep -q owned "$work/logind" || fail "the stand-in did not start: $(cat "$work/logind")"

# Just after the tick at 20:10:00 the clock jumps past 20:30, as after a
# sleep: the next tick is 20 s away.
start_armed "$1" 20 30
tick=$(($(date -d '2026-01-05 20:10:00' +%s) - $(cat "$FAKETIME_TIMESTAMP_FILE")))
sleep "$(echo "x = $tick + 0.5 - $(date +%s.%N); if (x > 0) x else 0" | bc)"
! shown || fail "the window came back before its time"
set_clock 20:31:00
woken=$(date +%s.%N)
kill -USR1 "$logind"
wait_until 20 shown || fail "the window did not come back; the stand-in said: $(cat "$work/logind")"
delay=$(echo "$(date +%s.%N) - $woken" | bc)
echo "the window came back $delay s after the wake"
(($(echo "$delay < 1" | bc))) || fail "not within 1 s"
