#!/bin/sh
# The three figures of the base's speed against raw SQLite, from one command:
#   load   bench/infobase_db BM_LoadBase: OpenBase, LoadAll and every record
#          read, against a plain read of every table's rows;
#   calc   bench/calc_month BM_CalcMonthPlain: the month's calculation of
#          1,000 employees, against the same reads and writes done plainly;
#   save   bench/infobase_db BM_SaveBase: SaveAll in one transaction, against
#          the same rows inserted plainly.
# Each benchmark measures its floor in the same round as itself and gives the
# median of the rounds' ratios and the worst round; the line ends with the
# machine's load (one minute) when the run ended.
#
#   sh bench/ratios.sh [build folder] [runs]
#
# The build folder (default build) must hold the infobase_db and calc_month
# targets; runs (default 1) repeats the whole set. The benchmarks make their
# bases in a temporary folder.
set -eu
build=$(cd "${1:-build}" && pwd)
runs=${2:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cd "$work"

# Prints "name ratio worst load" for each benchmark in the JSON output of a
# benchmark program.
ratios() {
    awk -F'[:,]' '
        /"run_name"/ { gsub(/[ "]/, "", $2); name = $2; sub(/\/.*/, "", name) }
        /"ratio_to_floor"/ { ratio = $2 + 0 }
        /"ratio_to_floor_worst"/ { worst = $2 + 0 }
        /"load"/ { load = $2 + 0 }
        /^    }/ && name != "" { printf "%s %.2f %.2f %.1f\n", name, ratio, worst, load; name = "" }'
}

run=1
while [ "$run" -le "$runs" ]; do
    "$build/bench/infobase_db" --benchmark_filter='^BM_(LoadBase|SaveBase)/' --benchmark_format=json \
        2>/dev/null | ratios >"$work/base"
    "$build/bench/calc_month" --benchmark_filter='^BM_CalcMonthPlain/' --benchmark_format=json \
        2>/dev/null | ratios >"$work/calc"
    awk -v run="$run" '
        { ratio[$1] = $2; worst[$1] = $3; load = $4 }
        # "none" where the benchmark gave no figure (it failed or was not built).
        function figure(name) {
            return name in ratio ? sprintf("%.2fx (worst %.2fx)", ratio[name], worst[name]) : "none"
        }
        END {
            printf "run %d: load %s, calc %s, save %s, load average %.1f\n", run, figure("BM_LoadBase"),
                figure("BM_CalcMonthPlain"), figure("BM_SaveBase"), load
        }' "$work/base" "$work/calc"
    run=$((run + 1))
done
