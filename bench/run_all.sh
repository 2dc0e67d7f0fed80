#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them all with their references in one go and
# writes bench/RESULTS.md. Extra arguments go to the Google Benchmark programs.
#   bench/run_all.sh [--benchmark_filter=...]
# PRAXILO_BENCH_BUILD chooses the build folder (default build-bench), PRAXILO_STARTUP_RUNS
# the number of starts of each program (default 21).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PRAXILO_BENCH_BUILD:-$root/build-bench}
runs=${PRAXILO_STARTUP_RUNS:-21}

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
} >"$facts"

echo "== the draw"
(cd "$build" && bench/bench_draw --benchmark_out="$work/draw.json" --benchmark_out_format=json "$@")
echo "- Load average after the draw: $(load)" >>"$facts"

echo "== the windows"
(cd "$build" && bench/bench_windows --benchmark_out="$work/windows.json" \
    --benchmark_out_format=json "$@")
echo "- Load average after the windows: $(load)" >>"$facts"

echo "== the custom exam dialog"
(cd "$build" && bench/bench_custom_exam --benchmark_out="$work/custom.json" \
    --benchmark_out_format=json "$@")

echo "== the progress history"
(cd "$build" && bench/bench_progress --benchmark_out="$work/progress.json" \
    --benchmark_out_format=json "$@")

echo "== start-up"
display=:$((RANDOM % 400 + 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/bench/startup_probe" "$runs" "$build/run" \
    "$build/bench/bare_window" "$build/src/programs/kvn_pro" | tee "$work/startup.txt"
echo "- Load average after start-up: $(load)" >>"$facts"

"$build/bench/results_table" "$root/bench/RESULTS.md" "$facts" "$work/startup.txt" \
    "$work/draw.json" "$work/windows.json" "$work/custom.json" "$work/progress.json"
# What the figures mean and what limits the goals they miss, kept by hand beside the script.
cat "$root/bench/notes.md" >>"$root/bench/RESULTS.md"
echo "== wrote $root/bench/RESULTS.md"
