#!/usr/bin/env bash
# Builds Zelvar and starts it in its program directory. With no programmer on USB and no
# arguments it asks for the simulated one and says so; arguments go to the program (e.g.
# --programmer=sim:5149 or --programmer=usb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVAR_TESTS=OFF -DZELVAR_BENCH=OFF
cmake --build build/release
args=("$@")
if [ ${#args[@]} -eq 0 ] && ! grep -qsi '^5a3c$' /sys/bus/usb/devices/*/idVendor; then
  echo "No programmer on USB: starting on the simulated programmer (--programmer=sim)."
  args=(--programmer=sim)
fi
cd build/release/program
exec ./zelvar "${args[@]}"
