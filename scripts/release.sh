#!/usr/bin/env bash
# Builds the release artefacts from scratch, from the sources beside this
# script, and writes SHA256SUMS over them:
#   timerset_<version>.orig.tar.gz       the sources (the tracked files, without debian/)
#   timerset_<version>-1.dsc, .debian.tar.xz   the Debian source package
#   timerset_<version>-1_amd64.deb       the Linux program, and its -dbgsym package
#                                        (built by dpkg-buildpackage; lintian-clean, or none)
#   timerset-<1.01.0007>-x86_64.zip      the Windows program, README.md and LICENSE
#   timerset-<1.01.0007>-i686.zip        the same for 32-bit Windows
#   timerset-<1.01.0007>-<arch>-setup.exe   the installer of each (resources/timerset.nsi)
# Given a code-signing certificate (see scripts/sign.sh), each .exe is signed
# before it goes into the zip and the installer, and then each installer.
# Built from the same commit with Debian 12's tools, each is the same bytes
# wherever and whenever it is built: times come from SOURCE_DATE_EPOCH (by
# default the date of debian/changelog's latest entry), and no folder's path
# gets into a file.
#   usage: release.sh [--no-deps] [--out DIR] [deb] [x86_64] [i686]   (default: all three into build/dist)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
out=$src/build/dist
deps=yes
artefacts=()
while [ $# -gt 0 ]; do
  case "$1" in
    --no-deps) deps=no ;;
    --out) out=$(realpath -m "$2"); shift ;;
    deb | x86_64 | i686) artefacts+=("$1") ;;
    *) echo "usage: $0 [--no-deps] [--out DIR] [deb] [x86_64] [i686]" >&2; exit 2 ;;
  esac
  shift
done
[ ${#artefacts[@]} -gt 0 ] || artefacts=(deb x86_64 i686)
# The certificate as named from where the script was started; makensis signs from elsewhere.
[ -z "${TIMERSET_SIGN_PKCS12:-}" ] || TIMERSET_SIGN_PKCS12=$(realpath "$TIMERSET_SIGN_PKCS12")
cd "$src"
[ "$deps" = no ] || bash scripts/deps.sh test
jobs=$(nproc)
umask 022
export TZ=UTC LC_ALL=C.UTF-8
# Every artefact takes its times from debian/changelog's latest entry, as
# dpkg-buildpackage does when SOURCE_DATE_EPOCH is unset (so on Debian's build
# daemons and rebuilders): whoever builds the .dsc the Debian way gets the
# release's .deb, byte for byte. The commit's time could not serve: the entry
# is written before its commit, and each later commit would move the time;
# the entry's date moves only with a new entry, and needs no clone.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -S Timestamp)}
export SOURCE_DATE_EPOCH
[ ! -e .git ] || [ -z "$(git status --porcelain)" ] ||
  echo "release.sh: the work tree has changes not in the last commit" >&2
rm -rf "$out"
mkdir -p "$out"

# 1.1.0.7 in CMakeLists.txt is written 1.01.0007, as in the .exe's version record.
version=$(sed -n 's/^project(TimerSet VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
IFS=. read -r major minor _ tweak <<<"$version"
version_text=$(printf '%d.%02d.%04d' "$major" "$minor" "$tweak")

for artefact in "${artefacts[@]}"; do
  build=$out/build-$artefact
  case "$artefact" in
    deb)
      # The sources as a tarball with fixed names, order, times, owners and
      # modes: the tracked files (every file but build/ outside a clone).
      [ "$(dpkg-parsechangelog -S Version)" = "$version-1" ] || { echo "debian/changelog is not $version-1" >&2; exit 1; }
      tree=$build/timerset-$version
      orig=$build/timerset_$version.orig.tar.gz
      sources() {
        if [ -e .git ]; then git ls-files -z; else
          find . \( -path ./build -o -path ./.git \) -prune -o -type f -printf '%P\0'; fi
      }
      pack() { tar --null -T - --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
        --mode=u+rw,go=rX,a-s --format=gnu --transform="s,^,timerset-$version/," -cf -; }
      mkdir -p "$build"
      sources | grep -zv '^debian/' | pack | gzip -n -9 >"$orig"
      tar -C "$build" -xzf "$orig"
      sources | grep -z '^debian/' | pack | tar -C "$build" -xf -
      # Source and binary packages, with Debian's flags and hardening; lintian
      # fails the release on any error or warning and lists the other tags.
      (cd "$tree" && DEB_BUILD_OPTIONS="parallel=$jobs" dpkg-buildpackage -us -uc) >"$build/build.log" 2>&1 ||
        { tail -40 "$build/build.log" >&2; exit 1; }
      hardening-check --nofortify --nocfprotection "$tree/debian/timerset/usr/bin/timerset"
      lintian --fail-on error,warning --display-info --pedantic "$build"/timerset_*.changes
      cp "$orig" "$build"/timerset_*.dsc "$build"/timerset_*.debian.tar.xz "$build"/timerset*_*.deb "$out/"
      ;;
    x86_64 | i686)
      preset=mingw64
      [ "$artefact" = i686 ] && preset=mingw32
      cmake --preset "$preset" -B "$build" -DTIMERSET_TESTS=OFF >/dev/null
      cmake --build "$build" -j "$jobs" --target timerset >/dev/null
      exe=$build/ui/win32/timerset.exe
      echo "$artefact timerset.exe: $(stat -c %s "$exe") bytes," \
        "$("$artefact-w64-mingw32-objdump" -p "$exe" | sed -n 's/^DllCharacteristics\s*/DllCharacteristics /p')"
      # The same names, order, times and modes every time; -X leaves out the
      # owner and the extra time fields.
      mkdir "$build/zip"
      cp "$exe" README.md LICENSE "$build/zip/"
      bash scripts/sign.sh "$build/zip/timerset.exe"
      chmod 0644 "$build"/zip/*
      touch -d "@$SOURCE_DATE_EPOCH" "$build"/zip/*
      (cd "$build/zip" && zip -q -X -9 "$out/timerset-$version_text-$artefact.zip" timerset.exe README.md LICENSE)
      # The installer carries the same .exe, with its time; the uninstaller it
      # writes is signed as makensis makes it.
      setup=$out/timerset-$version_text-$artefact-setup.exe
      makensis -V2 -INPUTCHARSET UTF8 -DARCH="$artefact" -DVERSION="$version" -DVERSION_TEXT="$version_text" \
        -DEXE="$build/zip/timerset.exe" -DICON="$build/resources/timerset.ico" -DOUTFILE="$setup" \
        ${TIMERSET_SIGN_PKCS12:+-DSIGN="bash $src/scripts/sign.sh"} resources/timerset.nsi
      bash scripts/sign.sh "$setup"
      ;;
  esac
done

cd "$out"
shopt -s nullglob
sha256sum timerset_* timerset-dbgsym_* timerset-*.zip timerset-*-setup.exe >SHA256SUMS
echo "In $out:"
cat SHA256SUMS
