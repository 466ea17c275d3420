#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh
bash scripts/build.sh
. scripts/test-servers.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
