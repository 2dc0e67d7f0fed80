#!/usr/bin/env bash
# Both programs toured by keyboard in one look at one text size, on the walkthrough's bank:
#   tour.sh KVN_PRO KVN_DEMO KVN_BANK OUT_DIR [LOOK ZOOM]...
# LOOK is standard, dark or high-contrast, ZOOM a percentage; with none given, high contrast
# at 300 %. Screenshots land in OUT_DIR/tour-screenshots/<edition>-<look>-<zoom>-<step>.png.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pro=$1 demo=$2 bank_tool=$3 out_dir=$4
shift 4
(($# > 0)) || set -- high-contrast 300
# shellcheck source=session_setup.sh
source "$here/session_setup.sh"
shots="$out_dir/tour-screenshots"
start_walk_session "$shots" "$bank_tool"

status=0
server=200
while (($# >= 2)); do
    look=$1 zoom=$2
    shift 2
    for edition in pro demo; do
        if [[ $edition == pro ]]; then
            program=$pro db=kvn09.mdb questions=116
        else
            program=$demo db=kvn009.mdb questions=30
        fi
        # A fresh copy of the bank, history and preferences for every run.
        run="$work/run-$edition-$look-$zoom"
        cp -r "$work/$edition" "$run"
        mkdir -p "$run/config/Praxilo"
        printf '[look]\ntheme=%s\nzoom=%s\n' "$look" "$zoom" >"$run/config/Praxilo/Praxilo.conf"
        server=$((server + 2))
        (cd "$run" && export XDG_DATA_HOME="$run/data" XDG_CONFIG_HOME="$run/config" &&
            xvfb-run -a -n "$server" -s "-screen 0 1280x800x24 -noreset" \
            bash "$here/tour_session.sh" "$program" "$edition" "$run/$db" "$questions" \
            "$shots" "$look" "$zoom") || status=1
    done
done
echo "screenshots: $shots"
exit $status
