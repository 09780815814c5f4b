#!/usr/bin/env bash
# Runs a Windows test program under Wine in a Wine desktop, which keeps the focus.
#   usage: in_wine.sh PROGRAM.exe
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/../session.sh"
wine_prefix
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wine "$program"
