#!/usr/bin/env bash
# Fails when code outside src/platform/ includes Qt or SDL headers (the builder in tools/ may
# paint with Qt).
cd "$1" || exit 2
hits=$(grep -rlE '#include <(Q|SDL)' src --include=*.cpp --include=*.h | grep -v '^src/platform/' || true)
if [ -n "$hits" ]; then
  echo "Qt or SDL included outside src/platform/: $hits"
  exit 1
fi
echo "1 passed, 0 failed"
