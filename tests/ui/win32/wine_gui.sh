#!/usr/bin/env bash
# Runs a command under Wine on an X server of its own (CI has no display), in a
# Wine prefix made for the tests under a Japanese locale, so that Wine draws
# Japanese text with a Japanese font. One run at a time per prefix.
# Usage: wine_gui.sh PREFIX COMMAND [ARGS...]
set -euo pipefail
prefix=$(realpath -m "$1")
shift

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
export DISPLAY=:$(head -n1 "$work/display")

if [ ! -f "$prefix/system.reg" ]; then
  echo "Making the Wine prefix $prefix"
  wine wineboot -i >/dev/null 2>&1
  # A Wine desktop window holds every window, so Wine draws their title bars
  # and handles focus itself; the X server has no window manager.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
fi

"$@"
