#!/usr/bin/env bash
# One edition's custom exams by keyboard, run inside xvfb-run from custom_exams.sh:
#   custom_session.sh PROGRAM EDITION(pro|demo) DATABASE SHOT_DIR
# A practice run of ten Networking questions, each checked with Enter, then a timed exam of
# thirty questions from every category; both end on their score sheets and in the history.
set -euo pipefail
program=$1 edition=$2 db=$3 shots=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=window_steps.sh
source "$here/window_steps.sh"

# The walkthrough bank keys A in the full edition's single answers, A and C in the demo's
# multiple answers.
answer_keys() { if [[ $edition == pro ]]; then echo a; else echo "a c"; fi; }
exam_window='^Custom Exam'

start_program "$shots/$edition-program.log"

# A name typed once is the one a custom exam runs under.
begin_exam "Custom Walker"
end_exam
keys alt+e
gone '^Score Sheet$'

# Exam menu, Custom Exam...; the dialog opens on the exam list. Only Networking ticked, ten
# questions (the minutes follow), practice.
show menu '^Praxilo$'
keys alt+e c
show dialog '^Custom Exam$'
keys alt+o alt+t Home space alt+q ctrl+a
xdotool type --delay 40 "10"
keys alt+p
snap dialog-filled
keys Return
show practice "$exam_window"
expect_sql "practice questions drawn" "SELECT count(*) FROM tblRandom" 10
expect_sql "all from Networking" "SELECT count(*) FROM tblRandom r JOIN exam1 e ON e.ID = r.ID \
WHERE e.catID = 0" 10
for ((q = 1; q <= 10; ++q)); do
    # shellcheck disable=SC2046
    keys $(answer_keys) Return
    [[ $q == 1 ]] && snap practice-checked
    [[ $q -lt 10 ]] && keys alt+n
done
expect_sql "every practice answer checked" "SELECT flags FROM tblAttempt" \
    "1! 2! 3! 4! 5! 6! 7! 8! 9! 10!"
end_exam practice-
expect_history "practice recorded" "SELECT candidate || '|' || score || '|' || custom FROM attempt \
ORDER BY attempt_id DESC LIMIT 1" "Custom Walker|1000|exam=1 categories=0 questions=10 \
minutes=10 mode=practice"
keys alt+e
gone '^Score Sheet$'

# A timed custom exam of thirty from every category, answered by key and Next.
show menu-again '^Praxilo$'
keys alt+e c
show dialog-again '^Custom Exam$'
keys alt+a alt+q ctrl+a
xdotool type --delay 40 "30"
keys alt+x Return
show timed "$exam_window"
expect_sql "timed questions drawn" "SELECT count(DISTINCT ID) FROM tblRandom" 30
expect_sql "from every category" "SELECT count(DISTINCT e.catID) FROM tblRandom r JOIN exam1 e \
ON e.ID = r.ID" 3
for ((q = 1; q <= 30; ++q)); do
    # shellcheck disable=SC2046
    keys $(answer_keys)
    [[ $q -lt 30 ]] && keys alt+n
done
snap timed-last
end_exam timed-
expect_sql "every timed answer given" "$(answered)" 30
expect_history "timed recorded" "SELECT score || '|' || custom FROM attempt ORDER BY attempt_id DESC \
LIMIT 1" "1000|exam=1 categories=0,1,2 questions=30 minutes=30 mode=timed"
expect_history "attempts in the history" "SELECT count(*) FROM attempt" 3
keys alt+e
gone '^Score Sheet$'
show menu-at-the-end '^Praxilo$'
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=
exit $((failures > 0))
