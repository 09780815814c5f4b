# Sourced after x_display.sh by the tests of the pop-up under a real window
# manager: starts the manager named by wm and the user's work window
# (work_window, work_id), and offers active, frame_of and above.
screen_on_failure() {
  import -window root "/tmp/popup-$wm-fail.png" 2>/dev/null && echo "screen ($wm): /tmp/popup-$wm-fail.png" >&2
}
fail_extra=screen_on_failure

case "$wm" in
  metacity) metacity --no-composite >"$work/wm.log" 2>&1 & ;;
  openbox) openbox >"$work/wm.log" 2>&1 & ;;
  xfwm4) xfwm4 --compositor=off --sm-client-disable >"$work/wm.log" 2>&1 & ;;
  # Heavier, and not in the test command: GNOME's and KDE's, for runs by hand.
  mutter) dbus-run-session -- mutter --x11 --replace --sm-disable >"$work/wm.log" 2>&1 & ;;
  kwin_x11) dbus-run-session -- kwin_x11 --replace >"$work/wm.log" 2>&1 & ;;
  *) fail "unknown window manager" ;;
esac
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "the window manager did not start"

# The user's work: a GTK text window, placed over the middle of the screen.
zenity --text-info --editable --title=work --width=700 --height=500 >/dev/null 2>&1 &
pids+=($!)
work_window=$(timeout 40 xdotool search --sync --onlyvisible --name '^work$' | head -1) ||
  fail "the work window did not appear"
work_id=$(printf '0x%x' "$work_window")

active() { xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //; s/,.*//'; }
frame_of() { # The child of the root that holds a window: the frame the manager drew round it.
  local w=$1 line
  while line=$(xwininfo -id "$w" -children | grep 'Parent window id:') && ! grep -q 'the root window' <<<"$line"; do
    w=$(sed 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/' <<<"$line")
  done
  printf '0x%x\n' "$w"
}
# Whether the first window's frame is stacked above the second's (xwininfo
# lists the root's children top first).
above() {
  local mine theirs order
  mine=$(frame_of "$1") theirs=$(frame_of "$2")
  order=$(xwininfo -root -children | grep -oE '^ +0x[0-9a-f]+' | tr -d ' ' |
    while read -r w; do printf '0x%x\n' "$w"; done)
  [ "$(grep -nx "$mine" <<<"$order" | cut -d: -f1)" -lt "$(grep -nx "$theirs" <<<"$order" | cut -d: -f1)" ]
}

