#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests: a temporary data directory, a free port on
# 127.0.0.1 only, trusted local role "vemo".
#   start DIR   makes and starts the cluster under DIR; prints its connection URL
#   stop DIR    stops it and removes DIR
# PostgreSQL refuses to run as root, so as root the cluster belongs to the "postgres" user.
set -euo pipefail

bindir=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "${1:-}" in
start)
    dir=$2
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_owner "$bindir/initdb" -D "$dir/data" -U vemo --auth=trust -E UTF8 --locale=C.UTF-8 \
        >"$dir/initdb.log" 2>&1
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 40000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
        if as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o \
            "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c max_connections=200" \
            start >/dev/null; then
            echo "postgresql://vemo@127.0.0.1:$port/postgres"
            exit 0
        fi
    done
    echo "cannot start PostgreSQL; see $dir/server.log" >&2
    exit 1
    ;;
stop)
    dir=$2
    [ -d "$dir/data" ] && as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
