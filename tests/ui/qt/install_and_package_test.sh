#!/usr/bin/env bash
# The install rules and the Debian package made from a build folder.
#   usage: install_and_package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for file in bin/timerset share/applications/timerset.desktop \
  share/icons/hicolor/32x32/apps/timerset.png; do
  [ -s "$work/prefix/$file" ] || fail "cmake --install did not install $file"
done
[ -x "$work/prefix/bin/timerset" ] || fail "bin/timerset is not executable"
desktop-file-validate "$work/prefix/share/applications/timerset.desktop"
grep -qx 'Exec=timerset' "$work/prefix/share/applications/timerset.desktop"
grep -qx 'Icon=timerset' "$work/prefix/share/applications/timerset.desktop"
[ "$(identify -format '%wx%h' "$work/prefix/share/icons/hicolor/32x32/apps/timerset.png")" = 32x32 ] ||
  fail "the icon is not 32x32"

(cd "$work" && cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$work"/deb/timerset_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-ipafont-gothic; do
  grep -q "$package" <<<"$depends" || fail "the package does not depend on $package: $depends"
done
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/timerset ./usr/share/applications/timerset.desktop \
  ./usr/share/icons/hicolor/32x32/apps/timerset.png; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
echo "installed and packaged: $(basename "$deb")"
