#!/bin/sh
# Builds the project and runs every test (the same command CI runs).
set -e
cd "$(dirname "$0")/.."
# With --server-lists only the server lists below run, on a build made
# before (tools/stress_server_tests.sh runs them so beside a load).
if [ "${1:-}" != --server-lists ]; then
sh tools/setup.sh --tests
# Every src/ folder includes only its own layer and the layers below it.
sh tools/check_includes.sh
# The rules over the sources no compiler checks: books reached by their
# numbers, no slot arithmetic, tables named by their declarations, pay-kind codes
# by their names, every file written through SavedFile, every input made with
# its kind.
sh tools/check_sources.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# The test programs run side by side: each works in a folder of its own.
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
# Every function of src/ is reached from the program or mkdata, not from the
# tests (or the benchmarks) alone, but for those tools/unused-allowed.txt
# lists: the seams the tests steer the program by and the operations no
# screen calls yet. With no list the same build must fail (the seams are
# there), so that the check is seen to catch a function no list names.
sh tools/check_unused.sh build-unused
if sh tools/check_unused.sh build-unused /dev/null >/dev/null; then
  echo "tools/check_unused.sh passed with no list of allowed functions: it catches nothing"
  exit 1
fi

fi

# The information-base tests, the demo month, the month change and the
# screens' refused saves once more against throw-away PostgreSQL servers
# (tools/pgtest.sh). Several of these lists stop, kill or hang the server
# they run against, so each list has a server of its own, and the lists run
# side by side, each program once (its working folder is its own), each
# list's output in a log of its own, printed when the list fails.
# Without a server these are skipped; every other test has run.
logs=$(mktemp -d /tmp/kalvor-server-tests.XXXXXX)
# A list's server is named in $logs/NAME.server while it runs; whatever is
# still running when the script ends, however it ends, is stopped.
trap 'for s in "$logs"/*.server; do [ -f "$s" ] && sh tools/pgtest.sh stop "$(cat "$s")"; done; rm -rf "$logs"' EXIT
if server=$(sh tools/pgtest.sh start); then
  echo "$server" >"$logs/infobase.server" # the first list takes the server that showed they can run
  export PGUSER=kalvor QT_QPA_PLATFORM=offscreen

  # server_list NAME PROGRAM FILTER: the program's tests of the filter
  # against a server of their own, into $logs/NAME.log; the server is
  # stopped after them. The list's exit status.
  server_list() {
    if [ ! -f "$logs/$1.server" ] && ! sh tools/pgtest.sh start >"$logs/$1.server" 2>"$logs/$1.log"; then
      rm -f "$logs/$1.server"
      return 1
    fi
    status=0
    KALVOR_TEST_SERVER=$(cat "$logs/$1.server") build/tests/"$2" --gtest_filter="$3" >>"$logs/$1.log" 2>&1 ||
      status=$?
    sh tools/pgtest.sh stop "$(cat "$logs/$1.server")"
    rm -f "$logs/$1.server"
    return $status
  }

  # The lists hold leases and bounds of a few seconds that a starved
  # machine could pass: at most one list runs for each two cores, the
  # longest first; each list is waited for and its status read, any failed
  # list failing the script.
  at_once=$(( $(nproc) / 2 ))
  [ "$at_once" -ge 1 ] || at_once=1
  pids=""
  failed=""
  # await JOB: waits for the list of JOB (pid:name), says how it went and
  # takes it off the running ones.
  await() {
    pids=$(echo "$pids" | tr ' ' '\n' | grep -vx "$1" | tr '\n' ' ')
    pids=${pids% }
    name=${1#*:}
    if wait "${1%%:*}"; then
      echo "Server tests of $name: $(grep -E '^\[(==========\] .* ran|  PASSED  \])' "$logs/$name.log" | tr '\n' ' ')"
    else
      echo "Server tests of $name FAILED:"
      # The failed tests' own lines, each from its start to its end, then
      # the log's last lines (the summary, or a crash): the passing tests
      # of a long list would hide them.
      awk '/^\[ RUN      \]/ { test = "" }
           { test = test $0 "\n" }
           /^\[       OK \]/ { test = "" }
           /^\[  FAILED  \] .*\(/ { printf "%s", test; test = "" }' "$logs/$name.log"
      echo "..."
      tail -n 12 "$logs/$name.log"
      failed="$failed $name"
    fi
  }
  # Waits until fewer than $1 lists run: the first to end is taken.
  await_fewer() {
    while [ "$(echo "$pids" | wc -w)" -ge "$1" ]; do
      for job in $pids; do
        kill -0 "${job%%:*}" 2>/dev/null || { await "$job"; break; }
      done
      [ "$(echo "$pids" | wc -w)" -lt "$1" ] || sleep 1
    done
  }
  run_list() {
    await_fewer "$at_once"
    server_list "$@" &
    pids="${pids:+$pids }$!:$1"
  }
  run_list payroll test_payroll \
    'SlowNetwork.*:DemoMonth*:StoredResults.*:ServerStop.*:MonthChangeTest.AFailureHalfway*:MonthChangeTest.AConnectionKilled*:MonthChangeTest.TheServerBase*:MonthChangeTest.ARefusal*:MonthChangeTest.ABaseThatMoved*:CalcRefusal.ARunWhoseServerSession*:CalcRefusal.AStoreRefused*:CalcRefusal.ABaseThatMoved*:ServerStatements.*'
  run_list infobase test_infobase 'Db*:Server*'
  run_list shell test_shell 'UiStartup.OnAServer*:ServerStop.*'
  run_list masterdata test_masterdata 'ServerCard.*:UiRecordCard.AFailedSave*:UiRefTables.RefusedSaves*'
  run_list entries test_entries 'CurnuNuScreen.ARefusedSave*:ServerDoubt.*'
  await_fewer 1
  if [ -n "$failed" ]; then
    echo "The server tests failed:$failed"
    exit 1
  fi
else
  echo "The PostgreSQL server could not be started: the server tests were skipped."
fi
