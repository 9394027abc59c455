# Bash completion for qevactl. Load it with: source cli/qevactl-completion.bash
# Commands, their synopses and options are read from qevactl's own help, so
# the completion follows the tool as it grows.

# The tree this file was sourced from: until qevactl is on PATH, its newest
# build there answers.
_qevactl_tree=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." 2>/dev/null && pwd)

_qevactl_program() {
    # $1: the command word as typed
    local typed=$1 found="" f
    if [[ $typed == */* ]]; then
        [[ -x $typed ]] && found=$typed
    else
        found=$(type -P "$typed" 2>/dev/null)
    fi
    if [[ -z $found && -n $_qevactl_tree ]]; then
        for f in "$_qevactl_tree"/build*/cli/qevactl; do
            [[ -x $f ]] && [[ -z $found || $f -nt $found ]] && found=$f
        done
    fi
    printf '%s' "$found"
}

_qevactl_help() {
    # $1: the program, $2...: the command words (none for the top level)
    local prog=$1; shift
    if [[ $# -eq 0 ]]; then
        "$prog" --help 2>/dev/null
    else
        "$prog" help "$@" 2>/dev/null
    fi
}

_qevactl_commands() {
    # One line per command: its one or two words.
    _qevactl_help "$1" | awk '/^Commands:/ {f=1; next} /^Options:/ {f=0}
        f && /^  [a-z]/ { if ($2 ~ /^[a-z-]+$/) print $1 " " $2; else print $1 }'
}

_qevactl_options() {
    # Options with a value, then flags, of the top level or of a command.
    _qevactl_help "$@" | awk '/^Options:/ {f=1; next} /^[A-Z]/ {f=0}
        f && /--/ { for (i = 1; i <= NF; i++) if ($i ~ /^--/) { v = ($(i+1) ~ /^(N|[A-Z][A-Z|]+|[a-z0-9-]+(\|[a-z0-9-]+)+)$/) ? "=" : ""; print $i v; break } }'
}

_qevactl() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=""
    (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()

    case $prev in
        --documents) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --preferences) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        -s|--server|-w|--window|-t|--timeout|--scan-seconds|--password|--user|--bind|--port|--server-port|\
        --file-port|--time-port|--phone-address|--multicast-interface)
            return ;;
    esac

    local prog
    prog=$(_qevactl_program "${COMP_WORDS[0]}")
    [[ -n $prog ]] || return

    # The words typed so far that are not options (nor values of options).
    local -a words=()
    local i w
    local valued=" -s --server -w --window -t --timeout --scan-seconds --password --user --bind --port --server-port --file-port --time-port --phone-address --multicast-interface --documents --preferences "
    for (( i = 1; i < COMP_CWORD; i++ )); do
        w=${COMP_WORDS[i]}
        if [[ $w == -* ]]; then
            [[ $valued == *" $w "* ]] && (( i++ ))
            continue
        fi
        words+=("$w")
    done

    local commands
    commands=$(_qevactl_commands "$prog")
    # The command: one word, or two when the first has subcommands.
    local cmd="" nwords=0
    if (( ${#words[@]} >= 2 )) && grep -qx "${words[0]} ${words[1]}" <<<"$commands"; then
        cmd="${words[0]} ${words[1]}"; nwords=2
    elif (( ${#words[@]} >= 1 )) && grep -qx "${words[0]}" <<<"$commands"; then
        cmd=${words[0]}; nwords=1
    fi

    if [[ $cur == -* ]]; then
        local opts
        opts=$(_qevactl_options "$prog"; [[ -n $cmd ]] && _qevactl_options "$prog" $cmd)
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
        [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
        return
    fi

    # Right after a group's name its subcommands, also when the name alone
    # is a command too (settings, text, clock).
    if (( ${#words[@]} == 1 && nwords <= 1 )); then
        local subs
        subs=$(awk -v g="${words[0]}" '$1 == g && NF == 2 {print $2}' <<<"$commands")
        if [[ -n $subs || -z $cmd ]]; then
            COMPREPLY=($(compgen -W "$subs" -- "$cur"))
            return
        fi
    fi
    if [[ -z $cmd ]]; then
        (( ${#words[@]} == 0 )) && COMPREPLY=($(compgen -W "$(cut -d' ' -f1 <<<"$commands" | sort -u)" -- "$cur"))
        return
    fi

    # The arguments of the command, by position in its synopsis.
    local arg=$(( ${#words[@]} - nwords ))
    case $cmd in
        send) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        effect) COMPREPLY=($(compgen -W "rotation movement scene-1 scene-2 scene-3" -- "$cur")); return ;;
        "settings set")
            COMPREPLY=($(compgen -W "restart= skip-login= brightness= wifi= background= restart-time= transfer-path= screen= source= rotation= red= green= blue=" -- "$cur"))
            compopt -o nospace 2>/dev/null
            return ;;
    esac
    local synopsis
    synopsis=$(_qevactl_help "$prog" $cmd | sed -n '1s/^Usage: qevactl \[OPTIONS\] //p')
    synopsis=${synopsis#"$cmd"}
    local -a tokens
    read -r -a tokens <<<"$synopsis"
    if [[ ${tokens[arg]} == *"|"* ]]; then
        COMPREPLY=($(compgen -W "${tokens[arg]//|/ }" -- "$cur"))
    fi
}

complete -F _qevactl qevactl
