#!/usr/bin/env bash
# Takes the README's screenshot: the real window under a private X server, a wing photograph
# opened through the file dialog, its 18 landmarks clicked, "Hesapla" pressed and the results
# saved, then the window captured into docs/screenshot.png.
#
#   scripts/screenshot.sh [BUILD_DIR] [WING_PICTURE]
#
# BUILD_DIR defaults to build/ (made by scripts/run.sh or scripts/test.sh). Needs Xvfb, xdotool
# and ImageMagick (scripts/install-dependencies.sh installs them).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
wing="${2:-$top/tests/data/wings/ES-0009-2098-4-f.dw.png}"
wing="$(cd "$(dirname "$wing")" && pwd)/$(basename "$wing")"
output="$top/docs/screenshot.png"
magick_import=/usr/bin/import
. "$top/scripts/window-driving.sh"

for tool in Xvfb xdotool "$magick_import" "$magick_convert"; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-dependencies.sh)" >&2; exit 1; }
done
[ -x "$build/kanat" ] || { echo "screenshot: no $build/kanat; build first" >&2; exit 1; }
[ -r "$wing" ] || { echo "screenshot: cannot read $wing" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
kanat_pid=""
cleanup() {
  [ -n "$kanat_pid" ] && kill "$kanat_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The program keeps 12.txt beside itself: run a copy, so the record of this run stays in the
# temporary folder and not in the build.
mkdir -p "$work/bin" "$work/home" "$work/runtime" "$work/out"
chmod 700 "$work/runtime"
cp "$build/kanat" "$work/bin/kanat"

start_private_xvfb "$work" || { echo "screenshot: Xvfb did not start" >&2; exit 1; }

# Turkish settings, so the numbers show decimal commas as the program's users see them.
env LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8 HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
  "$work/bin/kanat" >"$work/kanat.log" 2>&1 &
kanat_pid=$!

# Prints the program's visible windows, one id a line, main window first.
visible_windows() { xdotool search --onlyvisible --pid "$kanat_pid" 2>/dev/null || true; }

# Waits until the program shows COUNT windows.
wait_for_windows() {
  local count="$1"
  for _ in $(seq 100); do
    [ "$(visible_windows | wc -l)" -eq "$count" ] && return 0
    kill -0 "$kanat_pid" 2>/dev/null || { cat "$work/kanat.log" >&2; echo "screenshot: kanat ended" >&2; exit 1; }
    sleep 0.1
  done
  echo "screenshot: expected $count windows of kanat, found $(visible_windows | wc -l)" >&2
  exit 1
}

wait_for_windows 1
window="$(visible_windows | head -n1)"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
window_x=$X window_y=$Y window_width=$WIDTH window_height=$HEIGHT
"$magick_import" -window root "$work/layout.png"
menu_bar="$(menu_bar_height "$magick_convert" "$work/layout.png" "$window_x" "$window_y")"
[ -n "$menu_bar" ] || { echo "screenshot: no picture view in the window" >&2; exit 1; }

click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.4; }

# "Kanat Resmi Aç", the first item of the menu bar; the dialog's file name field has the focus.
click_at 30 $((menu_bar / 2))
wait_for_windows 2
sleep 0.5
xdotool type --delay 15 "$wing"
xdotool key Return
wait_for_windows 1
sleep 0.5

# The 18 landmarks, in the order of the landmark guide.
while read -r x y; do click_at "$x" "$y"; done < <(wing_landmark_positions "$menu_bar")

# "Hesapla", then the save dialog that it opens: save the results in the temporary folder.
click_at 536 $((menu_bar + 20))
wait_for_windows 2
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 15 "$work/out/results.txt"
xdotool key Return
wait_for_windows 1
sleep 1

[ -s "$work/out/results.txt" ] || { echo "screenshot: the results were not saved" >&2; exit 1; }
lines="$(grep -c "$(printf "\t")" "$work/out/results.txt")"
[ "$lines" -eq 135 ] || { echo "screenshot: the result file holds $lines lines, not 135" >&2; exit 1; }

# Scroll the result list (at 864, 664 below the menu bar) down to the wing indices, three
# lines a wheel step, so that the picture shows measurements and not only coordinates.
xdotool mousemove --window "$window" 1000 $((menu_bar + 700)) click --repeat 29 --delay 30 5
xdotool mousemove --window "$window" 900 $((menu_bar + 400))
sleep 0.5

mkdir -p "$(dirname "$output")"
"$magick_import" -window root "$work/screen.png"
"$magick_convert" "$work/screen.png" -crop "${window_width}x${window_height}+${window_x}+${window_y}" +repage \
  -strip "$output"
echo "screenshot: wrote $output"
