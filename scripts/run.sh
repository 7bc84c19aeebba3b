#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-dependencies.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j"$(nproc)"
if [ -x "$top/build/kanat" ]; then
  exec "$top/build/kanat" "$@"
fi
exec "$top/build/kanat-hesapla" --help
