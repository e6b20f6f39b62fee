#!/bin/sh
# A throw-away PostgreSQL cluster for the tests of server bases.
#   sh tools/pgtest.sh start   makes and starts a cluster in a new temporary
#                              folder, listening only on a Unix socket in that
#                              folder, and prints the folder (the tests' host);
#                              several clusters run side by side, each in its
#                              own folder with its own socket;
#   sh tools/pgtest.sh stop D  stops the cluster of folder D and removes it.
# The cluster's superuser is "kalvor" (PGUSER=kalvor), trusted on the socket.
# initdb refuses to run as root: under root the cluster belongs to the
# unprivileged user "kalvorpg", made when missing.
set -e
PGBIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$PGBIN" ] || [ ! -x "$PGBIN/initdb" ]; then
  echo "pgtest: no PostgreSQL server installed" >&2
  exit 1
fi
RUN=""
if [ "$(id -u)" = "0" ]; then
  # Clusters started side by side may both find the user missing: the one
  # that loses the race finds it made.
  id kalvorpg >/dev/null 2>&1 || useradd --system --no-create-home --shell /bin/sh kalvorpg 2>/dev/null ||
    id kalvorpg >/dev/null 2>&1
  RUN="runuser -u kalvorpg --"
fi

case "$1" in
start)
  dir=$(mktemp -d /tmp/kalvor-pg.XXXXXX)
  chmod 755 "$dir"
  [ -z "$RUN" ] || chown kalvorpg "$dir"
  # The role "kalvor_password" must give its password (the tests of a refused login).
  if ! $RUN "$PGBIN/initdb" -D "$dir/data" -U kalvor -A trust -E UTF8 --no-sync >"$dir/initdb.log" 2>&1 ||
     ! { echo "local all kalvor_password scram-sha-256"; cat "$dir/data/pg_hba.conf"; } >"$dir/hba.tmp" ||
     ! cat "$dir/hba.tmp" >"$dir/data/pg_hba.conf" ||
     ! $RUN "$PGBIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
         -o "-c listen_addresses='' -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
         start >/dev/null 2>&1; then
    cat "$dir/initdb.log" "$dir/server.log" >&2 2>/dev/null || true
    rm -rf "$dir"
    echo "pgtest: the server could not be started" >&2
    exit 1
  fi
  echo "$dir"
  ;;
stop)
  dir="$2"
  case "$dir" in /tmp/kalvor-pg.*) ;; *) echo "pgtest: not a test cluster: $dir" >&2; exit 1 ;; esac
  $RUN "$PGBIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
*)
  echo "usage: sh tools/pgtest.sh start | stop FOLDER" >&2
  exit 2
  ;;
esac
