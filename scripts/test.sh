#!/usr/bin/env bash
# Builds everything and runs every test: once plainly, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --if-missing

jobs=$(nproc)
status=0
for variant in plain sanitize; do
  dir=build/test-$variant
  sanitize=OFF linux=ON
  # The sanitizers watch the core; the Linux program runs in the plain build.
  [[ $variant == sanitize ]] && sanitize=ON linux=OFF
  echo "== $variant build"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORA_SANITIZE=$sanitize -DVELLORA_LINUX=$linux \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $variant tests"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" || status=1
done
exit $status
