#!/usr/bin/env bash
# Starts the local definitions servers the download tests need on free loopback ports,
# runs the test program under Wine and stops the servers again.
#   run_with_servers.sh SOURCE-ROOT TEST-EXE
set -u
root=$1
exe=$2
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# start_server VARIABLE ARGS...: starts one server and exports the port it listens on.
start_server() {
  local variable=$1 out=$work/$1.out
  shift
  python3 "$root/scripts/definitions-server.py" --port 0 "$@" >"$out" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do
    grep -q '^port ' "$out" 2>/dev/null && break
    sleep 0.05
  done
  export "$variable=$(sed -n 's/^port //p' "$out")"
}

: >"$work/wire.txt"
start_server ZC_TEST_HTTP_PORT --file "$work/wire.txt"
start_server ZC_TEST_HTTP_404_PORT --status 404
# A port nobody listens on: one the system just handed out and took back.
export ZC_TEST_HTTP_REFUSED_PORT
ZC_TEST_HTTP_REFUSED_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
# The test writes the served file itself, through its drive Z: view of the Unix root.
export ZC_TEST_WIRE_FILE="Z:${work//\//\\}\\wire.txt"
if [ -z "$ZC_TEST_HTTP_PORT" ] || [ -z "$ZC_TEST_HTTP_404_PORT" ]; then
  echo "the local definitions servers did not start" >&2
  exit 1
fi
bash "$root/scripts/wine-run.sh" "$exe"
