#!/usr/bin/env bash
# Fails when a folder of src/ includes a header of a folder above it or beside it in the layer
# order, or when the builder in tools/ includes the shell (app/). A folder missing from the
# order fails too, so that a new subsystem is placed in it on purpose.
cd "$1" || exit 2
declare -A rank=(
  [platform]=0 [core]=1 [imaging]=2 [map2d]=3 [names]=4
  [manual]=5 [print]=5 [terrain]=6 [globe]=7 [flyby]=7 [stats]=7 [app]=8
)
failures=0
report() { echo "$1"; failures=$((failures + 1)); }

for dir in src/*/; do
  folder=$(basename "$dir")
  if [ -z "${rank[$folder]}" ]; then
    report "src/$folder/ has no place in the layer order"
    continue
  fi
  while IFS=: read -r file line text; do
    used=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [ "$used" = "$folder" ] && continue
    [ -z "${rank[$used]}" ] && continue
    if [ "${rank[$used]}" -ge "${rank[$folder]}" ]; then
      report "$file:$line: $folder includes $used/, which is not below it"
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$dir" --include=*.cpp --include=*.h)
done

while IFS=: read -r file line text; do
  report "$file:$line: the builder includes the shell"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' tools --include=*.cpp --include=*.h)

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) against the layer order"
  exit 1
fi
echo "1 passed, 0 failed"
