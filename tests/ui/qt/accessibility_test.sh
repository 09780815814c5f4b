#!/usr/bin/env bash
# The window as a screen reader gets it: the real program on an accessibility
# bus of its own, read from outside through AT-SPI (the interface Orca reads),
# and walked with the Tab key pressed in the X server.
#   usage: accessibility_test.sh PROGRAM
set -euo pipefail
# A private session bus, which ends with the test.
[ "${1:-}" = --in-session ] || exec dbus-run-session -- bash "$0" --in-session "$@"
program=$2
reader=$(dirname "$0")/read_accessible.py
source "$(dirname "$0")/../x_display.sh"

# The accessibility bus, as a desktop session starts it; its registry is
# started on demand. Qt joins it without asking the desktop's settings.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb ASAN_OPTIONS=verify_asan_link_order=0
"$program" >"$work/program.log" 2>&1 &
pids+=($!)
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^タイマセット$' | head -1) ||
  fail "the window did not appear"

read_window() { /usr/bin/python3 "$reader" "$@"; }
tree=$(read_window tree) || fail "the window could not be read: $tree"
echo "role | name | description"
echo "$tree"
# Screen order: the hour, the colon, the minute, the button, then the note.
[ "$tree" = "$(
  cat <<'EOF'
frame | タイマセット |
  text | 時 | 時（0〜23）
  label | ： |
  text | 分 | 分（0〜59）
  push button | セット |
  text | メモ |
EOF
)" ] || fail "the window reads otherwise"
focusable=$(read_window focusable)
[ "$focusable" = "時 分 セット メモ" ] || fail "focusable: $focusable"

# The keyboard to the new window, as a window manager gives it; the focus
# starts on the button and Tab walks the boxes, round to the button.
timeout 10 xdotool windowfocus --sync "$wid" || fail "the window could not be given the keyboard"
walk=()
for name in セット 時 分 メモ セット; do
  walk+=("$(read_window focused "$name")")
  xdotool key Tab
done
echo "Tab: ${walk[*]}"
[ "${walk[*]}" = "セット 時 分 メモ セット" ] || fail "the focus went ${walk[*]}"
