#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
if [ -f scripts/cups-test-env.sh ]; then
    bash scripts/cups-test-env.sh
fi
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
