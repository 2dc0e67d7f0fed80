#!/usr/bin/env bash
# Runs one whole exam of tst_whole_exam (draw, answers, score sheet, review, Exit and the next
# draw) under memcheck: any memory error, or any block definitely lost, fails. The suppressions
# file may only ever hold noise of system libraries, never a frame of ours.
#   memcheck.sh TST_WHOLE_EXAM SUPPRESSIONS OUT_DIR SANITIZED(0/1)
set -euo pipefail
program=$1 suppressions=$2 out_dir=$3 sanitized=${4:-0}

if [[ "$sanitized" == 1 ]]; then
    echo "SKIPPED: valgrind cannot run a program built with AddressSanitizer"
    exit 77
fi
if ! command -v valgrind >/dev/null; then
    echo "SKIPPED: valgrind is not installed (scripts/deps installs it)"
    exit 77
fi

log="$out_dir/whole_exam_memcheck.log"
# PCRE2's JIT code reads whole 16-byte words past the end of a subject string, which memcheck
# cannot tell from a real overread; Qt's own valgrind detection is not built into Debian's Qt.
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 QT_ENABLE_REGEXP_JIT=0
status=0
valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite --num-callers=30 --suppressions="$suppressions" \
    --gen-suppressions=all --log-file="$log" \
    "$program" "examAfterExam:demo, 22 of 30" || status=$?
grep -E "ERROR SUMMARY|definitely lost" "$log" || true
if ((status != 0)); then
    echo "memcheck found errors; the whole report is in $log:"
    cat "$log"
fi
exit $status
