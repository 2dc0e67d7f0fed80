#!/usr/bin/env bash
# Installs the build (cmake --install into a temporary prefix, or the Debian package unpacked
# with dpkg-deb -x), checks what was installed, and takes an exam with each installed program
# from a folder that holds no bank, under a fresh home folder.
#   check_install.sh install|package BUILD_DIR OUT_DIR
set -euo pipefail
mode=$1 build=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=../realwindow/session_setup.sh
source "$here/../realwindow/session_setup.sh"
need_tools xvfb-run xdotool import sqlite3 sha256sum
[[ $mode == install ]] && need_tools desktop-file-validate appstreamcli
[[ $mode == package ]] && need_tools cpack dpkg-deb lintian
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shots="$out/$mode-screenshots"
fresh_folder "$shots"

if [[ $mode == install ]]; then
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    prefix=$work/prefix
    desktop-file-validate "$prefix"/share/applications/*.desktop
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml
else
    # A package of its own, so a concurrent cpack elsewhere cannot mix into it.
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
    deb=$(ls "$work"/deb/praxilo_*.deb)
    dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Depends):'
    lintian --fail-on error "$deb"
    dpkg-deb -x "$deb" "$work/root"
    prefix=$work/root/usr
fi
for path in bin/kvn_pro bin/kvn_demo bin/kvn_bank share/praxilo/kvn09.mdb share/praxilo/kvn009.mdb \
    share/applications/org.praxilo.KvnPro.desktop share/metainfo/org.praxilo.KvnPro.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.praxilo.Praxilo.svg \
    share/icons/hicolor/48x48/apps/org.praxilo.Praxilo.png share/man/man1/kvn_bank.1.gz; do
    [[ -e "$prefix/$path" ]] || { echo "not installed: $path"; exit 1; }
done
QT_QPA_PLATFORM=offscreen "$prefix/bin/kvn_bank" check "$prefix/share/praxilo/kvn09.mdb" \
    "$prefix/share/praxilo/kvn009.mdb"

status=0
for edition in pro demo; do
    if [[ $edition == pro ]]; then bank=kvn09.mdb folder=full; else bank=kvn009.mdb folder=demo; fi
    home=$work/home-$edition
    mkdir -p "$home/elsewhere"
    server=$([[ $mode == install ]] && echo 170 || echo 180)
    [[ $edition == demo ]] && server=$((server + 5))
    (cd "$home/elsewhere" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
        xvfb-run -a -n "$server" -s "-screen 0 1280x800x24 -noreset" \
        bash "$here/installed_session.sh" "$prefix/bin/kvn_$edition" "$edition" \
        "$home/.local/share/Praxilo/$folder/$bank" "$prefix/share/praxilo/$bank" "$shots") ||
        status=1
done
echo "screenshots: $shots"
exit $status
