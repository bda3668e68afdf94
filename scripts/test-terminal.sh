#!/usr/bin/env bash
# End-to-end tests of the velmora program in a real terminal: tmux runs bash (and zsh, fish,
# dash, ksh, busybox sh) with the shell integration loaded, and the cases type into it and read
# its screen through scripts/lib/tmux.sh. Every case gets a new store in a temporary folder and a
# new shell. Works headless: the tmux server is our own and its sessions are detached.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
tmux_server=velmora-test-$$ tmux_session=vt
# shellcheck source=scripts/lib/tmux.sh
source scripts/lib/tmux.sh

scripts/install-deps.sh || exit 1
if ! { [ -f build/native/CMakeCache.txt ] || cmake --preset native > /dev/null; } ||
    ! cmake --build build/native --target velmora -j"$(nproc)" > /dev/null; then
    give_up terminal "velmora did not build"
fi
program=$root/build/native/cli/velmora

# The screen is read as UTF-8 whatever the caller's locale, so frames and texts compare alike.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
cleanup() {
    tmux_stop
    rm -rf "$work"
}
trap cleanup EXIT

# --- Helpers ------------------------------------------------------------------------------

# A new store and a new shell with the integration loaded, at the prompt: bash (the default),
# zsh, fish, or dash, ksh and busybox with `velmora init sh`. `last_status` is how that shell
# names the exit status of the last command.
case_store=
last_status=
start_shell() {
    local shell=${1:-bash}
    case_store=$(mktemp -d "$work/case.XXXX")
    local home=$case_store/home
    mkdir -p "$home"
    local environment quoted_program
    environment=$(printf 'VELMORA_REGISTRY_DIR=%q VELMORA_VOLATILE_DIR=%q HOME=%q' \
        "$case_store/registry" "$case_store/volatile" "$home")
    quoted_program=$(printf '%q' "$program")
    tmux_end
    last_status='$?'
    case $shell in
        zsh)
            printf '%s\n' "PS1='vt\$ '" 'autoload -Uz compinit && compinit -u' \
                "eval \"\$($quoted_program init zsh)\"" > "$home/.zshrc"
            tmux_start 120 32 "env $environment ZDOTDIR=$home zsh -i"
            ;;
        fish)
            mkdir -p "$home/.config/fish"
            printf '%s\n' 'set -g fish_greeting' "function fish_prompt; echo -n 'vt\$ '; end" \
                "$quoted_program init fish | source" > "$home/.config/fish/config.fish"
            # shellcheck disable=SC2016 # fish expands it
            last_status='$status'
            tmux_start 120 32 "env $environment fish -i"
            ;;
        dash | ksh | busybox)
            printf '%s\n' "PS1='vt\$ '" "eval \"\$($quoted_program init sh)\"" > "$home/.shrc"
            local run=$shell
            [ "$shell" = busybox ] && run="busybox sh"
            tmux_start 120 32 "env $environment ENV=$home/.shrc $run -i"
            ;;
        *)
            printf '%s\n' "PS1='vt\$ '" 'HISTFILE=/dev/null' \
                "eval \"\$($quoted_program init bash)\"" > "$home/.bashrc"
            tmux_start 120 32 "env $environment bash --noprofile --rcfile $home/.bashrc -i"
            ;;
    esac
    wait_for '^vt\$ ?$'
}

# Runs a command line in the shell after clearing the screen; `rc` gets its exit status and
# `output` the screen once it is done.
serial=0
output=
rc=
shell_run() {
    shell_start "$1"
    finish
}

# Starts a command that takes over the screen; the caller answers it and then calls finish.
shell_start() {
    serial=$((serial + 1))
    type_text "clear; $1; echo @@$serial rc=$last_status"
    keys Enter
}
finish() {
    wait_for "^@@$serial rc=[0-9]+" || return 1
    output=$(screen)
    rc=$(grep -oE "^@@$serial rc=[0-9]+" <<< "$output" | tail -1 | sed 's/.*rc=//')
}

# Stores a permanent name for a directory, made when missing, as `cd: :NAME` there does.
store() {
    mkdir -p "$2"
    (cd "$2" && env VELMORA_REGISTRY_DIR="$case_store/registry" \
        VELMORA_VOLATILE_DIR="$case_store/volatile" "$program" ":$1") ||
        fail "could not store $1"
}

names() {
    env VELMORA_REGISTRY_DIR="$case_store/registry" VELMORA_VOLATILE_DIR="$case_store/volatile" \
        "$program" --names
}

# Moves the panel's cursor onto the item of that name; the panel shows the current name in
# its bottom frame line.
bottom_line() { grep -F '└─' <<< "$(screen)"; }
moved_from() { [ "$(bottom_line)" != "$1" ]; }
cursor_to() {
    local name=$1 before
    keys Home
    for _ in $(seq 1 40); do
        shows "$(literal "└─ $name ─")" && return 0
        before=$(bottom_line)
        keys Down
        poll 3 moved_from "$before"
    done
    fail "no item $name on the panel"
}

# A case ends with its shell.
terminal_case() {
    run_case "$@"
    tmux_end
}

# --- Cases --------------------------------------------------------------------------------

test_store_and_jump_with_rest() {
    start_shell || return 1
    mkdir -p "$work/jump/proj/src"
    shell_run "cd $work/jump/proj && cd: :proj && cd: +here && cd / && cd: proj/src && pwd" ||
        return 1
    { [ "$rc" = 0 ] && grep -qx "$work/jump/proj/src" <<< "$output"; } ||
        fail "pwd after cd: proj/src is not $work/jump/proj/src"
    shell_run "cd / && cd: here && pwd" || return 1
    grep -qx "$work/jump/proj" <<< "$output" || fail "the temporary name does not lead back"
}

test_delete_and_miss_from_the_command_line() {
    start_shell || return 1
    store proj "$work/delete/proj" || return 1
    shell_run "cd / && cd: nosuch" || return 1
    [ "$rc" = 1 ] || fail "a name that is not stored gives status $rc, not 1" || return 1
    grep -qF "velmora: no name 'nosuch'" <<< "$output" || fail "the miss is not said" || return 1
    # The shell's words around a blank were meant as a name and a folder below it.
    shell_run "cd: proj /src" || return 1
    grep -qF "velmora: no name 'proj '; a folder below a name goes behind a / without blanks: proj/src" \
        <<< "$output" || fail "cd: proj /src does not say how to reach src below proj" || return 1
    # A name that holds a command but nothing behind its last colon stores nothing, and says so.
    shell_run "cd: :abc:" || return 1
    [ "$rc" = 1 ] && grep -qF "no name behind the last colon of 'abc:'" <<< "$output" ||
        fail "an add of an empty name gives status $rc without saying why" || return 1
    [ "$(names)" = proj ] || fail "the store holds '$(names)' after cd: :abc:" || return 1
    shell_run "cd: -proj" || return 1
    [ "$rc" = 0 ] || fail "deleting a stored name gives status $rc" || return 1
    [ -z "$(names)" ] || fail "proj is still stored after cd: -proj" || return 1
    shell_run "cd: -proj" || return 1
    [ "$rc" = 1 ] || fail "deleting it again gives status $rc, not 1" || return 1
    shell_run "velmora -- -" || return 1
    { [ "$rc" = 1 ] && grep -qF "there is no name to delete: type it behind -" <<< "$output"; } ||
        fail "a delete of no name gives status $rc without saying what is missing"
}

# A word beginning with '-' is an option of the program: an unknown one is refused in one line
# that says where the help is, and deletes nothing, while the shell's command still deletes.
test_an_unknown_option_is_never_a_delete() {
    start_shell || return 1
    store v "$work/option/v" || return 1
    shell_run "velmora -v 2>&1 | wc -l; velmora -v" || return 1
    # shellcheck disable=SC2016 # the backquotes are the message's own
    [ "$rc" = 2 ] && grep -qx "1" <<< "$output" &&
        grep -qF 'velmora: there is no option -v; a text that begins with - goes behind --: `velmora -- -v`; try `velmora --help`' \
            <<< "$output" ||
        fail "velmora -v gives status $rc without refusing the option in one line" || return 1
    [ "$(names)" = v ] || fail "velmora -v deleted the name v" || return 1
    # A name behind prune, and --from without its format, are said for what they are (the usage
    # that follows each is left out, so that both stay on the screen).
    shell_run "velmora prune --yes v 2>&1 | head -1; velmora import --from 2>&1 | head -1" ||
        return 1
    # shellcheck disable=SC2016 # the backquotes are the messages' own
    grep -qF "prune takes no name ('v')" <<< "$output" &&
        grep -qF 'to delete one: `velmora -- -v`' <<< "$output" &&
        grep -qF 'say whose bookmarks to import: `velmora import --from wd' <<< "$output" ||
        fail "prune with a name or import --from alone is not said as such" || return 1
    [ "$(names)" = v ] || fail "velmora prune --yes v deleted the name v" || return 1
    shell_run "cd: -v" || return 1
    { [ "$rc" = 0 ] && [ -z "$(names)" ]; } || fail "cd: -v did not delete v (status $rc)"
}

# The help opens with the shell's command; every command has its own, asked for either way, and
# --help anywhere among the options shows it instead of doing the command.
test_help_for_the_shell_and_every_command() {
    start_shell || return 1
    store gone "$work/help/gone" || return 1
    rmdir "$work/help/gone"
    shell_run "velmora help | head -1" || return 1
    grep -q '^usage: cd: TEXT ' <<< "$output" || fail "the help does not open with cd: TEXT" ||
        return 1
    # The word behind --names is what a shell has typed, --help too.
    local command
    for command in init list check prune export import --configure --prefix help --version; do
        shell_run "cd $work/help && velmora $command --help | head -1" || return 1
        [ "$rc" = 0 ] && grep -qx "usage: velmora $command.*" <<< "$output" ||
            fail "velmora $command --help does not show its usage (status $rc)" || return 1
    done
    shell_run "velmora help prune > $case_store/asked; velmora prune --yes --help |
        cmp - $case_store/asked && echo same" || return 1
    grep -qx same <<< "$output" || fail "help prune and prune --help differ" || return 1
    [ "$(names)" = gone ] || fail "prune --yes --help pruned" || return 1
    [ -z "$(ls "$work/help")" ] || fail "export --help wrote a file: $(ls "$work/help")"
}

# What users of cd, zoxide and wd reach for: cd: - goes back, a path goes where cd goes unless a
# name of it is stored, an add over a name says what it replaced, and Tab completes the folders
# below a name and the commands of velmora.
test_habits_of_shell_users() {
    start_shell || return 1
    local at=$work/habits
    mkdir -p "$at/a/sub/deep" "$at/b" "$at/a/.dot" "$case_store/home/inside"
    store .dot "$at/b" || return 1
    shell_run "cd $at/a && cd $at/b && cd: - && pwd" || return 1
    grep -qx "$at/a" <<< "$output" || fail "cd: - did not go back to $at/a" || return 1
    shell_run "cd $at/a/sub && cd: .. && pwd && cd: ./sub/deep && pwd && cd: ~/inside && pwd &&
        cd: / && pwd && cd $at/a && cd: .dot && pwd" || return 1
    grep -qx "$at/a" <<< "$output" && grep -qx "$at/a/sub/deep" <<< "$output" &&
        grep -qx "$case_store/home/inside" <<< "$output" && grep -qx / <<< "$output" ||
        fail "cd: .., ./sub/deep, ~/inside or / did not go there" || return 1
    [ "$(grep -cx "$at/b" <<< "$output")" = 1 ] ||
        fail "cd: .dot went to the folder, not to the stored name" || return 1
    shell_run "cd $at/a && cd: :alpha && cd $at/b && cd: :alpha" || return 1
    [ "$rc" = 0 ] && grep -qF "velmora: alpha now $at/b (was $at/a)" <<< "$output" ||
        fail "storing alpha again does not say what it replaced" || return 1
    store proj "$at/a" || return 1
    type_text "cd: proj/s"
    keys Tab
    wait_for '^vt\$ cd: proj/sub/$' || fail "Tab does not complete the folder below proj" ||
        return 1
    keys C-u
    type_text "velmora ch"
    keys Tab
    wait_for '^vt\$ velmora check ?$' || fail "Tab does not complete the command check"
}

# A name whose directory is gone is said so by the program, with what deletes it, in every shell
# alike: the shell's cd never gets to say it in its own words.
test_a_gone_directory_is_said_by_velmora() {
    local shell=$1
    start_shell "$shell" || return 1
    store gone "$work/gone-$shell" || return 1
    rmdir "$work/gone-$shell"
    shell_run "cd: gone" || return 1
    # The line is longer than the screen is wide: read with the lines it wraps joined.
    local said="velmora: the directory of 'gone' is gone ($work/gone-$shell);"
    # shellcheck disable=SC2016 # the backquotes are the message's own
    said+=' `velmora prune` deletes the names whose directory is gone'
    output=$(screen -J | grep -v -e '^@@' -e '^vt\$')
    { [ "$rc" = 1 ] && [ "$(sed '/^$/d' <<< "$output")" = "$said" ]; } ||
        fail "a gone directory gives status $rc and says: $output"
}

# fish shows beside each name the directory a jump to it goes to, and beside each command of
# velmora what it does; Tab completes the folders below a name there too.
test_fish_completes_with_directories_beside() {
    start_shell fish || return 1
    store proj "$work/fish/proj" && store prod "$work/fish/prod" || return 1
    mkdir -p "$work/fish/proj/src"
    type_text "cd: pr"
    keys Tab
    wait_for "prod +\($work/fish/prod\)" && wait_for "proj +\($work/fish/proj\)" || return 1
    keys C-u
    type_text "cd: proj/"
    keys Tab
    wait_for '^vt\$ cd: proj/src/$' || return 1
    keys C-u
    type_text "velmora p"
    keys Tab
    wait_for 'prune +\(delete the names whose directory is gone\)' || fail "no word beside prune"
}

test_completion_menu_chosen_with_cursor_keys() {
    start_shell || return 1
    store proj "$work/menu/proj" && store prod "$work/menu/prod" || return 1
    shell_start "cd / && cd: pr && pwd"
    wait_for '│ proj +│' && wait_for '│ prod +│' || return 1
    # The second line of the menu, whichever name it is.
    local second
    second=$(screen | grep -oE '│ pro[dj] +│' | sed -n 2p | grep -oE 'pro[dj]')
    keys Down Enter
    finish || return 1
    grep -qx "$work/menu/$second" <<< "$output" || fail "Down and Enter did not go to $second"
}

test_tab_completes_stored_names() {
    start_shell || return 1
    store proj "$work/tab/proj" && store prod "$work/tab/prod" && store other "$work/tab/other" ||
        return 1
    type_text "cd: pr"
    keys Tab
    wait_for '^vt\$ cd: pro$' || return 1
    keys Tab Tab
    wait_for 'prod +proj' || return 1
    keys C-u
    type_text "cd: -ot"
    keys Tab
    wait_for '^vt\$ cd: -other$' || fail "a delete does not complete the name"
}

# A name and a path holding $(...), backticks, quotes, blanks and a newline reach the shell
# (started by the caller, its command named $2) only as data: the name is stored and jumped to
# through the command and the jump lands, and where the shell completes, Tab offers a name
# quoted so that Enter jumps. Nothing may run.
names_and_paths_stay_data() {
    local shell=$1 prefix=$2
    local syntax="\$(touch pwned) \`touch pwned\` '\""
    local odd="$work/$shell/$syntax"$'\n'"q"
    mkdir -p "$odd"
    printf '%s' "n $syntax"$'\n'"z" > "$case_store/name"
    printf '%s' "$odd" > "$case_store/dir"
    # shellcheck disable=SC2016 # the shell under test expands them
    local read_them='n=$(cat name) && d=$(cat dir)'
    [ "$shell" = fish ] && read_them='set n (string collect < name) && set d (string collect < dir)'
    shell_run "cd $case_store && $read_them && cd \"\$d\" && $prefix \":\$n\" && cd / &&
        $prefix \"\$n\" && pwd > $case_store/landed" || return 1
    [ "$(cat "$case_store/landed" 2> /dev/null)" = "$odd" ] ||
        fail "the jump to the odd name did not land in the odd path" || return 1
    if [ "$shell" = bash ] || [ "$shell" = zsh ] || [ "$shell" = fish ]; then
        store "t $syntax" "$odd" || return 1
        shell_run "cd $case_store" || return 1
        type_text "$prefix t"
        keys Tab
        wait_for "^vt\\$ $prefix t.*pwned" || return 1
        serial=$((serial + 1))
        type_text " && pwd > $case_store/tabbed; echo @@$serial rc=$last_status"
        keys Enter
        finish || fail "Enter after the completed name did not run the jump" || return 1
        [ "$(cat "$case_store/tabbed" 2> /dev/null)" = "$odd" ] ||
            fail "the completed name did not land in the odd path" || return 1
    fi
    [ -z "$(find "$work" -name pwned)" ] || fail "the shell ran a command from a name or path"
}

test_names_and_paths_stay_data() {
    start_shell "$1" && names_and_paths_stay_data "$1" cd:
}

# ksh reads "cd:" at the start of a command as a label: the integration says so when the shell
# starts, and a prefix set in the settings works at once.
test_ksh_takes_the_prefix_from_the_settings() {
    start_shell ksh || return 1
    shows "ksh reads a word ending in ':' as a label" ||
        fail "ksh starts without saying why cd: cannot work" || return 1
    shell_start "velmora --configure"
    wait_for 'Velmora settings' || return 1
    keys M-p C-y
    type_text "go"
    keys Enter
    finish || return 1
    names_and_paths_stay_data ksh go
}

test_panel_filter_entered_and_left() {
    start_shell || return 1
    store proj "$work/panel/proj" && store prod "$work/panel/prod" && store tmp "/tmp" || return 1
    shell_start "cd: "
    wait_for '─ Velmora ─' && wait_for '│  proj +│' || return 1
    keys F7
    wait_for 'Path mask:' || return 1
    type_text "pr"
    keys Tab
    type_text "$work/panel/pr*"
    keys Enter
    wait_for '│  pr/ +│' || return 1
    cursor_to pr || return 1
    keys Enter
    wait_for "Velmora: $work/panel/pr\\* " && wait_for '│  prod +│' || return 1
    not shows '│  tmp +│' || fail "the filter lists tmp, whose path does not match" ||
        return 1
    keys Home Enter
    wait_for '─ Velmora ─' && wait_for '│  tmp +│' || return 1
    keys Escape
    finish || return 1
    [ "$rc" = 0 ] || fail "leaving the panel gives status $rc"
}

test_panel_edit_then_jump() {
    start_shell || return 1
    store proj "$work/edit/proj" || return 1
    mkdir -p "$work/edit/moved"
    shell_start "VELMORA_FILE_BROWSER=$work/no-browser cd: && pwd"
    wait_for '│  proj +│' || return 1
    cursor_to proj || return 1
    keys F4
    wait_for 'Edit name' || return 1
    keys Tab C-y
    type_text "$work/edit/moved"
    keys Enter
    wait_for "│$work/edit/moved +│" || return 1
    # Ctrl+J stands for Ctrl+Enter, the file manager's other panel, which a shell does not have.
    keys C-j
    wait_for "A shell has no other panel" || return 1
    # Ctrl+O stands for Shift+Enter; without a file browser it says so and goes nowhere.
    keys C-o
    wait_for "No file browser found" || return 1
    keys Enter
    finish || return 1
    grep -qx "$work/edit/moved" <<< "$output" || fail "Enter on proj did not go to its new path"
}

test_panel_in_a_small_slow_plain_or_dumb_terminal() {
    start_shell || return 1
    tmux_ resize-window -t "$tmux_session" -x 40 -y 10
    shell_start "cd: "
    # An empty panel says how to add a name; the status line keeps the key for it.
    wait_for 'Nothing stored here yet' && wait_for 'Ctrl\+N Add' || return 1
    # The keys' box does not fit: it scrolls to its last line.
    keys F1
    wait_for ' Keys ' || return 1
    keys End
    wait_for 'marks a temporary name' || return 1
    keys Escape
    wait_gone 'marks a temporary name' || return 1
    # A cursor key whose bytes arrive apart, as over a slow link, is still one key.
    keys Escape
    sleep 0.15
    type_text "[B"
    sleep 0.5
    shows 'Nothing stored here yet' || fail "a slow cursor key closed the panel" ||
        return 1
    keys Escape
    finish || return 1
    tmux_ resize-window -t "$tmux_session" -x 120 -y 32
    # NO_COLOR draws without colours.
    shell_start "NO_COLOR=1 cd: "
    wait_for 'Nothing stored here yet' || return 1
    not grep -qE $'\e\\[[0-9;]*(3[0-7]|4[0-7])m' <<< "$(screen -e)" ||
        fail "NO_COLOR=1 still draws in colour" || return 1
    keys Escape
    finish || return 1
    # A terminal that cannot draw a full screen is told so, with what to use instead; the settings
    # are not reported as done.
    shell_run "TERM=dumb cd: " || return 1
    [ "$rc" = 2 ] && grep -q 'TERM=dumb) cannot draw a full screen' <<< "$output" ||
        fail "TERM=dumb is not refused" || return 1
    shell_run "TERM=dumb velmora --configure" || return 1
    { [ "$rc" = 2 ] && grep -q 'the settings need a full-screen terminal' <<< "$output"; } ||
        fail "TERM=dumb velmora --configure gives status $rc"
}

test_panel_delete_asks_first() {
    start_shell || return 1
    store proj "$work/del/proj" && store prod "$work/del/prod" || return 1
    shell_start "cd: "
    wait_for '│  prod +│' || return 1
    cursor_to prod || return 1
    keys F8
    wait_for 'Delete prod\?' || return 1
    keys Escape
    wait_gone 'Delete prod\?' && wait_for '│  prod +│' || return 1
    keys F8
    wait_for 'Delete prod\?' || return 1
    keys Enter
    wait_gone '│  prod +│' || return 1
    keys Escape
    finish || return 1
    [ "$(names)" = proj ] || fail "the store holds '$(names)' instead of proj alone"
}

test_configuration_changes_the_prefix_and_the_function() {
    start_shell || return 1
    store proj "$work/conf/proj" || return 1
    shell_start "velmora --configure"
    wait_for 'Velmora settings' || return 1
    # The switches of the file manager's menus are left out in a shell.
    not shows 'Show in disk menu' || fail "the settings offer the disk menu" || return 1
    # Alt+P reaches the prefix field through its label. A command of the shell itself is refused
    # inside the dialog, which comes back; the name of a program is taken only when confirmed.
    keys M-p C-y
    type_text "cd"
    keys Enter
    wait_for 'cd is a command of the shell itself' || return 1
    keys Enter
    wait_gone 'command of the shell itself' && wait_for 'Velmora settings' || return 1
    keys M-p C-y
    type_text "ls"
    keys Enter
    wait_for 'ls is also the program /' || return 1
    keys Escape
    wait_gone 'is also the program' && wait_for 'Velmora settings' || return 1
    # Alt+E turns error messages on.
    keys M-p C-y
    type_text "go:"
    keys M-e Enter
    finish || return 1
    not grep -q 'command of the shell itself' <<< "$output" ||
        fail "the refusal was said behind the screen too" || return 1
    shell_run "type -t cd: || echo cd: gone; cd / && go: proj && pwd" || return 1
    grep -qx 'cd: gone' <<< "$output" || fail "the old function cd: is still defined" || return 1
    grep -qx "$work/conf/proj" <<< "$output" || fail "go: proj did not go to proj" || return 1
    # With error messages on, a miss is said as it is with them off.
    shell_run "go: nosuch" || return 1
    grep -qx "velmora: no name 'nosuch'" <<< "$output" ||
        fail "a missing name is not said as every miss is" || return 1
    # A new shell takes the new prefix from the start.
    tmux_end
    tmux_start 120 32 "env VELMORA_REGISTRY_DIR=$case_store/registry \
        VELMORA_VOLATILE_DIR=$case_store/volatile bash --noprofile \
        --rcfile $case_store/home/.bashrc -i"
    wait_for '^vt\$ ?$' || return 1
    shell_run "cd / && go: proj && pwd" || return 1
    grep -qx "$work/conf/proj" <<< "$output" || fail "a new shell has no go: function"
}

test_zsh_jumps_and_completes() {
    start_shell zsh || return 1
    mkdir -p "$work/zsh/proj/src"
    store proj "$work/zsh/proj" && store prod "$work/zsh/prod" || return 1
    shell_run "cd / && cd: proj/src && pwd" || return 1
    grep -qx "$work/zsh/proj/src" <<< "$output" || fail "cd: proj/src did not go there in zsh" ||
        return 1
    type_text "cd: pr"
    keys Tab
    wait_for '^vt\$ cd: pro$' || return 1
    keys Tab
    wait_for 'prod +proj' || fail "zsh does not list both names" || return 1
    keys C-u
    type_text "cd: proj/"
    keys Tab
    wait_for '^vt\$ cd: proj/src/$' || fail "zsh does not complete the folder below proj" ||
        return 1
    keys C-u
    type_text "velmora ch"
    keys Tab
    wait_for '^vt\$ velmora check ?$' || fail "zsh does not complete the command check"
}

test_a_300_byte_name_is_stored_and_listed_whole() {
    start_shell || return 1
    local long
    long=$(printf 'n%.0s' $(seq 1 300))
    mkdir -p "$work/long300"
    shell_run "cd $work/long300 && cd: :$long" || return 1
    [ "$rc" = 0 ] || fail "storing a 300-byte name gives status $rc" || return 1
    [ "$(names)" = "$long" ] || fail "--names does not list the 300-byte name whole" || return 1
    shell_run "cd / && cd: $long && pwd" || return 1
    grep -qx "$work/long300" <<< "$output" || fail "the 300-byte name does not lead back"
}

test_a_long_current_directory_is_stored_whole() {
    start_shell || return 1
    # Linux names hold 255 bytes: 15 levels of 200 make a path of about 3,000 bytes, 21 one
    # longer than the 4,095 a path may hold. The shell walks down to them one level at a time.
    local level deep=$work/long
    level=$(printf 'd%.0s' $(seq 1 200))
    for _ in $(seq 1 15); do deep=$deep/$level; done
    mkdir -p "$deep/$level/$level/$level/$level/$level/$level"
    shell_run "cd $work/long && for i in \$(seq 15); do cd d*; done && cd: :deep &&
        cd / && cd: deep && pwd > $work/long.pwd" || return 1
    [ "$rc" = 0 ] && [ "$(cat "$work/long.pwd")" = "$deep" ] ||
        fail "a ${#deep}-byte directory was not stored whole (status $rc)" || return 1
    shell_run "cd $work/long && for i in \$(seq 21); do cd d*; done && cd: :toolong" || return 1
    [ "$rc" = 1 ] && grep -q 'longer than 4094 bytes' <<< "$output" ||
        fail "a directory longer than 4,094 bytes was not refused (status $rc)" || return 1
    [ "$(names)" = deep ] || fail "the store holds '$(names)' instead of deep alone"
}

test_list_check_and_prune() {
    start_shell || return 1
    store live "$work/prune/live" && store dead "$work/prune/dead" || return 1
    rmdir "$work/prune/dead"
    shell_run "velmora list" || return 1
    grep -qE "^live +$work/prune/live *\$" <<< "$output" &&
        grep -qE "^dead +$work/prune/dead +gone\$" <<< "$output" ||
        fail "list does not mark the gone directory" || return 1
    shell_run "velmora check" || return 1
    [ "$rc" = 1 ] && grep -qE "^dead " <<< "$output" && ! grep -qE "^live " <<< "$output" ||
        fail "check does not list dead alone with status 1" || return 1
    shell_start "velmora prune"
    wait_for 'Delete 1 name whose directory is gone\? \[y/N\]' || return 1
    type_text "y"
    keys Enter
    finish || return 1
    { [ "$rc" = 0 ] && [ "$(names)" = live ]; } || fail "prune left '$(names)' with status $rc"
}

# Escape sequences and C1 controls in names and targets are shown, never obeyed by the terminal:
# in the shell's message for a command for the file manager, in a miss, and in list.
test_control_bytes_are_shown_visibly() {
    start_shell || return 1
    store "ftp:h"$'\e'"[7m:cmd" "$work/ctl" || return 1
    printf 'zz\302\233\033[2J' > "$case_store/miss"
    shell_run "cd: cmd; cd: \"\$(cat $case_store/miss)\"; velmora list | cat" || return 1
    {
        grep -qF 'run it as a command: ftp:h\x1b[7m/' <<< "$output" &&
            grep -qF "velmora: no name 'zz\xc2\x9b\x1b[2J'" <<< "$output" &&
            grep -qF 'ftp:h\x1b[7m/' <<< "$(grep '^cmd' <<< "$output")"
    } ||
        fail "a control byte reached the terminal"
}

# A target the file manager runs as a command is marked so by list and check; it is not gone.
test_list_and_check_mark_commands() {
    start_shell || return 1
    store "ftp:srv:cmd" "$work/marks" || return 1
    shell_run "velmora list" || return 1
    grep -qE "^cmd +ftp:srv$work/marks +command\$" <<< "$output" ||
        fail "list does not mark the command" || return 1
    shell_run "velmora check" || return 1
    { [ "$rc" = 0 ] && grep -qE "^cmd +ftp:srv$work/marks +command\$" <<< "$output"; } ||
        fail "check does not show the command marked, with status 0 (status $rc)"
}

test_a_damaged_store_is_said_with_its_path() {
    start_shell || return 1
    store proj "$work/fault/proj" || return 1
    local database=$case_store/registry/hkcu.db
    rm -f "$database"-wal "$database"-shm
    head -c 8192 /dev/urandom > "$database"
    shell_run "cd: proj" || return 1
    local said="velmora: your names are in a damaged file ($database)"
    { [ "$rc" = 4 ] && grep -qF "$said" <<< "$output"; } ||
        fail "a damaged store gives status $rc without naming $database"
}

# The temporary names' store is not the one a permanent name goes to: its fault is said, and the
# add that was done exits 0.
test_a_broken_temporary_store_leaves_a_permanent_add_done() {
    start_shell || return 1
    install -d -m 700 "$case_store/volatile" "$work/permanent"
    head -c 8192 /dev/urandom > "$case_store/volatile/hkcu.db"
    chmod 600 "$case_store/volatile/hkcu.db"
    shell_run "cd $work/permanent && cd: :perm" || return 1
    [ "$rc" = 0 ] &&
        grep -qF "velmora: your temporary names are in a damaged file ($case_store/volatile/hkcu.db)" \
            <<< "$output" ||
        fail "the add gives status $rc, or the damaged store is not said" || return 1
    [ "$(names 2> /dev/null)" = perm ] || fail "perm was not stored"
}

# The program copied alone into an empty folder carries its texts: it stores, lists and jumps, in
# any letter case of a language's name, and a language it has no texts for is English, said once.
test_a_copy_of_the_program_alone_works_in_every_language() {
    local alone=$work/alone store=$work/alone-store
    mkdir -p "$alone/bin" "$alone/dir"
    cp "$program" "$alone/bin/"
    local said
    said=$(cd "$alone/dir" && env -u VELMORA_LNG_DIR VELMORA_REGISTRY_DIR="$store/r" \
        VELMORA_VOLATILE_DIR="$store/v" VELMORA_LANGUAGE=russian "$alone/bin/velmora" :x 2>&1) &&
        [ -z "$said" ] || fail "a copy alone could not store x in Russian: $said" || return 1
    said=$(cd / && env -u VELMORA_LNG_DIR VELMORA_REGISTRY_DIR="$store/r" \
        VELMORA_VOLATILE_DIR="$store/v" VELMORA_LANGUAGE=German "$alone/bin/velmora" x 2>&1) &&
        [ "$said" = "$alone/dir" ] || fail "a copy alone in German did not go to x: $said" ||
        return 1
    said=$(cd "$alone/dir" && env -u VELMORA_LNG_DIR VELMORA_REGISTRY_DIR="$store/r" \
        VELMORA_VOLATILE_DIR="$store/v" VELMORA_LANGUAGE=German "$alone/bin/velmora" :y 2>&1) &&
        grep -q "no texts in 'German'.*English, Russian" <<< "$said" ||
        fail "a copy alone in German does not say which languages it has: $said" || return 1
    env VELMORA_REGISTRY_DIR="$store/r" VELMORA_VOLATILE_DIR="$store/v" "$alone/bin/velmora" list |
        grep -q "^x	$alone/dir" || fail "a copy alone does not list x"
}

# A store the user may only read: an add, a delete and a save of the settings that the store
# refuses are the store's failures, said with what was not done, its fault and status 4.
test_writes_the_store_refuses_are_store_failures() {
    start_shell || return 1
    store n4 "$work/refused/n4" || return 1
    local database=$case_store/registry/hkcu.db
    local refused="velmora: cannot change your names: $database is read-only; make it writable"
    chmod 400 "$database"
    shell_run "velmora :n5" || return 1
    [ "$rc" = 4 ] && grep -qF "velmora: 'n5' was not stored" <<< "$output" &&
        grep -qF "$refused" <<< "$output" ||
        fail "an add the store refused gives status $rc without saying so" || return 1
    shell_run "velmora -- -n4" || return 1
    [ "$rc" = 4 ] && grep -qF "velmora: 'n4' is still stored; it was not deleted" <<< "$output" &&
        grep -qF "$refused" <<< "$output" ||
        fail "a delete the store refused gives status $rc without its fault" || return 1
    # The dialog shows the fault on the screen as the panel does, and the program says it again.
    shell_start "velmora --configure"
    wait_for 'Velmora settings' || return 1
    keys M-p C-y
    type_text "go:"
    keys Enter
    wait_for "$database is read-only" || return 1
    keys Enter
    finish || return 1
    [ "$rc" = 4 ] && grep -qF "velmora: the settings were not saved" <<< "$output" &&
        grep -qF "$refused" <<< "$output" ||
        fail "settings the store refused give status $rc without its fault" || return 1
    [ "$(names)" = n4 ] || fail "the store holds '$(names)' instead of n4"
}

# The shell's start and --prefix only read: a store without settings is left without them, for an
# import to give it the user's own.
test_the_shell_start_and_the_prefix_write_nothing() {
    start_shell || return 1
    shell_run "velmora --prefix" || return 1
    [ "$rc" = 0 ] && grep -qx 'cd:' <<< "$output" || fail "--prefix gives status $rc" || return 1
    { [ ! -e "$case_store/registry" ] && [ ! -e "$case_store/volatile" ]; } ||
        fail "the start or --prefix made a store"
}

test_export_and_import_round_trip() {
    start_shell || return 1
    # A name holds no separator; the backslash travels in the directory instead.
    store 'blank and name' "$work/trip/back\\slash b" && store plain "$work/trip/plain" || return 1
    shell_run "cd $work/trip/plain && cd: +tmp && velmora export $work/trip/names" || return 1
    [ "$rc" = 0 ] || fail "export gives status $rc" || return 1
    shell_run "export VELMORA_REGISTRY_DIR=$case_store/other VELMORA_VOLATILE_DIR=$case_store/tmp &&
        velmora import $work/trip/names && velmora export $work/trip/again" || return 1
    grep -qE 'imported ([0-9]+): \1 added, 0 kept, 0 replaced' <<< "$output" ||
        fail "import does not report every entry added" || return 1
    cmp -s "$work/trip/names" "$work/trip/again" || fail "the second export differs from the first"
}

terminal_case "store a name and jump with a rest" test_store_and_jump_with_rest
terminal_case "delete, miss and an empty name from the command line" \
    test_delete_and_miss_from_the_command_line
terminal_case "an unknown option is refused, never run as a delete" \
    test_an_unknown_option_is_never_a_delete
terminal_case "help for the shell's command and every command" test_help_for_the_shell_and_every_command
terminal_case "habits of shell users: back, paths, replaced names, Tab below a name" \
    test_habits_of_shell_users
for shell in bash zsh fish dash; do
    terminal_case "$shell: a gone directory said by velmora, not by cd" \
        test_a_gone_directory_is_said_by_velmora "$shell"
done
terminal_case "fish: directories and words beside names and commands" \
    test_fish_completes_with_directories_beside
terminal_case "completion menu chosen with the cursor keys" test_completion_menu_chosen_with_cursor_keys
terminal_case "Tab completes stored names" test_tab_completes_stored_names
for shell in bash zsh fish dash busybox; do
    terminal_case "$shell: names and paths stay data" test_names_and_paths_stay_data "$shell"
done
terminal_case "ksh: the prefix from the settings" test_ksh_takes_the_prefix_from_the_settings
terminal_case "panel: a filter entered and left" test_panel_filter_entered_and_left
terminal_case "panel: F4 edit, Ctrl+J and Ctrl+O said in a shell's terms, then a jump" \
    test_panel_edit_then_jump
terminal_case "panel: a small terminal, a slow link, no colours, a dumb terminal" \
    test_panel_in_a_small_slow_plain_or_dumb_terminal
terminal_case "panel: F8 deletes after its question" test_panel_delete_asks_first
terminal_case "settings: a new prefix and the function follows" \
    test_configuration_changes_the_prefix_and_the_function
terminal_case "zsh: jump and completion" test_zsh_jumps_and_completes
terminal_case "a 300-byte name stored and listed whole" test_a_300_byte_name_is_stored_and_listed_whole
terminal_case "a long current directory stored whole" test_a_long_current_directory_is_stored_whole
terminal_case "list, check and prune" test_list_check_and_prune
terminal_case "the shell's start and --prefix write nothing" \
    test_the_shell_start_and_the_prefix_write_nothing
terminal_case "export and import round trip" test_export_and_import_round_trip
terminal_case "a copy of the program alone works in every language" \
    test_a_copy_of_the_program_alone_works_in_every_language
terminal_case "control bytes shown visibly" test_control_bytes_are_shown_visibly
terminal_case "list and check mark commands" test_list_and_check_mark_commands
terminal_case "a damaged store said with its path" test_a_damaged_store_is_said_with_its_path
terminal_case "a broken temporary store leaves a permanent add done" \
    test_a_broken_temporary_store_leaves_a_permanent_add_done
terminal_case "writes the store refuses are said as its failures" \
    test_writes_the_store_refuses_are_store_failures

summary terminal
