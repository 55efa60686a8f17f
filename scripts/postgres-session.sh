# Starts a private PostgreSQL server for the tests and stops it again: a
# cluster in a temporary folder, owned by an unprivileged user, listening on
# a free loopback port with SCRAM passwords, holding the register's database
# made by the same script an office runs. Sourced after env.sh; the server is
# named to the tests by QUORVA_PG_* variables.

QUORVA_PG_ROOT=""
QUORVA_PG_OS_USER="$(id -un)"
readonly quorva_pg_cluster_user=quorva-pg
quorva_pg_setup_script="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/installer/server/create_register.sql"

quorva_pg_bin() { ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1; }

quorva_pg_as_owner() {
  if [ "$(id -u)" = 0 ]; then runuser -u "$QUORVA_PG_OS_USER" -- "$@"; else "$@"; fi
}

quorva_pg_random() { head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 20; }

quorva_pg_free_port() {
  local port
  for _ in $(seq 1 100); do
    port=$((20000 + RANDOM % 20000))
    # Nothing answers there: the port is free.
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then echo "$port"; return 0; fi
  done
  return 1
}

quorva_start_postgres() {
  local bin superuser_password port
  bin="$(quorva_pg_bin)"
  [ -x "$bin/initdb" ] || { echo "PostgreSQL's server is not installed (package postgresql)" >&2; return 1; }
  QUORVA_PG_ROOT="$(mktemp -d /tmp/quorva-pg.XXXXXX)"
  chmod 755 "$QUORVA_PG_ROOT"
  if [ "$(id -u)" = 0 ]; then
    # The server refuses to run as root.
    QUORVA_PG_OS_USER=$quorva_pg_cluster_user
    id -u "$QUORVA_PG_OS_USER" >/dev/null 2>&1 ||
      useradd --system --no-create-home --shell /usr/sbin/nologin "$QUORVA_PG_OS_USER"
    chown "$QUORVA_PG_OS_USER" "$QUORVA_PG_ROOT"
  fi
  superuser_password="$(quorva_pg_random)"
  quorva_pg_as_owner sh -c "umask 077; printf '%s\n' '$superuser_password' >'$QUORVA_PG_ROOT/superuser.pw'"
  quorva_pg_as_owner "$bin/initdb" -D "$QUORVA_PG_ROOT/data" -U postgres -A scram-sha-256 \
    --pwfile="$QUORVA_PG_ROOT/superuser.pw" -E UTF8 --locale=C.UTF-8 >"$QUORVA_PG_ROOT/initdb.log" 2>&1 ||
    { cat "$QUORVA_PG_ROOT/initdb.log" >&2; return 1; }
  for _ in 1 2 3 4 5; do
    port="$(quorva_pg_free_port)"
    if quorva_pg_as_owner "$bin/pg_ctl" -D "$QUORVA_PG_ROOT/data" -l "$QUORVA_PG_ROOT/server.log" -w \
      -o "-p $port -c listen_addresses=127.0.0.1 -k $QUORVA_PG_ROOT" start >/dev/null 2>&1; then
      break
    fi
    port=""
  done
  [ -n "$port" ] || { echo "PostgreSQL did not start:" >&2; tail -n 20 "$QUORVA_PG_ROOT/server.log" >&2; return 1; }
  # The tests of a server that goes away stop and start it again by this.
  cat >"$QUORVA_PG_ROOT/control.sh" <<CONTROL
#!/bin/sh
if [ "\$(id -u)" = 0 ]; then run="runuser -u $QUORVA_PG_OS_USER --"; else run=""; fi
exec \$run "$bin/pg_ctl" -D "$QUORVA_PG_ROOT/data" -l "$QUORVA_PG_ROOT/server.log" -w -m fast \
  -o "-p $port -c listen_addresses=127.0.0.1 -k $QUORVA_PG_ROOT" "\$1" >/dev/null 2>&1
CONTROL
  chmod 755 "$QUORVA_PG_ROOT/control.sh"
  export QUORVA_PG_CONTROL="$QUORVA_PG_ROOT/control.sh"
  export QUORVA_PG_HOST=127.0.0.1 QUORVA_PG_PORT="$port" QUORVA_PG_DATABASE=quorva QUORVA_PG_USER=quorva_clerk
  QUORVA_PG_PASSWORD="$(quorva_pg_random)"
  export QUORVA_PG_PASSWORD QUORVA_PG_SUPERUSER_PASSWORD="$superuser_password"
  PGPASSWORD="$superuser_password" psql -X -q -h 127.0.0.1 -p "$port" -U postgres -d postgres \
    -v clerk_password="$QUORVA_PG_PASSWORD" -f "$quorva_pg_setup_script" >/dev/null
  echo "PostgreSQL $("$bin/postgres" --version | awk '{print $3}') on 127.0.0.1:$port, database quorva"
}

quorva_stop_postgres() {
  [ -n "$QUORVA_PG_ROOT" ] || return 0
  quorva_pg_as_owner "$(quorva_pg_bin)/pg_ctl" -D "$QUORVA_PG_ROOT/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$QUORVA_PG_ROOT"
  QUORVA_PG_ROOT=""
}
