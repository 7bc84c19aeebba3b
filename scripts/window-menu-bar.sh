# Sourced by the scripts that drive the window on an X display.
#
# menu_bar_height CONVERT SCREEN_PNG WINDOW_X WINDOW_Y: the height of the window's menu bar,
# found from the picture view's frame, the first dark line down the window's column 400 below
# the bar, which lies 48 pixels under it on every platform (the window's own height is no
# guide: the status line under the layout adds to it). Prints nothing when there is no view.
menu_bar_height() {
  "$1" "$2" -crop "1x150+$(($3 + 400))+$4" +repage -colorspace gray txt:- |
    sed -n 's/^0,\([0-9]*\): (\([0-9.]*\).*/\1 \2/p' | awk '$1 > 20 && $2 < 200 { print $1 - 48; exit }'
}
