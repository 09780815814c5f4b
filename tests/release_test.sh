#!/usr/bin/env bash
# The release artefacts as scripts/release.sh makes them: the .deb (release.sh
# stops unless hardening-check and lintian pass) with a valid desktop file and
# AppStream metadata; and the .exe, which must be the very bytes of the one
# this build made when built again from a copy of the sources at another path.
#   usage: release_test.sh WORK_DIR EXE x86_64|i686
set -euo pipefail
src=$(realpath "$(dirname "$0")/..")
work=$(realpath -m "$1")
copy=$work/copy/at/another/path
rm -rf "$work" && mkdir -p "$copy"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
export SOURCE_DATE_EPOCH=1796601600
bash "$copy/scripts/release.sh" --no-deps --out "$work/copy-dist" "$3" >"$work/exe.log" 2>&1 &
bash "$src/scripts/release.sh" --no-deps --out "$work/dist" deb
wait $! || { cat "$work/exe.log"; exit 1; }
cmp "$work/copy-dist/build-$3/ui/win32/timerset.exe" "$2"
dpkg-deb -x "$work"/dist/timerset_*.deb "$work/root"
desktop-file-validate "$work/root/usr/share/applications/timerset.desktop"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml
