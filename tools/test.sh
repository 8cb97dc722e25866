#!/usr/bin/env bash
# Builds both configurations and runs every test tier:
#   unit tests (native, then under AddressSanitizer and UBSan),
#   the cross builds (32-bit shipped form and 64-bit), warning-free,
#   the end-to-end scenarios under Wine on a virtual display: all of them on the 64-bit
#   build, and a smoke tier of them on the shipped 32-bit build (tools/smoke32.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

tools/install-deps.sh

step() { echo; echo "==== $* ===="; }

step "native build and unit tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

step "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/native-asan -DCMAKE_BUILD_TYPE=Debug -DSETUP_SANITIZE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build/native-asan -j"$jobs" --target unit_tests setup-pack
ctest --test-dir build/native-asan --output-on-failure -j"$jobs"

for arch in i686 x86_64; do
  step "cross build ($arch)"
  cmake -S . -B "build/cross-$arch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" >/dev/null
  cmake --build "build/cross-$arch" -j"$jobs"
done

# Both builds read and write the same registry views, so the 64-bit build stands in for
# the shipped one in the full tier; 64-bit Wine runs it natively on every machine.
step "end-to-end scenarios under Wine (64-bit build)"
SETUP_E2E_WINE=/usr/lib/wine/wine64 SETUP_CROSS_BUILD_DIR="$root/build/cross-x86_64" \
  /usr/bin/python3 -m pytest -q tests/e2e

step "32-bit smoke tier under Wine (shipped 32-bit build)"
tools/smoke32.sh
