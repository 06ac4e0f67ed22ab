#!/usr/bin/env bash
# Builds what the README's other commands build, without tests: the optimised configuration that
# tools/run.sh and the benchmark command share (Release: the program, the benchmarks and the skin
# writer). The optimiser's warnings (-Werror) are not the sanitizer build's, so CI builds it too;
# nothing is run. BUILD_ROOT moves the build folder (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
root=${BUILD_ROOT:-build}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$root/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVAR_TESTS=OFF "${launcher[@]}"
cmake --build "$root/bench"
