#!/usr/bin/env bash
# Takes the figures of docs/PERFORMANCE.md: press-to-driver latency, the Linux
# program's start-up time, memory and idle wake-ups, the Windows exe's size.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --if-missing
cmake -S . -B build/measure -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/measure -j "$(nproc)" --target press_benchmark Vellora
echo "== press to bytes handed to the driver"
./build/measure/tests/press_benchmark --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_min_time=1
echo "== Linux program on Xvfb"
/usr/bin/python3 scripts/measure_linux.py build/measure/Vellora 10
echo "== Windows release"
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build build/win32
bash scripts/check-windows-exe.sh build/win32/Vellora.exe
