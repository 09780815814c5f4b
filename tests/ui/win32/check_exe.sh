#!/usr/bin/env bash
# Inspects a built timerset.exe without running it (the i686 window's whole test).
# Usage: check_exe.sh EXE i686|x86_64
set -euo pipefail
exe=$1 triple=$2-w64-mingw32 format=pei-$(tr _ - <<<"${2/i686/i386}")
fail() { echo "FAIL: $exe: $*" >&2 && exit 1; }

headers=$("$triple-objdump" -p "$exe")
grep -q "file format $format\$" <<<"$headers" || fail "not $format"
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "not a GUI program"
size=$(stat -c %s "$exe")
[ "$size" -le 262144 ] || fail "$size bytes, more than 256 KB"

# What Windows itself provides, the C runtime msvcrt.dll included.
allowed='^(kernel32|user32|gdi32|imm32|comctl32|msvcrt|advapi32|shell32|ole32|version)\.dll$'
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
[ -n "$imports" ] && ! grep -qviE "$allowed" <<<"$imports" || fail "imports none, or" $(grep -viE "$allowed" <<<"$imports")

# Resource 1 of each: the icon group, the version record, the manifest.
[ "$("$triple-windres" -i "$exe" -O rc | grep -cE '^1 (14|VERSIONINFO|24)\b')" -eq 3 ] ||
  fail "lacks the icon, the version record or the manifest"

echo "$exe: $format, $size bytes, imports:" $imports
