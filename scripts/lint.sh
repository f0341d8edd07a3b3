#!/usr/bin/env bash
# clang-format and clang-tidy over our own code (needs a configured build/).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
[ -f build/compile_commands.json ] || cmake --preset plain >/dev/null
run-clang-tidy -p build -quiet 'src/' 2>&1 | grep -E 'warning:|error:' && exit 1
echo "lint ok"
