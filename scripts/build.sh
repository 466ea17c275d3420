#!/usr/bin/env bash
# Configures and builds everything into build/ (program in build/bin).
# FENWO_WARNINGS_AS_ERRORS=ON in the environment (CI sets it) fails on any warning.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFENWO_WARNINGS_AS_ERRORS="${FENWO_WARNINGS_AS_ERRORS:-OFF}" > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j "$(nproc)" >> build.log 2>&1 || { tail -n 60 build.log; exit 1; }
echo "Built build/bin/fenwo"
