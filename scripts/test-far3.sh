#!/usr/bin/env bash
# End-to-end tests of the DLLs in the real Windows host: Far 3 x64 under wine64 with
# dist/Velmora64 on every machine, and Far 3 x86 under 32-bit Wine with dist/Velmora where the
# kernel runs 32-bit programs. Each scenario types keys as a person would and reads the screen
# (through tests/far3/far3.sh and scripts/lib/tmux.sh) and the registry; one Far session serves
# the scenarios in turn and starts again after a failure. Ends with one line "far3: N passed, M
# failed". Each width ends within VELMORA_FAR3_SECONDS (300) and a bounded Far start; a Far that
# hangs is killed with its prefix. VELMORA_FAR3_KEEP=1 keeps the work folders
# (/tmp/far3-PID-WIDTH: Far, its profile, the Wine prefix) for a look.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD
# Far under Wine is the slowest of the hosts, and Wine's reg, which the registry's waits ask,
# slower still.
tmux_patience=30
# shellcheck source=scripts/lib/tmux.sh
source scripts/lib/tmux.sh

# No scenario starts, and no wait goes on, after this many seconds of a width.
limit=${VELMORA_FAR3_SECONDS:-300}

far() { "$root/tests/far3/far3.sh" "$@"; }
win() { printf 'Z:%s' "${1//\//\\}"; }

# ---- reading the screen ----

# The first line holds both panels' titles; the left one's ends at the first corner, where the
# right one's begins.
titled() {
    local screen
    screen=$(screen)
    screen=${screen%%$'\n'*}
    if [ "${2:-left}" = right ]; then screen=${screen#*╗}; else screen=${screen%%╗*}; fi
    [[ $screen == *"═ $1 ═"* ]]
}
# A message box of the module's below the titles.
message_shown() {
    local screen
    screen=$(screen)
    [[ ${screen#*$'\n'} == *"═ Velmora ═"* ]]
}
# Whether the left panel lists an item of this name, with this description when one is given.
listed() {
    local rows
    rows=$(grep -E "^║$1 +│" <<< "$(screen)") && grep -qF -- "│${2:-}" <<< "$rows"
}
# The left panel's status line, which names the item under the cursor.
current() { grep -qE "^║$1 " <<< "$(sed -n '/^╟/{n;p;q}' <<< "$(screen)")"; }
# The panel's sort mode, as the letter in its top left corner shows it.
sorted_by() { shows "^║$1 +Name"; }
in_registry() {
    local value
    value=$(far reg query "HKCU\\Software\\Far\\Plugins\\Velmora${1:+\\$1}" /v "$2" 2> /dev/null) &&
        grep -qF -- "$3" <<< "$value"
}

# Each wait names what it missed, for the report.
wait_listed() { wait_until "the panel never listed $1 ${2:-}" listed "$1" "${2:-}"; }
wait_unlisted() { wait_until "the panel still lists $1" not listed "$1"; }
wait_stored() {
    poll "$((2 * tmux_patience))" in_registry "$@" || fail "$1 never held $2 = ${3:-}"
}
wait_not_stored() {
    poll "$((2 * tmux_patience))" not in_registry "$1" "$2" "" || fail "$1 still holds $2"
}
wait_title() { wait_until "the left panel's title never showed $1" titled "$1"; }
wait_left_dir() { wait_title "$(win "$1")"; }
wait_panel() { wait_title Velmora; }
wait_message() { wait_until "no message box of Velmora" message_shown; }
dialog_or_message() { shows "$1" || message_shown; }
# Esc while the check holds (a dialog, and the message it showed first), three times at most.
dismiss() {
    local i
    for ((i = 0; i < 3; i++)); do
        "$@" || return 0
        far keys Escape
        sleep 0.5
    done
    wait_until "Esc did not close it: $*" not "$@"
}

# ---- getting somewhere ----

# The left panel as a file panel in this folder, whatever it showed before.
go_to() {
    far cmd "cd $(win "$1")"
    wait_left_dir "$1"
}
# The same for a folder whose path holds characters beyond ASCII, which tmux cannot type.
go_to_typed() {
    far text "cd $(win "$1")" || fail "the command line never held cd $1" || return 1
    far keys Enter
    wait_left_dir "$1"
}
# Runs a command that holds characters beyond ASCII.
typed_cmd() {
    far text "$1" || fail "the command line never held $1" || return 1
    far keys Enter
}
# A message box of the module's that shows this text; it is closed then.
refused_with() {
    wait_message && wait_for "$(literal "$1")" && dismiss message_shown
}
# The left panel as the names panel at its top level.
open_panel() {
    titled Velmora && return 0
    go_to "$work" && far cmd "cd:" && wait_panel
}
# Moves the cursor onto the first row of this name (and description), counting rows from "..",
# the first one.
select_item() {
    local top row
    wait_listed "$1" "${2:-}" || return 1
    top=$(screen | grep -nE "^║\.\. +│" | head -1 | cut -d: -f1)
    row=$(screen | grep -nE "^║$1 +│" | grep -F -- "│${2:-}" | head -1 | cut -d: -f1)
    far keys Home
    for ((; top < row; top++)); do far keys Down; done
    wait_until "the cursor never reached $1" current "$1"
}
# Fills the two fields of a name or filter dialog and confirms it.
fill_dialog() {
    far type "$1"
    far keys Tab C-y
    far type "$2"
    far keys Enter
}
# ---- the scenarios, in the order they run: each leaves what the next one starts from ----

scenario_store() {
    go_to "$work/proj" || return 1
    far cmd "cd::proj"
    wait_stored Keys proj "$(win "$work/proj")"
}

scenario_jump() {
    go_to "$work/other" || return 1
    far cmd "cd:proj"
    wait_left_dir "$work/proj"
}

scenario_jump_below_name() {
    go_to "$work/other" || return 1
    far cmd "cd:proj/sub"
    wait_left_dir "$work/proj/sub"
}

scenario_panel_lists_names() {
    go_to "$work/other" || return 1
    far cmd "cd::other"
    far cmd "cd:+tmp"
    wait_stored TempKeys tmp "$(win "$work/other")" || return 1
    far cmd "cd:"
    wait_panel || return 1
    wait_listed proj "$(win "$work/proj")" && wait_listed other "$(win "$work/other")" &&
        wait_listed tmp "$(win "$work/other")"
}

scenario_edit_name() {
    open_panel && select_item other || return 1
    far keys F4
    wait_for "Edit name" || return 1
    far keys Tab C-y
    far type "$(win "$work/a2")"
    far keys Enter
    wait_listed other "$(win "$work/a2")" && wait_stored Keys other "$(win "$work/a2")"
}

scenario_add_name() {
    open_panel || return 1
    far keys S-F4
    wait_for "Add name" || return 1
    fill_dialog added "$(win "$work/proj/sub")"
    wait_listed added "$(win "$work/proj/sub")" && wait_stored Keys added "$(win "$work/proj/sub")"
}

scenario_filter() {
    open_panel || return 1
    far keys F7
    wait_for "Path mask" || return 1
    fill_dialog subs "*sub*"
    wait_listed subs "*sub*" && wait_stored Filters subs "*sub*" || return 1
    # Inside, only the names whose folders match; ".." leaves.
    select_item subs && far keys Enter || return 1
    wait_title "Velmora: *sub*" && wait_listed added && wait_unlisted proj || return 1
    far keys Home Enter
    wait_panel && wait_listed proj
}

scenario_delete_asks_first() {
    open_panel && select_item added || return 1
    far keys F8
    wait_for "Delete added\?" || return 1
    far keys Escape
    wait_gone "Delete added\?" && wait_listed added || return 1
    far keys F8
    wait_for "Delete added\?" || return 1
    far keys Enter
    wait_unlisted added && wait_not_stored Keys added
}

scenario_find_file_in_panel() {
    open_panel || return 1
    far keys M-F7
    wait_for "A file mask" || return 1
    far type "pro*"
    far keys Enter
    wait_for "Search done\. Found files: 1, folders: 0" || return 1
    shows "│proj +║" || fail "the search did not list proj" || return 1
    # The search walked the panel without moving or closing it.
    far keys Escape
    wait_panel && wait_listed proj
}

scenario_plugin_information() {
    far keys F11
    wait_for "Plugin commands" || return 1
    far keys F3
    wait_for "Plugin information" || return 1
    # The version resource (its company is the plugin's author), and the UUID that Far derives
    # from the plugin's title, as it was before the resource existed.
    wait_for "Far $width " && wait_for "$(literal " $version.0 ")" && wait_for "the Velmora authors" &&
        wait_for "5665-6C6D6F72612E" || return 1
    dismiss shows "Plugin information" && dismiss shows "Plugin commands"
}

scenario_add_without_name_says_so() {
    local command
    go_to "$work" || return 1
    for command in "cd:+" "cd::"; do
        far cmd "$command"
        wait_message || return 1
        not shows "Unexpected error" || fail "$command says: Unexpected error" || return 1
        dismiss message_shown || return 1
    done
}

# The host's menu item holds 128 bytes, its terminating zero included.
scenario_long_candidate_in_menu() {
    local long top row
    long=$(printf 'W%.0s' {1..128})
    go_to "$work/a2" || return 1
    far cmd "cd::$long"
    wait_stored Keys "$long" "$(win "$work/a2")" && go_to "$work/proj" || return 1
    far cmd "cd::Wx"
    wait_stored Keys Wx "$(win "$work/proj")" && go_to "$work/other" || return 1
    far cmd "cd:W"
    wait_for "║  Wx " || return 1
    top=$(screen | grep -nE "║  W(x |WWW)" | head -1 | cut -d: -f1)
    row=$(screen | grep -nE "║  WWW" | head -1 | cut -d: -f1)
    far keys Home
    for ((; top < row; top++)); do far keys Down; done
    far keys Enter
    wait_left_dir "$work/a2"
}

scenario_capital_r_typed_over_panel() {
    go_to "$work/a2" || return 1
    far cmd "cd::Rust"
    wait_stored Keys Rust "$(win "$work/a2")" || return 1
    open_panel || return 1
    far cmd "cd:Rust"
    wait_left_dir "$work/a2"
}

scenario_failed_delete_names_text_typed() {
    go_to "$work" || return 1
    far cmd "cd:-zzz"
    wait_for "Name not found: 'zzz'" || return 1
    dismiss shows "Name not found"
}

scenario_jump_to_gone_folder_says_so() {
    mkdir -p "$work/gone" && go_to "$work/gone" || return 1
    far cmd "cd::gone"
    wait_stored Keys gone "$(win "$work/gone")" || return 1
    go_to "$work" && rmdir "$work/gone" || return 1
    far cmd "cd:gone"
    wait_message && wait_for "$(literal "$(win "$work/gone")")" && dismiss message_shown
}

# The wrapper hands a 1.x plugin at most 259 characters of the current folder.
scenario_long_current_folder_refused() {
    local long=$work/long
    while [ ${#long} -lt 300 ]; do long=$long/$(printf 'd%.0s' {1..40}); done
    long=$long/end
    mkdir -p "$long" || return 1
    # The panel's title is too short for the folder: the prompt ends with it.
    far cmd "cd $(win "$long")"
    wait_for '\\end>' || return 1
    far cmd "cd::longp"
    wait_message && dismiss message_shown && wait_not_stored Keys longp
}

# A change made on one names panel shows at once on the other.
scenario_other_names_panel_follows_change() {
    open_panel || return 1
    far keys Tab
    far cmd "cd:"
    wait_until "the right panel never showed the names" titled Velmora right || return 1
    far keys S-F4
    wait_for "Add name" || return 1
    fill_dialog fresh "$(win "$work/a2")"
    wait_listed fresh "$(win "$work/a2")" || return 1
    far cmd "cd $(win "$work/other")"
    far keys Tab
    wait_panel
}

scenario_filter_with_empty_mask_refused() {
    open_panel || return 1
    far keys F7
    wait_for "Path mask" || return 1
    fill_dialog nomask ""
    wait_message && dismiss dialog_or_message "Path mask" || return 1
    wait_not_stored Filters nomask
}

scenario_name_with_empty_path_refused() {
    open_panel || return 1
    far keys S-F4
    wait_for "Add name" || return 1
    fill_dialog nopath ""
    wait_message && dismiss dialog_or_message "Add name" || return 1
    wait_not_stored Keys nopath
}

scenario_name_with_separator_refused() {
    go_to "$work" || return 1
    far cmd 'cd::a\b'
    wait_message && dismiss message_shown && wait_not_stored Keys 'a\b'
}

scenario_navigation_keys_leave_filter() {
    open_panel && select_item subs && far keys Enter || return 1
    wait_title "Velmora: *sub*" || return 1
    # Ctrl+PgUp leaves the filter, not the panel.
    far keys C-PPage
    wait_panel || return 1
    # ".." leaves it onto the filter's own row.
    select_item subs && far keys Enter || return 1
    wait_title "Velmora: *sub*" || return 1
    far keys Home Enter
    wait_panel || return 1
    wait_until "the cursor is not on subs" current subs
}

scenario_sort_keys_reach_host() {
    open_panel || return 1
    far keys C-F5
    wait_until "Ctrl+F5 did not sort" sorted_by W || return 1
    far keys C-F3
    wait_until "Ctrl+F3 did not sort" sorted_by n
}

scenario_same_name_twice_deletes_row_under_cursor() {
    go_to "$work/proj" || return 1
    far cmd "cd::dup"
    go_to "$work/other" || return 1
    far cmd "cd:+dup"
    wait_stored TempKeys dup "$(win "$work/other")" || return 1
    far cmd "cd:"
    wait_panel && select_item dup "$(win "$work/other")" || return 1
    far keys F8
    wait_for "Delete dup?" || return 1
    far keys Enter
    wait_not_stored TempKeys dup && wait_stored Keys dup "$(win "$work/proj")"
}

# ---- texts beyond ASCII (Wine's locale C: ANSI 1252, OEM 437), and what the host cannot carry ----

# Far hands a 1.x plugin its folder in the OEM code page, which lacks Cyrillic and CJK letters
# ('?' for each) and writes A with a macron as a plain A: none of these is the folder the user
# is in, and storing one would lead to another folder.
scenario_folders_the_host_cannot_pass_on_refused() {
    local dir
    mkdir -p "$work/u/Привет" "$work/u/中文" "$work/u/Ārlis" "$work/u/Arlis" "$work/u/straße" || return 1
    for dir in Привет 中文 Ārlis; do
        go_to_typed "$work/u/$dir" || return 1
        far cmd "cd::cr"
        refused_with "pass this folder's name whole" && wait_not_stored Keys cr || return 1
    done
}

# Both would arrive as "???" and be one name, the second replacing the first.
scenario_names_beyond_the_code_page_refused() {
    go_to "$work/u" || return 1
    typed_cmd "cd::Жук" && refused_with "cannot hold ? or" || return 1
    typed_cmd "cd::Лес" && refused_with "cannot hold ? or" && wait_not_stored Keys "???"
}

# Letters the OEM page has are stored as what they are, read by other programs as such, and
# jumped to.
scenario_letters_of_the_code_page_stored_as_text() {
    mkdir -p "$work/u/café" && go_to_typed "$work/u/café" || return 1
    typed_cmd "cd::café"
    wait_stored Keys café "$(win "$work/u/café")" && go_to "$work/other" || return 1
    typed_cmd "cd:café"
    wait_left_dir "$work/u/café"
}

scenario_name_written_by_another_program_found() {
    far reg add 'HKCU\Software\Far\Plugins\Velmora\Keys' /v straße /t REG_SZ \
        /d "$(win "$work/u/straße")" /f > /dev/null || return 1
    go_to "$work/other" || return 1
    typed_cmd "cd:straße"
    wait_left_dir "$work/u/straße"
}

# "Я" arrives as "?": completed, it would offer every name.
scenario_question_mark_not_completed() {
    go_to "$work/other" || return 1
    typed_cmd "cd:Я"
    refused_with "No name matches" || return 1
    not shows "Wx" || fail "a menu of names was offered" || return 1
    wait_left_dir "$work/other"
}

# A pattern the host would enter the first match of, and a folder written by another program
# whose letters the host's code page lacks, which it could not take either.
scenario_targets_the_host_cannot_take_refused() {
    far reg add 'HKCU\Software\Far\Plugins\Velmora\Keys' /v wild /t REG_SZ \
        /d "$(win "$work/u")\??????" /f > /dev/null &&
        far reg add 'HKCU\Software\Far\Plugins\Velmora\Keys' /v cyr /t REG_SZ \
            /d "$(win "$work/u/Привет")" /f > /dev/null && go_to "$work/other" || return 1
    far cmd "cd:wild"
    refused_with "No folder's name holds" && wait_left_dir "$work/other" || return 1
    far cmd "cd:cyr"
    refused_with "pass this folder's name whole" && wait_left_dir "$work/other"
}

# Its colon at index 5 made it a command for another plugin.
scenario_long_form_target_is_a_folder() {
    far reg add 'HKCU\Software\Far\Plugins\Velmora\Keys' /v lf /t REG_SZ \
        /d "\\\\?\\$(win "$work/proj")" /f > /dev/null && go_to "$work/other" || return 1
    far cmd "cd:lf"
    wait_title "\\\\?\\$(win "$work/proj")"
}

scenario_command_the_shell_would_run_refused() {
    far reg add 'HKCU\Software\Far\Plugins\Velmora\Keys' /v pw /t REG_SZ \
        /d "xyz:abc & echo hi>$(win "$work")\pw.txt" /f > /dev/null && go_to "$work/other" || return 1
    far cmd "cd:pw"
    refused_with "Not typed into the command line" || return 1
    [ ! -e "$work/pw.txt" ] || fail "the shell ran the stored text"
}

# The host cuts a path longer than its field, 259 characters, and shows another folder.
scenario_jump_past_the_field_refused() {
    local deep=$work/deep
    while [ $((${#deep} + 2)) -lt 250 ]; do deep=$deep/d; done
    deep=$deep/$(printf 'x%.0s' $(seq $((257 - ${#deep} - 3))))
    mkdir -p "$deep/y" || return 1
    far reg add 'HKCU\Software\Far\Plugins\Velmora\Keys' /v lng257 /t REG_SZ /d "$(win "$deep")" \
        /f > /dev/null && go_to "$work/other" || return 1
    far cmd "cd:lng257/yq"
    refused_with "longer than Far takes whole" && wait_left_dir "$work/other"
}

# A legal folder that fills the host's field is stored: the process is in it, so it is whole.
scenario_folder_of_259_characters_stored() {
    local full=$work/full
    while [ $((${#full} + 2)) -lt 250 ]; do full=$full/f; done
    full=$full/$(printf 'g%.0s' $(seq $((259 - ${#full} - 3))))
    mkdir -p "$full" && far cmd "cd $(win "$full")" && wait_for "$(literal "\\${full##*/}>")" || return 1
    far cmd "cd::f259"
    wait_stored Keys f259 "$(win "$full")"
}

scenario_relative_path_refused() {
    open_panel || return 1
    far keys S-F4
    wait_for "Add name" || return 1
    fill_dialog rel beta
    refused_with "Type the whole path" && dismiss shows "Add name" && wait_not_stored Keys rel
}

scenario_filter_name_with_backslash_refused() {
    open_panel || return 1
    far keys F7
    wait_for "Path mask" || return 1
    fill_dialog 'f\g' "*"
    refused_with "cannot hold a slash" && dismiss shows "Path mask" && wait_not_stored Filters 'f\g'
}

scenario_blanks_around_a_typed_name_dropped() {
    open_panel || return 1
    far keys S-F4
    wait_for "Add name" || return 1
    fill_dialog "  sp  " "$(win "$work/a2")"
    wait_stored Keys sp "$(win "$work/a2")"
}

# Cancelling the menu of names is no miss.
scenario_escape_on_the_menu_says_nothing() {
    go_to "$work/other" || return 1
    far cmd "cd:W"
    wait_for "║  Wx " || return 1
    far keys Escape
    sleep 1
    not message_shown || fail "a message followed the cancelled menu"
}

# Another Far on the same registry deleted it while this panel listed it.
scenario_row_deleted_elsewhere_said() {
    go_to "$work/a2" || return 1
    far cmd "cd::vanish"
    wait_stored Keys vanish "$(win "$work/a2")" && open_panel && select_item vanish || return 1
    far reg delete 'HKCU\Software\Far\Plugins\Velmora\Keys' /v vanish /f > /dev/null
    far keys Enter
    refused_with "no longer stored" && wait_unlisted vanish
}

# "zz:qq" would be two prefixes; after the refusal the cursor is on the prefix, so a Space is
# typed there instead of flipping "Show in disk menu".
scenario_prefix_with_two_colons_refused() {
    go_to "$work" || return 1
    far keys M-S-F9
    wait_for "Plugins configuration" && wait_for "Velmora" || return 1
    far keys Enter
    wait_for "Velmora settings" || return 1
    far keys Tab Tab Tab Tab Tab C-y
    far type "zz:qq"
    far keys Enter
    refused_with "ends in a colon" && wait_for "Velmora settings" || return 1
    far keys Space
    wait_for "\[x\] Show in disk menu" || return 1
    dismiss shows "Velmora settings" && dismiss shows "Plugins configuration" &&
        wait_stored "" Prefix "cd:"
}

scenarios=(
    "store: cd::proj writes the current folder to the registry" store
    "jump: cd:proj shows the folder in the panel's title" jump
    "jump below a name: cd:proj/sub" jump_below_name
    "panel: cd: lists the names, the temporary one too" panel_lists_names
    "F4: edits a name's folder" edit_name
    "Shift+F4: adds a name" add_name
    "F7: adds a filter, which lists the names it matches" filter
    "F8: deletes after its question" delete_asks_first
    "Alt+F7: Find file inside the panel" find_file_in_panel
    "plugin information: the DLL's version and width" plugin_information
    "cd:+ and cd:: without a name: a message, not Unexpected error" add_without_name_says_so
    "cd:W: the menu shows a name of 128 characters, cut, and takes it whole" long_candidate_in_menu
    "R typed over the panel: cd:Rust" capital_r_typed_over_panel
    "cd:-zzz: the message names zzz" failed_delete_names_text_typed
    "a jump to a folder gone since: says so" jump_to_gone_folder_says_so
    "cd::longp in a folder of 300 characters: refused" long_current_folder_refused
    "a change shows on the other names panel at once" other_names_panel_follows_change
    "F7 with an empty mask: refused" filter_with_empty_mask_refused
    "Shift+F4 with an empty path: refused" name_with_empty_path_refused
    "cd::a\\b, a name with a separator: refused" name_with_separator_refused
    "Ctrl+PgUp and .. leave a filter as a folder" navigation_keys_leave_filter
    "Ctrl+F5 and Ctrl+F3 sort the panel" sort_keys_reach_host
    "F8 on the temporary of two same names deletes it" same_name_twice_deletes_row_under_cursor
    "cd::cr in folders named in Cyrillic, CJK and with a look-alike: refused" folders_the_host_cannot_pass_on_refused
    "cd::Жук and cd::Лес, one '???' for the host: both refused" names_beyond_the_code_page_refused
    "cd::café: stored as café, and jumped to" letters_of_the_code_page_stored_as_text
    "straße written by reg add: cd:straße finds it" name_written_by_another_program_found
    "cd:Я, which arrives as '?': not completed" question_mark_not_completed
    "targets holding ?????? and Cyrillic: refused, not entered" targets_the_host_cannot_take_refused
    "a target \\\\?\\Z:\\...: a folder" long_form_target_is_a_folder
    "a target xyz:abc & echo: never typed into the command line" command_the_shell_would_run_refused
    "cd:lng257/yq, 260 characters: refused, not cut" jump_past_the_field_refused
    "cd::f259 in a folder of 259 characters: stored" folder_of_259_characters_stored
    "Shift+F4 with a relative path: refused" relative_path_refused
    "F7 with a name holding a backslash: refused" filter_name_with_backslash_refused
    "Shift+F4 with blanks around the name: stored without them" blanks_around_a_typed_name_dropped
    "Esc on the menu of names: no message" escape_on_the_menu_says_nothing
    "Enter on a row deleted by another program: said, and the list read again" row_deleted_elsewhere_said
    "the prefix zz:qq: refused, the cursor back on the prefix" prefix_with_two_colons_refused
)

# Runs one scenario and says how it went; after a failure Far starts again, on the same
# registry, for the next one.
run_scenario() {
    local title=$1 name=$2
    if [ "$SECONDS" -ge "$tmux_deadline" ]; then
        echo "FAIL $width $title: not run, the width's $limit s were over"
        failed=$((failed + 1))
        return
    fi
    run_case "$width $title" on_far "scenario_$name" && return
    far_up=no
    [ "$SECONDS" -lt "$tmux_deadline" ] || return
    far stop && far start "$work" "$work/other" && far_up=yes
}
on_far() {
    [ "$far_up" = yes ] || fail "Far is not running" || return 1
    "$@"
}

# Runs every scenario in Far of one width with the folder of the DLL for it.
run_width() {
    local bits=$1 plugin=$2 i started=$SECONDS
    width=$3
    export FARW=/tmp/far3-$$-$width SESSION=far3-$$-$width
    tmux_server=$SESSION tmux_session=$SESSION
    work=$FARW/work
    tmux_deadline=$((SECONDS + limit))
    echo "Far 3 $width, dist/$(basename "$plugin"), work folder $FARW"
    if ! far install "$bits" "$plugin"; then
        setup_failed "Far 3 $width could not be installed with $plugin"
        return
    fi
    mkdir -p "$work/proj/sub" "$work/other" "$work/a2"
    # A user who sees every failure: a scenario's fault shows as a message on the screen.
    far reg add 'HKCU\Software\Far\Plugins\Velmora' /v ShowErrors /t REG_DWORD /d 1 /f > /dev/null
    far_up=no
    far start "$work" "$work/other" && far_up=yes
    for ((i = 0; i < ${#scenarios[@]}; i += 2)); do
        run_scenario "${scenarios[i]}" "${scenarios[i + 1]}"
    done
    far stop
    [ -n "${VELMORA_FAR3_KEEP:-}" ] || rm -rf "$FARW"
    echo "Far 3 $width: $((SECONDS - started)) s"
}

# A Far left running by an interrupted run is ended with its tmux server and prefix.
cleanup() {
    [ -d "${FARW:-}" ] || return
    far stop
    [ -n "${VELMORA_FAR3_KEEP:-}" ] || rm -rf "$FARW"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

version=$(sed -nE 's/^project\(Velmora VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
runs_32bit=no
scripts/runs-32bit.sh && runs_32bit=yes

# Builds one width's folder in dist/ from its preset, as scripts/test.sh configures it.
build_dist() {
    local dir=$1
    if [ ! -f "build/$dir/CMakeCache.txt" ]; then
        cmake --preset "$dir" > /dev/null || return 1
    fi
    cmake --build "build/$dir" --target dist -j"$(nproc)" > /dev/null
}

if ! scripts/install-deps.sh; then
    setup_failed "the packages could not be installed"
else
    if build_dist win64; then
        run_width 64 "$root/dist/Velmora64" x64
    else
        setup_failed "the 64-bit DLL did not build"
    fi
    if [ "$runs_32bit" = no ]; then
        echo "Far 3 x86 not run: this machine's kernel refuses 32-bit programs (Exec format error)"
    elif build_dist win32; then
        run_width 32 "$root/dist/Velmora" x86
    else
        setup_failed "the 32-bit DLL did not build"
    fi
fi
summary far3
