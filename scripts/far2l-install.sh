#!/usr/bin/env bash
# Installs the far2l plugin (Velmora.far-plug-mb and its language files) for the current user
# or for every user, or removes it again. far2l finds a user's plugins only under the folder
# named by its PersonalPluginsPath setting, which is empty by default; --user sets it.
#
#   scripts/far2l-install.sh [--user | --system] [--remove] [--from DIR] [--profile DIR]
#
#   --user       (default) into PersonalPluginsPath, else $XDG_DATA_HOME/far2l/Plugins
#                (P/Plugins with --profile P), and set PersonalPluginsPath to it
#   --system     into /usr/lib/far2l/Plugins/velmora/plug (through sudo when not root)
#   --remove     take the plugin out again
#   --from DIR   the built plugin folder; default: build it into build/far2l
#   --profile P  far2l's profile folder as given to `far2l -u P` (default ~/.config/far2l)
set -euo pipefail

root_dir=$(cd "$(dirname "$0")/.." && pwd)
scope=user
remove=0
from=""
profile=""

usage() {
    sed -n '6,13s/^# \{0,1\}//p' "$0"
    exit "${1:-0}"
}

while [ $# -gt 0 ]; do
    case $1 in
        --user) scope=user ;;
        --system) scope=system ;;
        --remove) remove=1 ;;
        --from) from=${2:?--from needs a folder}; shift ;;
        --profile) profile=${2:?--profile needs a folder}; shift ;;
        -h | --help) usage 0 ;;
        *) echo "far2l-install: unknown option $1" >&2; usage 2 >&2 ;;
    esac
    shift
done

# far2l keeps its settings in ~/.config/far2l, or in P/.config when started with -u P. It takes
# the home folder from the password database, not from $HOME.
if [ -n "$profile" ]; then
    mkdir -p "$profile"
    config_ini="$(cd "$profile" && pwd)/.config/settings/config.ini"
else
    home=$(getent passwd "$(id -u)" | cut -d: -f6)
    config_ini="${home:-$HOME}/.config/far2l/settings/config.ini"
fi

# The value of a key in one section of an ini file, or nothing.
ini_get() {
    local file=$1 section=$2 key=$3
    [ -f "$file" ] || return 0
    awk -v section="[$section]" -v key="$key" '
        /^[[:space:]]*\[/ { inside = ($0 == section) ; next }
        inside {
            split($0, kv, "=")
            if (kv[1] == key) { print substr($0, length(key) + 2); exit }
        }' "$file"
}

# Sets a key in one section of an ini file, adding the section or the key when missing and
# keeping every other line.
ini_set() {
    local file=$1 section=$2 key=$3 value=$4 tmp
    mkdir -p "$(dirname "$file")"
    touch "$file"
    tmp=$(mktemp "$file.XXXXXX")
    awk -v section="[$section]" -v key="$key" -v value="$value" '
        /^[[:space:]]*\[/ {
            if (inside && !done) { print key "=" value; done = 1 }
            inside = ($0 == section)
            if (inside) seen = 1
            print; next
        }
        inside && index($0, key "=") == 1 { if (!done) print key "=" value; done = 1; next }
        { print }
        END {
            if (!seen) print section
            if (!done) print key "=" value
        }' "$file" > "$tmp"
    chmod --reference="$file" "$tmp" 2> /dev/null || true
    mv "$tmp" "$file"
}

if [ "$scope" = system ]; then
    plugins_dir=/usr/lib/far2l/Plugins
else
    plugins_dir=$(ini_get "$config_ini" System PersonalPluginsPath)
    if [ -z "$plugins_dir" ] && [ -n "$profile" ]; then
        # A profile of its own keeps its plugins inside it too.
        plugins_dir="$(cd "$profile" && pwd)/Plugins"
    fi
    plugins_dir=${plugins_dir:-${XDG_DATA_HOME:-$HOME/.local/share}/far2l/Plugins}
fi
target="$plugins_dir/velmora"

as_root=()
if [ "$scope" = system ] && [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

if [ "$remove" -eq 1 ]; then
    if [ -d "$target" ]; then
        "${as_root[@]}" rm -rf -- "$target"
        echo "Removed $target"
    else
        echo "Velmora is not installed in $plugins_dir"
    fi
    exit 0
fi

if [ -z "$from" ]; then
    (cd "$root_dir" && cmake --preset far2l > /dev/null)
    cmake --build "$root_dir/build/far2l" --target velmora_far2l -j"$(nproc)" > /dev/null
    from="$root_dir/build/far2l/far2l-plugin"
fi
for file in Velmora.far-plug-mb VelmoraEng.lng VelmoraRus.lng; do
    if [ ! -f "$from/$file" ]; then
        echo "far2l-install: $from/$file is missing; build the target velmora_far2l first" >&2
        exit 1
    fi
done

# A fresh folder each time, so that nothing of an older version stays behind.
"${as_root[@]}" rm -rf -- "$target"
"${as_root[@]}" install -d -m 755 "$target/plug"
"${as_root[@]}" install -m 755 "$from/Velmora.far-plug-mb" "$target/plug/"
"${as_root[@]}" install -m 644 "$from/VelmoraEng.lng" "$from/VelmoraRus.lng" "$target/plug/"

if [ "$scope" = user ] && [ -z "$(ini_get "$config_ini" System PersonalPluginsPath)" ]; then
    ini_set "$config_ini" System PersonalPluginsPath "$plugins_dir"
    echo "Set far2l's PersonalPluginsPath to $plugins_dir in $config_ini"
fi
echo "Installed Velmora into $target/plug"
