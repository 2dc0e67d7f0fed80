#!/usr/bin/env bash
# Writes a bank source folder for the walkthrough: every question carries the same exhibit,
# so whichever question the draw puts first has one. Each question has five choices. The full
# edition's exams hold only single-answer questions (key A) and the demo's only multiple-answer
# ones (key A, C): with one kind per exam no choice the keyboard focus sits on is hidden by the
# next question, so the walkthrough knows where the focus is.
#   make_bank.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir/source" "$dir/exhibits"
printf 'Networking\nStorage\nSecurity\n' >"$dir/source/categories.txt"
categories=(Networking Storage Security)

exam() {
    local count=$1 answer=$2
    for ((id = 1; id <= count; ++id)); do
        cat <<QUESTION
== $id
category: ${categories[id % 3]}
question: Walkthrough question $id: which choice is keyed?
A: First choice of $id
B: Second choice of $id
C: Third choice of $id
D: Fourth choice of $id
E: Fifth choice of $id
answer: $answer
explanation: The key of question $id is $answer.
exhibit: walk.png

QUESTION
    done
}
for n in 1 2 3; do exam 120 A >"$dir/source/exam$n.kvq"; done
exam 40 "A, C" >"$dir/source/demo.kvq"

for edition in full demo; do
    cat >"$dir/source/info-$edition.kvq" <<INFO
test_name: Walkthrough $edition
number_of_questions: as drawn
test_disclaimer: Written for the keyboard walkthrough.
test_description: Every question has an exhibit.
copyright_date: 2026
author_name: The walkthrough
INFO
done
cat >"$dir/exhibits/walk.txt" <<'EXHIBIT'
title: Walkthrough exhibit
width: 420
---
$ echo exhibit
exhibit
EXHIBIT
