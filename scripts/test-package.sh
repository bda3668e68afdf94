#!/usr/bin/env bash
# The Debian package end to end, as a person installs it: build it in a folder of its own and
# delete that, have lintian look at it, install it with apt-get, ask velmora for its version,
# store and find a name through the installed module, see that neither it nor a copy of it loads
# anything from where it was built, read its manual page, see far2l list Velmora among its
# plugins from the system folder (F11), then purge the package again so that the machine is left
# as it was. Ends with one line "package: N passed, M failed".
set -uo pipefail
# shellcheck source=scripts/far2l-common.sh
source "$(dirname "$0")/far2l-common.sh"
cd "$velmora_root" || exit 1
tmux_server=velmora-package-$$
# shellcheck source=scripts/lib/tmux.sh
source scripts/lib/tmux.sh

# Runs a command and shows what it printed only when it fails.
quietly() {
    local output
    output=$("$@" 2>&1) || { printf '%s\n' "$output" >&2 && return 1; }
}
installed() { dpkg-query -W -f='${Status}' velmora 2> /dev/null | grep -q "install ok installed"; }
# A package of someone's own is not ours to remove.
installed && give_up package "velmora is installed already; remove it to run this test"
install_packages tmux man-db lintian ||
    give_up package "tmux, man-db or lintian could not be installed"
install_far2l || give_up package "far2l could not be installed"

work=$(mktemp -d)
# The build's folder is deleted once the package is made: any user may make it again later, so
# nothing installed may read or load anything from there.
build=$(mktemp -d)
package=$(scripts/package.sh "$build/build" | tail -1)
[ -f "$package" ] && cp "$package" "$work/" && package=$work/$(basename "$package")
rm -rf "$build"
run_case "the package is built" test -f "$package" ||
    give_up package "there is no package to install"

# lintian, at every level, finds nothing but what the package overrides, each override with its
# reason: the comment above it, which lintian shows as N: lines.
lintian_clean() {
    local report
    # Overridden tags that are shown count as failures of the run itself; the report is judged
    # here instead.
    {
        report=$(lintian --fail-on none --pedantic --info --show-overrides "$package" 2> /dev/null) &&
            ! grep -qE '^[EWIPX]: ' <<< "$report" &&
            awk '/^O: / && last !~ /^N: / { bare = 1 } { last = $0 } END { exit bare }' <<< "$report"
    } ||
        { printf '%s\n' "$report" >&2 && return 1; }
}
run_case "lintian --pedantic finds nothing but overrides with reasons" lintian_clean
# The copyright file is in Debian's machine-readable format: a Format header, every Files
# paragraph with its Copyright and License, and the text of every licence it names; Velmora's own
# code is under the MIT licence.
copyright_is_machine_readable() {
    dpkg-deb --fsys-tarfile "$package" | tar -xO ./usr/share/doc/velmora/copyright | awk '
        NR == 1 && $0 != "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" { exit 1 }
        /^$/ { if (files && !(copyright && license)) bad = 1; files = copyright = license = 0; next }
        /^Files:/ { files = 1; if ($2 == "*") own = 1 }
        /^Copyright:/ { copyright = 1 }
        /^License:/ {
            license = 1; $1 = ""; sub(/^ /, "")
            if (files) { used[$0] = 1; if (own == 1) { own = 2; ours = $0 } } else { text[$0] = 1 }
        }
        END {
            if (files && !(copyright && license)) bad = 1
            for (name in used) if (!(name in text)) bad = 1
            exit bad || ours != "MIT"
        }'
}
run_case "the copyright file is machine-readable and names the MIT licence" copyright_is_machine_readable
purge() {
    tmux_stop
    rm -rf "$work" "$build"
    installed && quietly as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq velmora
}
trap purge EXIT
run_case "apt-get installs it" quietly as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq "$package"

version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
says_version() { [ "$(/usr/bin/velmora --version)" = "velmora $version" ]; }
run_case "velmora --version says $version" says_version

# The program loads the module from the plugin folder of far2l, where the package puts it.
stores_and_finds_a_name() {
    mkdir -p "$work/project"
    local store=(env VELMORA_REGISTRY_DIR="$work/registry" VELMORA_VOLATILE_DIR="$work/volatile")
    (cd "$work/project" && "${store[@]}" /usr/bin/velmora -- :project) &&
        [ "$(cd / && "${store[@]}" /usr/bin/velmora -- project)" = "$work/project" ]
}
run_case "the installed velmora stores and finds a name" stores_and_finds_a_name

no_build_path_inside() {
    local file
    while read -r file; do
        [ -f "$file" ] || continue
        ! strings -a "$file" | grep -qF -- "$build" || { echo "$file names $build" >&2; return 1; }
    done < <(dpkg -L velmora)
}
run_case "no installed file names the folder it was built in" no_build_path_inside

# A library planted where the build put the far2l plugin and the screen library, with the
# language files beside them, would run its constructor when loaded. The installed program and
# a copy of it elsewhere (where no installed tree lies beside it) start the module, list, and
# open the panel, and load none of it.
nothing_loaded_from_the_build() {
    local planted=$work/planted-ran store program
    store=(env VELMORA_REGISTRY_DIR="$work/registry" VELMORA_VOLATILE_DIR="$work/volatile")
    mkdir -p "$build/build/far2l-plugin" "$build/build/cli" "$work/bin"
    printf '#include <stdio.h>\n__attribute__((constructor)) static void planted(void) {\n%s\n}\n' \
        "fclose(fopen(\"$planted\", \"w\"));" > "$work/planted.c"
    cc -shared -fPIC -o "$build/build/far2l-plugin/Velmora.far-plug-mb" "$work/planted.c" || return 1
    cp "$build/build/far2l-plugin/Velmora.far-plug-mb" "$build/build/cli/velmora-curses.so"
    cp /usr/lib/far2l/Plugins/velmora/plug/*.lng "$build/build/far2l-plugin/"
    cp /usr/bin/velmora "$work/bin/velmora"
    for program in /usr/bin/velmora "$work/bin/velmora"; do
        (cd "$work/project" && "${store[@]}" "$program" -- :planted && "${store[@]}" "$program" list &&
            "${store[@]}" "$program" --prefix) > /dev/null 2>&1
        tmux_start 100 30 "${store[@]}" "$program" || return 1
        sleep 1
        keys Escape 2> /dev/null
        tmux_end
    done
    [ ! -e "$planted" ]
}
run_case "neither it nor a copy loads a library planted in its build folder" \
    nothing_loaded_from_the_build

# The page renders without a warning from groff and says what velmora is.
manual_renders() {
    local page warnings
    page=$(MANWIDTH=80 man -P cat velmora 2> /dev/null) &&
        warnings=$(MANWIDTH=80 man -P cat --warnings velmora 2>&1 > /dev/null) &&
        [ -z "$warnings" ] && grep -q "short names for directories" <<< "$page"
}
run_case "man velmora renders" manual_renders

# The package's documents are for Linux: the guide of the shells and far2l, and the manual page
# with its panel keys and examples; none speaks of Windows' Explorer or registry, and every file
# the page names is a file the package or the program makes.
documents_are_for_linux() {
    local doc=/usr/share/doc/velmora page
    page=$(MANWIDTH=80 man -P cat velmora 2> /dev/null) || return 1
    {
        [ -f "$doc/guide.md" ] && [ ! -e "$doc/UserGuide.txt" ] &&
            grep -q '^PANEL KEYS' <<< "$page" && grep -q '^EXAMPLES' <<< "$page" &&
            ! grep -qiE 'explorer|HKEY_|registry key|the registry|\.so\b' <<< "$page" &&
            ! grep -rqiE 'explorer|HKEY_|registry key|the registry' "$doc" --exclude=copyright
    } ||
        { echo "the package's documents speak of Windows, or lack the guide, keys or examples" >&2 &&
            return 1; }
}
run_case "the package's documents are the guide for Linux" documents_are_for_linux

# A throwaway profile names no folder of personal plugins, so far2l can only find the system's.
far2l_lists_velmora() {
    mkdir -p "$work/profile/.config/settings"
    printf '[Interface]\nOSC52ClipSet=0\n[Confirmations]\nExit=0\n' \
        > "$work/profile/.config/settings/config.ini"
    tmux_session=far2l
    tmux_start 120 35 -e VELMORA_REGISTRY_DIR="$work/registry" \
        -e VELMORA_VOLATILE_DIR="$work/volatile" \
        far2l --tty --nodetect --mortal -u "$work/profile" "$work" || return 1
    wait_for "1Help" && keys F11 && wait_for "Plugin commands" && wait_for "Velmora"
}
run_case "far2l lists Velmora from the system folder" far2l_lists_velmora
tmux_stop

purged() {
    quietly as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq velmora &&
        ! installed && [ ! -e /usr/bin/velmora ] && [ ! -e /usr/lib/far2l/Plugins/velmora ]
}
run_case "apt-get purge removes it" purged

summary package
