#!/usr/bin/env bash
# The installer under Wine: installs, its shortcut starts the program, refuses while that runs, upgrades, removes.
#   usage: installer.sh SETUP.exe TIMERSET.exe   (from a folder where the Wine prefix template may stay)
set -euo pipefail
setup=$(realpath "$1") exe=$(realpath "$2") expected=$(realpath "$(dirname "$0")/apps-entry.reg")
source "$(dirname "$0")/../session.sh"
wine_prefix
me=$(id -un) key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
data=$WINEPREFIX/drive_c/users/$me/AppData windows="C:\\users\\$me\\AppData\\Local\\Programs\\TimerSet"
files() { find "$WINEPREFIX/drive_c/users" -path '*/Temp' -prune -o -print | sort; } # Left as found by the uninstaller
mkdir "$data/Local/Programs" && first=$(files) # Windows' own, not the uninstaller's to remove
folder=$data/Local/Programs/TimerSet lnk="$data/Roaming/Microsoft/Windows/Start Menu/Programs/タイマセット.lnk"
ends() { local rc=0 && wine "${@:2}" >/dev/null 2>&1 || rc=$? && [ $rc = "$1" ] || fail "${*:2} ended $rc, not $1"; }
apps() { wine reg export "$key" "$work/apps.reg" /y >/dev/null 2>&1 && iconv -f UTF-16 "$work/apps.reg" | tr -d '\r' | grep .; }
state() { apps; ls -lR --time-style=+%s "$folder" "$lnk" 2>&1; }
installed() { # The release's program, and one entry in Settings → Apps, sized as the files
  cmp "$folder/timerset.exe" "$exe" || fail "the installed program is not the release's"
  local size && size=$(printf %08x $((($(stat -c %s "$folder"/*.exe | paste -sd+)) / 1024)))
  diff <(apps) <(sed "s/@USER@/$me/g; s/@SIZE@/$size/" "$expected") >&2 || fail "the Apps entry differs as shown"
}
ends 0 "$setup" /S && installed

# The Start-menu shortcut, to the installed program with its icon; started from there, its window shows.
[ "$(lnkinfo "$lnk" | sed -n 's/^\s*\(Local path\|Icon location\)\s*: //p')" = "$(printf '%s\\timerset.exe\n' "$windows"{,})" ] ||
  fail "the shortcut: $(lnkinfo "$lnk")"
wine "$windows\\timerset.exe" >"$work/program.log" 2>&1 & program=$! pids+=($!)
wait_until 30 shown || fail "started from the shortcut's target, no window"

# Set for twelve hours on, hidden: installer and uninstaller refuse, change nothing, end nothing.
xdotool windowfocus --sync "$wid" key shift+Tab shift+Tab shift+Tab type $(((10#$(date +%H) + 12) % 24))
xdotool key Return && wait_until 5 eval '! shown' || fail "not hidden by Enter"
before=$(state)
ends 2 "$setup" /S && kill -0 $program || fail "the installer ended the running program"
ends 2 "$folder/uninstall.exe" /S "_?=$windows" && kill -0 $program || fail "the uninstaller ended the running program"
[ "$(state)" = "$before" ] || fail "changed while the program ran: $(diff <(echo "$before") <(state))"

# Closed, an installer run over an older copy replaces it; the uninstaller (from its temporary copy) removes all.
kill $program && wait $program || true
echo older >"$folder/timerset.exe" && wine reg add "$key\\TimerSet" /v DisplayVersion /d 1.00.0001 /f >/dev/null 2>&1
ends 0 "$setup" /S && installed
ends 0 "$folder/uninstall.exe" /S && wineserver -w
[ "$(files)" = "$first" ] && [ "$(apps)" = "$(head -2 "$expected")" ] || fail "left behind: $(diff <(echo "$first") <(files)) $(apps)"
echo "installed into $windows, started, refused while running, upgraded, removed"
