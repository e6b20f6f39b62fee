#!/bin/sh
# Builds the program and starts it on the demo base.
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kalvor
exec build/src/kalvor "$@"
