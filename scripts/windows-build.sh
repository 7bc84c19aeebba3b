#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows against the libraries that
# scripts/windows-toolchain.sh put in its cache, runs every test under Wine and makes the
# installer and the portable .zip (the windows_installer test makes and checks them).
#
#   scripts/windows-build.sh            build, test, package
#   scripts/windows-build.sh --no-test  build only
#
# KANAT_WINDOWS_CACHE  the libraries' cache (default ~/.cache/kanat-windows)
# KANAT_WINDOWS_BUILD  the build folder (default build-windows/ in the source tree)
# KANAT_WINDOWS_JOBS   parallel compile jobs (default: the number of cores)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cache="${KANAT_WINDOWS_CACHE:-$HOME/.cache/kanat-windows}"
build="${KANAT_WINDOWS_BUILD:-$top/build-windows}"
jobs="${KANAT_WINDOWS_JOBS:-$(nproc)}"

test=1
for argument in "$@"; do
  case "$argument" in
    --no-test) test=0 ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $argument" >&2; exit 2 ;;
  esac
done

if [ ! -f "$cache/versions.txt" ]; then
  echo "no Windows libraries in $cache: run scripts/windows-toolchain.sh first" >&2
  exit 1
fi
export KANAT_WINDOWS_CACHE="$cache"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKANAT_WERROR=ON >/dev/null
nice -n 5 cmake --build "$build" -j"$jobs"
[ "$test" = 1 ] || exit 0

# Wine starts its server and its own background programs with the first Windows program; those
# would keep that test's output open, and ctest would wait for it to its time-out. Started here,
# away from every test, they serve them all and are stopped at the end rather than lingering.
export WINEDEBUG=-all
wineserver -p 2>/dev/null || true
wineboot >/dev/null 2>&1 </dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
status=0
ctest --test-dir "$build" -j"$jobs" --output-on-failure || status=$?
# Why the tests that cannot run here were skipped.
ctest --test-dir "$build" -L not-here -V 2>/dev/null | sed -n 's/^[0-9]*: skipped: /skipped: /p' |
  paste -d' ' <(ctest --test-dir "$build" -L not-here -N | sed -n 's/^ *Test *#[0-9]*: //p') -
[ "$status" -eq 0 ] || exit "$status"
ls -l "$build"/kanat-*-win64.exe "$build"/kanat-*-win64.zip
