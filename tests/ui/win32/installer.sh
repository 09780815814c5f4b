#!/usr/bin/env bash
# The installer under Wine: installs, its shortcut starts the program, refuses while that runs, upgrades, removes.
#   usage: installer.sh SETUP.exe TIMERSET.exe   (from a folder where the Wine prefix template may stay)
set -euo pipefail
setup=$(realpath "$1") exe=$(realpath "$2") expected=$(realpath "$(dirname "$0")/installed.txt")
source "$(dirname "$0")/../session.sh"
wine_prefix && data=$(echo "$WINEPREFIX"/drive_c/users/*/AppData) key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
me=$(basename "$(dirname "$data")") windows="C:\\users\\$me\\AppData\\Local\\Programs\\TimerSet"
folder=$data/Local/Programs/TimerSet lnk="$data/Roaming/Microsoft/Windows/Start Menu/Programs/タイマセット.lnk"
files() { find "$WINEPREFIX/drive_c/users" -path '*/Temp' -prune -o -print | sort; } # Left as found by the uninstaller
mkdir "$data/Local/Programs" && first=$(files) # Windows' own, not the uninstaller's to remove
ends() { local rc=0 && wine "${@:2}" >/dev/null 2>&1 || rc=$? && [ $rc = "$1" ] || fail "${*:2} ended $rc, not $1"; }
apps() { wine reg export "$key" "$work/apps.reg" /y >/dev/null 2>&1 && iconv -f UTF-16 "$work/apps.reg" | tr -d '\r' | grep .; }
installed() { # The release's program; one entry in Settings → Apps, sized as the files; the Start-menu shortcut to it
  local size && size=$(printf %08x $((($(stat -c %s "$folder"/*.exe | paste -sd+)) / 1024)))
  cmp "$folder/timerset.exe" "$exe" && diff <(apps; lnkinfo "$lnk" | sed -n 's/^\s*\(Local path\|Icon location\)\s*: /shortcut \1: /p') \
    <(sed "s/@USER@/$me/g; s/@SIZE@/$size/" "$expected") >&2 || fail "not installed as shown"
}
ends 0 "$setup" /S && installed

# Started as the shortcut starts it, then hidden by a reminder twelve hours on.
wine "$windows\\timerset.exe" >"$work/program.log" 2>&1 & program=$! pids+=($!)
wait_until 30 shown && xdotool windowfocus --sync "$wid" key shift+Tab shift+Tab shift+Tab type $(((10#$(date +%H) + 12) % 24)) &&
  xdotool key Return && wait_until 5 eval '! shown' || fail "started from the shortcut's target, not shown, or not hidden"

# Installer and uninstaller refuse while it runs, end nothing, change nothing.
before=$(apps; ls -lR --time-style=+%s "$folder" "$lnk")
ends 2 "$setup" /S && kill -0 $program || fail "the installer ended the running program"
ends 2 "$folder/uninstall.exe" /S "_?=$windows" && kill -0 $program || fail "the uninstaller ended the running program"
[ "$(apps; ls -lR --time-style=+%s "$folder" "$lnk")" = "$before" ] || fail "changed while the program ran"

# Closed, an installer run over an older copy replaces it; the uninstaller (from its temporary copy) removes all.
kill $program && wait $program || true
echo older >"$folder/timerset.exe" && wine reg add "$key\\TimerSet" /v DisplayVersion /d 1.00.0001 /f >/dev/null 2>&1
ends 0 "$setup" /S && installed
ends 0 "$folder/uninstall.exe" /S && wineserver -w
[ "$(files)" = "$first" ] && [ "$(apps)" = "$(head -2 "$expected")" ] || fail "uninstalled, not as found: $(diff <(echo "$first") <(files)) $(apps)"
echo "installed into $windows, started, refused while running, upgraded, removed"
