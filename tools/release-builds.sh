#!/usr/bin/env bash
# Configures and builds what the README's other commands build, as they build it: the program of
# tools/run.sh (RelWithDebInfo) and the benchmarks (Release), neither with tests. The optimisers'
# warnings (-Werror) differ from the sanitizer build's, so CI builds these too; nothing is run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAR_TESTS=OFF \
  -DZELVAR_BENCH=OFF "${launcher[@]}"
cmake --build build/release
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVAR_TESTS=OFF "${launcher[@]}"
cmake --build build/bench
