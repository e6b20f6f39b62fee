#!/bin/sh
# Builds the project and runs every test (the same command CI runs).
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
