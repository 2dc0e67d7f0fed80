#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them all with their references in one go and
# writes bench/RESULTS.md. Extra arguments go to the Google Benchmark programs.
#   bench/run_all.sh [--benchmark_filter=...]
# PRAXILO_BENCH_BUILD chooses the build folder (default build-bench), PRAXILO_STARTUP_RUNS
# the number of starts of each program (default 21), PRAXILO_BENCH_REPETITIONS the runs of
# each benchmark (default 3), PRAXILO_BENCH_ATTEMPTS the attempts at a goal that misses
# (default 3: its benchmarks run up to twice more), PRAXILO_BENCH_OUT the file written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PRAXILO_BENCH_BUILD:-$root/build-bench}
runs=${PRAXILO_STARTUP_RUNS:-21}
repetitions=${PRAXILO_BENCH_REPETITIONS:-3}
attempts=${PRAXILO_BENCH_ATTEMPTS:-3}
results=${PRAXILO_BENCH_OUT:-$root/bench/RESULTS.md}

"$root/scripts/deps"
"$root/scripts/build" "$build" -DCMAKE_BUILD_TYPE=Release -DPRAXILO_BUILD_BENCH=ON \
    -DPRAXILO_BUILD_TESTS=OFF

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }

facts=$work/facts.md
{
    echo "- Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB"
    echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "- Commit: $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- src bench bank/schema.sql 2>/dev/null || echo ' with uncommitted changes')"
    echo "- Build: Release, $(c++ --version | head -n1); SQLite $(sqlite3 --version 2>/dev/null | cut -d' ' -f1)"
    echo "- Load average (1, 5, 15 min) at the start: $(load)"
    echo "- Each benchmark run $repetitions times; a goal that misses is measured again, up to $attempts attempts in all"
} >"$facts"

declare -A programs=([draw]=bench_draw [windows]=bench_windows [custom]=bench_custom_exam
    [progress]=bench_progress [sending]=bench_sending [items]=bench_items)

# bench LABEL ATTEMPT [flags...]: one Google Benchmark program, its load before and after.
bench() {
    local label=$1 dir=$work/$2
    shift 2
    local before
    before=$(load)
    # Aggregates only on the console; the report keeps every repetition.
    (cd "$build" && "bench/${programs[$label]}" --benchmark_repetitions="$repetitions" \
        --benchmark_display_aggregates_only=true "$@" --benchmark_report_aggregates_only=false \
        --benchmark_out="$dir/$label.json" --benchmark_out_format=json)
    echo "$label $before $(load)" >>"$dir/loads.txt"
}

startup() {
    local dir=$work/$1
    if [[ -z "$xvfb_pid" ]]; then
        display=:$((RANDOM % 400 + 100))
        Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
    fi
    local before
    before=$(load)
    DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/bench/startup_probe" "$runs" "$build/run" \
        "$build/bench/bare_window" "$build/src/programs/kvn_pro" | tee "$dir/startup.txt"
    echo "startup $before $(load)" >>"$dir/loads.txt"
}

# Before a re-run: until the 1-minute load average is below 1, for 30 s at most.
settle() {
    for _ in $(seq 30); do
        awk '{ exit !($1 < 1.0) }' /proc/loadavg && return
        sleep 1
    done
}

mkdir "$work/1"
echo "== the draw"
bench draw 1 "$@"
echo "== the windows"
bench windows 1 "$@"
echo "== the custom exam dialog"
bench custom 1 "$@"
echo "== the progress history"
bench progress 1 "$@"
echo "== results sent to a record store"
bench sending 1 "$@"
echo "== item analysis"
bench items 1 "$@"
echo "== start-up"
startup 1

attempt=1
while true; do
    "$build/bench/results_table" "$work/RESULTS.md" "$facts" "$work" "$attempts"
    # Each line names a program and a filter of the benchmarks behind goals missed so far.
    mapfile -t reruns <"$work/rerun.txt"
    ((${#reruns[@]} > 0 && attempt < attempts)) || break
    attempt=$((attempt + 1))
    mkdir "$work/$attempt"
    settle
    for line in "${reruns[@]}"; do
        read -r label filter <<<"$line"
        echo "== attempt $attempt: $label${filter:+ $filter}"
        if [[ "$label" == startup ]]; then
            startup "$attempt"
        else
            bench "$label" "$attempt" "$@" --benchmark_filter="$filter"
        fi
    done
done

# What the figures mean and what limits the goals they miss, kept by hand beside the script.
cat "$work/RESULTS.md" "$root/bench/notes.md" >"$results"
echo "== wrote $results"
