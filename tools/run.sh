#!/usr/bin/env bash
# Builds Zelvar and starts it in its program directory. Without a programmer on USB it runs on
# the simulated one; extra arguments go to the program (e.g. --programmer=sim:5149).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAR_TESTS=OFF -DZELVAR_BENCH=OFF
cmake --build build/release
cd build/release/program
exec ./zelvar "$@"
