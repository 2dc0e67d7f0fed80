#!/usr/bin/env bash
# Exam #1 of the full edition by keyboard on a virtual screen, its results sent to a record
# store started here on a free loopback port for the session only (scripts/deps installs it):
#   record_store.sh KVN_PRO KVN_BANK OUT_DIR
# Screenshots and both programs' logs land in OUT_DIR/record-store-screenshots/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1 bank_tool=$2 out_dir=$3
# shellcheck source=session_setup.sh
source "$here/session_setup.sh"
store=${PRAXILO_LRS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/praxilo/lrs}/node_modules/xapi-statements
if [[ ! -f "$store/dist/index.js" ]]; then
    echo "no record store in $store (scripts/deps installs it)"
    # CI installs it first: there, its absence is a fault, not a reason to skip.
    [[ "${CI:-}" == "true" ]] && exit 1
    exit 77
fi
need_tools node python3
shots="$out_dir/record-store-screenshots"
start_walk_session "$shots" "$bank_tool"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
endpoint="http://127.0.0.1:$port/xAPI/"
mkdir -p "$work/store"
(cd "$store" && EXPRESS_PORT=$port AUTH_REPO=test EVENTS_REPO=test MODELS_REPO=memory \
    STORAGE_REPO=local FS_LOCAL_STORAGE_DIR="$work/store" EXPRESS_MORGAN_DIRECTORY="$work/store" \
    SERVICE_AWAIT_UPDATES=true exec node dist/index.js) >"$shots/record-store.log" 2>&1 &
store_pid=$!
trap 'kill "$store_pid" 2>/dev/null; wait "$store_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 150); do
    python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1], timeout=2)' \
        "${endpoint}about" 2>/dev/null && break
    kill -0 "$store_pid" 2>/dev/null || break
    sleep 0.2
done
if ! python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1], timeout=2)' \
    "${endpoint}about" 2>/dev/null; then
    echo "FAIL: the record store did not answer on port $port:"
    tail -n 20 "$shots/record-store.log"
    exit 1
fi

# A password that cannot turn up by chance in the program's output.
password="Seat-Secret-$RANDOM$RANDOM"
mkdir -p "$work/config/Praxilo"
cat >"$work/config/Praxilo/Praxilo.conf" <<CONF
[xapi]
endpoint=$endpoint
username=centre-seat
password=$password
homepage=https://centre.example.org/
CONF

status=0
(cd "$work/pro" && export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" &&
    xvfb-run -a -n 200 -s "-screen 0 1280x800x24 -noreset" \
    bash "$here/record_store_session.sh" "$program" "$work/pro/kvn09.mdb" "$endpoint" \
    "$password" "$shots") || status=1
echo "screenshots: $shots"
exit $status
