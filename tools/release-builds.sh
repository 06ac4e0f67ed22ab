#!/usr/bin/env bash
# Builds what the README's other commands build, without tests: the program of tools/run.sh
# (RelWithDebInfo, as it builds it) and, in the benchmarks' Release configuration, the benchmarks
# and the skin writer (the -O3 build is where GCC's optimiser warnings differ most). The
# optimisers' warnings (-Werror) are not the sanitizer build's, so CI builds these too; nothing
# is run. BUILD_ROOT moves the build folders (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
root=${BUILD_ROOT:-build}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$root/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAR_TESTS=OFF \
  -DZELVAR_BENCH=OFF "${launcher[@]}"
cmake --build "$root/release"
cmake -S . -B "$root/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVAR_TESTS=OFF "${launcher[@]}"
benches=()
for src in bench/*_bench.cpp; do benches+=("$(basename "$src" .cpp)"); done
cmake --build "$root/bench" --target "${benches[@]}" make_skins
