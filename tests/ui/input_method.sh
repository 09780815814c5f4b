#!/usr/bin/env bash
# With ibus and Mozc on in hiragana, one Enter sets in a number box; in the note it confirms.
#   usage: input_method.sh PROGRAM
set -euo pipefail
# Mozc refuses root: the session is an unprivileged user's, in a folder of its own.
[ "$(id -u)" -ne 0 ] || { script=$(realpath "$0") program=$(realpath "$1") && install -d -o nobody as-nobody &&
  cd as-nobody && exec runuser -u nobody -- bash "$script" "$program"; }
program=$1 wm=metacity
source "$(dirname "$0")/session.sh"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 GSETTINGS_BACKEND=memory QT_IM_MODULE=ibus XMODIFIERS=@im=ibus QT_QPA_PLATFORM=xcb
mkdir -p "$HOME/.config/mozc" && echo 'engines { name: "mozc-jp" longname: "Mozc" layout: "default" }
  active_on_launch: True' >"$HOME/.config/mozc/ibus_config.textproto"
ibus-daemon --xim --panel=disable >"$work/ibus.log" 2>&1 & pids+=($!)
wait_until 20 eval '[ "$(ibus address)" != "(null)" ]' || fail "ibus did not start: $(cat "$work/ibus.log")"
wait_until 20 eval 'ibus engine mozc-jp 2>/dev/null; [ "$(ibus engine)" = mozc-jp ]' || fail "no Mozc"

typed() { # TABS KEYS...: started, Tab from セット to a box, keys typed there
  "$program" >"$work/program.log" 2>&1 & running=$! && pids+=($!)
  wait_until 60 shown || fail "the window did not appear"
  xdotool windowactivate --sync "$wid" && sleep 0.5
  for _ in $(seq "$1"); do xdotool key Tab; done
  for keys in "${@:2}"; do xdotool $keys && sleep 0.5; done
}
sets() { # WHAT: one Enter hides the window
  xdotool key Return
  wait_until 3 eval '! shown' || fail "$1: Enter did not set the reminder"
  kill "$running" && wait "$running" 2>/dev/null || true
}
for box in 1 2; do typed $box 'type 20' && sets "number box $box"; done
typed 3 'type kyouha' 'key space' 'key Return'
shown || fail "the Enter that confirmed the conversion set the reminder"
xdotool keydown ctrl sleep 0.3 key a sleep 0.3 key c sleep 0.3 keyup ctrl sleep 0.5
[ "$(xclip -o -selection clipboard)" = 今日は ] || fail "the note reads $(xclip -o -selection clipboard)"
sets "the note"
echo "input method: the note converted to 今日は, Enter sets"
