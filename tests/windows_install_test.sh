#!/usr/bin/env bash
# The Windows installer and the portable .zip as `cpack` makes them from a Windows build, checked
# under Wine in a Wine prefix of their own:
#   package  - both are made; the .zip holds the programs, Qt's plugins and translation, and
#              every DLL that a program or plugin imports, except Windows' own;
#   portable - the unpacked kanat-hesapla.exe computes as the built one;
#   install  - a silent install (/S) puts the program in Program Files with its Start menu entry
#              and uninstaller; the installed kanat.exe starts and writes nothing at start;
#   remove   - the silent uninstall (which returns before it has finished) takes it all away.
#
#   windows_install_test.sh BUILD_DIR DLL_DIR [CPACK]
#
# DLL_DIR is where the built programs find their DLLs (the libraries' cache).
set -uo pipefail
build="$1"
dlls="$2"
cpack="${3:-cpack}"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

work="$(mktemp -d)" || { echo "windows install test: no temporary folder"; exit 1; }
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
cleanup() {
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

objdump=x86_64-w64-mingw32-objdump
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
name="kanat-$version-win64"

# ---- package ----------------------------------------------------------------------------------
echo "== package =="
if ! (cd "$build" && "$cpack" -G "NSIS;ZIP") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "windows install test: cpack failed"
  exit 1
fi
installer="$build/$name.exe"
zip="$build/$name.zip"
for made in "$installer" "$zip"; do
  if [ -s "$made" ]; then pass "$(basename "$made"), $(($(stat -c %s "$made") / 1024 / 1024)) MB"; else fail "no $made"; fi
done
# The installer is a 64-bit program: a 32-bit one would not start under a 64-bit-only Wine.
if "$objdump" -f "$installer" 2>/dev/null | grep -q 'file format pei-x86-64'; then pass "the installer is 64-bit"; else
  fail "the installer is not a 64-bit program"; fi

mkdir -p "$work/zip"
(cd "$work/zip" && unzip -q "$zip") || fail "unzip $zip"
portable="$work/zip/$name"
for file in kanat.exe kanat-hesapla.exe platforms/qwindows.dll platforms/qoffscreen.dll imageformats/qjpeg.dll \
            imageformats/qgif.dll styles/qwindowsvistastyle.dll translations/qtbase_tr.qm libssp-0.dll; do
  if [ -f "$portable/$file" ]; then pass "$file"; else fail "$file is not in the .zip"; fi
done
if "$objdump" -p "$portable/kanat.exe" | grep -q 'ICON' ||
   [ "$("$objdump" -h "$portable/kanat.exe" | grep -c '\.rsrc')" -ge 1 ]; then
  pass "kanat.exe carries its resources (the bee icon)"
else
  fail "kanat.exe has no resource section"
fi

# Every DLL imported by a program or a DLL of the folder is in the folder, or is Windows' own
# (one Wine has in system32).
wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot"; }
system32="$WINEPREFIX/drive_c/windows/system32"
missing=0
while IFS= read -r binary; do
  while IFS= read -r dll; do
    if [ -n "$(find "$portable" -maxdepth 1 -iname "$dll" | head -n1)" ]; then continue; fi
    if [ -n "$(find "$system32" -maxdepth 1 -iname "$dll" | head -n1)" ]; then continue; fi
    # API sets: names the Windows loader maps to its own DLLs, never files to ship.
    case "$dll" in api-ms-win-* | API-MS-WIN-* | ext-ms-win-*) continue ;; esac
    fail "${binary#"$portable"/} imports $dll, which is neither beside it nor Windows' own"
    missing=$((missing + 1))
  done < <("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p')
done < <(find "$portable" -iname '*.exe' -o -iname '*.dll')
[ "$missing" -eq 0 ] && pass "every imported DLL is in the folder or Windows' own"

# ---- portable ---------------------------------------------------------------------------------
echo "== portable =="
printf '%s\r\n' 156\;157 272\;158 322\;160 359\;179 235\;108 254\;107 276\;122 359\;132 381\;146 \
  406\;175 286\;71 389\;84 384\;111 477\;126 506\;122 400\;64 511\;103 429\;152 >"$work/wing.txt"
# The built one finds its DLLs in the libraries' cache; the unpacked one only beside itself.
WINEPATH="Z:${dlls//\//\\}" wine "$build/kanat-hesapla.exe" --decimal , "$work/wing.txt" >"$work/built.out" 2>&1
computes_as_built() {  # label, program
  local output="$work/$1.out" status
  wine "$2" --decimal , "$work/wing.txt" >"$output" 2>&1
  status=$?
  if [ "$status" -eq 0 ] && [ "$(wc -l <"$output")" -eq 117 ] && cmp -s "$output" "$work/built.out"; then
    pass "the $1 kanat-hesapla.exe computes as the built one"
  else
    head -n 5 "$output"
    fail "the $1 kanat-hesapla.exe (status $status, $(wc -l <"$output") lines) differs from the built one"
  fi
}
computes_as_built unpacked "$portable/kanat-hesapla.exe"

# ---- install ----------------------------------------------------------------------------------
echo "== install =="
program_files="$WINEPREFIX/drive_c/Program Files/Kanat Morfometrisi"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Sphecidae ve Apidae Kanat Morfometrisi"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kanat Morfometrisi'
if wine "$installer" /S >"$work/install.log" 2>&1; then pass "silent install"; else fail "silent install"; fi
for file in kanat.exe kanat-hesapla.exe Uninstall.exe platforms/qwindows.dll translations/qtbase_tr.qm; do
  if [ -f "$program_files/$file" ]; then pass "installed $file"; else fail "no $file in $program_files"; fi
done
if [ -f "$start_menu/Sphecidae ve Apidae Kanat Morfometrisi.lnk" ]; then pass "the Start menu entry"; else
  find "$WINEPREFIX/drive_c" -iname '*.lnk' | sed 's/^/  shortcut: /'
  fail "no Start menu entry 'Sphecidae ve Apidae Kanat Morfometrisi'"
fi
if wine reg query "$uninstall_key" >"$work/key.log" 2>&1 && grep -q 'Kanat' "$work/key.log"; then
  pass "Windows' list of programs has it"
else
  fail "no uninstall entry $uninstall_key"
fi
computes_as_built installed "$program_files/kanat-hesapla.exe"

find "$program_files" -printf '%p %s\n' | sort >"$work/installed.before"
WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu \
  timeout 10 wine "$program_files/kanat.exe" >"$work/kanat.log" 2>&1
status=$?
if [ "$status" -eq 124 ]; then pass "the installed kanat.exe started and was still running after 10 s"; else
  cat "$work/kanat.log"; fail "the installed kanat.exe ended by itself with status $status"; fi
wineserver -k 2>/dev/null
find "$program_files" -printf '%p %s\n' | sort >"$work/installed.after"
if cmp -s "$work/installed.before" "$work/installed.after"; then pass "nothing written in Program Files at start"; else
  diff "$work/installed.before" "$work/installed.after"; fail "starting wrote into Program Files"; fi

# ---- remove -----------------------------------------------------------------------------------
echo "== remove =="
wine "$program_files/Uninstall.exe" /S >"$work/uninstall.log" 2>&1
# The uninstaller copies itself away and returns at once; its copy does the work.
for _ in $(seq 120); do [ -e "$program_files" ] || break; sleep 0.5; done
if [ -e "$program_files" ]; then find "$program_files" | sed 's/^/  left: /'; fail "the uninstaller left $program_files"; else
  pass "the uninstaller removed the program's folder"; fi
if [ -e "$start_menu" ]; then fail "the uninstaller left the Start menu entry"; else pass "the Start menu entry is gone"; fi
if wine reg query "$uninstall_key" >/dev/null 2>&1; then fail "the uninstall entry is still there"; else
  pass "the uninstall entry is gone"; fi

if [ "$failures" -eq 0 ]; then echo "windows install test: all checks passed"; exit 0; fi
echo "windows install test: $failures failed"
exit 1
