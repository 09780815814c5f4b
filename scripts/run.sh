#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts the reminder window.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "タイマセット needs a display: run it on a desktop, or without one as: xvfb-run -a bash scripts/run.sh (package xvfb)" >&2
  exit 1
fi
echo "Checking the packages needed to build and run..."
bash scripts/deps.sh run
echo "Configuring the build in build/release..."
cmake --preset release >/dev/null
echo "Building..."
cmake --build --preset release -j "$(nproc)"

# Qt keeps its runtime files in XDG_RUNTIME_DIR, which a desktop login sets;
# without one (su, ssh, containers) it gets a private one for this run.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/timerset-runtime.XXXXXX") # mode 0700
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
echo "Starting the window; close it to quit."
build/release/ui/qt/timerset "$@"
