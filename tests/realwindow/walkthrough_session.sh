#!/usr/bin/env bash
# One edition's keyboard walkthrough, run inside xvfb-run from walkthrough.sh:
#   walkthrough_session.sh PROGRAM EDITION(pro|demo) DATABASE QUESTIONS SHOT_DIR
# Without a window manager nothing gives a new window the keyboard, so each step first gives
# focus to the window it expects (xdotool windowfocus), then types: access keys, Tab, Space,
# Enter only. After each step the database is checked with sqlite3.
set -euo pipefail
program=$1 edition=$2 db=$3 questions=$4 shots=$5
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=window_steps.sh
source "$here/window_steps.sh"

start_program "$shots/$edition-program.log"

begin_exam "Keyboard Walker"
expect_sql "questions drawn" "SELECT count(*) FROM tblRandom" "$questions"
expect_sql "answers before the first move" "$(answered)" 0

# The window opens with the question text focused. The tab order reads the window top down and
# left to right, so going back from the question passes the pause label and Next (Previous is
# off at the first question) to "Show Answer Now !", which has no access key.
keys shift+Tab shift+Tab shift+Tab space
show show-answer '^Show Answer'
expect_sql "shown answer rows" "SELECT count(*) FROM showans" 1
keys alt+r
gone '^Show Answer'
show back-from-answer "^(Exam #1|Demo Exam)$"
expect_sql "questions drawn after the answer window" "SELECT count(*) FROM tblRandom" "$questions"

# Back in the exam "Show Answer Now !" has the focus again; back along the bottom band past
# End Exam, Review and the flag is the exhibit button.
keys shift+Tab shift+Tab shift+Tab shift+Tab space
show exhibit '^(Image|Exhibit)$'
keys alt+r
gone '^(Image|Exhibit)$'
show back-from-exhibit "^(Exam #1|Demo Exam)$"

# The choices by their keys: 1 takes the first shown choice wherever the focus is.
keys 1 alt+n
expect_sql "answers after question 1 and Next" "$(answered)" 1
keys 1 alt+n 1 alt+n
show after-three-answers "^(Exam #1|Demo Exam)$"
expect_sql "answers after three questions" "$(answered)" 3
keys alt+p
show previous "^(Exam #1|Demo Exam)$"
keys alt+n
expect_sql "answers after Previous and Next" "$(answered)" 3

# On question 4: flag it with F, step back (the flag is written with the answers), open the
# review list with Ctrl+R, take its first row with Home and Enter, and choose B by its key.
keys f alt+p
expect_sql "flag written with the answers" "SELECT flags || '/' || position FROM tblAttempt" "4/3"
keys ctrl+r
show review-list '^Review$'
keys Home Return
gone '^Review$'
show back-from-review-list "^(Exam #1|Demo Exam)$"
expect_sql "question on screen after the review list" "SELECT position FROM tblAttempt" 1
keys b alt+n
expect_sql "choice B of question 1 by its key" "SELECT correctanswer2 FROM exam1 WHERE ID = \
(SELECT ID FROM tblRandom WHERE sl_no = 1)" 1

end_exam
expect_sql "category score rows" "SELECT count(*) > 0 FROM cat_scores" 1
expect_sql "answers kept while the score sheet shows" "$(answered)" 3
keys alt+v
show review '(Correct Answers|wrong answers)'
keys alt+n
show review-next '(Correct Answers|wrong answers)'
keys alt+s
show score-report-again '^Score Sheet$'
expect_sql "answers kept after the review" "$(answered)" 3
keys alt+e
gone '^Score Sheet$'
show menu-after-exit '^Praxilo$'
expect_sql "answers after Exit" "$(answered)" 0

# The score sheet recorded the attempt in the user's history; the Progress window, loaded from
# its module on first use, lists it.
history_rows=$(sqlite3 "$XDG_DATA_HOME/Praxilo/history.sqlite" "SELECT count(*) FROM attempt" 2>&1)
if [[ "$history_rows" == 1 ]]; then
    log "  history ok: 1 attempt recorded"
else
    fail "history: expected 1 attempt, found $history_rows"
fi
visit_progress

# Study window of exam 1, one step on, and back. The demo names its entry "&Review Exam #1 Demo".
if [[ $edition == pro ]]; then keys alt+r v; else keys alt+r r; fi
show study '^Review'
keys alt+n
show study-next '^Review'
keys alt+e
gone '^Review'
show menu-after-study '^Praxilo$'

# About box over the menu; OK has the focus.
keys alt+h a
show about '^About'
keys Return
gone '^About'
show menu-after-about '^Praxilo$'

# Quit through the menu: Exit, then Yes. In the demo "Korvane &Exam #1 Demo" shares E with
# "&Exit", so E only moves to Exit and Enter takes it.
if [[ $edition == pro ]]; then keys alt+e e; else keys alt+e e Return; fi
sleep 0.5
show quit-question '^(Praxilo|Confirmation)$' "$menu"
keys alt+y
code=0
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the program is still running after Exit and Yes"
else
    wait "$pid" || code=$?
    ((code == 0)) || fail "the program ended with code $code"
fi
pid=
# Before sqlite3 opens the file: the program itself must leave every change in the file.
[[ ! -s "$db-wal" ]] || fail "the program left $(stat -c %s "$db-wal") bytes of journal beside the bank"
expect_sql "integrity after the session" "PRAGMA integrity_check" ok
((failures == 0)) || exit 1
log "walkthrough passed"
