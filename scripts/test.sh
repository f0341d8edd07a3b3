#!/usr/bin/env bash
# Builds and runs every test twice: a plain build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer; then the tests of the code
# that works on threads of its own (the picture loader, the mail read-ahead)
# under ThreadSanitizer (the tsan preset picks them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The window tests draw offscreen: no display is needed, and none is used.
export QT_QPA_PLATFORM=offscreen
status=0
for preset in plain asan tsan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  ctest --preset "$preset" || status=1
done
exit $status
