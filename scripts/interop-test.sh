#!/usr/bin/env bash
# Proves the console and brimhold-rcon-cli against real dedicated servers of two engines:
# - ioquake3 (Debian's openarena-server), with the demo server beside it, which must answer alike;
# - DarkPlaces (Debian's nexuiz-server): one server for plain rcon (rcon_secure 0, two bots playing),
#   one that takes only signed requests (rcon_secure 1, time-based or challenge-based) and one that
#   takes only challenge-based ones (rcon_secure 2).
# Installs a game server when missing, starts the servers on free loopback ports (and checks that they
# listen on nothing else) with random passwords and private homes, runs the interop tests and the
# command-line checks, and stops every server by process id however the run ends.
# Usage: interop-test.sh [ioquake3|darkplaces]   (both engines, one after the other, when none is named)
# Exits non-zero when a test fails. Run after ./scripts/test.sh has built ./build (it builds what it
# needs itself otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."

readonly IOQ3_ENGINE=/usr/lib/ioquake3/ioq3ded
readonly IOQ3_DATA=/usr/lib/openarena-server
readonly DP_ENGINE=/usr/games/nexuiz-server
readonly TEST_PROGRAM=build/tests/interop/frmMainInteropTest
readonly SECURE_TEST_PROGRAM=build/tests/interop/SecureRconInteropTest
readonly CLI_PROGRAM=build/src/app/brimhold-rcon-cli
readonly DEMO_TARGET=brimhold-demo-server
readonly DEMO_PROGRAM=build/src/demo/brimhold-demo-server
# Upper bounds, in seconds: a game server's start, one test program, a whole server's life (a backstop
# for a run that is killed before its trap can stop the servers).
readonly SERVER_START_LIMIT=30
readonly TEST_LIMIT=180
readonly SERVER_LIFE_LIMIT=900
# How old a time-signed request may be before the DarkPlaces servers refuse it (their default, set
# explicitly because the replay test waits for it to pass).
readonly DP_SECURE_WINDOW=5

started_at=$SECONDS
work_dir=""
tests_pid=""
demo_pid=""
demo_port=""
demo_password=""
# The game servers by key: process id, port, password.
declare -A server_pid=() server_port=() server_password=()

say() { echo "interop-test: $*"; }

# Stops one process by its id: SIGTERM, then SIGKILL when it has not ended within 5 seconds.
stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

finish() {
    local status=$? key
    stop_process "$tests_pid"
    for key in "${!server_pid[@]}"; do
        stop_process "${server_pid[$key]}"
    done
    stop_process "$demo_pid"
    if [ -n "$work_dir" ]; then
        rm -rf "$work_dir"
    fi
    say "took $((SECONDS - started_at)) s, $([ "$status" -eq 0 ] && echo passed || echo "FAILED (status $status)")"
    exit "$status"
}

install_package() {
    local package=$1 size=$2
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        return 0
    fi
    local install_started_at=$SECONDS sudo=()
    say "installing $package ($size)"
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "$package"
    say "installing $package took $((SECONDS - install_started_at)) s"
}

build_programs() {
    if [ ! -f build/CMakeCache.txt ]; then
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build build -j"$(nproc)" --target frmMainInteropTest SecureRconInteropTest "$DEMO_TARGET" \
        brimhold-rcon-cli
}

random_word() { od -An -N8 -tx1 /dev/urandom | tr -d ' \n'; }

# True when the game server named $2 answers a getinfo query on 127.0.0.1:$1 within a second.
game_server_answers() {
    local port=$1 name=$2 fd status=0
    exec {fd}<>"/dev/udp/127.0.0.1/$port"
    printf '\xff\xff\xff\xffgetinfo brimhold\n' >&"$fd"
    timeout 1 dd bs=4096 count=1 status=none <&"$fd" 2>/dev/null | grep -aqF "\\hostname\\$name" || status=1
    exec {fd}>&-
    return "$status"
}

# Waits until process $1, the game server named $3, answers on port $2; false when it ended or took
# another port. One query a second at most: the servers count them against a flood limit.
wait_for_game_server() {
    local pid=$1 port=$2 name=$3 deadline=$((SECONDS + SERVER_START_LIMIT))
    while [ "$SECONDS" -lt "$deadline" ]; do
        kill -0 "$pid" 2>/dev/null || return 1
        game_server_answers "$port" "$name" && return 0
        sleep 1
    done
    return 1
}

# True when every UDP socket on port $1 is bound to a loopback address.
listens_on_loopback_only() {
    local port=$1 address
    for address in $(ss -Huan "sport = :$port" | awk '{print $4}'); do
        case "$address" in
            127.0.0.1:"$port" | "[::1]:$port") ;;
            *) say "port $port is open on $address"; return 1 ;;
        esac
    done
}

# The engines' command lines. Each starts one server in the background on port $2 with hostname $3 and
# the password of server $1, its output in file $4, and sets $launched_pid.
launch_ioquake3() {
    local key=$1 port=$2 name=$3 log=$4
    timeout --kill-after=5 "$SERVER_LIFE_LIMIT" "$IOQ3_ENGINE" +set dedicated 1 +set net_enabled 1 \
        +set net_ip 127.0.0.1 +set net_port "$port" +set rconpassword "${server_password[$key]}" \
        +set sv_hostname "$name" +set bot_enable 1 +set fs_homepath "$work_dir/$key-home" \
        +set com_basegame baseoa \
        +set fs_basepath "$IOQ3_DATA" +map oa_dm1 >"$log" 2>&1 </dev/null &
    launched_pid=$!
}

# rcon_secure is set before rcon_password, since setting it clears the password. The address cvars
# keep both of the server's sockets (IPv4 and IPv6) on loopback.
launch_darkplaces() {
    local key=$1 port=$2 name=$3 log=$4 secure bots=()
    case "$key" in
        dp-plain) secure=0 bots=(+set bot_number 2 +set bot_join_empty 1) ;;
        dp-time) secure=1 ;;
        dp-challenge) secure=2 ;;
    esac
    timeout --kill-after=5 "$SERVER_LIFE_LIMIT" "$DP_ENGINE" -userdir "$work_dir/$key-home" \
        +set net_address 127.0.0.1 +set net_address_ipv6 ::1 +set port "$port" +set sv_public 0 \
        +set hostname "$name" +set rcon_secure "$secure" +set rcon_password "${server_password[$key]}" \
        +set rcon_secure_maxdiff "$DP_SECURE_WINDOW" "${bots[@]}" +map aggressor >"$log" 2>&1 </dev/null &
    launched_pid=$!
}

# Starts the servers named by their keys ($2...) with launcher $1, all at once, and waits until each
# answers. The engines bind the next port without a word when theirs is taken, so a server that does
# not answer on the port asked for is stopped and started again on another.
start_game_servers() {
    local launcher=$1 key attempt port launched_pid pending
    shift
    declare -A name=() log=()
    for key in "$@"; do
        server_password[$key]=$(random_word)
    done
    pending=("$@")
    for attempt in 1 2 3 4 5; do
        for key in "${pending[@]}"; do
            port=$((20000 + RANDOM % 40000))
            name[$key]="brimhold-interop-$(random_word)"
            log[$key]="$work_dir/$key-$attempt.log"
            "$launcher" "$key" "$port" "${name[$key]}" "${log[$key]}"
            server_pid[$key]=$launched_pid
            server_port[$key]=$port
        done
        local again=()
        for key in "${pending[@]}"; do
            if wait_for_game_server "${server_pid[$key]}" "${server_port[$key]}" "${name[$key]}"; then
                listens_on_loopback_only "${server_port[$key]}" || return 1
                say "$key server on 127.0.0.1:${server_port[$key]}, loopback only (pid ${server_pid[$key]})"
                continue
            fi
            say "the $key server did not answer on port ${server_port[$key]} (attempt $attempt); its log ends:"
            tail -n 5 "${log[$key]}" || true
            stop_process "${server_pid[$key]}"
            server_pid[$key]=""
            again+=("$key")
        done
        [ "${#again[@]}" -gt 0 ] || return 0
        pending=("${again[@]}")
    done
    return 1
}

# Stops the servers named by their keys.
stop_game_servers() {
    local key
    for key in "$@"; do
        stop_process "${server_pid[$key]}"
        server_pid[$key]=""
    done
}

# The demo server picks a free port itself and prints it as its first line of output.
start_demo_server() {
    local out="$work_dir/demo-server.out"
    demo_password=$(random_word)
    "$DEMO_PROGRAM" --port 0 --password "$demo_password" --quit-after "$SERVER_LIFE_LIMIT" >"$out" 2>&1 &
    demo_pid=$!
    for _ in $(seq 100); do
        demo_port=$(head -n 1 "$out" | grep -x '[0-9]\+' || true)
        if [ -n "$demo_port" ]; then
            say "demo server on 127.0.0.1:$demo_port (pid $demo_pid)"
            return 0
        fi
        kill -0 "$demo_pid" 2>/dev/null || break
        sleep 0.1
    done
    say "the demo server did not start:"
    cat "$out"
    return 1
}

# Runs one test program ($1) offscreen with the environment assignments that follow.
run_test_program() {
    local program=$1 tests_started_at=$SECONDS status=0
    shift
    env QT_QPA_PLATFORM=offscreen "$@" timeout --kill-after=5 "$TEST_LIMIT" "$program" &
    tests_pid=$!  # waited for in the background, so that a signal stops the run at once
    wait "$tests_pid" || status=$?
    tests_pid=""
    say "$(basename "$program") took $((SECONDS - tests_started_at)) s"
    return "$status"
}

# Runs brimhold-rcon-cli against server $1 with the further arguments, its output to $cli_out and its
# errors to $cli_out.err (shown by the checks when they fail). The mode file is the run's own.
cli() {
    local key=$1
    shift
    BRIMHOLD_RCON_PASSWORD=${server_password[$key]} XDG_CONFIG_HOME="$work_dir/config" timeout 30 \
        "$CLI_PROGRAM" --host 127.0.0.1 --port "${server_port[$key]}" "$@" >"$cli_out" 2>"$cli_out.err"
}

# brimhold-rcon-cli against server $1: "status" answered with a map, "cvarlist" joined whole from its
# datagrams (the count at its end matches the cvar lines before it), and --status naming the same map.
# Three requests in all.
run_cli_checks() {
    local key=$1 cli_out="$work_dir/cli.out" total lines map
    cli "$key" status || { say "brimhold-rcon-cli status failed"; cat "$cli_out.err"; return 1; }
    # ioquake3 writes "map: NAME", DarkPlaces pads the value to a column: "map:      NAME".
    map=$(sed -n 's/^map: *\([^ ]\+\)$/\1/p' "$cli_out")
    [ -n "$map" ] || { say "brimhold-rcon-cli status: no map line"; cat "$cli_out"; return 1; }
    cli "$key" cvarlist || { say "brimhold-rcon-cli cvarlist failed"; cat "$cli_out.err"; return 1; }
    # ioquake3 ends with a blank line, "N total cvars" and "N cvar indexes"; DarkPlaces with "N cvar(s)".
    total=$(sed -n 's/^\([0-9][0-9]*\) \(total cvars\|cvar(s)\)$/\1/p' "$cli_out")
    lines=$(sed -n '/^[0-9][0-9]* \(total cvars\|cvar(s)\)$/q;/./p' "$cli_out" | wc -l)
    if [ -z "$total" ] || [ "$total" -ne "$lines" ]; then
        say "brimhold-rcon-cli cvarlist: a count of ${total:-no} cvars but $lines cvar lines before it"
        return 1
    fi
    cli "$key" --status --json || { say "brimhold-rcon-cli --status failed"; cat "$cli_out.err"; return 1; }
    grep -qF "\"map\": \"$map\"" "$cli_out" || { say "brimhold-rcon-cli --status: not map $map"; cat "$cli_out"; return 1; }
    say "brimhold-rcon-cli against $key: status, cvarlist ($total cvars joined whole) and --status answered"
}

# brimhold-rcon-cli with signed requests: "echo" answered through each secure mode, and refused (no
# reply) when the server takes only the other kind.
run_secure_cli_checks() {
    local cli_out="$work_dir/cli.out" key mode word status
    for key in dp-time dp-challenge; do
        for mode in time challenge; do
            word=$(random_word)
            status=0
            cli "$key" --secure="$mode" echo "$word" || status=$?
            if [ "$key/$mode" = dp-challenge/time ]; then
                # 3: no reply in time.
                [ "$status" -eq 3 ] || { say "$key took a time-signed request (status $status)"; return 1; }
                continue
            fi
            [ "$status" -eq 0 ] && grep -qF "$word" "$cli_out" ||
                { say "brimhold-rcon-cli --secure=$mode against $key: no echo (status $status)"; cat "$cli_out" "$cli_out.err"; return 1; }
        done
    done
    say "brimhold-rcon-cli: secure time and challenge answered, time refused where only challenge is taken"
}

run_ioquake3() {
    local engine_started_at=$SECONDS
    install_package openarena-server "about 420 MB"
    start_game_servers launch_ioquake3 ioq3
    start_demo_server
    run_test_program "$TEST_PROGRAM" BRIMHOLD_INTEROP_ENGINE=ioquake3 \
        BRIMHOLD_INTEROP_PORT="${server_port[ioq3]}" BRIMHOLD_INTEROP_PASSWORD="${server_password[ioq3]}" \
        BRIMHOLD_DEMO_PORT="$demo_port" BRIMHOLD_DEMO_PASSWORD="$demo_password"
    # Room again under the server's flood limit after the console tests.
    sleep 4
    run_cli_checks ioq3
    stop_game_servers ioq3
    stop_process "$demo_pid"
    demo_pid=""
    say "ioquake3 took $((SECONDS - engine_started_at)) s"
}

run_darkplaces() {
    local engine_started_at=$SECONDS
    install_package nexuiz-server "about 270 MB"
    start_game_servers launch_darkplaces dp-plain dp-time dp-challenge
    run_test_program "$TEST_PROGRAM" BRIMHOLD_INTEROP_ENGINE=darkplaces \
        BRIMHOLD_INTEROP_PORT="${server_port[dp-plain]}" \
        BRIMHOLD_INTEROP_PASSWORD="${server_password[dp-plain]}"
    run_test_program "$SECURE_TEST_PROGRAM" \
        BRIMHOLD_TIME_PORT="${server_port[dp-time]}" BRIMHOLD_TIME_PASSWORD="${server_password[dp-time]}" \
        BRIMHOLD_CHALLENGE_PORT="${server_port[dp-challenge]}" \
        BRIMHOLD_CHALLENGE_PASSWORD="${server_password[dp-challenge]}" \
        BRIMHOLD_SECURE_WINDOW_S="$DP_SECURE_WINDOW"
    run_cli_checks dp-plain
    run_secure_cli_checks
    stop_game_servers dp-plain dp-time dp-challenge
    say "darkplaces took $((SECONDS - engine_started_at)) s"
}

main() {
    local engines=("$@")
    [ "${#engines[@]}" -gt 0 ] || engines=(ioquake3 darkplaces)
    for engine in "${engines[@]}"; do
        case "$engine" in
            ioquake3 | darkplaces) ;;
            *) echo "usage: $0 [ioquake3|darkplaces]" >&2; exit 64 ;;
        esac
    done
    trap finish EXIT
    trap 'exit 130' INT TERM
    build_programs
    work_dir=$(mktemp -d)
    for engine in "${engines[@]}"; do
        "run_$engine"
    done
}

main "$@"
