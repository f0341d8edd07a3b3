#!/usr/bin/env bash
# The add-in and the control library reach the machine only through the
# stand-ins: no printing, no standard input, no clock, no sleeping, no
# environment, no shell. The stand-ins never include add-in code.
set -u
cd "$(dirname "$0")/.."
status=0
system_dirs="src/settings src/pictures src/attachments src/outlook src/windows src/navigator"
forbidden='#include <(iostream|cstdio|stdio\.h|ctime|time\.h|chrono|thread|unistd\.h|cstdlib)>|std::(getenv|system|exit|cout|cerr|cin|printf|this_thread)|\b(getenv|system|printf|puts|sleep|usleep|popen|fork|execv[pe]?)\('
if out=$(grep -rnE "$forbidden" $system_dirs 2>/dev/null); then
  echo "platform calls in system code:"; echo "$out"; status=1
fi
# Windows are drawn by the stand-ins' qt/ layers; system code never sees Qt.
if out=$(grep -rnE '#include <Q|#include "(platform|host)/qt/' $system_dirs 2>/dev/null); then
  echo "Qt in system code:"; echo "$out"; status=1
fi
if out=$(grep -rnE '#include <Q' src/runtime $(find src/platform src/host -path '*/qt' -prune -o -type f -print) 2>/dev/null); then
  echo "Qt outside the qt/ layers:"; echo "$out"; status=1
fi
for d in src/runtime src/platform src/host src/navigator; do
  if out=$(grep -rnE '#include "(settings|pictures|attachments|outlook|windows)/' "$d" 2>/dev/null); then
    echo "$d includes add-in code:"; echo "$out"; status=1
  fi
done
if out=$(grep -rnE '#include "(platform|host|navigator)/' src/runtime 2>/dev/null); then
  echo "runtime includes a higher layer:"; echo "$out"; status=1
fi
if out=$(grep -rnE '#include "host/' src/platform src/navigator 2>/dev/null); then
  echo "platform or control library includes the host:"; echo "$out"; status=1
fi
# The Qt drawing of forms: no file builds on a file that builds on it back
# (the control views build on FormViews, which knows none of them).
qt_circles() {
  python3 scripts/qt_circles.py src/platform/qt src || return 1
}
qt_circles || status=1
[ $status -eq 0 ] && echo "layering ok"
exit $status
