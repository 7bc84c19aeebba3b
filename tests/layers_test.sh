#!/usr/bin/env bash
# The folders as layers: each may include only its own headers and those of the folders below
# it, so that the measuring core never learns of the window and a library never reaches up into
# the batch program.
#
#   layers_test.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1

declare -A allowed=(
  [measure]="measure"
  [landmarks]="landmarks measure"
  [picture]="picture measure"
  [results]="results landmarks measure"
  [collection]="collection results picture landmarks measure"
  [view]="view assets"
  [app]="app view collection results picture landmarks measure assets"
  [tools]="tools collection results picture landmarks measure"
)

failures=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    below="${include#*\"}"
    below="${below%%/*}"
    case " ${allowed[$folder]} " in
      *" $below "*) ;;
      *) echo "$file:$line: $folder/ includes $below/"; failures=$((failures + 1)) ;;
    esac
  done < <(grep -nE '^#include "[a-z_]+/' -r "$folder" --include='*.cpp' --include='*.h')
done
[ "$failures" -eq 0 ] && echo "every folder includes only itself and the layers below it"
exit "$failures"
