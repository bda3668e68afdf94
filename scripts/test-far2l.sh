#!/usr/bin/env bash
# End-to-end tests of the far2l plugin: far2l runs headless in tmux with Velmora in a throwaway
# profile, a throwaway name store and throwaway directories; each case types keys as a person
# would and reads the screen through scripts/lib/tmux.sh. Ends with one line "far2l: N passed,
# M failed". Set VELMORA_FAR2L_KEEP=1 to keep the work folder (store, profile, directories) for
# a look, and FAR2L=/path/to/far2l to run another far2l than the installed one (a 2.8 built from
# source).
set -uo pipefail
# shellcheck source=scripts/far2l-common.sh
source "$(dirname "$0")/far2l-common.sh"
tmux_server=velmora-far2l-$$ tmux_session=far2l
# shellcheck source=scripts/lib/tmux.sh
source "$velmora_root/scripts/lib/tmux.sh"

# Without far2l or the plugin no case can run: that counts as one failure.
install_packages tmux libc-bin || give_up far2l "tmux could not be installed"
if [ -n "${FAR2L:-}" ]; then
    [ -x "$FAR2L" ] || give_up far2l "FAR2L=$FAR2L is no program"
    far2l=$FAR2L
else
    install_far2l || give_up far2l "far2l could not be installed"
    far2l=$(command -v far2l)
fi
# The version far2l shows in its own title, read from the binary: asked for it, far2l starts.
far2l_version=$(grep -a -o -m1 'FAR2L, version [^ ]*' "$far2l" | head -1)
far2l_version=${far2l_version#FAR2L, version }
echo "Building the far2l plugin"
build_far2l_plugin || give_up far2l "the plugin did not build"
# The velmora program of the same build, which must answer a text as far2l does.
cmake --build "$velmora_far2l_build" --target velmora -j"$(nproc)" > /dev/null ||
    give_up far2l "velmora did not build"
velmora=$velmora_far2l_build/cli/velmora

export TERM=${TERM:-xterm-256color}
export LANG=C.UTF-8 LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/vf2l.XXXXXX)
cleanup() {
    tmux_stop
    [ -n "${VELMORA_FAR2L_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# ---- far2l in tmux ----

dirs="$work/d"
odd_dir="$dirs/a \"b\" c"
# Its name, typed into far2l's command line, would have the shell run touch.
evil_dir="$dirs/q:;touch $work/pwned;:"
mkdir -p "$dirs/proj/sub" "$dirs/other" "$dirs/a1" "$dirs/a2" "$dirs/проект/ниже" "$dirs/café" \
    "$odd_dir" "$evil_dir" "$dirs/écoles" "$dirs/éa" "$dirs/bravo"
cat > "$work/browser" << EOF
#!/bin/sh
printf '%s\n' "\$#" "\$@" > "$work/browser.out"
EOF
chmod +x "$work/browser"

# The temporary names' folder far2l is started with; a case may start it with another.
volatile_dir="$work/volatile"

# Starts far2l on a fresh profile with the active panel in $1 and the passive one in $2. The
# store is fresh too unless $3 is "keep"; "new-logon" keeps the permanent names only.
start_far2l() {
    local active=$1 passive=$2 store=${3:-fresh}
    tmux_stop
    rm -rf "$work/profile" "$work/browser.out"
    [ "$store" = keep ] || rm -rf "$work/volatile"
    [ "$store" = fresh ] && rm -rf "$work/registry"
    make_far2l_profile "$work/profile" 0 || return 1
    # Given as several words, the command runs without a shell, so no path needs quoting.
    tmux_start 120 35 -e VELMORA_REGISTRY_DIR="$work/registry" -e VELMORA_VOLATILE_DIR="$volatile_dir" \
        -e VELMORA_FILE_BROWSER="$work/browser" \
        "$far2l" --tty --nodetect --mortal -u "$work/profile" -cd "$active" -cd "$passive" ||
        return 1
    wait_for "1Help"
}

run_command() {
    type_text "$1"
    keys Enter
}

# Whether the left panel lists an item of this name (a folder or a file).
listed() { shows "^║[ /]$1 +[│║]"; }
wait_listed() { wait_until "the panel never listed $1" listed "$1"; }
wait_unlisted() { wait_until "the panel still lists $1" not listed "$1"; }

# The left panel's title line shows this directory.
wait_left_dir() { wait_for "$(literal "═ $1 ═")"; }

# Moves the left panel's cursor onto an item: Home puts it on "..", the first row.
select_item() {
    local name=$1 top row
    wait_listed "$name" || return 1
    top=$(screen | grep -nE "^║/\.\. +[│║]" | head -1 | cut -d: -f1)
    row=$(screen | grep -nE "^║[ /]$name +[│║]" | head -1 | cut -d: -f1)
    keys Home
    local i
    for ((i = top; i < row; i++)); do
        keys Down
    done
}

menu_row() { screen | grep -nE "║ $1( +|║)" | head -1 | cut -d: -f1; }

# Chooses a menu entry by counting rows down from the first entry, whose row is $1.
choose_row() {
    local first=$1 entry=$2 row i
    row=$(menu_row "$entry")
    if [ -z "$first" ] || [ -z "$row" ]; then
        fail "the menu has no entry $entry"
        return 1
    fi
    keys Home
    for ((i = first; i < row; i++)); do
        keys Down
    done
    keys Enter
}

# Chooses an entry of the menu whose frame carries the title $1.
choose_in_menu() {
    wait_for "$1" || return 1
    choose_row $(($(screen | grep -nE -- "$1" | head -1 | cut -d: -f1) + 1)) "$2"
}

# F9, Options, Plugins configuration, Velmora: the module's configuration dialog.
open_configuration() {
    keys F9
    wait_for "Options" || return 1
    type_text o
    wait_for "System settings" || return 1
    choose_row "$(menu_row "System settings")" "Plugins configuration" &&
        choose_in_menu "═ Plugins configuration ═" Velmora &&
        wait_for "Velmora settings"
}

# Confirms the configuration dialog; far2l then shows its plugins menu again, which Esc closes
# once it is drawn (a key sent before goes to the dialog's closing or is lost).
confirm_configuration() {
    keys Enter
    wait_gone "Velmora settings" || return 1
    wait_for "═ Plugins configuration ═" || return 1
    keys Escape
    wait_gone "═ Plugins configuration ═"
}

# Sends the keys of Ctrl+Enter or Shift+Enter as a terminal with win32 input reports them:
# the modifier's press and release around Enter, which tmux cannot name.
ctrl_enter() { type_text $'\e[17;29;0;1;8;1_\e[13;28;10;1;8;1_\e[13;28;10;0;8;1_\e[17;29;0;0;0;1_'; }
# Ctrl+H the same way: far2l 2.8 reads the byte tmux sends for C-h as Backspace.
ctrl_h() { type_text $'\e[17;29;0;1;8;1_\e[72;35;8;1;8;1_\e[72;35;8;0;8;1_\e[17;29;0;0;0;1_'; }
shift_enter() { type_text $'\e[16;42;0;1;16;1_\e[13;28;13;1;16;1_\e[13;28;13;0;16;1_\e[16;42;0;0;0;1_'; }

# ---- the cases ----

case_store_and_jump() {
    start_far2l "$dirs/proj" "$evil_dir" || return 1
    run_command "cd::proj"
    keys Tab
    run_command "cd::evil"
    keys Tab
    run_command "cd $dirs/a1"
    wait_left_dir "$dirs/a1" || return 1
    # The rest behind the name goes below the stored directory.
    run_command "cd:proj/sub"
    wait_left_dir "$dirs/proj/sub" || return 1
    run_command "cd $dirs/a1"
    wait_left_dir "$dirs/a1" || return 1
    run_command "cd:proj"
    wait_left_dir "$dirs/proj" || return 1
    # A stored directory is a directory, whatever its name holds.
    run_command "cd:evil"
    wait_left_dir "$evil_dir" || return 1
    [ ! -e "$work/pwned" ] || fail "the directory's name ran as a command" || return 1
}

case_temporary_name_is_hidden_and_volatile() {
    start_far2l "$dirs/proj" "$dirs/other" || return 1
    run_command "cd:+tmp"
    run_command "cd::proj"
    run_command "cd:"
    wait_for "═ Velmora ═" || return 1
    wait_listed tmp && wait_listed proj || return 1
    # Ctrl+H hides hidden files: the temporary name goes, the permanent one stays.
    ctrl_h
    wait_unlisted tmp && listed proj || return 1
    ctrl_h
    wait_listed tmp || return 1
    # A new logon starts with an empty volatile store: only the permanent name is left.
    start_far2l "$dirs/other" "$dirs/a1" new-logon || return 1
    run_command "cd:"
    wait_listed proj || return 1
    not listed tmp || fail "the temporary name outlived the logon" || return 1
    return 0
}

case_missed_name_shows_error_box() {
    start_far2l "$dirs/proj" "$dirs/other" || return 1
    open_configuration || return 1
    # The focus starts on the first check box; "Show error messages" is the fourth.
    keys Down Down Down Space
    wait_for "\[x\] Show error messages" || return 1
    confirm_configuration || return 1
    run_command "cd:nosuch/sub"
    wait_for "Name not found: 'nosuch/sub'" || return 1
    keys Enter
    wait_gone "Name not found"
}

case_completion_menu_offers_two_candidates() {
    start_far2l "$dirs/a1" "$dirs/other" || return 1
    run_command "cd::alpha"
    run_command "cd $dirs/a2"
    wait_left_dir "$dirs/a2" || return 1
    run_command "cd::alps"
    run_command "cd $dirs/other"
    wait_left_dir "$dirs/other" || return 1
    run_command "cd:al"
    wait_for "║ alpha ║" && wait_for "║ alps  ║" || return 1
    keys Home Enter
    wait_left_dir "$dirs/a1"
}

case_panel_from_menus_lists_names_and_filters() {
    start_far2l "$dirs/proj" "$dirs/other" || return 1
    run_command "cd::proj"
    run_command "cd $dirs/a1"
    wait_left_dir "$dirs/a1" || return 1
    run_command "cd::alpha"
    # The plugins menu opens the panel; F7 there makes a filter.
    keys F11
    choose_in_menu "═ Plugin commands ═" Velmora || return 1
    wait_for "═ Velmora ═" || return 1
    wait_listed proj && wait_listed alpha || return 1
    keys F7
    wait_for "Path mask:" || return 1
    type_text "projects"
    keys Tab
    type_text "*proj*"
    keys Enter
    wait_listed projects || return 1
    # Entering the filter lists only the names whose paths match it.
    select_item projects || return 1
    keys Enter
    wait_for "Velmora: \*proj\*" || return 1
    wait_unlisted alpha && listed proj || return 1
    # ".." leaves the filter.
    keys Home Enter
    wait_for "═ Velmora ═" || return 1
    wait_listed alpha && listed projects || return 1
    # The panel closes when left from its top, and "cd:" alone opens it again.
    keys Home Enter
    wait_left_dir "$dirs/a1" || return 1
    run_command "cd:"
    wait_for "═ Velmora ═" || return 1
    wait_listed projects && wait_listed proj && wait_listed alpha || return 1
    # The filter's name on the command line opens the panel inside it.
    run_command "cd:projects"
    wait_for "Velmora: \*proj\*" || return 1
    # A name typed over the panel closes it onto the directory.
    run_command "cd:alpha"
    wait_left_dir "$dirs/a1"
}

case_panel_keys_edit_delete_reread() {
    start_far2l "$dirs/proj" "$dirs/other" || return 1
    run_command "cd::proj"
    run_command "cd::gone"
    run_command "cd:"
    wait_listed proj && wait_listed gone || return 1
    # F4 edits the path.
    select_item proj || return 1
    keys F4
    wait_for "Edit name" || return 1
    keys Tab C-y
    type_text "$dirs/a2"
    keys Enter
    wait_for "$(literal "│$dirs/a2 ")" || return 1
    # F8 asks first: Esc keeps the name, OK deletes it.
    select_item gone || return 1
    keys F8
    wait_for "Delete gone\?" || return 1
    keys Escape
    wait_gone "Delete gone\?" && listed gone || return 1
    keys F8
    wait_for "Delete gone\?" || return 1
    keys Enter
    wait_unlisted gone || return 1
    # A name stored from the other panel shows here at once, and Ctrl+R keeps it.
    keys Tab
    run_command "cd::later"
    keys Tab
    wait_listed later || return 1
    keys C-r
    wait_listed later || return 1
    # Enter jumps to the edited path.
    select_item proj || return 1
    keys Enter
    wait_left_dir "$dirs/a2"
}

case_configuration_changes_prefix() {
    start_far2l "$dirs/proj" "$dirs/other" || return 1
    open_configuration || return 1
    # The prefix field is the sixth item from the first check box.
    keys Down Down Down Down Down C-y
    type_text "vel:"
    confirm_configuration || return 1
    run_command "vel::proj"
    run_command "cd $dirs/a1"
    wait_left_dir "$dirs/a1" || return 1
    run_command "vel:proj/sub"
    wait_left_dir "$dirs/proj/sub"
}

case_cyrillic_names_and_directories() {
    start_far2l "$dirs/café" "$dirs/other" || return 1
    run_command "cd::café"
    run_command "cd $dirs/проект"
    wait_left_dir "$dirs/проект" || return 1
    run_command "cd::проект"
    run_command "cd $dirs/a1"
    wait_left_dir "$dirs/a1" || return 1
    run_command "cd:проект/ниже"
    wait_left_dir "$dirs/проект/ниже" || return 1
    # A target that is a command for a plugin is typed into the command line. far2l types no
    # posted UTF-8 bytes and no Latin-1 code points, so the command that reaches the shell (no
    # plugin claims it) proves the text arrives whole. One that begins with the module's own
    # prefix would run the module again, without end for a name that leads to itself: refused.
    open_configuration || return 1
    keys Down Down Down Down Down C-y
    type_text "vel:"
    confirm_configuration || return 1
    run_command "vel:"
    wait_for "═ Velmora ═" || return 1
    keys S-F4
    wait_for "Add name" || return 1
    type_text "кот"
    keys Tab C-y
    type_text "vel:café"
    keys Enter
    wait_for "cannot begin with the prefix" || return 1
    keys Enter
    wait_for "Add name" || return 1
    keys C-y
    type_text "xyz:café"
    keys Enter
    wait_listed кот && wait_listed проект || return 1
    keys Home Enter
    wait_gone "═ Velmora ═" || return 1
    run_command "cd $dirs/a1"
    wait_left_dir "$dirs/a1" || return 1
    # With the panels off, the shell's answer shows once the command it was typed has ended.
    keys C-o
    run_command "vel:кот"
    wait_for "a1# xyz:café" && wait_for "xyz:café: " || return 1
    keys C-o
    # Ctrl+Enter on the panel runs it on the other panel, typed whole there too.
    run_command "vel:"
    wait_listed кот || return 1
    select_item кот || return 1
    ctrl_enter
    wait_for "other# xyz:café"
}

case_other_panel_and_file_browser() {
    start_far2l "$odd_dir" "$dirs/other" || return 1
    run_command "cd::odd"
    run_command "cd $dirs/proj"
    wait_left_dir "$dirs/proj" || return 1
    run_command "cd::proj"
    run_command "cd:"
    wait_listed odd || return 1
    # Ctrl+Enter sends the other panel to the name and repaints it; the names stay here.
    select_item proj || return 1
    ctrl_enter
    wait_for "$(literal "═ $dirs/proj ═")" || return 1
    not shows "^║/sub " || fail "the left panel changed instead" || return 1
    shows "║║/sub +│" || fail "the other panel was not repainted" || return 1
    # Shift+Enter hands the file browser the directory as one argument, quotes and all.
    select_item odd || return 1
    shift_enter
    poll "$tmux_patience" test -s "$work/browser.out"
    local expected
    expected=$(printf '1\n%s' "$odd_dir")
    if [ "$(cat "$work/browser.out" 2> /dev/null)" != "$expected" ]; then
        fail "the browser got: $(cat "$work/browser.out" 2> /dev/null || echo nothing)"
        return 1
    fi
    wait_for "═ Velmora ═"
}

# A failing store is said at every command it stopped, and whole: the line naming the file is
# wider than far2l's box, which cuts what does not fit.
case_each_add_the_store_stopped_says_so_whole() {
    local deep
    deep="$work/$(printf 'deeper%.0s' {1..12})/$(printf 'folder%.0s' {1..12})"
    volatile_dir="$deep/blocker/registry" start_far2l "$dirs/proj" "$dirs/other" || return 1
    # A file where the temporary names' folder should be.
    mkdir -p "$deep" && : > "$deep/blocker"
    for _ in 1 2; do
        run_command "cd:+tt4"
        wait_for "blocker/registry" && wait_for "Not a directory" || return 1
        keys Enter
        wait_gone "Not a directory" || return 1
    done
}

# A directory longer than a dialog's field is shown cut there; an edit of it is refused and the
# stored directory kept whole.
case_long_path_is_never_stored_cut() {
    local deep="$dirs" i
    for i in $(seq 17); do
        deep="$deep/$(printf 'p%.0s' {1..240})"
    done
    deep=${deep:0:4094}
    mkdir -p "$deep" || fail "no directory of 4094 bytes could be made" || return 1
    start_far2l "$dirs/proj" "$dirs/other" || return 1
    (cd "$deep" && velmora_ :d94) || fail "velmora stored no d94" || return 1
    run_command "cd:"
    wait_listed d94 || return 1
    select_item d94 || return 1
    keys F4
    wait_for "Edit name" || return 1
    keys Tab End BSpace Enter
    wait_for "Too long to edit here" || return 1
    keys Enter
    wait_for "Edit name" || return 1
    keys Escape
    wait_gone "Edit name" || return 1
    [ "$(velmora_ d94 < /dev/null)" = "$deep" ] || fail "d94 is no longer $deep" || return 1
}

# velmora on the store far2l uses.
velmora_() { VELMORA_REGISTRY_DIR="$work/registry" VELMORA_VOLATILE_DIR="$work/volatile" "$velmora" "$@"; }

# Each text behind the prefix lands where the table says, in far2l and in velmora alike: far2l
# folds the case of every letter, reads "[...]" as a set ('!' is a member, no negation), counts
# a character of several bytes as one for '?', and drops the blanks at the end of the line. A
# row "+NAME|DIR" stores NAME first; "-" lands nowhere.
case_velmora_lands_where_far2l_lands() {
    start_far2l "$dirs/other" "$dirs/other" || return 1
    local text landing landed
    while IFS='|' read -r text landing; do
        if [ "${text:0:1}" = + ]; then
            (cd "$dirs/$landing" && velmora_ -- ":${text:1}") ||
                fail "velmora stored no ${text:1}" || return 1
            continue
        fi
        # Back through a stored name: a shell command runs in far2l's terminal, which swallows
        # keys typed while it hands the keyboard back. Enter only once far2l shows the whole
        # text, so that no key overtakes the typing.
        run_command "cd:zzback"
        wait_left_dir "$dirs/other" || return 1
        type_text "cd:$text"
        wait_for "$(literal "cd:$text")" || return 1
        keys Enter
        if [ "$landing" = - ]; then
            sleep 1
            shows "$(literal "═ $dirs/other ═")" ||
                fail "far2l went somewhere for '$text'" || return 1
        else
            wait_left_dir "$dirs/$landing" ||
                fail "far2l did not take '$text' to $landing" || return 1
        fi
        landed=$(velmora_ -- "$text" 2> /dev/null < /dev/null)
        [ "$landed" = "$([ "$landing" = - ] || echo "$dirs/$landing")" ] ||
            fail "velmora took '$text' to '$landed', far2l to $landing" || return 1
    done << 'EOF'
+zzback|other
+Écoles|écoles
+bravo|bravo
+proj|proj
écoles|écoles
é|écoles
ecoles|-
br[a]|bravo
b[!r]|bravo
proj |proj
+éa|éa
?a|éa
ÉA|éa
EOF
}

echo "far2l ${far2l_version:-of unknown version} ($far2l), work folder $work"
for test_case in \
    case_store_and_jump \
    case_temporary_name_is_hidden_and_volatile \
    case_missed_name_shows_error_box \
    case_completion_menu_offers_two_candidates \
    case_panel_from_menus_lists_names_and_filters \
    case_panel_keys_edit_delete_reread \
    case_configuration_changes_prefix \
    case_cyrillic_names_and_directories \
    case_other_panel_and_file_browser \
    case_velmora_lands_where_far2l_lands \
    case_each_add_the_store_stopped_says_so_whole \
    case_long_path_is_never_stored_cut; do
    run_case "${test_case#case_}" "$test_case"
done

summary far2l
