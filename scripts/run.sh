#!/usr/bin/env bash
# Builds Vellora and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --if-missing
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORA_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"
./build/run/vellora-headless
