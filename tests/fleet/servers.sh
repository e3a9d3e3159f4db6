# Throwaway MariaDB servers for the fleet's test and benchmark, one per loopback address, each on
# port 3306 (the branch's main link always uses 3306, so branches differ by address). Source it;
# do not run it. Each server keeps its data, socket and logs in a folder of its own, and is
# stopped by the pid recorded there: stop_branch_servers stops only the ones started here.

BRANCH_SERVER_PIDS=()

# install_branch_datadir DIR: a fresh data folder in DIR/data (slow: several at once in the
# background, then wait).
install_branch_datadir() {
  local dir=$1
  mkdir -p "$dir/data" "$dir/tmp"
  mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$dir/data" \
    --tmpdir="$dir/tmp" --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1 || {
      cat "$dir/install.log" >&2; return 1; }
}

# start_branch_server ADDRESS DIR: the server of DIR's data on ADDRESS:3306, in the background;
# wait_branch_server waits for it.
start_branch_server() {
  local address=$1 dir=$2
  if (exec 3<>"/dev/tcp/$address/3306") 2>/dev/null; then
    echo "something already listens on $address:3306; not ours, so left alone" >&2
    return 1
  fi
  mariadbd --no-defaults --user="$(id -un)" --datadir="$dir/data" --tmpdir="$dir/tmp" \
    --socket="$dir/mysqld.sock" --pid-file="$dir/mysqld.pid" \
    --bind-address="$address" --port=3306 --skip-name-resolve \
    --innodb-flush-log-at-trx-commit=2 --innodb-buffer-pool-size=64M \
    --max-connections=200 --log-error="$dir/error.log" >/dev/null 2>&1 &
  echo $! >"$dir/pid"
  BRANCH_SERVER_PIDS+=("$!")
}

# wait_branch_server DIR PASSWORD: until the server answers on its socket; then root gets the
# password and the right to log in over TCP.
wait_branch_server() {
  local dir=$1 password=$2 pid
  pid=$(cat "$dir/pid")
  for _ in $(seq 1 300); do
    mariadb --no-defaults -uroot --socket="$dir/mysqld.sock" -e 'select 1' >/dev/null 2>&1 && break
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "the server of $dir did not start:" >&2; tail -20 "$dir/error.log" >&2; return 1
    fi
    sleep 0.1
  done
  mariadb --no-defaults -uroot --socket="$dir/mysqld.sock" <<SQL
ALTER USER 'root'@'localhost' IDENTIFIED BY '$password';
DROP USER IF EXISTS 'root'@'127.0.0.1', 'root'@'::1', 'root'@'%';
CREATE USER 'root'@'%' IDENTIFIED BY '$password';
GRANT ALL PRIVILEGES ON *.* TO 'root'@'%' WITH GRANT OPTION;
FLUSH PRIVILEGES;
SQL
}

# stop_branch_servers: stops every server started above, by its pid, and waits for each.
stop_branch_servers() {
  local pid
  for pid in "${BRANCH_SERVER_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${BRANCH_SERVER_PIDS[@]}"; do
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  BRANCH_SERVER_PIDS=()
}

# branch_sql ADDRESS PASSWORD ARGS...: the mariadb client as root on ADDRESS:3306.
branch_sql() {
  local address=$1 password=$2; shift 2
  MYSQL_PWD="$password" mariadb --no-defaults -h"$address" -P3306 -uroot "$@"
}

# make_branch_db ADDRESS PASSWORD DATABASE PRODUCTS: the branch tables (tests/support/branch-schema.sql)
# in DATABASE afresh, with produto holding ids 1..PRODUCTS.
make_branch_db() {
  local address=$1 password=$2 database=$3 products=$4
  { echo "DROP DATABASE IF EXISTS $database; CREATE DATABASE $database CHARACTER SET latin1; USE $database;"
    cat "$TOP/tests/support/branch-schema.sql"
    echo "INSERT INTO produto SELECT seq FROM seq_1_to_$products;"
  } | branch_sql "$address" "$password"
}
