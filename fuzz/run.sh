#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for a set time:
#   fuzz/run.sh [SECONDS_PER_TARGET=60] [BUILD_DIR=build-fuzz] [TARGET...]
# Seeds come from fuzz/corpus/<target>/; inputs found along the way are kept in
# BUILD_DIR/corpus/<target>/ and crashing inputs in BUILD_DIR/crashes/. Exits 1 on a crash,
# 77 when clang or its fuzzer runtime is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-60}
build=${2:-$here/../build-fuzz}
shift $(($# > 2 ? 2 : $#))
targets=("$@")
((${#targets[@]})) || targets=(dialect bank_source)

if ! command -v clang++ >/dev/null; then
    echo "SKIPPED: clang++ is not installed (scripts/deps installs clang and libclang-rt-14-dev)"
    exit 77
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>"$probe/log"; then
    echo "SKIPPED: clang++ cannot link a libFuzzer program (install libclang-rt-14-dev):"
    cat "$probe/log"
    exit 77
fi

mkdir -p "$build"
build=$(cd "$build" && pwd)
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j 2 >/dev/null

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    crashes="$build/crashes"
    mkdir -p "$corpus" "$crashes"
    log="$build/$target.log"
    echo "== fuzz_$target for ${seconds}s"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$crashes/$target-" \
        "$corpus" "$here/corpus/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$target: ${runs:-?} inputs, no failure (corpus $(find "$corpus" -type f | wc -l) files)"
    else
        echo "fuzz_$target FAILED; last lines of $log:"
        tail -n 40 "$log"
        ls "$crashes"/"$target"-* 2>/dev/null || true
        status=1
    fi
done
exit $status
