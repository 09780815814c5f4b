#!/usr/bin/env bash
# Installs the Debian packages that are missing for a purpose: "run" (build and
# start the Linux program), "test" (build everything and run every test; also
# what scripts/release.sh needs, dpkg-buildpackage and debhelper among them) or
# "bench" (the benchmarks). Uses sudo when not root.
set -euo pipefail

purpose=${1:-test}
common=(cmake g++ make pkgconf qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libxcb-ewmh-dev
  libxcb-icccm4-dev fonts-ipafont-gothic imagemagick librsvg2-bin)
case "$purpose" in
  run) packages=("${common[@]}") ;;
  test)
    packages=("${common[@]}" libgtest-dev googletest
      g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 mingw-w64-tools
      wine wine64 fonts-wine xvfb xauth xdotool x11-utils faketime locales
      desktop-file-utils metacity openbox xfwm4 zenity wmctrl bc dbus-daemon python3-gi ibus ibus-mozc xclip
      lintian devscripts appstream zip build-essential dpkg-dev debhelper icoutils
      nsis osslsigncode openssl p7zip-full unzip liblnk-utils)
    ;;
  bench)
    packages=("${common[@]}" libbenchmark-dev libx11-dev xvfb xauth xdotool x11-utils faketime
      g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 icoutils)
    ;;
  *) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # For "run" a new user watches this: apt shows its progress.
  quiet=(-qq) out=/dev/null
  [ "$purpose" = run ] && quiet=() out=/dev/stdout
  "${sudo[@]}" apt-get update "${quiet[@]}"
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${quiet[@]}" -o DPkg::Lock::Timeout=600 --no-install-recommends \
    "${missing[@]}" >"$out"
fi

# Wine draws Japanese captions only in a prefix made under a Japanese locale.
if [ "$purpose" = test ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  "${sudo[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
fi

# The i686 tests run in Wine's WoW64 mode on Wine's own 32-bit Windows DLLs:
# libwine:i386 of the installed Wine's version, downloaded with an apt state of
# its own (i386 lists only) and unpacked into build/wine-i386, never installed,
# as a 32-bit Wine breaks Wine here. dpkg's architectures stay as they are.
dlls=$(dirname "$0")/../build/wine-i386
version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null || true)
if [ "$purpose" = test ] && [ "$(cat "$dlls/version" 2>/dev/null)" != "$version" ]; then
  apt=$(mktemp -d) && trap 'rm -rf "$apt"' EXIT && chmod 755 "$apt"
  [ "$(id -u)" -ne 0 ] || chown _apt "$apt" # apt downloads as _apt when root.
  i386=(-qq -o APT::Architecture=i386 -o APT::Architectures::=i386 -o Acquire::Languages=none
    -o Dir::State::Lists="$apt/lists" -o Dir::State::status=/dev/null -o Dir::Cache="$apt/cache")
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  apt-get "${i386[@]}" update
  (cd "$apt" && apt-get "${i386[@]}" download "libwine=$version")
  rm -rf "$dlls" && mkdir -p "$dlls" && dpkg-deb -x "$apt"/libwine_*_i386.deb "$dlls"
  echo "$version" >"$dlls/version"
fi
