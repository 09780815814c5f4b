#!/usr/bin/env bash
# The real program told by a stand-in for logind that the computer has woken,
# on a system bus of the test's own, with the faked clock past its target:
# the window must come back within a second, not at the next tick.
#   usage: resume_test.sh PROGRAM
set -euo pipefail
for v in WAYLAND_DISPLAY $(compgen -e DBUS_) $(compgen -e QT_); do unset "$v"; done
source "$(dirname "$0")/../x_display.sh"
export QT_QPA_PLATFORM=xcb TZ=UTC ASAN_OPTIONS=verify_asan_link_order=0
export FAKETIME_TIMESTAMP_FILE=$work/faketime FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
set_clock() { printf "%+d\n" $(($(date -d "$1" +%s) - $(date +%s))) >"$FAKETIME_TIMESTAMP_FILE"; }
run() { LD_PRELOAD=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1) "$1" >>"$work/program.log" 2>&1 & }
arm() { # hour minute: typed into the boxes, then セット
  xdotool key Tab type "$1" && xdotool key Tab type "$2" && xdotool mousemove --window "$wid" 120 20 click 1
  await_shown 100 0 || fail "セット did not hide the window"
}

# No system bus at all: the program runs, and its ticks still check.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
set_clock '2026-01-05 20:09:52'
run "$1" && pids+=($!)
await_shown 100 1 || fail "without a system bus the window did not appear"
arm 99 0
await_shown 500 1 || fail "without a system bus no tick showed the window"
kill "${pids[-1]}"

# A bus whose policy lets anyone own any name (not at $XDG_RUNTIME_DIR/bus,
# where Qt would take it for a session bus), and a logind that owns its name
# and sends PrepareForSleep(false) on SIGUSR1.
dbus-daemon --session --nofork --address="unix:path=$work/system_bus_socket" 2>>"$work/program.log" &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system_bus_socket
/usr/bin/python3 -u - >"$work/logind" 2>&1 <<'EOF' &
import os, signal
from gi.repository import Gio, GLib
bus = Gio.DBusConnection.new_for_address_sync(os.environ["DBUS_SYSTEM_BUS_ADDRESS"],
    Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
    None, None)
def woken():
    bus.emit_signal(None, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                    "PrepareForSleep", GLib.Variant("(b)", (False,)))
    return True
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, woken)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.login1", 0, lambda *_: print("owned"))
GLib.MainLoop().run()
EOF
logind=$!
pids+=($logind)
for _ in $(seq 100); do grep -q owned "$work/logind" && break; sleep 0.1; done
grep -q owned "$work/logind" || fail "the stand-in did not get its name: $(cat "$work/logind")"

set_clock '2026-01-05 20:09:52'
run "$1" && pids+=($!)
await_shown 100 1 || fail "the window did not appear"
arm 20 30
# Just after the tick at 20:10:00 the clock jumps past 20:30, as a wake does:
# the next tick is 20 s away.
tick=$(($(date -d '2026-01-05 20:10:00' +%s) - $(cat "$FAKETIME_TIMESTAMP_FILE")))
sleep "$(awk -v t="$tick" -v n="$(date +%s.%N)" 'BEGIN { w = t + 0.5 - n; print (w > 0 ? w : 0) }')"
await_shown 1 0 || fail "the window came back before its time"
set_clock '2026-01-05 20:31:00'
signalled=$(date +%s.%N)
kill -USR1 "$logind"
await_shown 400 1 || fail "the window did not come back"
delay=$(echo "$(date +%s.%N) - $signalled" | bc)
echo "the window came back $delay s after the wake"
[ "$(echo "$delay < 1" | bc)" = 1 ] || fail "the window came back $delay s after the wake, not within 1 s"
