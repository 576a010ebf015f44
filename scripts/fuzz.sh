#!/usr/bin/env bash
# Runs each fuzz target for RUNS executions (10 million by default) under
# AddressSanitizer and UndefinedBehaviorSanitizer, then merges the inputs that
# reached new coverage into the corpus kept in tests/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-10000000}
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORA_LINUX=OFF -DVELLORA_FUZZ=ON >/dev/null
cmake --build build/fuzz --target settings_fuzz integer_fuzz
for target in settings integer; do
  work=$(mktemp -d)
  echo "== $target: $runs runs"
  ./build/fuzz/tests/${target}_fuzz -runs="$runs" -timeout=10 -print_final_stats=1 \
    "$work" tests/fuzz/corpus/$target 2>&1 | grep -E "^(stat::|Done|#[0-9]+ +DONE)|ERROR|SUMMARY" || true
  ./build/fuzz/tests/${target}_fuzz -merge=1 tests/fuzz/corpus/$target "$work" >/dev/null 2>&1
  rm -rf "$work"
done
