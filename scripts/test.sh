#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
if [ -f scripts/cups-test-env.sh ]; then
    bash scripts/cups-test-env.sh
fi
# A throw-away PostgreSQL server for the *_pg tests; without one they are skipped.
pgdir=$(mktemp -d /tmp/fenwo-test-pg.XXXXXX)
if FENWO_TEST_PG=$(bash scripts/pg-test-env.sh start "$pgdir"); then
    export FENWO_TEST_PG
    trap 'bash scripts/pg-test-env.sh stop "$pgdir"' EXIT
    echo "PostgreSQL test server: $FENWO_TEST_PG"
else
    rm -rf "$pgdir"
    echo "No PostgreSQL test server: the *_pg tests are skipped."
fi
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
