#!/bin/sh
# Builds the project and runs every test (the same command CI runs).
set -e
cd "$(dirname "$0")/.."
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
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure

# The information-base tests, the demo month, the month change and the
# screens' refused saves once more against a throw-away PostgreSQL server
# (tools/pgtest.sh), stopped afterwards.
# Without a server these are skipped; every other test has run.
if server=$(sh tools/pgtest.sh start); then
  trap 'sh tools/pgtest.sh stop "$server"' EXIT
  export KALVOR_TEST_SERVER="$server" PGUSER=kalvor QT_QPA_PLATFORM=offscreen
  echo "Tests against the PostgreSQL server in $server"
  build/tests/test_infobase --gtest_filter='Db*:Server*'
  build/tests/test_shell --gtest_filter='UiStartup.OnAServer*:ServerStop.*'
  build/tests/test_masterdata --gtest_filter='ServerCard.*:UiRecordCard.AFailedSave*:UiRefTables.RefusedSaves*'
  build/tests/test_entries --gtest_filter='CurnuNuScreen.ARefusedSave*'
  build/tests/test_payroll \
    --gtest_filter='DemoMonth*:StoredResults.*:ServerStop.*:MonthChangeTest.AFailureHalfway*:MonthChangeTest.AConnectionKilled*:MonthChangeTest.TheServerBase*:MonthChangeTest.ARefusal*:CalcRefusal.ARunWhoseServerSession*:CalcRefusal.AStoreRefused*:CalcRefusal.ABaseThatMoved*'
else
  echo "The PostgreSQL server could not be started: the server tests were skipped."
fi
