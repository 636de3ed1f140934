#!/usr/bin/env bash
# The bash completion of vantorel-cli, driven as bash drives it, over the built
# program (so the offered objects and paths are this machine's).
set -uo pipefail
completion=$1
cli=$2
source /usr/share/bash-completion/bash_completion
source "$completion"
fail=0

# complete WORD...: the words of the line, the last one being completed.
complete_words() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _vantorel_cli
}

expect() {  # description, expected reply (one a line)
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort)
    if [ "$got" != "$(printf '%s\n' "$2" | LC_ALL=C sort)" ]; then
        printf 'FAIL %s\n  expected: %s\n  got: %s\n' "$1" "$2" "$got"
        fail=1
    fi
}

complete_words ""
expect "subcommands" $'list\nsample\n--help\n--version'
complete_words sample --format ""
expect "formats" $'csv\ntable'
complete_words sample --samples 3 --f
expect "sample options" "--format"
complete_words list --i
expect "list options" "--instances"
complete_words list Proc
expect "objects" $'Process\nProcessor'
# A path is offered quoted for the shell, whether typed quoted or escaped.
complete_words sample "'\\Memory\\Available M"
expect "quoted path" '\\Memory\\Available\ MBytes'
complete_words sample '\\Memory\\Available\ M'
expect "escaped path" '\\Memory\\Available\ MBytes'
exit $fail
