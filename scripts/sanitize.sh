#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ and runs every test there. Any report fails the run: UBSan
# stops at the first finding, ASan at every error and at the leaks it finds
# when a test ends (less the narrow list in scripts/lsan.supp).
# FENWO_WARNINGS_AS_ERRORS=ON in the environment (CI sets it) fails on any warning.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh
mkdir -p build-asan
log=build-asan/build.log
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" \
    -DFENWO_WARNINGS_AS_ERRORS="${FENWO_WARNINGS_AS_ERRORS:-OFF}" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build build-asan -j "$(nproc)" >> "$log" 2>&1 || { tail -n 60 "$log"; exit 1; }
. scripts/test-servers.sh
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:strict_init_order=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
