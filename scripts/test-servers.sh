# Sourced by test.sh and sanitize.sh (from the project folder, $root set):
# starts the print spooler the printing tests use and a throw-away
# PostgreSQL server for the *_pg tests, stopped again when the caller exits.
# Without PostgreSQL the *_pg tests are skipped.
if [ -f "$root/scripts/cups-test-env.sh" ]; then
    bash "$root/scripts/cups-test-env.sh"
fi
pgdir=$(mktemp -d /tmp/fenwo-test-pg.XXXXXX)
if FENWO_TEST_PG=$(bash "$root/scripts/pg-test-env.sh" start "$pgdir"); then
    export FENWO_TEST_PG
    trap 'bash "$root/scripts/pg-test-env.sh" stop "$pgdir"' EXIT
    echo "PostgreSQL test server: $FENWO_TEST_PG"
else
    rm -rf "$pgdir"
    unset FENWO_TEST_PG
    echo "No PostgreSQL test server: the *_pg tests are skipped."
fi
