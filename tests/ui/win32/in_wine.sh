#!/usr/bin/env bash
# Runs a Windows test program under Wine in a Wine desktop, which keeps the focus.
#   usage: in_wine.sh PROGRAM.exe [DLLS]   (DLLS: Wine's 32-bit ones, for an i686 program)
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/../session.sh"
[ -z "${2:-}" ] || export WINEDLLPATH=$2 # Before the prefix is made, so that it has syswow64.
wine_prefix
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wine "$program"
