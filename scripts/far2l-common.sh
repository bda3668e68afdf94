# shellcheck shell=bash
# Shared by the far2l scripts (sourced, not run): installing far2l and the build's packages
# when they are missing, building the plugin, and laying out a throwaway far2l profile with
# Velmora installed in it.

velmora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
velmora_far2l_build="$velmora_root/build/far2l"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Installs the named Debian packages that are missing.
install_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# far2l 2.6.5 comes from bookworm-backports on Debian 12; later releases carry it in main.
install_far2l() {
    command -v far2l > /dev/null && return 0
    local codename=""
    codename=$(. /etc/os-release 2> /dev/null && echo "${VERSION_CODENAME:-}")
    if [ "$codename" = bookworm ]; then
        local sources=/etc/apt/sources.list.d/backports.sources
        local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
        if ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
            if [ ! -f "$keyring" ]; then
                echo "far2l: $keyring is missing (package debian-archive-keyring)" >&2
                return 1
            fi
            printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
                "$keyring" | as_root tee "$sources" > /dev/null
        fi
        echo "Installing far2l from bookworm-backports"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -t bookworm-backports far2l
    else
        echo "Installing far2l"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq far2l
    fi
}

# Builds Velmora.far-plug-mb and its language files into build/far2l/far2l-plugin.
build_far2l_plugin() {
    install_packages cmake g++ make pkg-config libsqlite3-dev || return 1
    (cd "$velmora_root" && cmake --preset far2l > /dev/null) || return 1
    cmake --build "$velmora_far2l_build" --target velmora_far2l -j"$(nproc)" > /dev/null
}

# Lays out a far2l profile in $1 (for `far2l -u $1`) with Velmora installed in it. The ready
# settings skip far2l's first-start page and clipboard question; $2 = 0 quits on F10 without
# asking.
make_far2l_profile() {
    local profile=$1 confirm_exit=${2:-1}
    mkdir -p "$profile/.config/settings"
    printf '[Interface]\nOSC52ClipSet=0\n' > "$profile/.config/settings/config.ini"
    if [ "$confirm_exit" = 0 ]; then
        printf '[Confirmations]\nExit=0\n' >> "$profile/.config/settings/config.ini"
    fi
    "$velmora_root/scripts/far2l-install.sh" --user --profile "$profile" \
        --from "$velmora_far2l_build/far2l-plugin" > /dev/null
}
