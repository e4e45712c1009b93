#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: its own cluster in DIR/data, listening only on a
# Unix socket in DIR (no TCP port, so that several builds on one machine never meet), run by
# an unprivileged user: the invoking one, or velmorin-test (made when missing) when run as
# root, since PostgreSQL refuses to run as root. Trusts local connections: it holds nothing
# but what the tests make, and is wiped on stop.
#   scripts/pg-test-server.sh start DIR   (stops and wipes a server left in DIR first)
#   scripts/pg-test-server.sh stop DIR
# Without PostgreSQL installed, start leaves DIR/absent saying so and succeeds: the tests that
# need the server then skip with that sentence. The superuser is "postgres".
set -euo pipefail

action=${1:-}
dir=${2:-}
if [[ -z $action || -z $dir ]]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
data=$dir/data
user=velmorin-test

bindir=""
for candidate in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    if [[ -x $candidate/pg_ctl && -x $candidate/initdb ]]; then
        bindir=$candidate
        break
    fi
done
if [[ -z $bindir ]] && command -v pg_ctl >/dev/null && command -v initdb >/dev/null; then
    bindir=$(dirname "$(command -v pg_ctl)")
fi

as_server() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u "$user" -- "$@"
    else
        "$@"
    fi
}

stop_server() {
    if [[ -n $bindir && -f $data/postmaster.pid ]]; then
        as_server "$bindir/pg_ctl" -D "$data" -m fast -w -t 60 stop >/dev/null 2>&1 ||
            as_server "$bindir/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
}

case $action in
stop)
    stop_server
    rm -rf "$dir"
    ;;
start)
    stop_server
    rm -rf "$dir"
    mkdir -p "$dir"
    if [[ -z $bindir ]]; then
        echo "PostgreSQL n'est pas installé (initdb et pg_ctl introuvables) : les tests du serveur sont sautés." |
            tee "$dir/absent"
        exit 0
    fi
    # The socket's path must fit in sockaddr_un (107 bytes); the configuration quotes it.
    if ((${#dir} + 16 > 107)) || [[ $dir == *"'"* ]]; then
        echo "$0: the folder $dir is too long or holds a quote for a socket's path" >&2
        exit 1
    fi
    if [[ $(id -u) -eq 0 ]]; then
        if ! id "$user" >/dev/null 2>&1; then
            useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
                "$user"
        fi
        chown "$user:" "$dir"
    fi
    chmod 700 "$dir"
    as_server "$bindir/initdb" -D "$data" -U postgres -A trust -E UTF8 --no-locale --no-sync \
        >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 1
    }
    cat >>"$data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$dir'
max_connections = 100
EOF
    if ! as_server "$bindir/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 60 start >/dev/null; then
        cat "$dir/server.log" >&2
        exit 1
    fi
    echo "PostgreSQL ($bindir) : socket dans $dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
