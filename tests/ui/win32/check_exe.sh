#!/usr/bin/env bash
# Inspects a built timerset.exe without running it: machine type, GUI
# subsystem, imports (Windows system DLLs only), size, and the resources
# (icon 1, version record, manifest). For the i686 build, which this machine
# cannot run, this is the whole test.
# Usage: check_exe.sh EXE i686|x86_64
set -euo pipefail
exe=$1 triple=$2-w64-mingw32 format=pei-${2/i686/i386}
format=${format/_/-}
failures=0
fail() { echo "FAIL: $exe: $*" >&2; failures=$((failures + 1)); }

headers=$("$triple-objdump" -p "$exe")
grep -q "file format $format\$" <<<"$headers" || fail "not $format"
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "not a GUI program"
size=$(stat -c %s "$exe")
[ "$size" -le 262144 ] || fail "$size bytes, more than 256 KB"

# What Windows itself provides, the C runtime msvcrt.dll included.
allowed='^(kernel32|user32|gdi32|imm32|comctl32|msvcrt|advapi32|shell32|ole32|version)\.dll$'
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
  grep -qiE "$allowed" <<<"$dll" || fail "imports $dll"
done

resources=$("$triple-windres" -i "$exe" -O rc)
expect() { grep -qF -- "$1" <<<"$resources" || fail "resource lacks: $1"; }
expect '1 14 /* RT_GROUP_ICON */'
# 16, 24, 32 and 48 pixels in 16 colours, and 256 (written 0) as a PNG.
for n in 020 030 040 060; do expect "\"\\$n\\$n\\020\\000\", 1, 4,"; done
expect '"\000\000\000\000", 1, 32,'
expect '1 VERSIONINFO'
expect 'VALUE "FileDescription", L"\x30bf\x30a4\x30de\x30bb\x30c3\x30c8"'  # タイマセット
expect 'VALUE "Translation", 0x411, 1200'
expect '1 24 /* RT_MANIFEST */'
expect 'Microsoft.Windows.Common-Controls'
expect 'PerMonitorV2'

echo "$exe: $format, $size bytes, imports:" $imports
[ "$failures" -eq 0 ]
