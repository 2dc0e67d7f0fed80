# Steps on real windows under Xvfb without a window manager, sourced by the sessions that
# drive the programs: find a window by its title, give it the keyboard, type, take a picture,
# check the database. The caller sets program, edition, db and shots.
step_no=0
failures=0
pid=

# On a loaded machine the virtual screen can still be refusing clients when xvfb-run hands
# over; the program would end at once without a window. Wait for it, 10 s at most. The server
# runs with -noreset: otherwise the probe, its last client leaving, sets it resetting just as
# the program connects.
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

log() { echo "[$edition] $*"; }

# Starts the program in the background ($pid), its output in LOG. A program the X server
# refused at connection (seen now and then on a loaded machine) is started once more: that is
# the virtual screen's fault, not the program's, and any other early end stays a failure.
start_program() {
    local out=$1
    "$program" >"$out" 2>&1 &
    pid=$!
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! kill -0 "$pid" 2>/dev/null && grep -q "could not connect to display" "$out"; then
        log "the X server refused the program's connection; starting it again"
        mv "$out" "$out.refused"
        "$program" >"$out" 2>&1 &
        pid=$!
    fi
}
fail() {
    log "FAIL: $*"
    failures=$((failures + 1))
}
finish() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
}
trap finish EXIT

sql() { sqlite3 -cmd ".timeout 5000" "$db" "$1"; }
expect_sql() {
    local what=$1 query=$2 want=$3 got
    got=$(sql "$query")
    if [[ "$got" == "$want" ]]; then
        log "  db ok: $what = $got"
    else
        fail "$what: expected $want, database has $got"
    fi
}
# The user's progress history, checked like the bank.
history_db="${XDG_DATA_HOME:-$HOME/.local/share}/Praxilo/history.sqlite"
expect_history() {
    local bank=$db
    db=$history_db
    expect_sql "$@"
    db=$bank
}
answered() {
    echo "SELECT count(*) FROM exam1 WHERE correctanswer1 + correctanswer2 + correctanswer3 + \
correctanswer4 + correctanswer5 > 0"
}

# Waits for a visible window whose title matches the pattern (other than the window given as
# the third argument: the menu shares its title with the intro and the message boxes), gives
# it the keyboard and keeps a screenshot of the screen.
window=
show() {
    local name=$1 pattern=$2 other=${3:-none} id
    window=
    for _ in $(seq 100); do
        for id in $(matching "$pattern"); do
            [[ "$id" == "$other" ]] || window=$id
        done
        [[ -n "$window" ]] && break
        sleep 0.2
    done
    if [[ -z "$window" ]]; then
        fail "no window matching '$pattern' for step '$name'"
        visible
        exit 1
    fi
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    sleep 0.6
    snap "$name" "window '$(xdotool getwindowname "$window")'"
}
# A screenshot of what is on the screen now (an open menu holds the keyboard by itself).
snap() {
    step_no=$((step_no + 1))
    import -window root "$(printf '%s/%s-%02d-%s.png' "$shots" "$edition" "$step_no" "$1")"
    log "step $step_no $1: ${2:-}"
}
# Visible windows by their title as getwindowname reads it: untitled Qt windows carry the
# application's name only in _NET_WM_NAME, which "search --name" does not always see.
matching() {
    local id
    for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
        [[ "$(xdotool getwindowname "$id" 2>/dev/null)" =~ $1 ]] && echo "$id"
    done
    return 0
}
gone() {
    local pattern=$1
    for _ in $(seq 50); do
        [[ -n "$(matching "$pattern")" ]] || return 0
        sleep 0.2
    done
    fail "window matching '$pattern' is still shown"
}
visible() {
    for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
        echo "  visible: $id '$(xdotool getwindowname "$id")'"
    done
}
keys() {
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        sleep 0.35
    done
}


# From the main menu through the name prompt, the intro and the notice to exam #1's window;
# menu holds the main menu's window.
begin_exam() {
    show menu '^Praxilo$'
    menu=$window
    # Exams #1 and #2 share the access key x, so x only moves between them; the menu opens
    # with exam #1 active and Enter takes it.
    keys alt+e
    snap exam-menu
    keys Return
    show name-prompt '^Name$'
    keys ctrl+a
    xdotool type --delay 40 "$1"
    keys Return
    show intro '^Praxilo$' "$menu"
    keys alt+n
    show notice '^Please Note'
    keys Return
    show exam "^(Exam #1|Demo Exam)$"
}

# End Exam and Yes, to the score sheet; the step names take the caller's prefix.
# shellcheck disable=SC2120
end_exam() {
    keys alt+e
    show "${1:-}end-question" '^(Praxilo|Confirmation)$' "$menu"
    keys Return
    show "${1:-}score-sheet" '^Score Sheet$'
}

# The Progress window from the menu, pictured, and closed again with Escape.
visit_progress() {
    keys alt+r p
    show progress '^Progress$'
    keys Escape
    gone '^Progress$'
    show menu-after-progress '^Praxilo$'
}
