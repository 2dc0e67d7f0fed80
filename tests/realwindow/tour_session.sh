#!/usr/bin/env bash
# One edition's tour in one look and text size, run inside xvfb-run from tour.sh:
#   tour_session.sh PROGRAM EDITION DATABASE QUESTIONS SHOT_DIR LOOK ZOOM
# Every window a candidate meets, reached by keyboard and pictured: the menus, F1's help, the
# exam with its lettered choices and counts, the review list, the answer, the score sheet, the
# wrong answers, the study window, Progress and the custom exam's dialog.
set -euo pipefail
program=$1 edition=$2 db=$3 questions=$4 shots=$5 look=$6 zoom=$7
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=window_steps.sh
source "$here/window_steps.sh"
kind=$edition
edition="$edition-$look-$zoom"
exam_title='^(Exam #1|Demo Exam)$'

start_program "$shots/$edition-program.log"
show menu '^Praxilo$'
menu=$window
keys alt+e
snap exam-menu
keys Escape Escape
keys alt+h
snap help-menu
keys Escape Escape
keys F1
show menu-help '^(Read Me|Navigation|Keys and Features)' "$menu"
keys Escape
gone '^(Read Me|Navigation|Keys and Features)'

begin_exam "Tour Walker"
expect_sql "questions drawn" "SELECT count(*) FROM tblRandom" "$questions"
keys b
snap choice-b
keys ctrl+r
show review-list '^Review$'
keys Escape
gone '^Review$'
show exam-again "$exam_title"
keys F1
show exam-help '^Navigation' "$window"
keys Escape
gone '^Navigation'
show exam-after-help "$exam_title"
keys ctrl+shift+a
show answer '^Show Answer'
keys alt+r
gone '^Show Answer'
show exam-after-answer "$exam_title"
end_exam
keys alt+v
show wrong-answers '(Correct Answers|wrong answers)'
keys alt+s
show score-sheet-again '^Score Sheet$'
keys alt+e
gone '^Score Sheet$'

show menu-after-exam '^Praxilo$'
if [[ $kind == pro ]]; then keys alt+r v; else keys alt+r r; fi
show study '^Review'
keys alt+n
show study-next '^Review'
keys alt+e
gone '^Review'
visit_progress
keys alt+e c
show custom-dialog '^Custom Exam$'
keys Escape
gone '^Custom Exam$'
show menu-at-the-end '^Praxilo$'
expect_history "the attempt recorded" "SELECT candidate FROM attempt" "Tour Walker"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=
exit $((failures > 0))
