#!/usr/bin/env bash
# Drives Far Manager 3 (the archives beside this script) under Wine, headless in tmux, with one
# plugin folder installed: the real Windows host, which loads Velmora.dll through its wrapper
# for 1.x plugins. scripts/test-far3.sh runs its scenarios through it; it also serves by hand.
#
#   far3.sh install 64|32 PLUGIN_DIR [LOCALE]
#                                     unpack Far x64 (wine64) or x86 (32-bit Wine) into $FARW,
#                                     copy PLUGIN_DIR into its Plugins folder, make a prefix; with
#                                     LOCALE (en_US or ru_RU) Wine runs in it, and so in its code
#                                     pages (ru_RU: ANSI 1251, OEM 866), else in C (1252, 437)
#   far3.sh start [ACTIVE [PASSIVE]]  Far in tmux (140x40), a throwaway profile; waits for panels
#   far3.sh keys KEY...               tmux key names: F4, S-F4, M-F7, C-y, Enter, Escape, Tab,
#                                     Up, Down, C-PPage, ...; Home and End are sent as Wine reads them
#   far3.sh type TEXT | cmd TEXT      type literally (ASCII) | type, then Enter
#   far3.sh text TEXT                 leave TEXT, any characters, in Far's command line: typed by
#                                     velmora-type (type_text.cpp) run from there
#   far3.sh screen | wait ERE [S]     the screen as text | poll until ERE shows (default 30 s)
#   far3.sh reg ARGS...               `reg` in the prefix (HKCU\Software\Far\Plugins\Velmora), its
#                                     output in UTF-8
#   far3.sh stop                      end Far, its tmux server and the prefix's Wine processes
# Environment: FARW (default /tmp/far3-run) and SESSION (default far3), one of each per run
# at the same time; SESSION also names the run's own tmux server. The tmux side is
# scripts/lib/tmux.sh; this script keeps what Wine needs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
FARW=${FARW:-/tmp/far3-run}
SESSION=${SESSION:-far3}
tmux_server=$SESSION tmux_session=$SESSION tmux_patience=30
# shellcheck source=scripts/lib/tmux.sh
source "$here/../../scripts/lib/tmux.sh"
arch=$(cat "$FARW/arch" 2> /dev/null || echo 64)
[ "${1:-}" = install ] && arch=${2:-}
case $arch in
    64) WINE=/usr/lib/wine/wine64 WINEARCH=win64 package=far3-x64 cxx=x86_64-w64-mingw32-g++ ;;
    32) WINE=/usr/lib/wine/wine WINEARCH=win32 package=far3-x86 cxx=i686-w64-mingw32-g++ ;;
    *) echo "far3.sh: the width is 64 or 32, not '$arch'" >&2 && exit 2 ;;
esac
export WINEARCH WINEPREFIX=$FARW/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its locale, and the code pages with it, from the Unix one: made for the run inside
# FARW, since a system may have none but C.
locale=$(cat "$FARW/locale" 2> /dev/null || echo C)
[ "${1:-}" = install ] && locale=${4:-C}
# The OEM code page of the locale, in which Wine's programs write to a pipe.
case $locale in
    C | en_US) oem_page=CP437 ;;
    ru_RU) oem_page=CP866 ;;
    *) echo "far3.sh: the locale is en_US or ru_RU, not '$locale'" >&2 && exit 2 ;;
esac
[ "$locale" = C ] || export LOCPATH=$FARW/locales
# The shell itself looks for the locale where the system keeps them, and may warn of it.
export LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8 2> /dev/null

winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The text with each character beyond ASCII written \uXXXX, one for each of its UTF-16 units.
escaped() {
    local hex unit out=""
    hex=$(printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | od -An -tx1 -v | tr -d ' \n')
    while [ -n "$hex" ]; do
        unit=${hex:0:4} hex=${hex:4}
        if [ $((16#$unit)) -lt 128 ]; then
            out+=$(printf '%b' "\\x${unit:2}")
        else
            out+="\\u$unit"
        fi
    done
    printf '%s' "$out"
}
# Wine reads Home and End only as these sequences.
send_key() {
    case $1 in
        Home) keys $'\e[H' ;;
        End) keys $'\e[F' ;;
        *) keys "$1" ;;
    esac
}

case ${1:-} in
    install)
        plugin=${3:?far3.sh install 64|32 PLUGIN_DIR}
        [ -f "$plugin/Velmora.dll" ] || { echo "far3.sh: no Velmora.dll in $plugin" >&2 && exit 1; }
        rm -rf "$FARW"
        mkdir -p "$FARW/work" "$FARW/profile" || exit 1
        echo "$arch" > "$FARW/arch"
        echo "$locale" > "$FARW/locale"
        if [ "$locale" != C ]; then
            { mkdir -p "$LOCPATH" && localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8"; } ||
                { echo "far3.sh: no locale $locale" >&2 && exit 1; }
        fi
        tar xJf "$here/$package.tar.xz" -C "$FARW" && mv "$FARW/$package" "$FARW/far" || exit 1
        mkdir -p "$FARW/far/Plugins" && cp -r "$plugin" "$FARW/far/Plugins/" || exit 1
        timeout 180 "$WINE" wineboot -i > /dev/null 2>&1
        # On the prefix's path, so that Far's command line runs it by its name alone.
        "$cxx" -std=c++17 -O2 -municode -static -o "$WINEPREFIX/drive_c/windows/velmora-type.exe" \
            "$here/type_text.cpp" || exit 1
        ;;
    start)
        active=${2:-$FARW/work} passive=${3:-$FARW/far}
        tmux_stop
        # Far's settings go to a throwaway profile (-s) inside FARW. The pane keeps no quit or
        # suspend character, so that Ctrl+\ and Ctrl+Z reach Far.
        tmux_start 140 40 \
            "stty quit undef susp undef; cd '$FARW/work'; exec $WINE '$FARW/far/Far.exe' -s '$(winpath "$FARW/profile")' '$(winpath "$FARW/profile")' '$(winpath "$active")' '$(winpath "$passive")' 2> '$FARW/wine.err'" ||
            exit 1
        # The next calls are other processes: they find the server's id here.
        echo "$tmux_pid" > "$FARW/tmux.pid"
        wait_for 'Bytes: .*folders' 90 || { echo "far3.sh: Far drew no panels" >&2 && exit 1; }
        ;;
    keys)
        shift
        for key in "$@"; do send_key "$key"; done
        ;;
    type) type_text "$2" ;;
    cmd) type_text "$2" && keys Enter ;;
    text)
        # Far runs the program in its own console and reads the keys once it has ended.
        type_text "velmora-type \"$(escaped "$2")\"" && keys Enter || exit 1
        wait_for "$(literal ">$2")" ||
            { echo "far3.sh: the command line never held $2" >&2 && exit 1; }
        ;;
    screen) screen ;;
    wait) wait_for "$2" "${3:-}" ;;
    reg)
        shift
        output=$(timeout 60 "$WINE" reg "$@")
        status=$?
        printf '%s\n' "$output" | iconv -f "$oem_page" -t UTF-8
        exit "$status"
        ;;
    stop)
        # Far saves nothing worth keeping here: its session ends with the tmux server, and
        # whatever still runs in the prefix with the prefix's wineserver.
        tmux_pid=$(cat "$FARW/tmux.pid" 2> /dev/null)
        tmux_stop
        rm -f "$FARW/tmux.pid"
        timeout 30 /usr/lib/wine/wineserver -k 2> /dev/null
        timeout 30 /usr/lib/wine/wineserver -w 2> /dev/null
        true
        ;;
    *)
        sed -n '2,23p' "$0"
        exit 2
        ;;
esac
