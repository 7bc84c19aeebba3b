#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as built for use, once more
# under AddressSanitizer and UndefinedBehaviorSanitizer. Needs no display.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
"$top/scripts/install-dependencies.sh"
export QT_QPA_PLATFORM=offscreen
export PYTHONDONTWRITEBYTECODE=1

echo "== the code as clang-format writes it =="
(cd "$top" && find app assets bench collection landmarks measure picture results tests tools view \
  \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format-14 --dry-run --Werror)

echo "== build and test =="
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKANAT_WERROR=ON >/dev/null
cmake --build "$top/build" -j"$jobs"
ctest --test-dir "$top/build" -j"$jobs" --output-on-failure

echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$top/tests/leak-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S "$top" -B "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DKANAT_SANITIZE=ON -DKANAT_WERROR=ON >/dev/null
cmake --build "$top/build-sanitize" -j"$jobs"
ctest --test-dir "$top/build-sanitize" -j"$jobs" --output-on-failure

if command -v clang++ >/dev/null 2>&1; then
  echo "== fuzzing the picture loader, 30 s a target =="
  "$top/scripts/fuzz.sh" 30
fi

# The Windows build and its tests under Wine, where scripts/windows-toolchain.sh has filled its
# cache; building that takes 42 minutes, more than CI has, so CI does not do it.
windows_cache="${KANAT_WINDOWS_CACHE:-$HOME/.cache/kanat-windows}"
if [ -f "$windows_cache/versions.txt" ]; then
  echo "== the Windows build, its tests under Wine, its installer =="
  "$top/scripts/windows-build.sh"
else
  echo "== skipped: the Windows build (no libraries in $windows_cache; scripts/windows-toolchain.sh makes them) =="
fi
