#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (arguments are passed on:
# host [port] password connects at once).
# With --demo it starts the demo game server on a free loopback port, connects the program to it,
# shows the server's request log here, and stops the server when the program ends or this script is
# stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
if [[ "${1:-}" != "--demo" ]]; then
    exec ./build/src/app/brimhold-rcon "$@"
fi
if [[ $# -ne 1 ]]; then
    echo "usage: $0 --demo" >&2
    exit 2
fi

work=$(mktemp -d)
server_pid=""
tail_pid=""
app_pid=""
stop_all() {
    trap - EXIT INT TERM HUP
    for pid in "$app_pid" "$tail_pid" "$server_pid"; do
        if [[ -n "$pid" ]]; then
            kill "$pid" 2>/dev/null || true
        fi
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A day at most, in case this script is killed in a way no trap sees.
./build/src/demo/brimhold-demo-server --port 0 --password secret --quit-after 86400 >"$work/log" &
server_pid=$!
port=""
for _ in $(seq 50); do
    if [[ $(wc -l <"$work/log") -ge 1 ]]; then
        port=$(head -n 1 "$work/log")
        break
    fi
    if ! kill -0 "$server_pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
if [[ ! "$port" =~ ^[0-9]+$ ]]; then
    echo "run.sh: the demo server did not start" >&2
    exit 1
fi
echo "Demo server on 127.0.0.1:$port, password secret. Requests it receives:"
tail -n +2 -f "$work/log" &
tail_pid=$!

./build/src/app/brimhold-rcon 127.0.0.1 "$port" secret &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=""
exit "$status"
