#!/usr/bin/env bash
# The databases the run command starts the programs with: sound by kvn_bank check, fair by
# kvn_bank report, and the size the editions promise (116 questions per full exam, 30 in the
# demo, IDs from 1 on).
set -euo pipefail
kvn_bank=$1 shipped_dir=$2

# Checked in a copy: opening a WAL database makes side files, and other tests copy the shipped
# folder at the same time.
run_dir=$(mktemp -d)
trap 'rm -rf "$run_dir"' EXIT
cp "$shipped_dir"/*.mdb "$shipped_dir"/*.png "$run_dir/"

"$kvn_bank" check "$run_dir/kvn09.mdb" "$run_dir/kvn009.mdb"

# The shipped bank measures knowledge: no exam crosses a fairness threshold (the longest-choice
# guesser at most 300, no three-choice question, no length or letter cue, no repeated stem).
for file in kvn09.mdb kvn009.mdb; do
    report=$("$kvn_bank" report "$run_dir/$file")
    if grep -q '^warning: ' <<<"$report"; then
        echo "$report"
        echo "$file: the bank crosses a fairness threshold"
        exit 1
    fi
done

command -v sqlite3 >/dev/null || { echo "SKIPPED: sqlite3 is not installed"; exit 77; }
expect() {
    local file=$1 sql=$2 want=$3 got
    got=$(sqlite3 "$run_dir/$file" "$sql")
    if [[ "$got" != "$want" ]]; then
        echo "$file: '$sql' gave '$got', expected '$want'"
        exit 1
    fi
}
for exam in 1 2 3; do
    expect kvn09.mdb "SELECT count(*), min(ID), max(ID) FROM exam$exam" "116|1|116"
    expect kvn09.mdb "SELECT count(*) FROM (SELECT catID FROM exam$exam GROUP BY catID HAVING count(*) < 3)" "0"
done
expect kvn009.mdb "SELECT count(*), min(ID), max(ID) FROM exam1" "30|1|30"
expect kvn009.mdb "SELECT count(*) FROM exam2" "0"
for file in kvn09.mdb kvn009.mdb; do
    expect "$file" "SELECT count(*) BETWEEN 8 AND 12 FROM cat" "1"
    expect "$file" "SELECT count(*) FROM tblRandom" "0"
    expect "$file" "SELECT count(*) FROM exam1 WHERE correctanswer1 + correctanswer2 + correctanswer3 + correctanswer4 + correctanswer5 > 0" "0"
done
# No question is asked twice across the three exams.
expect kvn09.mdb "SELECT count(*) FROM (SELECT question FROM (SELECT question FROM exam1 UNION ALL SELECT question FROM exam2 UNION ALL SELECT question FROM exam3) GROUP BY question HAVING count(*) > 1)" "0"
echo "shipped bank: ok"
