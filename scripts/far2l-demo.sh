#!/usr/bin/env bash
# Starts far2l with Velmora loaded, to try the plugin in a real file manager: far2l comes from
# Debian (bookworm-backports on Debian 12) when missing, the plugin is built from this tree, and
# far2l's profile and the names stored are throwaway, removed when far2l exits.
#
#   scripts/far2l-demo.sh [FOLDER]   far2l in this terminal, its panel in FOLDER
#   scripts/far2l-demo.sh --check    headless in tmux: open Velmora's panel, then quit
set -euo pipefail
# shellcheck source=scripts/far2l-common.sh
source "$(dirname "$0")/far2l-common.sh"

check=0
start_dir=$PWD
case ${1:-} in
    --check) check=1 ;;
    -h | --help) sed -n '6,7s/^# \{0,1\}//p' "$0"; exit 0 ;;
    "") ;;
    *) start_dir=$(cd "$1" && pwd) ;;
esac

if [ "$check" -eq 0 ] && ! { [ -t 0 ] && [ -t 1 ]; }; then
    echo "far2l-demo: far2l needs a terminal; run it from one, or use --check" >&2
    exit 2
fi

install_far2l
[ "$check" -eq 0 ] || install_packages tmux
echo "Building the far2l plugin"
build_far2l_plugin

demo=$(mktemp -d /tmp/velmora-far2l-demo.XXXXXX)
tmux_server=velmora-demo-$$ tmux_session=demo
# shellcheck source=scripts/lib/tmux.sh
source "$velmora_root/scripts/lib/tmux.sh"
cleanup() {
    [ "$check" -eq 0 ] || tmux_stop
    rm -rf "$demo"
}
trap cleanup EXIT
make_far2l_profile "$demo/profile" "$((1 - check))"
export VELMORA_REGISTRY_DIR="$demo/registry" VELMORA_VOLATILE_DIR="$demo/volatile"

if [ "$check" -eq 1 ]; then
    export TERM=${TERM:-xterm-256color}
    tmux_start 120 35 far2l --tty --nodetect --mortal -u "$demo/profile" -cd "$start_dir"
    screen_shows() {
        wait_for "$1" && return 0
        echo "far2l-demo: $failure" >&2
        screen >&2
        return 1
    }
    screen_shows "1Help"
    type_text "cd:"
    keys Enter
    screen_shows "═ Velmora ═"
    keys F10
    echo "far2l-demo: far2l $(dpkg-query -W -f='${Version}' far2l) opened Velmora's panel"
    exit 0
fi

cat << EOF

Velmora in far2l. Names stored here are thrown away when far2l exits.

  cd::NAME      name the current folder (permanent)     cd:+NAME  temporary
  cd:NAME       go there; cd:NAME/sub goes below it     cd:-NAME  forget it
  cd:           the panel of names, with these keys:
$("$velmora_root/doc/keys/render.sh" text "$velmora_root/doc/keys/far-panel.txt" | sed 's/^/  /')
  F9, Options, Plugins configuration, Velmora: the prefix and other settings
  F10 quits.

Press Enter to start far2l.
EOF
read -r _
# --mortal: a far2l left running in the background would outlive its throwaway profile.
far2l --mortal -u "$demo/profile" -cd "$start_dir"
