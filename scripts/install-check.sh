#!/usr/bin/env bash
# Builds the Debian package from ./build, installs it, checks the installed files with their validators,
# then runs the installed programs against each other on loopback: brimhold-demo-server and
# brimhold-rcon 127.0.0.1 PORT secret (offscreen, with a private home), and checks that the console
# links no Qt Network, that the server got its probe (so the console found its network module) and
# that the console keeps its server list in the per-user data folder; then that brimhold-rcon-cli
# links no widgets, reads that same list and gets an echo back. Stops
# both programs by process id and removes the package again, whatever the outcome.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly package=brimhold-rcon
readonly started=$SECONDS
work=$(mktemp -d)
server_pid=
console_pid=

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi

fail() {
  echo "install check: FAILED: $*" >&2
  exit 1
}

# Sends SIGTERM, waits up to 5 s, then SIGKILL.
stop_process() {
  local pid=$1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

remove_package() {
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -qq "$package" >/dev/null
  fi
}

finish() {
  local status=$?
  stop_process "$console_pid"
  stop_process "$server_pid"
  if [ "$status" -ne 0 ]; then
    for log in "$work"/*.log; do
      [ -f "$log" ] && { echo "--- $(basename "$log")"; cat "$log"; }
    done
  fi
  remove_package
  rm -rf "$work"
  echo "install check: $([ "$status" -eq 0 ] && echo passed || echo failed) in $((SECONDS - started)) s"
}
trap finish EXIT
trap 'exit 130' INT TERM

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

build_and_install() {
  ./scripts/install-deps.sh dpkg-dev file desktop-file-utils appstream
  [ -f build/CPackConfig.cmake ] || ./scripts/build.sh
  rm -f build/"$package"_*.deb
  (cd build && cpack -G DEB)
  local debs=(build/"$package"_*.deb)
  { [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ]; } || fail "cpack made no single package: ${debs[*]}"
  dpkg-deb --field "${debs[0]}" Version Depends
  [ "$(dpkg-deb --field "${debs[0]}" Version)" = "0.9.4" ] || fail "package version is not 0.9.4"
  dpkg-deb --field "${debs[0]}" Depends | grep -q libqt6widgets6 ||
    fail "package dependencies were not found by dpkg-shlibdeps"
  dpkg-deb --field "${debs[0]}" Depends | grep -q libedit2 ||
    fail "the package does not depend on libedit2 (the cli's line editing)"
  remove_package
  (cd build && DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "./$(basename "${debs[0]}")")
}

check_installed_files() {
  local expected=(
    /usr/bin/brimhold-rcon
    /usr/lib/brimhold-rcon/brimhold-rcon-network.so
    /usr/bin/brimhold-demo-server
    /usr/bin/brimhold-rcon-cli
    /usr/share/applications/invalid.brimhold.rcon.desktop
    /usr/share/metainfo/invalid.brimhold.rcon.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/brimhold-rcon.svg
    /usr/share/icons/hicolor/48x48/apps/brimhold-rcon.png
    /usr/share/icons/hicolor/256x256/apps/brimhold-rcon.png
    /usr/share/man/man1/brimhold-rcon.1.gz
    /usr/share/man/man1/brimhold-demo-server.1.gz
    /usr/share/man/man1/brimhold-rcon-cli.1.gz
  )
  local listed
  listed=$(dpkg -L "$package")
  for path in "${expected[@]}"; do
    grep -qx "$path" <<<"$listed" || fail "the package does not hold $path"
    [ -f "$path" ] || fail "$path is not installed"
  done
  # Nothing but the programs in the program folder: no tests, benchmarks or test helpers.
  local programs
  programs=$(grep '^/usr/bin/.' <<<"$listed" | sort | tr '\n' ' ')
  [ "$programs" = "/usr/bin/brimhold-demo-server /usr/bin/brimhold-rcon /usr/bin/brimhold-rcon-cli " ] ||
    fail "unexpected programs installed: $programs"
  for program in /usr/bin/brimhold-rcon /usr/bin/brimhold-demo-server /usr/bin/brimhold-rcon-cli; do
    [ -x "$program" ] || fail "$program is not executable"
  done
  file /usr/share/icons/hicolor/48x48/apps/brimhold-rcon.png | grep -q '48 x 48' || fail "48 px icon size"
  file /usr/share/icons/hicolor/256x256/apps/brimhold-rcon.png | grep -q '256 x 256' ||
    fail "256 px icon size"
  for page in /usr/share/man/man1/brimhold-{rcon,demo-server,rcon-cli}.1.gz; do
    gzip -t "$page" || fail "$page is not a valid gzip file"
  done
  desktop-file-validate /usr/share/applications/invalid.brimhold.rcon.desktop
  appstreamcli validate --no-net /usr/share/metainfo/invalid.brimhold.rcon.metainfo.xml
}

server_port() {
  local first
  first=$(head -n 1 "$work/server.log")
  [[ "$first" =~ ^[0-9]+$ ]] && echo "$first"
}

probe_received() {
  grep -qE "^rcon from 127\.0\.0\.1:[0-9]+: echo !!ping$" "$work/server.log"
}

run_installed_programs() {
  brimhold-demo-server --port 0 --password secret --quit-after 60 >"$work/server.log" 2>&1 &
  server_pid=$!
  wait_for 100 server_port >/dev/null || fail "the demo server printed no port"
  local port
  port=$(server_port)
  echo "install check: demo server $server_pid on 127.0.0.1:$port"

  [ ! -e /usr/bin/servers.sdb ] || fail "/usr/bin/servers.sdb is there before the console starts"
  # A private home: the console's server list and settings go there, nowhere else.
  local home="$work/home"
  mkdir -p "$home" "$work/runtime"
  chmod 700 "$work/runtime"
  (
    cd "$work"
    exec timeout 120 env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" \
      XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
      brimhold-rcon 127.0.0.1 "$port" secret
  ) >"$work/console.log" 2>&1 &
  console_pid=$!
  echo "install check: console $console_pid"

  # Not `ldd | grep -q` under pipefail: grep ending early would fail ldd, and the negation pass the check.
  [[ $(ldd /usr/bin/brimhold-rcon) != *libQt6Network* ]] ||
    fail "brimhold-rcon links Qt Network itself instead of loading its network module"
  wait_for 150 probe_received || fail "the demo server did not receive the console's probe"
  kill -0 "$console_pid" 2>/dev/null || fail "the console ended after its probe"
  echo "install check: the demo server received the probe: $(grep -m1 'echo !!ping' "$work/server.log")"

  [ -f "$home/.local/share/brimhold-rcon/servers.sdb" ] ||
    fail "the installed console keeps no server list in the per-user data folder"
  [ ! -e /usr/bin/servers.sdb ] || fail "the installed console wrote /usr/bin/servers.sdb"
}

run_installed_cli() {
  local libraries
  libraries=$(ldd /usr/bin/brimhold-rcon-cli)
  [[ $libraries != *libQt6Widgets* && $libraries != *libQt6Gui* ]] ||
    fail "brimhold-rcon-cli links Qt Widgets or Gui"
  local port reply
  port=$(server_port)
  # The console's list (empty) in the same private home: --list finds it and prints nothing.
  [ -z "$(env -u XDG_DATA_HOME HOME="$work/home" timeout 30 brimhold-rcon-cli --list)" ] ||
    fail "brimhold-rcon-cli --list did not read the console's empty list"
  reply=$(BRIMHOLD_RCON_PASSWORD=secret timeout 30 brimhold-rcon-cli --host 127.0.0.1 --port "$port" echo installed) ||
    fail "brimhold-rcon-cli ended with status $?"
  [ "$reply" = "installed" ] || fail "brimhold-rcon-cli printed \"$reply\" instead of the echo"
  echo "install check: brimhold-rcon-cli got its echo back"
}

build_and_install
check_installed_files
run_installed_programs
run_installed_cli
