#!/usr/bin/env bash
# Keyboard-only walkthrough of both programs on a virtual screen, on a bank built for it:
#   walkthrough.sh KVN_PRO KVN_DEMO KVN_BANK OUT_DIR
# Screenshots of every step land in OUT_DIR/screenshots/<edition>-<step>.png.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pro=$1 demo=$2 bank_tool=$3 out_dir=$4

# shellcheck source=session_setup.sh
source "$here/session_setup.sh"
shots="$out_dir/screenshots"
start_walk_session "$shots" "$bank_tool"

status=0
for edition in pro demo; do
    if [[ $edition == pro ]]; then
        program=$pro db=kvn09.mdb questions=116
    else
        program=$demo db=kvn009.mdb questions=30
    fi
    # Each edition gets a display number of its own: a number just given up by the first
    # session's server can still be shutting down when the second asks for it.
    server=$([[ $edition == pro ]] && echo 120 || echo 140)
    # Each edition keeps its progress history in a fresh data folder, not the user's.
    (cd "$work/$edition" && export XDG_DATA_HOME="$work/data-$edition" &&
        xvfb-run -a -n "$server" -s "-screen 0 1280x800x24 -noreset" \
        bash "$here/walkthrough_session.sh" "$program" "$edition" "$work/$edition/$db" \
        "$questions" "$shots") || status=1
done
echo "screenshots: $shots"
exit $status
