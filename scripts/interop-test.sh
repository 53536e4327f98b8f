#!/usr/bin/env bash
# Proves the console against a real Quake-3-engine dedicated server (Debian's openarena-server) and
# checks that the demo server answers alike. Installs the game server when missing, starts it and the
# demo server on free loopback ports with random passwords, runs the interop tests and stops both
# servers by process id however the run ends; then checks brimhold-rcon-cli against the game server.
# Exits non-zero when a test fails.
# Run after ./scripts/test.sh has built ./build (it builds what it needs itself otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."

readonly ENGINE=/usr/lib/ioquake3/ioq3ded
readonly GAME_DATA=/usr/lib/openarena-server
readonly TEST_PROGRAM=build/tests/interop/frmMainInteropTest
readonly CLI_PROGRAM=build/src/app/brimhold-rcon-cli
readonly DEMO_TARGET=brimhold-demo-server
readonly DEMO_PROGRAM=build/src/demo/brimhold-demo-server
# Upper bounds, in seconds: the game server's start, the tests, a whole server's life (a backstop for
# a run that is killed before its trap can stop the servers).
readonly SERVER_START_LIMIT=20
readonly TEST_LIMIT=180
readonly SERVER_LIFE_LIMIT=900

started_at=$SECONDS
work_dir=""
server_pid=""
server_port=""
server_password=""
demo_pid=""
demo_port=""
demo_password=""
tests_pid=""

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
    local status=$?
    stop_process "$tests_pid"
    stop_process "$server_pid"
    stop_process "$demo_pid"
    if [ -n "$work_dir" ]; then
        rm -rf "$work_dir"
    fi
    say "took $((SECONDS - started_at)) s, $([ "$status" -eq 0 ] && echo passed || echo "FAILED (status $status)")"
    exit "$status"
}

install_game_server() {
    if dpkg-query -W -f='${Status}' openarena-server 2>/dev/null | grep -q "install ok installed"; then
        return 0
    fi
    say "installing openarena-server (about 420 MB)"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y openarena-server
}

build_programs() {
    if [ ! -f build/CMakeCache.txt ]; then
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build build -j"$(nproc)" --target frmMainInteropTest "$DEMO_TARGET" brimhold-rcon-cli
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

# Waits until the game server answers on its port; false when it ended or took another port. One
# query a second at most: the server counts them against the same limit as rcon requests.
wait_for_game_server() {
    local port=$1 name=$2 deadline=$((SECONDS + SERVER_START_LIMIT))
    while [ "$SECONDS" -lt "$deadline" ]; do
        kill -0 "$server_pid" 2>/dev/null || return 1
        game_server_answers "$port" "$name" && return 0
        sleep 1
    done
    return 1
}

# The engine binds the next port without a word when its port is taken, so a start that does not
# answer on the port asked for is stopped and tried again on another.
start_game_server() {
    local attempt port name log
    server_password=$(random_word)
    for attempt in 1 2 3 4 5; do
        port=$((20000 + RANDOM % 40000))
        name="brimhold-interop-$(random_word)"
        log="$work_dir/game-server-$attempt.log"
        timeout --kill-after=5 "$SERVER_LIFE_LIMIT" "$ENGINE" +set dedicated 1 +set net_enabled 1 \
            +set net_ip 127.0.0.1 +set net_port "$port" +set rconpassword "$server_password" \
            +set sv_hostname "$name" +set bot_enable 1 +set fs_homepath "$work_dir/home" +set com_basegame baseoa \
            +set fs_basepath "$GAME_DATA" +map oa_dm1 >"$log" 2>&1 </dev/null &
        server_pid=$!
        if wait_for_game_server "$port" "$name"; then
            server_port=$port
            say "game server on 127.0.0.1:$port (pid $server_pid)"
            return 0
        fi
        say "the game server did not answer on port $port (attempt $attempt); its log ends:"
        tail -n 5 "$log" || true
        stop_process "$server_pid"
        server_pid=""
    done
    return 1
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

run_console_tests() {
    local tests_started_at=$SECONDS status=0
    QT_QPA_PLATFORM=offscreen BRIMHOLD_INTEROP_PORT=$server_port BRIMHOLD_INTEROP_PASSWORD=$server_password \
        BRIMHOLD_DEMO_PORT=$demo_port BRIMHOLD_DEMO_PASSWORD=$demo_password \
        timeout --kill-after=5 "$TEST_LIMIT" "$TEST_PROGRAM" &
    tests_pid=$!  # waited for in the background, so that a signal stops the run at once
    wait "$tests_pid" || status=$?
    tests_pid=""
    say "console tests took $((SECONDS - tests_started_at)) s"
    return "$status"
}

# brimhold-rcon-cli against the game server: "status" answered with a map, "cvarlist" joined whole from
# its datagrams (its "N total cvars" line is there with N cvar lines before it), and --status naming
# the same map. Waits first, so that the server's flood limit has room again after the console tests;
# three requests in all.
run_cli_checks() {
    local out="$work_dir/cli.out" total lines map
    sleep 4
    BRIMHOLD_RCON_PASSWORD=$server_password timeout 30 "$CLI_PROGRAM" --host 127.0.0.1 \
        --port "$server_port" status >"$out" || { say "brimhold-rcon-cli status failed"; return 1; }
    map=$(sed -n 's/^map: \([^ ]\+\)$/\1/p' "$out")
    [ -n "$map" ] || { say "brimhold-rcon-cli status: no map line"; cat "$out"; return 1; }
    BRIMHOLD_RCON_PASSWORD=$server_password timeout 30 "$CLI_PROGRAM" --host 127.0.0.1 \
        --port "$server_port" cvarlist >"$out" || { say "brimhold-rcon-cli cvarlist failed"; return 1; }
    total=$(sed -n 's/^\([0-9][0-9]*\) total cvars$/\1/p' "$out")
    lines=$(sed -n '/^[0-9][0-9]* total cvars$/q;/./p' "$out" | wc -l)
    if [ -z "$total" ] || [ "$total" -ne "$lines" ]; then
        say "brimhold-rcon-cli cvarlist: \"${total:-no} total cvars\" but $lines cvar lines before it"
        return 1
    fi
    timeout 30 "$CLI_PROGRAM" --host 127.0.0.1 --port "$server_port" --status --json >"$out" ||
        { say "brimhold-rcon-cli --status failed"; return 1; }
    grep -qF "\"map\": \"$map\"" "$out" || { say "brimhold-rcon-cli --status: not map $map"; cat "$out"; return 1; }
    say "brimhold-rcon-cli: status, cvarlist ($total cvars joined whole) and --status answered"
}

main() {
    trap finish EXIT
    trap 'exit 130' INT TERM
    install_game_server
    build_programs
    work_dir=$(mktemp -d)
    start_game_server
    start_demo_server
    run_console_tests
    run_cli_checks
}

main "$@"
