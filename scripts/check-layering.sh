#!/usr/bin/env bash
# The add-in and the control library reach the machine only through the
# stand-ins: no printing, no standard input, no clock, no sleeping, no
# environment, no shell. The stand-ins never include add-in code. Inside the
# add-in a folder includes only the folders to its left, and no files of
# src/ include each other in a circle.
#   scripts/check-layering.sh          every rule
#   scripts/check-layering.sh FOLDER   only the add-in folder's own rule
set -u
cd "$(dirname "$0")/.."
status=0
# The add-in's folders, lowest first (their libraries link in this order).
addin_folders=(settings pictures attachments windows outlook)

# A folder of the add-in includes none of the folders to its right.
check_addin_folder() {
  local i above
  for i in "${!addin_folders[@]}"; do
    [ "${addin_folders[$i]}" = "$1" ] || continue
    above=$(IFS='|'; echo "${addin_folders[*]:i+1}")
    [ -n "$above" ] || return 0
    if out=$(grep -rnE "#include \"($above)/" "src/$1" 2>/dev/null); then
      echo "src/$1 includes a folder above it:"; echo "$out"; return 1
    fi
    return 0
  done
  echo "no add-in folder $1 (one of: ${addin_folders[*]})"; return 1
}

if [ $# -gt 0 ]; then
  check_addin_folder "$1" && echo "src/$1 ok"
  exit
fi
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
for d in "${addin_folders[@]}"; do
  check_addin_folder "$d" || status=1
done
# No circle of files that include each other, anywhere.
if ! out=$(python3 scripts/include-cycles.py src); then
  echo "files that include each other:"; echo "$out"; status=1
fi
# The Qt drawing of forms: no file builds on a file that builds on it back
# (the control views build on FormViews, which knows none of them).
qt_circles() {
  python3 scripts/qt_circles.py src/platform/qt src || return 1
}
qt_circles || status=1
[ $status -eq 0 ] && echo "layering ok"
exit $status
