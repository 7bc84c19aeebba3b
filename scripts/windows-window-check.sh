#!/usr/bin/env bash
# The Windows program as its users get it, seen on a screen: the installer made by
# scripts/windows-build.sh is installed silently into a Wine prefix of its own, the installed
# kanat.exe is started on a private Xvfb display, a wing photograph is opened through the file
# dialog, its 18 landmarks are clicked, "Hesapla" is pressed and the results saved. The Linux
# program is then driven through the very same presses, and the two 12.txt records must be the
# same bytes. The Windows window after "Hesapla" goes to docs/windows-screenshot.png.
#
#   scripts/windows-window-check.sh [WINDOWS_BUILD_DIR] [LINUX_BUILD_DIR]
#
# Defaults: build-windows/ and build/ in the source tree. Needs Xvfb, xdotool, ImageMagick, Wine.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
windows_build="$(cd "${1:-$top/build-windows}" && pwd)"
linux_build="$(cd "${2:-$top/build}" && pwd)"
wing_source="$top/tests/data/wings/ES-0009-2098-4-f.dw.png"
output="$top/docs/windows-screenshot.png"
. "$top/scripts/window-driving.sh"

installer="$(ls "$windows_build"/kanat-*-win64.exe 2>/dev/null | head -n1)"
[ -n "$installer" ] || { echo "window check: no installer in $windows_build (scripts/windows-build.sh)" >&2; exit 1; }
[ -x "$linux_build/kanat" ] || { echo "window check: no $linux_build/kanat; build first" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "window check: $*" >&2; exit 1; }

start_private_xvfb "$work" || fail "Xvfb did not start"
cp "$wing_source" "$work/wing.png"

visible_windows() { xdotool search --onlyvisible --name '.' 2>/dev/null || true; }
wait_for_windows() {
  for _ in $(seq 150); do
    [ "$(visible_windows | wc -l)" -eq "$1" ] && return 0
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
    sleep 0.1
  done
  visible_windows | while read -r id; do echo "  shown: $(xdotool getwindowname "$id")" >&2; done
  fail "expected $1 windows, found $(visible_windows | wc -l)"
}

# wait_for_windows_but WINDOW TITLE: until every window shown is WINDOW or titled TITLE.
wait_for_windows_but() {
  local id others
  for _ in $(seq 150); do
    others=0
    for id in $(visible_windows); do
      [ "$id" = "$1" ] || [ "$(xdotool getwindowname "$id")" = "$2" ] || others=$((others + 1))
    done
    [ "$others" -eq 0 ] && return 0
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
    sleep 0.1
  done
  fail "a dialog stayed open"
}

menu_bar_of() {
  local window="$1" y
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root "$work/layout.png"
  y="$(menu_bar_height "$magick_convert" "$work/layout.png" "$X" "$Y")"
  [ -n "$y" ] || fail "no picture view in the window"
  echo "$y"
}

# drive FILE_NAME_OF_WING SAVE_PATH: the presses, on the window now shown.
drive() {
  local wing="$1" save="$2" window menu_bar i
  wait_for_windows 1
  window="$(visible_windows | head -n1)"
  sleep 1
  menu_bar="$(menu_bar_of "$window")"
  click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.4; }
  click_at 30 $((menu_bar / 2)) # "Kanat Resmi Aç"
  wait_for_windows 2
  sleep 1
  xdotool type --delay 15 "$wing"
  xdotool key Return
  wait_for_windows 1
  sleep 1
  while read -r x y; do click_at "$x" "$y"; done < <(wing_landmark_positions "$menu_bar")
  click_at 536 $((menu_bar + 20)) # "Hesapla"
  wait_for_windows 2
  sleep 1
  xdotool key ctrl+a
  xdotool type --delay 15 "$save"
  xdotool key Return
  # The save dialog closes; on Windows the note saying where the records go may open at once.
  wait_for_windows_but "$window" 'Kanat Morfometrisi'
  sleep 1.5
  shown="$window"
}

# ---- Windows -------------------------------------------------------------------------------
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 </dev/null
wine "$installer" /S >/dev/null 2>&1 || fail "the silent install failed"
installed="$WINEPREFIX/drive_c/Program Files/Kanat Morfometrisi"
[ -f "$installed/kanat.exe" ] || fail "nothing installed in $installed"
(cd "$installed" && LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8 exec wine kanat.exe) >"$work/windows.log" 2>&1 &
program_pid=$!
drive 'Z:\'"${work//\//\\}"'\wing.png' 'Z:\'"${work//\//\\}"'\windows-results.txt'
eval "$(xdotool getwindowgeometry --shell "$shown")"
import -window root "$work/screen.png"
mkdir -p "$(dirname "$output")"
# Half size in 256 colours keeps the picture small enough for the repository.
"$magick_convert" "$work/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -resize 60% -colors 256 -strip \
  "PNG8:$output"
windows_record="$(find "$WINEPREFIX/drive_c/users" -path '*AppData/Roaming/kanat/12.txt' | head -n1)"
[ -n "$windows_record" ] || fail "the installed program wrote no 12.txt in the user's data folder"
[ ! -e "$installed/12.txt" ] || fail "the installed program wrote 12.txt into Program Files"
cp "$windows_record" "$work/windows-12.txt"
kill "$program_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
program_pid=""
sleep 1

# ---- Linux ---------------------------------------------------------------------------------
mkdir -p "$work/linux/bin" "$work/linux/home" "$work/linux/runtime"
chmod 700 "$work/linux/runtime"
cp "$linux_build/kanat" "$work/linux/bin/kanat" # its records go beside this copy
env LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8 HOME="$work/linux/home" XDG_DATA_HOME="$work/linux/home/.local/share" \
  XDG_CONFIG_HOME="$work/linux/home/.config" XDG_RUNTIME_DIR="$work/linux/runtime" \
  "$work/linux/bin/kanat" >"$work/linux.log" 2>&1 &
program_pid=$!
drive "$work/wing.png" "$work/linux-results.txt"
[ -s "$work/linux/bin/12.txt" ] || fail "the Linux program wrote no 12.txt"
kill "$program_pid" 2>/dev/null || true
program_pid=""

echo "Windows record: $(wc -c <"$work/windows-12.txt") bytes, Linux record: $(wc -c <"$work/linux/bin/12.txt") bytes"
if cmp "$work/windows-12.txt" "$work/linux/bin/12.txt"; then
  echo "window check: the 12.txt records are the same bytes; screenshot in $output"
else
  od -c "$work/windows-12.txt" | head -n 20
  od -c "$work/linux/bin/12.txt" | head -n 20
  fail "the Windows and Linux records differ"
fi
cmp -s "$work/windows-results.txt" "$work/linux-results.txt" && echo "the saved result files are the same bytes too" ||
  echo "note: the saved result files differ"
