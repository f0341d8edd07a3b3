#!/usr/bin/env bash
# The main job in one step: installs what the build needs, builds the
# program and runs the demo script over a fresh copy of the sample mail.
# The transcript goes to standard output; the saved files stay in
# build/demo-profile (Pictures/, Documents/, sample-mail/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset plain >/dev/null
if ! cmake --build --preset plain --target lumivane-host >build/demo-build.log 2>&1; then
  cat build/demo-build.log
  exit 1
fi
rm -rf build/demo-profile
exec build/lumivane-host --profile build/demo-profile --script samples/demo.script
