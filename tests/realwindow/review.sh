#!/usr/bin/env bash
# The review of questions due and the estimate of passing, in both programs by keyboard on a
# virtual screen, on the walkthrough's bank:
#   review.sh KVN_PRO KVN_DEMO KVN_BANK OUT_DIR
# Screenshots land in OUT_DIR/review-screenshots/<edition>-<step>.png.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pro=$1 demo=$2 bank_tool=$3 out_dir=$4
# shellcheck source=session_setup.sh
source "$here/session_setup.sh"
shots="$out_dir/review-screenshots"
start_walk_session "$shots" "$bank_tool"

status=0
for edition in pro demo; do
    if [[ $edition == pro ]]; then
        program=$pro folder=$work/pro db=kvn09.mdb server=200
    else
        program=$demo folder=$work/demo db=kvn009.mdb server=220
    fi
    (cd "$folder" && export XDG_DATA_HOME="$work/data-$edition" \
        XDG_CONFIG_HOME="$work/config-$edition" &&
        xvfb-run -a -n "$server" -s "-screen 0 1280x800x24 -noreset" \
        bash "$here/review_session.sh" "$program" "$edition" "$folder/$db" "$shots") || status=1
done
echo "screenshots: $shots"
exit $status
