# Shared by the scripts that run sessions on real windows: the tools they need and a folder
# for their screenshots.

# Ends the calling script with the skip code when a tool is missing.
need_tools() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIPPED: $tool is not installed (scripts/deps installs it)"
            exit 77
        fi
    done
}

# An empty screenshot folder, named by the caller.
fresh_folder() {
    rm -rf "$1"
    mkdir -p "$1"
}

# The walkthrough's bank, built for both programs into DIR/pro and DIR/demo.
build_walk_banks() {
    local dir=$1 bank_tool=$2 here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    "$here/make_bank.sh" "$dir/bank"
    QT_QPA_PLATFORM=offscreen "$bank_tool" build --edition full --source "$dir/bank" \
        --out "$dir/pro" >/dev/null
    QT_QPA_PLATFORM=offscreen "$bank_tool" build --edition demo --source "$dir/bank" \
        --out "$dir/demo" >/dev/null
}

# The start both keyboard sessions share: their tools, a work folder removed at exit (set as
# $work), an empty screenshot folder SHOTS and the walkthrough's banks built with BANK_TOOL.
start_walk_session() {
    local shots=$1 bank_tool=$2
    need_tools xvfb-run xdotool import sqlite3
    export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    fresh_folder "$shots"
    build_walk_banks "$work" "$bank_tool"
}
