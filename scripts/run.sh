#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts the reminder window.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "タイマセット needs a display: run it on a desktop, or without one as: xvfb-run -a bash scripts/run.sh (package xvfb)" >&2
  exit 1
fi
bash scripts/deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
exec build/release/ui/qt/timerset "$@"
