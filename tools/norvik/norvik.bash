# bash completion of norvik: subcommands, options, their values and files.
# Installed as share/bash-completion/completions/norvik.

_norvik_codes="cannot-open read-error out-of-memory wrong-record empty-file not-text byte-order-mark lone-cr
tab-in-line utf8-text repeated-group too-many-entries wrong-kind second-tag-line line-outside-group
unknown-group no-tag-line missing-fin missing-values unknown-word no-value extra-values not-a-number
repeated-keyword keyword-of-other-group unknown-keyword token-count too-many-findings"

_norvik_options()
{
    local reading="--kind --max-findings --color -h --help"
    case $1 in
        check) echo "-r --recursive --format --json --deny-warnings --select --ignore -j --jobs $reading" ;;
        show) echo "--all $reading" ;;
        diff) echo "--json $reading" ;;
        to-json) echo "$reading" ;;
        from-json) echo "--strict -h --help" ;;
        sample) echo "--all -h --help" ;;
        schema | format) echo "-h --help" ;;
    esac
}

_norvik()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local sub="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} != -* ]]; then
            sub=${COMP_WORDS[i]}
            break
        fi
    done
    COMPREPLY=()
    if [[ -z $sub ]]; then
        COMPREPLY=($(compgen -W "check show diff to-json from-json schema sample format -h --help -V --version" -- "$cur"))
        return
    fi
    case $prev in
        --kind) COMPREPLY=($(compgen -W "BL1 BL2 BL3 BL4 BL5 auto" -- "$cur")); return ;;
        --color) COMPREPLY=($(compgen -W "auto always never" -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W "text json sarif github" -- "$cur")); return ;;
        --select | --ignore)
            # A list separated by commas: the last code is completed.
            local done="" last=$cur
            if [[ $cur == *,* ]]; then
                done=${cur%,*},
                last=${cur##*,}
            fi
            COMPREPLY=($(compgen -P "$done" -W "$_norvik_codes" -- "$last"))
            return
            ;;
        --max-findings | -j | --jobs) return ;;
        --all)
            if [[ $sub == sample ]]; then
                COMPREPLY=($(compgen -d -- "$cur"))
                return
            fi
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_norvik_options "$sub")" -- "$cur"))
        return
    fi
    case $sub in
        schema | format | sample) COMPREPLY=($(compgen -W "BL1 BL2 BL3 BL4 BL5" -- "$cur")) ;;
        check) COMPREPLY=($(compgen -f -- "$cur")) ;;
        from-json) COMPREPLY=($(compgen -f -X '!*.json' -- "$cur") $(compgen -d -- "$cur")) ;;
        *) COMPREPLY=($(compgen -f -X '!*.[bB][lL][1-5]' -- "$cur") $(compgen -d -- "$cur")) ;;
    esac
}
complete -o filenames -F _norvik norvik
