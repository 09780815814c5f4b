#!/usr/bin/env bash
# The install rules and the Debian package made from a build folder.
#   usage: install_and_package_test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
files=(bin/timerset share/applications/timerset.desktop share/icons/hicolor/32x32/apps/timerset.png)

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cd "$work/prefix"
for file in "${files[@]}"; do [ -s "$file" ] || fail "cmake --install did not install $file"; done
[ -x bin/timerset ] || fail "bin/timerset is not executable"
desktop-file-validate "${files[1]}"
grep -qx Exec=timerset "${files[1]}" && grep -qx Icon=timerset "${files[1]}" ||
  fail "the desktop file does not start timerset with its icon"
[ "$(identify -format %wx%h "${files[2]}")" = 32x32 ] || fail "the icon is not 32x32"

cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >/dev/null
deb=$(ls "$work"/deb/timerset_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-ipafont-gothic; do
  grep -q "$package" <<<"$depends" || fail "the package does not depend on $package: $depends"
done
contents=$(dpkg-deb -c "$deb")
for file in "${files[@]}"; do grep -q " ./usr/$file\$" <<<"$contents" || fail "the package lacks $file"; done
echo "installed and packaged: $(basename "$deb")"
