#!/usr/bin/env bash
# One edition's review of due questions by keyboard, run inside xvfb-run from review.sh:
#   review_session.sh PROGRAM EDITION(pro|demo) DATABASE SHOT_DIR
# A practice run of ten questions of one category is too little to estimate from; exam #1
# with planted wrong answers is enough. A day and a half later its misses are due: the menu
# counts them, Ctrl+D tries them, and each checked one is rescheduled. The Progress window's
# Study Missed Questions tries the misses again and ends back in the Progress window.
set -euo pipefail
program=$1 edition=$2 db=$3 shots=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=window_steps.sh
source "$here/window_steps.sh"
if [[ $edition == pro ]]; then
    questions=116 wrong=20 right_keys=(a)
else
    questions=30 wrong=8 right_keys=(a c)
fi
practice='^Custom Exam - Practice$'

start_program "$shots/$edition-program.log"

# A name typed once, and nothing else: the menu's panel has nothing to say yet.
begin_exam "Rita Review"
end_exam first-
keys alt+e
gone '^Score Sheet$'
show menu-first '^Praxilo$'
expect_history "blank answers make no cards" "SELECT count(*) FROM review_card" 0

# Ten questions of Networking, practised and checked one by one.
keys alt+e c
show dialog '^Custom Exam$'
keys alt+o alt+t Home space alt+q ctrl+a
xdotool type --delay 40 "10"
keys alt+p Return
show practice "$practice"
for ((q = 1; q <= 10; ++q)); do
    keys "${right_keys[@]}" Return
    [[ $q -lt 10 ]] && keys alt+n
done
expect_history "a card for each practice answer, at its check" "SELECT count(*) FROM review_card" 10
end_exam practice-
keys alt+e
gone '^Score Sheet$'

# Exam #1 with the last answers planted wrong (B); one keystroke list, quickly typed.
begin_exam "Rita Review"
answers=()
for ((q = 1; q <= questions; ++q)); do
    if ((q <= questions - wrong)); then answers+=("${right_keys[@]}"); else answers+=(b); fi
    ((q < questions)) && answers+=(alt+n)
done
xdotool key --clearmodifiers --delay 90 "${answers[@]}"
sleep 1
snap exam-answered
end_exam exam-
expect_history "the exam's lapses" "SELECT count(*) FROM review_card WHERE lapses > 0" "$wrong"
keys alt+e
gone '^Score Sheet$'
show menu-with-panel '^Praxilo$'
menu=$window

# A day and a half on: the lapses are due, the others (easy, answered quickly) are not.
sqlite3 -cmd ".timeout 5000" "$history_db" \
    "UPDATE review_card SET last_review = last_review - 129600, due = due - 129600"
keys alt+r
snap review-menu
keys Escape
keys ctrl+d
show due-run "$practice"
for ((q = 1; q <= 2; ++q)); do
    keys "${right_keys[@]}" Return
    keys alt+n
done
snap due-run-checked
# Every other card was last seen a day and a half ago.
expect_history "the two checked, rescheduled beyond tomorrow" "SELECT count(*) FROM review_card \
WHERE last_review > strftime('%s', 'now') - 3600 AND due > strftime('%s', 'now') + 86400" 2
end_exam due-run-
keys alt+e
gone '^Score Sheet$'

# The panel's lines by keyboard: Tab goes round them, Enter on the first opens Progress;
# Study Missed Questions there is tried first, and the run ends in the Progress window.
show menu-after-due-run '^Praxilo$'
keys Tab
snap panel-second-line
keys shift+Tab Return
show progress '^Progress$'
keys alt+s
show missed-run "$practice"
keys "${right_keys[@]}" Return
end_exam missed-run-
keys alt+e
show progress-again '^Progress$'
keys Escape
gone '^Progress$'
show menu-at-the-end '^Praxilo$'
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=
exit $((failures > 0))
