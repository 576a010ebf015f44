#!/usr/bin/env bash
# Builds Vellora and runs it. With a display it opens the keyboard window;
# without one it plays it on a virtual display and says what came out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --if-missing
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORA_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec ./build/run/Vellora
fi
echo "No display: running Vellora on a virtual one."
/usr/bin/python3 scripts/headless_demo.py build/run/Vellora build/demo
