# bash completion for calora-cli: commands, each command's options, option values and the
# files the commands take (.TQ configuration files, .gf graph files).

_calora_cli() {
    local cur prev words cword
    _init_completion || return

    local bus="--port --baud --parity --tcp"
    case $prev in
    --port)
        COMPREPLY=($(compgen -f -- "${cur:-/dev/tty}"))
        return ;;
    --baud)
        COMPREPLY=($(compgen -W "2400 4800 9600 19200" -- "$cur"))
        return ;;
    --parity)
        COMPREPLY=($(compgen -W "N E O" -- "$cur"))
        return ;;
    --log-mode)
        COMPREPLY=($(compgen -W "0 1 2" -- "$cur"))
        return ;;
    --logs)
        _filedir -d
        return ;;
    --mqtt-qos)
        COMPREPLY=($(compgen -W "0 1" -- "$cur"))
        return ;;
    --mqtt-password-file | --mqtt-cafile)
        _filedir
        return ;;
    --tcp | --address | --cycles | --period | --segment | --mqtt | --mqtt-topic | \
        --mqtt-client-id | --mqtt-user | --mqtt-queue)
        return ;;
    esac

    # The command and its action: the first words that are neither options nor their values.
    local command="" action="" operands=0 i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
        --port | --baud | --parity | --tcp | --address | --cycles | --logs | --log-mode | \
            --period | --segment | --mqtt | --mqtt-topic | --mqtt-client-id | --mqtt-user | \
            --mqtt-password-file | --mqtt-cafile | --mqtt-qos | --mqtt-queue)
            ((i++)) ;;
        -*) ;;
        *)
            if [[ -z $command ]]; then
                command=${words[i]}
            elif [[ ($command == config || $command == graph) && -z $action ]]; then
                action=${words[i]}
            else
                ((operands++))
            fi ;;
        esac
    done

    local options
    case $command in
    "")
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "read write coil probe scan graph config monitor" -- "$cur"))
        fi
        return ;;
    read) options="$bus --address --json" ;;
    write | coil | probe) options="$bus --address" ;;
    scan) options="$bus --lines" ;;
    monitor)
        options="$bus --cycles --logs --log-mode --period --mqtt --mqtt-topic --mqtt-client-id"
        options+=" --mqtt-user --mqtt-password-file --mqtt-cafile --mqtt-qos --mqtt-queue" ;;
    graph)
        if [[ -z $action ]]; then
            COMPREPLY=($(compgen -W "export" -- "$cur"))
            return
        fi
        options="--segment --all" ;;
    config)
        case $action in
        "")
            COMPREPLY=($(compgen -W "save show write" -- "$cur"))
            return ;;
        save) options="$bus --address" ;;
        show) options="--json" ;;
        *) options="$bus --address --skip-invalid" ;;
        esac ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    elif [[ $command == coil && $operands -eq 1 ]]; then
        COMPREPLY=($(compgen -W "on off" -- "$cur"))
    elif [[ ($command == config || $command == monitor) && $operands -eq 0 ]]; then
        _filedir TQ
    elif [[ $command == graph && $operands -eq 0 ]]; then
        _filedir gf
    fi
} &&
    complete -F _calora_cli calora-cli
