# shellcheck shell=bash
# The driver the end-to-end suites share (sourced, not run): a host or a shell runs in a tmux
# session of a server of the run's own, the suite types into it and reads its screen, waits for
# what the screen shows, and counts its cases. Every wait polls at one interval and matches
# extended regular expressions; one that times out says what it missed in $failure.
#
#   tmux_server, tmux_session   the server's socket name and the session's (set them first)
#   tmux_start COLS ROWS [new-session options] COMMAND...   a session of that size
#   tmux_end                    ends the session; the server stays for the next one
#   screen [capture-pane options], keys KEY..., type_text TEXT
#   shows ERE, wait_for ERE [SECONDS], wait_gone ERE [SECONDS], poll SECONDS CHECK...
#   wait_until WHY CHECK...     polls for tmux_patience, and fails with WHY if CHECK never held
#   tmux_patience               how long a wait goes on unless told, in seconds
#   literal TEXT                the ERE that matches TEXT as it is
#   run_case TITLE COMMAND...   PASS or FAIL with $failure and the screen; summary NAME
#   give_up NAME REASON         a setup that failed: one failure, the summary, and the end
# A suite may set tmux_deadline (a value of $SECONDS) past which no wait goes on.

tmux_server=${tmux_server:-velmora-$$}
tmux_session=${tmux_session:-velmora}
# Long enough for a host on a loaded machine; a wait that is met ends at once.
tmux_patience=${tmux_patience:-20}
tmux_deadline=
tmux_pid=
failure=
passed=0
failed=0

# Every call is bounded, so that a tmux that hangs fails the case instead of the run; no
# configuration of the user's is read.
tmux_() { timeout 10 tmux -L "$tmux_server" -f /dev/null "$@"; }

# The server outlives the session, so that the next session never meets a server on its way out.
tmux_start() {
    tmux_ new-session -d -s "$tmux_session" -x "$1" -y "$2" "${@:3}" \; \
        set-option -g exit-empty off && tmux_pid=$(tmux_ display-message -p '#{pid}')
}

# Ends the server; one that does not answer is killed by its id, once that id is seen to be
# still this run's server.
tmux_stop() {
    if ! tmux_ kill-server 2> /dev/null && [ -n "${tmux_pid:-}" ] &&
        ps -o args= -p "$tmux_pid" | grep -qF -- "tmux -L $tmux_server "; then
        kill -KILL "$tmux_pid"
    fi
    tmux_pid=
}
tmux_end() { tmux_ kill-session -t "$tmux_session" 2> /dev/null; }

# shellcheck disable=SC2120 # most callers want the screen as it is, without options
screen() { tmux_ capture-pane -p "$@" -t "$tmux_session" 2> /dev/null; }
keys() { tmux_ send-keys -t "$tmux_session" "$@"; }
type_text() { tmux_ send-keys -t "$tmux_session" -l -- "$1"; }

fail() {
    failure=$*
    return 1
}

# The screen is read whole before it is matched: a reader that left the pipe early would end
# tmux with SIGPIPE, which pipefail would take for a miss.
shows() { grep -qE -- "$1" <<< "$(screen)"; }
not() { ! "$@"; }
# shellcheck disable=SC2001 # one sed escapes each of the characters, where bash would need a loop
literal() { sed 's/[][\.^$*+?(){}|]/\\&/g' <<< "$1"; }

# Runs CHECK every 0.1 s until it succeeds, for at most SECONDS and never past tmux_deadline.
poll() {
    local end=$((SECONDS + $1))
    shift
    if [ -n "$tmux_deadline" ] && [ "$tmux_deadline" -lt "$end" ]; then
        end=$tmux_deadline
    fi
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

wait_for() { poll "${2:-$tmux_patience}" shows "$1" || fail "the screen never showed /$1/"; }
wait_gone() { poll "${2:-$tmux_patience}" not shows "$1" || fail "the screen still shows /$1/"; }
wait_until() {
    local why=$1
    shift
    poll "$tmux_patience" "$@" || fail "$why"
}

# Runs one case in this shell and says how it went: a failure with its reason and the screen.
run_case() {
    local title=$1
    shift
    failure=
    if "$@"; then
        echo "PASS $title"
        passed=$((passed + 1))
        return 0
    fi
    echo "FAIL $title: ${failure:-failed}"
    screen | sed -e '/^ *$/d' -e 's/^/    | /'
    failed=$((failed + 1))
    return 1
}

# A failure before any case could run, such as a build that failed.
setup_failed() {
    echo "FAIL setup: $1"
    failed=$((failed + 1))
}

# The line scripts/test.sh reads; fails when a case failed.
summary() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# Ends a suite whose setup failed, so that no case ran: one failure and the summary of NAME.
give_up() {
    setup_failed "$2"
    summary "$1"
    exit 1
}
