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
