#!/usr/bin/env bash
# Kills exams in progress with SIGKILL at random moments and checks what each kill left:
# a sound file, every answer saved by a completed move still there, a next start that offers
# the exam whenever it was drawn and not scored and brings back every saved answer and flag,
# a progress history whose every attempt is whole, and then a clean exam.
#
#   tests/faults/kill_mid_exam.sh DRIVER [KILLS=50] [MAX_MS=4000] [STEP]
#
# DRIVER is the exam_driver program of a build. With STEP (drawing, moving, scoring, leaving,
# ...) each kill lands as soon as the driver reports starting that step, instead of at a random
# time. Odd kills run the demo edition, even ones the
# full edition, each on its own database kept from kill to kill as a candidate's would be.
set -uo pipefail
driver=${1:?usage: kill_mid_exam.sh DRIVER [KILLS] [MAX_MS]}
kills=${2:-50}
max_ms=${3:-4000}
step=${4:-}
for tool in timeout kill sleep mktemp; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
[[ -x "$driver" ]] || { echo "SKIP: no driver at $driver"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/full" "$work/demo"
"$driver" bank "$work/full" >/dev/null || exit 1
"$driver" bank "$work/demo" demo >/dev/null || exit 1

declare -A phases
failed=0
offered=0
not_offered=0
for ((i = 1; i <= kills; i++)); do
    if ((i % 2)); then dir=$work/demo edition=demo; else dir=$work/full edition=full; fi
    log=$work/run-$i.log
    delay_ms=$((RANDOM % (max_ms > 0 ? max_ms : 1) + 150))
    when=${step:+at $step}
    when=${when:-${delay_ms} ms}
    "$driver" run "$dir" $([[ $edition == demo ]] && echo demo) >"$log" 2>"$work/run-$i.err" &
    pid=$!
    if [[ -n "$step" ]]; then
        # Wait (at most 30 s) for the step to begin, then kill at once.
        for ((t = 0; t < 30000; t += 1)); do
            grep -q "^$step" "$log" 2>/dev/null && break
            sleep 0.001
        done
    else
        sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
    fi
    if ! kill -KILL "$pid" 2>/dev/null; then
        echo "kill $i ($edition): the driver had already ended:"
        tail -n 3 "$log" "$work/run-$i.err"
        failed=$((failed + 1))
        continue
    fi
    wait "$pid" 2>/dev/null
    phase=$(tail -n 1 "$log" | cut -d' ' -f1)
    phases[${phase:-starting}]=$((${phases[${phase:-starting}]:-0} + 1))
    if out=$(timeout 120 "$driver" check "$dir" "$log" $([[ $edition == demo ]] && echo demo) 2>&1); then
        resume=$(echo "$out" | grep -o '^resume .*')
        case "$resume" in
            "resume offered"*) offered=$((offered + 1)) ;;
            *) not_offered=$((not_offered + 1)) ;;
        esac
        echo "kill $i ($edition, $when, after '${phase:-starting}'): ok, $(echo "$out" | grep -o '[0-9]* saved answers found'); $resume; $(echo "$out" | grep -o 'history ok.*' || echo 'no history yet')"
    else
        echo "kill $i ($edition, $when, after '${phase:-starting}'): FAILED"
        echo "$out" | sed 's/^/    /'
        failed=$((failed + 1))
    fi
done

echo "== $kills kills, $((kills - failed)) survived with nothing lost; the next start offered the exam $offered times and rightly did not $not_offered times; last completed step:"
for p in "${!phases[@]}"; do echo "   $p: ${phases[$p]}"; done | sort
((failed == 0))
