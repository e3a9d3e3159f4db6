# What the tests of the Windows window share: a Wine prefix of their own on a private Xvfb
# display with openbox, the throwaway server's databases, and the ways a user drives the
# window (xdotool) and reads it back (tarvik_win32_probe.exe). Source it; do not run it.
#
# The sourcing script has sourced scripts/lib.sh, sets WINE (the wine64 launcher) and PROBE
# (tarvik_win32_probe.exe), and names its scratch databases in DATABASES so that they are
# dropped at the end.

source "$TOP/tests/support/checks.sh"
SCRATCH=$(mktemp -d /tmp/tarvik-wine-desktop-XXXXXX)
DATABASES=()
APP_PID=""
export WINEPREFIX="$SCRATCH/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
WINESERVER=$(wine_server "$WINE")

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true
  stop_display
  local db
  for db in "${DATABASES[@]}"; do test_sql -e "DROP DATABASE IF EXISTS $db" 2>/dev/null || true; done
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

# Six products (5 twice); estoque_minimo holds branch 3's rows for products 2 and 4 (4 twice)
# and one of branch 7. A run for branch 3 inserts 1, 3 and 5 with the server record's store
# code "C" (branch 12).
make_database() {
  DATABASES+=("$1")
  make_branch_database "$1"
  test_sql "$1" <<SQL
INSERT INTO produto VALUES (1), (2), (3), (4), (5), (5);
INSERT INTO estoque_minimo VALUES (2, 3, 'x'), (4, 3, 'x'), (4, 3, 'y'), (1, 7, 'x');
SQL
}
ROWS_AFTER_RUN=$(printf '%s\n' '1 3 C' '1 7 x' '2 3 x' '3 3 C' '4 3 x' '4 3 y' '5 3 C')
rows() { test_sql -N -e "SELECT produto_id, filial_id, lojas_leram FROM $1.estoque_minimo ORDER BY 1, 2, 3" | tr '\t' ' '; }
# The arguments of tarvik-admin init for DATABASE, branch 3, the server's record on the same
# database; the passwords (main, then identification) come on standard input.
init_arguments() {
  echo --force --host 127.0.0.1 --database "$1" --branch 3 --id-host 127.0.0.1 --id-database "$1" --id-user root
}

# A display of our own with a window manager, and the prefix made on it.
start_desktop() {
  start_display "$SCRATCH" openbox
  "$WINE" wineboot --init >/dev/null 2>&1 || true
}

probe() { "$WINE" "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }
main_window() { xdotool search --onlyvisible --name '^Tarvik$' 2>/dev/null | head -n 1 || true; }
box_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true; }
# What the window shows of its layout, in the probe's words (the screen position left out).
LAYOUT=$(printf '%s\n' \
  'title	Tarvik' \
  'outer	192 107 386 152' \
  'frame	sizable	sysmenu	minimize	maximize' \
  'control	button	Iniciar	144 88 75 25	enabled	tabstop' \
  'control	TGauge		8 40 361 41	enabled	-' \
  'control	groupbox	Gerar	8 0 361 33	enabled	-' \
  'control	radio*	estoque_minimo	16 13 172 17	enabled	tabstop' \
  'control	radio	estoque_minimo2	188 13 172 17	enabled	-' \
  'focus	Iniciar')
layout() { grep -v -e '^client' -e '^click' -e '^gauge' <<<"$1"; }
gauge() { probe form 10 | sed -n 's/^gauge\t//p'; }
start_button() { probe form 10 | grep 'Iniciar	' | head -n 1; }
click_control() {  # click_control CAPTION: clicks the control where the probe says it is on the screen
  local at; at=$(probe form 10 | sed -n "s/^click\t$1\t//p")
  [ -n "$at" ] || { fail "no control \"$1\" to click"; return; }
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
}
click_start() { click_control Iniciar; }
answer_box() {  # answer_box CAPTION: Enter on the box, which must then close
  xdotool windowfocus --sync "$(box_window "$1")" key Return
  probe gone "$1" 10 >/dev/null
}
# start_program EXE [DIR]: the program, started in DIR (its working directory)
start_program() {
  (cd "${2:-$SCRATCH}" && exec "$WINE" "$1" >"$SCRATCH/app.log" 2>&1) &
  APP_PID=$!
}
# Ends the program by closing its window, as the window manager's close button does.
close_program() {
  local window; window=$(main_window)
  [ -n "$window" ] && "$TOP/tests/package/close-window" "$window"
  if wait_for 30 bash -c "! kill -0 $APP_PID 2>/dev/null"; then
    local status=0; wait "$APP_PID" || status=$?
    APP_PID=""
    expect "$1: the window closes and the program exits with 0" "0" "$status"
  else
    fail "$1: the program did not end after its window was closed"
  fi
}
# windows_command LOG LINE: runs LINE as a deployment tool's script does (cmd, which waits for
# windowed programs as well), its output into LOG; prints its exit status whole (a Unix
# parent sees only the status's low 8 bits: 1603 would show as 67). The output goes to the
# file, not a pipe: Wine's desktop process, started on first need, would hold a pipe open.
windows_command() {
  printf '@%s\r\n@echo exit status %%errorlevel%%\r\n' "$2" >"$WINEPREFIX/drive_c/tarvik-command.cmd"
  "$WINE" cmd /c 'C:\tarvik-command.cmd' </dev/null >"$1" 2>&1 || true
  sed -i 's/\r$//' "$1"
  sed -n 's/^exit status //p' "$1" | tail -n 1
  sed -i '/^exit status /d' "$1"
}
finish() {  # finish NAME
  if [ "$FAILED" -ne 0 ]; then
    [ -s "$SCRATCH/app.log" ] && { echo "--- program output:"; cat "$SCRATCH/app.log"; }
    echo "$1: FAILED"
    exit 1
  fi
  echo "$1: passed"
}
