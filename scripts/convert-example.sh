#!/usr/bin/env bash
# Builds Plotra in Release and converts the bundled contour example, printing the tool report and the path
# of the DXF file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOTRA_TESTS=OFF -DPLOTRA_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"

output="$PWD/build/contour.dxf"
build/bin/plotra-convert -o "$output" examples/contour.nc
echo "DXF file: $output"
