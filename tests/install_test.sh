#!/usr/bin/env bash
# The program as `cmake --install` hands it to a user, in three groups of checks:
#   files    - every installed file in its place, the icons at their sizes, the desktop entry
#              valid and pointing at the installed program and icon;
#   start    - with the prefix read-only: `kanat-hesapla` answers and computes, `kanat` starts
#              on the offscreen platform and is still running five seconds later, and neither
#              writes anything at start;
#   save     - under a private X server, as a user who cannot write the prefix: "Hesapla" with
#              the save dialog cancelled appends the record to the user's data folder, not to
#              the program's folder, and says where only the first time.
#
#   install_test.sh BUILD_DIR SOURCE_DIR [CMAKE]
set -uo pipefail
build="$1"
source_dir="$2"
cmake="${3:-cmake}"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
skip() { echo "SKIP: $*"; }

work="$(mktemp -d)" || { echo "install test: no temporary folder"; exit 1; }
chmod 755 "$work"
prefix="$work/prefix"
xvfb_pid=""
kanat_pid=""
cleanup() {
  [ -n "$kanat_pid" ] && kill "$kanat_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# ---- files ------------------------------------------------------------------------------------
echo "== files =="
if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "cmake --install into $prefix"
  echo "install test: $failures failed"
  exit 1
fi

for program in bin/kanat bin/kanat-hesapla; do
  if [ -x "$prefix/$program" ] && [ -f "$prefix/$program" ]; then pass "$program"; else fail "$program is not an installed program"; fi
done

# Width and height from a PNG's header, as "WxH"; empty when the file is no PNG.
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = "89504e470d0a1a0a" ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }'
}
for size in 16 32 48 256; do
  icon="share/icons/hicolor/${size}x${size}/apps/kanat.png"
  if [ ! -f "$prefix/$icon" ]; then fail "$icon is missing"; continue; fi
  found="$(png_size "$prefix/$icon")"
  if [ "$found" = "${size}x${size}" ]; then pass "$icon"; else fail "$icon is '${found:-not a PNG}', not ${size}x${size}"; fi
done
scalable="share/icons/hicolor/scalable/apps/kanat.svg"
if [ -f "$prefix/$scalable" ] && grep -q '<svg' "$prefix/$scalable"; then pass "$scalable"; else fail "$scalable is missing or no SVG"; fi

entry="$prefix/share/applications/kanat.desktop"
value() { sed -n "s/^$1=//p" "$entry" | head -n1; }
if [ ! -f "$entry" ]; then
  fail "share/applications/kanat.desktop is missing"
else
  failures_before=$failures
  [ "$(sed -n 1p "$entry")" = "[Desktop Entry]" ] || fail "the desktop entry does not start with [Desktop Entry]"
  [ "$(value Type)" = "Application" ] || fail "desktop entry Type is '$(value Type)'"
  [ "$(value Name)" = "Sphecidae ve Apidae Kanat Morfometrisi" ] || fail "desktop entry Name is '$(value Name)'"
  [ -n "$(value Comment)" ] || fail "the desktop entry has no Comment"
  [ "$(value Terminal)" = "false" ] || fail "desktop entry Terminal is '$(value Terminal)'"
  for category in Science Biology; do
    case ";$(value Categories)" in
      *";$category;"*) ;;
      *) fail "desktop entry Categories '$(value Categories)' lacks $category" ;;
    esac
  done
  exec_program="$(value Exec | cut -d' ' -f1)"
  [ -x "$prefix/bin/$exec_program" ] || fail "desktop entry Exec '$exec_program' is not an installed program"
  [ -f "$prefix/share/icons/hicolor/48x48/apps/$(value Icon).png" ] || fail "desktop entry Icon '$(value Icon)' is not an installed icon"
  [ "$failures" -eq "$failures_before" ] && pass "desktop entry keys"
  if command -v desktop-file-validate >/dev/null; then
    if desktop-file-validate "$entry"; then pass "desktop-file-validate"; else fail "desktop-file-validate"; fi
  else
    skip "desktop-file-validate is not installed (Debian package desktop-file-utils)"
  fi
fi
# The installed copies are the files of the source tree, each where it belongs.
same_as_source() {
  if cmp -s "$source_dir/$1" "$prefix/$2"; then pass "$2 is $1"; else fail "$2 is not a copy of $1"; fi
}
same_as_source app/kanat.desktop share/applications/kanat.desktop
same_as_source assets/kanat.svg "$scalable"
for size in 16 32 48 256; do
  same_as_source "assets/icons/kanat-$size.png" "share/icons/hicolor/${size}x${size}/apps/kanat.png"
done

# ---- start ------------------------------------------------------------------------------------
echo "== start, from a read-only prefix =="
chmod -R a-w "$prefix"
find "$prefix" -printf '%p %s %T@\n' | sort >"$work/prefix.before"

home="$work/home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
user_env=(HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config"
          XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/runtime")

if env "${user_env[@]}" "$prefix/bin/kanat-hesapla" --help >"$work/help.txt" 2>&1 &&
   grep -q "kanat-hesapla" "$work/help.txt"; then
  pass "kanat-hesapla --help"
else
  cat "$work/help.txt"
  fail "kanat-hesapla --help"
fi

# The installed calculator gives the same 117 lines as the one in the build.
printf '%s\n' 156\;157 272\;158 322\;160 359\;179 235\;108 254\;107 276\;122 359\;132 381\;146 \
  406\;175 286\;71 389\;84 384\;111 477\;126 506\;122 400\;64 511\;103 429\;152 >"$work/wing.txt"
"$prefix/bin/kanat-hesapla" --decimal , "$work/wing.txt" >"$work/installed.out" 2>&1
installed_status=$?
"$build/kanat-hesapla" --decimal , "$work/wing.txt" >"$work/built.out" 2>&1
if [ "$installed_status" -eq 0 ] && [ "$(wc -l <"$work/installed.out")" -eq 117 ] &&
   cmp -s "$work/installed.out" "$work/built.out"; then
  pass "installed kanat-hesapla computes as the built one"
else
  fail "installed kanat-hesapla (status $installed_status, $(wc -l <"$work/installed.out") lines) differs from the built one"
fi

env "${user_env[@]}" QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/kanat" >"$work/kanat.log" 2>&1
status=$?
if [ "$status" -eq 124 ]; then
  pass "kanat started and was still running after 5 s"
else
  cat "$work/kanat.log"
  fail "kanat ended by itself with status $status within 5 s"
fi

find "$prefix" -printf '%p %s %T@\n' | sort >"$work/prefix.after"
if cmp -s "$work/prefix.before" "$work/prefix.after"; then pass "nothing written under the prefix"; else
  diff "$work/prefix.before" "$work/prefix.after"; fail "starting wrote under the prefix"; fi
if find "$home" -name 12.txt | grep -q .; then fail "starting wrote a 12.txt"; else pass "no 12.txt at start"; fi

# ---- save -------------------------------------------------------------------------------------
echo "== save, from a read-only prefix, under an X server =="
run_save_checks() {
  # Permission bits do not stop root: run the program as an ordinary user then.
  local as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    if ! command -v setpriv >/dev/null || ! id -u nobody >/dev/null 2>&1; then
      skip "running as root without setpriv or the user nobody: root could write the read-only prefix, so the fallback to the user's data folder cannot be seen"
      return
    fi
    as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
    chown -R nobody "$home"
  fi
  for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { skip "$tool is not installed"; return; }
  done

  Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ ! -s "$work/display" ]; then cat "$work/xvfb.log"; fail "Xvfb did not start"; return; fi
  export DISPLAY=":$(head -n1 "$work/display")"

  "${as_user[@]}" env "${user_env[@]}" QT_QPA_PLATFORM=xcb "$prefix/bin/kanat" >"$work/kanat-x.log" 2>&1 &
  kanat_pid=$!

  windows() { xdotool search --onlyvisible --pid "$kanat_pid" 2>/dev/null; }
  # Waits up to 20 s for the program to show COUNT windows.
  wait_windows() {
    for _ in $(seq 200); do
      [ "$(windows | wc -l)" -eq "$1" ] && return 0
      kill -0 "$kanat_pid" 2>/dev/null || return 1
      sleep 0.1
    done
    return 1
  }
  record_lines() { cat "$home/.local/share/kanat/12.txt" 2>/dev/null | wc -l; }
  wait_records() {
    for _ in $(seq 100); do [ "$(record_lines)" -eq "$1" ] && return 0; sleep 0.1; done
    return 1
  }
  # The menu bar's height: the layout is 746 pixels high between the menu bar and the status
  # line, which are about as high as each other; the buttons are 25 pixels high and the view
  # larger, so a pixel or two either way is safe.
  menu_bar_of() {
    local WIDTH HEIGHT menu_bar=21
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
    [ "$WIDTH" -eq 1273 ] && [ "$HEIGHT" -gt 746 ] && menu_bar=$(((HEIGHT - 746) / 2))
    echo "$menu_bar"
  }
  # Places the 18 landmarks on the empty view, one press each, well apart so that no two
  # make a double click.
  press_landmarks() {
    local main="$1" menu_bar i
    menu_bar="$(menu_bar_of "$main")"
    for i in $(seq 0 17); do
      xdotool mousemove --window "$main" $((40 + 30 * i)) $((menu_bar + 120 + 15 * (i % 4))) click 1
      sleep 0.3
    done
  }
  # Presses "Hesapla", then cancels the save dialog that it opens; prints the dialog's window.
  calculate_and_cancel() {
    local main="$1" menu_bar dialog
    menu_bar="$(menu_bar_of "$main")"
    xdotool mousemove --window "$main" 536 $((menu_bar + 20)) click 1
    wait_windows 2 || return 1
    dialog="$(windows | grep -vx "$main" | head -n1)"
    sleep 0.3
    xdotool key Escape
    echo "$dialog"
  }

  if ! wait_windows 1; then cat "$work/kanat-x.log"; fail "kanat showed no window under Xvfb"; return; fi
  local main dialog notice
  main="$(windows | head -n1)"
  sleep 0.5

  press_landmarks "$main"
  if ! dialog="$(calculate_and_cancel "$main")"; then cat "$work/kanat-x.log"; fail "\"Hesapla\" opened no save dialog"; return; fi
  if wait_records 1; then pass "the first save appended one record to ~/.local/share/kanat/12.txt"; else
    fail "no record in $home/.local/share/kanat/12.txt after the first save"; fi
  [ -e "$prefix/bin/12.txt" ] && fail "the record went into the read-only program folder"
  [ -e "$prefix/bin/12.tps" ] && fail "the landmarks went into the read-only program folder"
  local record="$home/.local/share/kanat/12.txt"
  if [ -f "$record" ]; then
    local fields last
    fields="$(head -n1 "$record" | awk -F'\t' '{ print NF }')"
    last="$(head -n1 "$record" | tr -d '\r\n' | awk -F'\t' '{ print length($NF) }')"
    if [ "$fields" -eq 118 ] && [ "$last" -eq 7 ] && [ "$(head -n1 "$record" | tail -c2 | od -An -tx1 | tr -d ' \n')" = "0d0a" ]; then
      pass "the record has 118 fields, a seven-character last field and CR LF"
    else
      fail "the record has $fields fields, a last field of $last characters"
    fi
  fi

  # The notice that says where the records go: a window that is neither the main one nor the
  # save dialog.
  notice=""
  for _ in $(seq 100); do
    notice="$(windows | grep -vx "$main" | grep -vx "$dialog" | head -n1)"
    [ -n "$notice" ] && break
    sleep 0.1
  done
  if [ -n "$notice" ]; then pass "the first save told where the records go"; else fail "the first save showed no notice"; fi
  xdotool key Return
  wait_windows 1 || fail "the notice did not close"
  sleep 0.3
  local landmarks="$home/.local/share/kanat/12.tps"
  if [ -f "$landmarks" ] && grep -qx $'LM=18\r\\?' "$landmarks" && grep -qx $'ID=1\r\\?' "$landmarks"; then
    pass "the landmarks went to 12.tps beside the record, as specimen 1"
  else
    fail "no specimen LM=18, ID=1 in $landmarks"
  fi

  if ! calculate_and_cancel "$main" >/dev/null; then fail "the second \"Hesapla\" opened no save dialog"; return; fi
  if wait_records 2; then pass "the second save appended a second record"; else fail "the second save left $(record_lines) records"; fi
  sleep 0.3
  if [ "$(grep -c '^LM=18' "$landmarks" 2>/dev/null)" = 2 ] && grep -q '^ID=2' "$landmarks"; then
    pass "the second save appended specimen 2 to 12.tps"
  else
    fail "12.tps does not hold specimen 2 after the second save"
  fi
  sleep 1
  if [ "$(windows | wc -l)" -eq 1 ]; then pass "the second save showed no notice again"; else fail "the second save showed another window"; fi
  kill -0 "$kanat_pid" 2>/dev/null || fail "kanat ended during the saves"
}
run_save_checks

if [ "$failures" -eq 0 ]; then echo "install test: all checks passed"; exit 0; fi
echo "install test: $failures failed"
exit 1
