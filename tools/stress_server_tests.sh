#!/bin/sh
# Runs the server lists (sh tools/test.sh --server-lists) on a machine loaded twice
# over its cores: Debian's stress-ng keeps 16 workers busy beside them (on 8
# cores; installed with apt-get when missing), so that a test that holds only
# on an idle machine fails here. Run after the build; its status is the
# lists'. The load's own count of workers may be given: sh
# tools/stress_server_tests.sh 32.
set -e
cd "$(dirname "$0")/.."
workers=${1:-16}
if ! command -v stress-ng >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y --no-install-recommends stress-ng >/dev/null ||
    { $sudo apt-get update >/dev/null && $sudo apt-get install -y --no-install-recommends stress-ng >/dev/null; }
fi
stress-ng --cpu "$workers" --quiet &
load=$!
# The load ends with the script, however the script ends.
trap 'kill "$load" 2>/dev/null; wait "$load" 2>/dev/null || true' EXIT
echo "stress-ng --cpu $workers beside the server lists ($(nproc) cores)"
sh tools/test.sh --server-lists
