#!/usr/bin/env bash
# Installs what is missing, builds and makes the Debian package in build/
# (build/fenwo_VERSION_ARCH.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
(cd build && cpack -G DEB > cpack.log 2>&1) || { cat build/cpack.log; exit 1; }
sed -n 's/^CPack: - package: \(.*\) generated\.$/Made \1/p' build/cpack.log
