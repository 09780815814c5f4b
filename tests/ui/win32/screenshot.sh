#!/usr/bin/env bash
# Photographs timerset.exe as Wine draws it, with a target and a note typed in,
# cropped to the window. Run inside wine_gui.sh (it needs its display and prefix).
# Usage: screenshot.sh PROGRAM.exe OUT.png
set -euo pipefail
program=$1
out=$2

wine "$program" &
program_pid=$!
trap 'kill "$program_pid" 2>/dev/null || true' EXIT

# Wine draws every window inside its desktop window, the one X window there is.
desktop=
for _ in $(seq 100); do
  desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n1) && [ -n "$desktop" ] && break
  sleep 0.2
done
[ -n "$desktop" ] || { echo "no Wine desktop window" >&2; exit 1; }
sleep 3  # The program's window opens with the focus on セット.

xdotool windowfocus --sync "$desktop" 2>/dev/null || true
xdotool key Tab && xdotool type 10
xdotool key Tab && xdotool type 30
xdotool key Tab && xdotool type '会議の資料を印刷'
sleep 1

# The window is all that differs from the plain desktop around it.
import -window "$desktop" "$out.full.png"
convert "$out.full.png" -trim +repage "$out"
rm -f "$out.full.png"

# A window's worth of pixels, not an empty desktop.
read -r width height < <(identify -format '%w %h\n' "$out")
echo "$out: ${width}x${height}"
[ "$width" -ge 157 ] && [ "$width" -le 240 ] && [ "$height" -ge 69 ] && [ "$height" -le 160 ]
