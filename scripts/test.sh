#!/usr/bin/env bash
# Builds everything and runs every test: once plainly, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --if-missing

jobs=$(nproc)
status=0

# The Windows program: the x86_64 build (with the scripted winmm.dll) runs
# under Wine; the i686 release is built and checked without running.
echo "== Windows builds"
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DVELLORA_WINE_TEST_DLL=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build/win64 -j "$jobs"
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build/win32 -j "$jobs"
windows="-DVELLORA_WIN64_DIR=$PWD/build/win64 -DVELLORA_WIN32_EXE=$PWD/build/win32/Vellora.exe"
for variant in plain sanitize; do
  dir=build/test-$variant
  sanitize=OFF linux=ON extra=$windows
  # The sanitizers watch the core; both programs run in the plain build.
  [[ $variant == sanitize ]] && sanitize=ON linux=OFF extra=""
  echo "== $variant build"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORA_SANITIZE=$sanitize -DVELLORA_LINUX=$linux $extra \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $variant tests"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" || status=1
done
# The fuzz targets, built with clang, each for a short bounded time.
echo "== fuzz targets"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORA_LINUX=OFF -DVELLORA_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs" --target settings_fuzz integer_fuzz
ctest --test-dir build/fuzz --output-on-failure -R '^fuzz_' || status=1
exit $status
