# Sourced by tests for a desktop of their own: X server, session bus, and $wm with the user's work.
unset $(compgen -e | grep -E '^(DISPLAY|WAYLAND_DISPLAY|DBUS_.*|XDG_.*|QT_.*|LD_PRELOAD|FAKETIME.*|WINE.*)$')
export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC NO_AT_BRIDGE=1
work=$(mktemp -d) pids=()
trap '{ set +e; [ -z "${WINEPREFIX:-}" ] || wineserver -k; kill "${pids[@]}"; wait; rm -rf "$work"; } 2>/dev/null' EXIT
fail() { # With a screenshot and the program's output.
  local shot=/tmp/fail-${wm:-nowm}-$$.png && echo "FAIL${wm:+ ($wm)}: $*" >&2
  import -window root "$shot" && echo "screen: $shot" >&2
  sed 's/^/program: /' "$work/program.log" >&2 2>/dev/null || true && exit 1
}
wait_until() { # Polls a command every 50 ms for up to $1 (whole) seconds.
  local end=$(($(date +%s%N) + $1 * 1000000000))
  until "${@:2}"; do [ "$(date +%s%N)" -lt "$end" ] || return 1; sleep 0.05; done
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null & pids+=($!)
wait_until 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display") HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --address="unix:path=$work/bus")
export DBUS_SESSION_BUS_ADDRESS=$(head -1 <<<"$bus") DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus
pids+=("$(tail -1 <<<"$bus")")

# The reminder window, visible: sets wid, afresh each time, as Qt and Wine map a new X window.
shown() { wid=$(xdotool search --onlyvisible --name '^タイマセット$' 2>/dev/null | head -1) && [ -n "$wid" ]; }
active() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | grep -oE '0x[0-9a-f]+' | head -1)"; }
above() { # Whether the first window is stacked above the second, as the manager stacks them.
  local order && order=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -oE '0x[0-9a-f]+' | xargs printf '%d\n' | tac)
  [ "$(grep -nxm1 "$1" <<<"$order" | cut -d: -f1)" -lt "$(grep -nxm1 "$2" <<<"$order" | cut -d: -f1)" ]
}
# The test's own Wine prefix, linked from one made once, in Japanese: only so does Wine draw it.
wine_prefix() {
  local template=$PWD/wineprefix
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  (flock 9 && [ -f "$template/system.reg" ] || (WINEPREFIX=$template wine wineboot -i && WINEPREFIX=$template wineserver -w)) \
    9>"$template.lock" >/dev/null 2>&1
  cp -al "$template" "$WINEPREFIX" && cp --remove-destination "$template"/*.reg "$WINEPREFIX"
  rm "$WINEPREFIX/.update-timestamp" && echo disable >"$WINEPREFIX/.update-timestamp" # Made already
}

[ -n "${wm:-}" ] || return 0
# The user's work: a GTK window, up before the window manager (some lose a map made as they start).
zenity --text-info --editable --title=work --width=700 --height=500 >"$work/zenity.log" 2>&1 & pids+=($!)
work_window=$(timeout 60 xdotool search --sync --onlyvisible --name '^work$' | head -1) ||
  fail "the work window did not appear: $(cat "$work/zenity.log")"
case "$wm" in
  metacity) metacity --no-composite ;;
  openbox) openbox ;;
  xfwm4) xfwm4 --compositor=off --sm-client-disable ;;
  # GNOME's and KDE's, for runs by hand: not in the test command.
  mutter) mutter --x11 --replace --sm-disable ;;
  kwin_x11) kwin_x11 --replace ;;
  *) fail "unknown window manager" ;;
esac >"$work/wm.log" 2>&1 & pids+=($!)
wait_until 30 eval "xprop -id $work_window WM_STATE | grep -q Normal" || fail "the window manager did not start: $(cat "$work/wm.log")"
