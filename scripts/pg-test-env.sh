#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: a cluster of its own in a
# folder, run by a user who is not root, listening on a private port of
# 127.0.0.1 and on a Unix socket in that folder. Nothing of the machine's own
# clusters is touched.
#
#     scripts/pg-test-env.sh start FOLDER   # makes and starts it; FOLDER/address holds its address
#     scripts/pg-test-env.sh stop FOLDER    # stops that server (pg_ctl, by its data folder) and removes FOLDER
#     scripts/pg-test-env.sh kill FOLDER    # stops it at once, as a crash would (pg_ctl -m immediate)
#     scripts/pg-test-env.sh restart FOLDER # starts it again on the same port after stop -m immediate
#
# The server flushes nothing to disk unless FENWO_PG_DURABLE=1 (benchmarks).
#
# The address is postgresql://fenwo@127.0.0.1:PORT/postgres (user fenwo, no
# password: trust on the loopback and the socket only). Exits 3 when
# PostgreSQL is not installed, so that callers can go on without it.
set -euo pipefail

action=${1:-}
folder=${2:-}
[ -n "$action" ] && [ -n "$folder" ] || { echo "usage: $0 start|stop|kill|restart FOLDER" >&2; exit 2; }

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
    echo "pg-test-env: PostgreSQL server programs not installed" >&2
    exit 3
fi

# As root the cluster belongs to a user of its own (the server refuses root).
owner=
if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    id "$owner" >/dev/null 2>&1 || owner=nobody
fi

as_owner() {
    if [ -n "$owner" ]; then
        runuser -u "$owner" -- "$@"
    else
        "$@"
    fi
}

ctl() { as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" "$@"; }

# Tests need no flush to disk (a killed server keeps what the system has);
# FENWO_PG_DURABLE=1 keeps PostgreSQL's own, for benchmarks.
settings="-c listen_addresses=127.0.0.1 -c max_connections=200"
[ "${FENWO_PG_DURABLE:-}" = 1 ] || settings="$settings -c fsync=off -c full_page_writes=off"

start_on() {
    local port=$1
    ctl -w -t 30 -o "-p $port -k $folder $settings" start >/dev/null
}

case "$action" in
start)
    mkdir -p "$folder"
    [ -z "$owner" ] || chown "$owner" "$folder"
    chmod 0755 "$folder"
    as_owner "$bindir/initdb" -D "$folder/data" -U fenwo --auth=trust -E UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1 \
        || { cat "$folder/initdb.log" >&2; exit 1; }
    # A private port: a few random ones are tried until one is free.
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        port=$((20000 + RANDOM % 20000))
        if start_on "$port" 2>/dev/null; then
            echo "$port" >"$folder/port"
            echo "postgresql://fenwo@127.0.0.1:$port/postgres" >"$folder/address"
            cat "$folder/address"
            exit 0
        fi
    done
    echo "pg-test-env: the server did not start; see $folder/server.log" >&2
    exit 1
    ;;
stop)
    [ -d "$folder/data" ] && ctl -m fast stop >/dev/null 2>&1 || true
    rm -rf "$folder"
    ;;
kill)
    ctl -m immediate stop >/dev/null
    ;;
restart)
    start_on "$(cat "$folder/port")"
    ;;
*)
    echo "usage: $0 start|stop|kill|restart FOLDER" >&2
    exit 2
    ;;
esac
