#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all.
# The suite's own build (build/suite) compiles each test area as one unit with line-table debug
# information and the simulated programmer with -O1, which keeps the whole run short on a small
# machine; build/test stays the file-by-file layout for day-to-day work.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/suite -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DZELVAR_SANITIZE=ON -DZELVAR_BENCH=ON -DZELVAR_TEST_BATCH=ON -DZELVAR_FAST_SIM=ON "${launcher[@]}"
cmake --build build/suite
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/suite --output-on-failure -j "$(nproc)"
