#!/bin/sh
# Builds the program and starts it on the demo base. The working folder is
# build/data: the reference files, the templates, the empty-base template and
# the demo base (made once, never overwritten) live there.
set -e
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Kalvor needs a display: run tools/run.sh inside a desktop session (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
  exit 1
fi
sh tools/setup.sh --viewer
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kalvor demobase
cd build/data
[ $# -gt 0 ] || set -- demo
exec ../src/kalvor "$@"
