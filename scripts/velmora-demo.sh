#!/usr/bin/env bash
# A short guided demonstration of the velmora program: builds what is missing, then opens a
# bash with the shell integration loaded, on a throwaway store with a few sample folders (or on
# your own store with --own-store). Leave it with `exit`.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

own_store=false
for argument in "$@"; do
    case $argument in
        --own-store) own_store=true ;;
        -h | --help)
            echo "usage: scripts/velmora-demo.sh [--own-store]"
            echo "  Builds velmora and opens a shell to try it in, on a throwaway store;"
            echo "  --own-store uses your own names instead (~/.config/velmora)."
            exit 0
            ;;
        *)
            echo "velmora-demo: unknown argument $argument (try --help)" >&2
            exit 2
            ;;
    esac
done

if [ ! -t 0 ] || [ ! -t 1 ]; then
    echo "velmora-demo: the demonstration is interactive; run it in a terminal" >&2
    exit 1
fi

# Only what the program needs, so that a fresh machine is ready in a minute; the full set for
# the test suites (the Windows compilers, Wine) comes with scripts/install-deps.sh.
packages=(cmake g++ make pkg-config libsqlite3-dev libncurses-dev libgtest-dev googletest)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
fi

echo "Building velmora..."
[ -f build/native/CMakeCache.txt ] || cmake --preset native > /dev/null
cmake --build build/native --target velmora -j"$(nproc)" > /dev/null
program=$root/build/native/cli/velmora

demo=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo.XXXXXX")
trap 'rm -rf "$demo"' EXIT
if ! $own_store; then
    export VELMORA_REGISTRY_DIR=$demo/store/registry
    export VELMORA_VOLATILE_DIR=$demo/store/volatile
    mkdir -p "$demo/projects/velmora/src" "$demo/projects/velmora/docs" "$demo/notes"
    (cd "$demo/notes" && "$program" :notes)
fi

prefix=$("$program" --prefix)
rc=$demo/bashrc
{
    echo "PS1='(velmora demo) \\w\\$ '"
    echo "HISTFILE=/dev/null"
    echo "eval \"\$($(printf '%q' "$program") init bash)\""
    $own_store || printf 'cd %q\n' "$demo/projects/velmora"
} > "$rc"

if $own_store; then
    store_note="your own store"
else
    store_note="a throwaway store, gone when you leave (it holds the name 'notes')"
fi
cat << EOF

  velmora: short names for directories, in $store_note.

    $prefix :proj          store this directory as the name "proj"
    cd /
    $prefix proj/src       go to proj's "src" ($prefix proj goes to proj itself)
    $prefix +tmp           store this directory as a temporary name
    $prefix n<Tab>         complete a name; $prefix pr with several matches shows a menu
    $prefix                the panel of names, with these keys:
$(doc/keys/render.sh text doc/keys/shell-panel.txt | sed 's/^/  /')
    $prefix -proj          delete the name
    velmora list         the names and their directories; velmora prune deletes the
                       names whose directory is gone
    velmora export FILE  every name and setting to a file; velmora import FILE reads it
    velmora --configure  the settings (the prefix, error messages, completion)

  To keep it in your own shell, add this line to ~/.bashrc:
    command -v velmora >/dev/null && eval "\$(velmora init bash)"
  Type exit to leave the demonstration.

EOF
bash --noprofile --rcfile "$rc" -i || true
