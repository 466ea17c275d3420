#!/usr/bin/env bash
# Installs what is missing, builds, delivers data.db with a demo catalogue
# beside the program (unless one is there) and starts the cashier screen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
if [ ! -f build/bin/data.db ]; then
    build/bin/fenwo --init-db build/bin/data.db --demo
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting on a virtual screen (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/fenwo "$@"
fi
exec build/bin/fenwo "$@"
