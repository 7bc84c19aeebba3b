# Sourced by the scripts that drive the window on an X display.

magick_convert=/usr/bin/convert-im6.q16
[ -x "$magick_convert" ] || magick_convert=/usr/bin/convert

# start_private_xvfb WORK: an X server of its own, on a display number that it picks itself;
# sets DISPLAY and xvfb_pid, or shows its log and returns 1.
start_private_xvfb() {
  Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$1/display" ] && break; sleep 0.1; done
  [ -s "$1/display" ] || { cat "$1/xvfb.log" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$1/display")"
}

# wing_landmark_positions MENU_BAR: where to click, in the window, the 18 landmarks of
# tests/data/wings/ES-0009-2098-4-f.dw.png in the order of the landmark guide, one "x y" a line.
# The view's drawing area starts at (10, 50) below the menu bar and shows the photograph at
# half its size until a magnification button is pressed.
wing_landmark_positions() {
  # Vein junctions of the photograph in its own pixels.
  local landmarks=(
    312 73   544 71   645 66   718 29   471 170  508 173  553 143  718 122  762 94
    813 37   572 244  779 218  769 165  955 135  1012 143 800 259  1022 180 859 82
  ) i
  for ((i = 0; i < ${#landmarks[@]}; i += 2)); do
    echo "$((10 + landmarks[i] / 2)) $(($1 + 50 + landmarks[i + 1] / 2))"
  done
}

# menu_bar_height CONVERT SCREEN_PNG WINDOW_X WINDOW_Y: the height of the window's menu bar,
# found from the picture view's frame, the first dark line down the window's column 400 below
# the bar, which lies 48 pixels under it on every platform (the window's own height is no
# guide: the status line under the layout adds to it). Prints nothing when there is no view.
menu_bar_height() {
  "$1" "$2" -crop "1x150+$(($3 + 400))+$4" +repage -colorspace gray txt:- |
    sed -n 's/^0,\([0-9]*\): (\([0-9.]*\).*/\1 \2/p' | awk '$1 > 20 && $2 < 200 { print $1 - 48; exit }'
}
