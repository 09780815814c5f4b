# Sourced by the tests that run the real program in an X server of their own.
# Sets work (a folder removed at the end), pids (killed at the end), DISPLAY,
# HOME and XDG_RUNTIME_DIR; offers fail and await_shown. A test may give
# fail_extra a command to run before fail exits.
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -z "${fail_extra:-}" ] || $fail_extra
  sed 's/^/program: /' "$work/program.log" >&2 2>/dev/null || true
  exit 1
}

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display") XDG_RUNTIME_DIR=$work LANG=C.UTF-8 HOME=$work/home
mkdir -p "$HOME"

# Waits up to $1 twentieths of a second for the window to be shown ($2 = 1),
# then sets wid, or hidden ($2 = 0). Qt gives the window a new X window when it
# comes back above the others, so it is looked up by its title each time.
await_shown() {
  local shown
  for _ in $(seq "$1"); do
    shown=$(xdotool search --onlyvisible --name '^タイマセット$' 2>/dev/null | head -1 || true)
    if [ "$2" = 1 ] && [ -n "$shown" ]; then wid=$shown && return; fi
    [ "$2" = 0 ] && [ -z "$shown" ] && return
    sleep 0.05
  done
  false
}
