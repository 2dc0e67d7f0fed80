#!/usr/bin/env bash
# Starts each program in a copy of the run folder on a virtual screen, waits for its main
# window "Praxilo" to be mapped, keeps a screenshot of it and ends the program.
set -euo pipefail
pro=$1 demo=$2 run_dir=$3 out_dir=$4

for tool in xvfb-run xdotool import; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/deps installs it)"
        exit 77
    fi
done

# The programs must reach the virtual screen, whatever platform the caller asked Qt for.
export QT_QPA_PLATFORM=xcb

work=$(mktemp -d)
# The programs keep their progress history under the data folder: a fresh one, not the user's.
export XDG_DATA_HOME="$work/data"
trap 'rm -rf "$work"' EXIT
cp -r "$run_dir" "$work/run"

cat >"$work/session.sh" <<'INNER'
set -euo pipefail
program=$1 shot=$2
"$program" &
pid=$!
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Praxilo$' | head -n 1); then
    echo "no window titled Praxilo appeared for $program"
    kill "$pid" 2>/dev/null || true
    exit 1
fi
sleep 1
import -window root "$shot"
name=$(xdotool getwindowname "$window")
kill "$pid"
wait "$pid" 2>/dev/null || true
[[ "$name" == "Praxilo" ]] || { echo "window title was '$name'"; exit 1; }
echo "ok: $program showed '$name'"
INNER

for program in "$pro" "$demo"; do
    shot="$out_dir/$(basename "$program")-main-window.png"
    (cd "$work/run" && xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$work/session.sh" "$program" "$shot")
    [[ -s "$shot" ]] || { echo "no screenshot for $program"; exit 1; }
    echo "screenshot: $shot"
done
