#!/usr/bin/env bash
# One installed program, run inside xvfb-run from check_install.sh, started in a folder that
# holds no bank with a fresh home folder: an exam to the score sheet on the user's own copy.
#   installed_session.sh PROGRAM EDITION(pro|demo) USER_BANK INSTALLED_BANK SHOT_DIR
set -euo pipefail
program=$1 edition=$2 db=$3 installed=$4 shots=$5
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../realwindow/window_steps.sh
source "$here/../realwindow/window_steps.sh"

before=$(sha256sum "$installed" | cut -d' ' -f1)
start_program "$shots/$edition-program.log"

begin_exam "Installed Candidate"
keys 1 alt+n 2 alt+n
keys alt+e
show end-question '^(Praxilo|Confirmation)$' "$menu"
keys Return
show score-sheet '^Score Sheet$'

expect_sql "answers in the user's copy" "$(answered)" 2
got=$(sha256sum "$installed" | cut -d' ' -f1)
[[ "$got" == "$before" ]] || fail "the installed bank $installed changed"
[[ -z "$(ls ./*.mdb 2>/dev/null)" ]] || fail "a bank appeared in the starting folder $(pwd)"
exit $((failures > 0))
