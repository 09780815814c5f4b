#!/usr/bin/env bash
# The release as scripts/release.sh makes it: what the packages hold; the .exe built elsewhere alike;
# the installer under Wine; the i686 release signed with a throwaway certificate.
#   usage: release_test.sh WORK_DIR EXE x86_64|i686
set -euo pipefail
src=$(realpath "$(dirname "$0")/..")
work=$(realpath -m "$1") exe=$(realpath "$2")
copy=$work/copy/at/another/path
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$copy"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
unset SOURCE_DATE_EPOCH ${!TIMERSET_SIGN_*}
# A throwaway certificate signs the i686 release.
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=test -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:test -out "$work/cert.p12"
TIMERSET_SIGN_PKCS12=$work/cert.p12 TIMERSET_SIGN_PASSWORD=test \
  bash "$src/scripts/release.sh" --no-deps --out "$work/signed" i686 >"$work/signed.log" 2>&1 & signed=$!
bash "$copy/scripts/release.sh" --no-deps --out "$work/copy-dist" "$3" >"$work/exe.log" 2>&1 &
bash "$src/scripts/release.sh" --no-deps --out "$work/dist" deb
wait $! || { cat "$work/exe.log"; exit 1; }
# Installed from the copy's installer, the .exe is the one built here.
(cd "$(dirname "$exe")/../.." && bash "$src/tests/ui/win32/installer.sh" "$work"/copy-dist/*-setup.exe "$exe")
# Signed: the .exe before the zip and the installer took it, then the installer, whose stub is 32-bit.
wait $signed && setup=$(ls "$work"/signed/*-setup.exe) || { cat "$work/signed.log"; exit 1; }
7z e -o"$work/signed" "$setup" timerset.exe >/dev/null && unzip -p "$work"/signed/*.zip timerset.exe | cmp - "$work/signed/timerset.exe"
for file in "$setup" "$work/signed/timerset.exe"; do osslsigncode verify -CAfile "$work/cert.pem" -in "$file" |
  grep -q 'digest algorithm  : SHA256' || fail "$file: not signed"; done
i686-w64-mingw32-objdump -f "$setup" | grep -q 'pei-i386$' || fail "the i686 installer is not 32-bit"

deb=$(ls "$work"/dist/timerset_*_amd64.deb)
for package in "$deb" "$work"/dist/timerset-dbgsym_*.deb; do dpkg-deb -x "$package" "$work/root"; done
cd "$work/root/usr"
# The changelog's date, as a Debian build daemon rebuilding the .dsc sets it.
[ "$(stat -c %Y bin/timerset)" = "$(dpkg-parsechangelog -l "$src/debian/changelog" -S Timestamp)" ] ||
  fail "the package's times are not debian/changelog's"
desktop=share/applications/timerset.desktop
desktop-file-validate $desktop && grep -qx Exec=timerset $desktop && grep -qx Icon=timerset $desktop
appstreamcli validate --no-net share/metainfo/*.metainfo.xml
zgrep -q '^\.SH 名前' share/man/ja/man1/timerset.1.gz || fail "no Japanese manual page"
# Beside the libraries, what Qt loads at run time, which no library link shows.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 qt6-qpa-plugins fonts-ipafont-gothic; do [[ $depends == *"$p"* ]] || fail "no $p in $depends"; done
# A debugger finds the program's symbols by its build ID.
id=$(readelf -n bin/timerset | sed -n 's/.*Build ID: //p')
[ -s "lib/debug/.build-id/${id:0:2}/${id:2}.debug" ] || fail "no debug symbols for the build ID $id"
# Every size of the icon; at 16, 24 and 32 the pixel maps, in the package and the .exe.
cmp share/icons/hicolor/scalable/apps/timerset.svg "$src/resources/timerset.svg" || fail "no scalable icon"
wrestool -x -t 14 "$exe" -o "$work/exe.ico" && icotool -x -o "$work" "$work/exe.ico"
for n in 48 256; do ls "$work"/exe_*_${n}x${n}x*.png >/dev/null || fail "no ${n}x$n image in the .exe's icon"; done
for icon in 16:timerset-16 24:timerset-24 32:timerset 48 64 128 256; do
  n=${icon%:*} xpm=${icon#*:} png=share/icons/hicolor/${n}x$n/apps/timerset.png
  [ "$(identify -format %wx%h "$png")" = "${n}x$n" ] || fail "no ${n}x$n icon"
  [ "$xpm" = "$n" ] || for image in "$png" "$work/exe_"*"_${n}x${n}x4.png"; do
    diff=$(compare -metric AE "$image" "$src/resources/$xpm.xpm" null: 2>&1) ||
      fail "the ${n}x$n icon $image is not $xpm.xpm: $diff pixels differ"
  done
done
