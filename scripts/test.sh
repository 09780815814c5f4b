#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/deps.sh test
# Nothing of the developer's own desktop may decide a test's outcome.
for name in $(compgen -e); do
  case $name in DISPLAY | WAYLAND_DISPLAY | DBUS_* | XDG_RUNTIME_DIR | QT_*) unset "$name" ;; esac
done

# The Linux build, with ASan and UBSan; the Windows builds (x86_64 runs its
# tests under Wine; i686 its core's tests in Wine's WoW64 mode, and its window
# is inspected as a file, as that mode makes no windows).
for preset in test mingw64 mingw32; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
done
# The release artefacts, before the tests that need the machine quiet.
bash tests/release_test.sh build/release_test build/mingw64/ui/win32/timerset.exe x86_64

# The test runs at once: they spend most of their time waiting for the
# programs' ticks.
failed=0 runs=()
for preset in test mingw64 mingw32; do
  ctest --preset "$preset" -j 6 >"build/$preset/ctest.log" 2>&1 &
  runs+=($!)
done
for run in "${runs[@]}"; do wait "$run" || failed=1; done
logs=(build/{test,mingw64,mingw32}/ctest.log)
cat "${logs[@]}"

# One closing line over the runs and the release check.
sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)/\1 \2/p' "${logs[@]}" |
  awk -v f=$failed '{ bad += $1; all += $2 } END { printf "%d passed, %d failed\n", all - bad + 1, bad; exit f }'
