#!/usr/bin/env bash
# Detection from the system's own tables, with the listing route left to the program
# (auto): a process of this scenario keeps a connection to the tunnel port of the sample
# definitions and has sent data through it, so Wine's connection table names it as the
# owner. The program lists it with its name, id, path and "N/A" (the service manager
# knows no service of it), while the console listing commands print nothing usable: the
# program's own folder holds stand-ins for them with empty listings.
source "$(dirname "$0")/scenario-lib.sh"

helpers=$(dirname "$driver")
drive_c="$WINEPREFIX/drive_c"
folder_name=zcdetecttables
folder="$drive_c/$folder_name"
win_folder="C:\\$folder_name"
victim=zcdtbvictim.exe
tunnel_port=48123
victim_pid="" listener=""

victim_running() { [ -n "$victim_pid" ] && kill -0 "$victim_pid" 2>/dev/null; }
clean_up() {
  if victim_running; then kill "$victim_pid" 2>/dev/null || true; fi
  [ -n "$victim_pid" ] && { wait "$victim_pid" 2>/dev/null || true; }
  victim_pid=""
  timeout 60 wine taskkill /f /im "$victim" </dev/null >/dev/null 2>&1 || true
  [ -n "$listener" ] && { kill "$listener" 2>/dev/null || true; wait "$listener" 2>/dev/null || true; }
  listener=""
  rm -rf "$folder"
}
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up

mkdir -p "$folder"
cp "$helpers/zc_scenario_victim.exe" "$folder/$victim"
cp "$program" "$folder/ZombieCure.exe"
cp "$helpers/zc_listing_stand_in.exe" "$folder/netstat.exe"
cp "$helpers/zc_listing_stand_in.exe" "$folder/tasklist.exe"
: >"$folder/netstat.txt"
: >"$folder/tasklist.txt"

# The far end of the victim's connection: a listener on the tunnel port that accepts and
# holds its connections.
python3 -c "
import socket, time
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(('127.0.0.1', $tunnel_port))
s.listen(4)
print('listening', flush=True)
held = []
while True:
    c, _ = s.accept()
    held.append(c)
" >"$work/listener.out" 2>&1 &
listener=$!
for _ in $(seq 1 50); do grep -q listening "$work/listener.out" && break; sleep 0.1; done
grep -q listening "$work/listener.out" || { echo "FAIL: the tunnel port $tunnel_port is busy"; exit 1; }

wine "$win_folder\\$victim" "$win_folder\\victim.pid" "$tunnel_port" >/dev/null 2>&1 </dev/null &
victim_pid=$!
for _ in $(seq 1 100); do [ -s "$folder/victim.pid" ] && break; sleep 0.1; done
id=$(cat "$folder/victim.pid" 2>/dev/null || true)
[[ $id =~ ^[0-9]+$ ]] || { echo "FAIL: the victim process did not start or connect"; exit 1; }

program="$folder/ZombieCure.exe"
start_server "$data/definitions.txt"
ZC_LISTING_ROUTE=auto start_program
wait_ready

for _ in $(seq 1 60); do
  [ "$(drv rows)" -ge 1 ] && break
  sleep 0.5
done
row=""
n=$(drv rows)
for ((i = 0; i < n; i++)); do
  [ "$(drv cell $i 1)" == "$id" ] || continue
  row=$(drv cell $i 4)
  for c in 0 1 2 3 5 6; do row+="|$(drv cell $i $c)"; done
done
check "$row" "outPut Tun|$victim|$id|$win_folder\\$victim|N/A||" \
  "the process that owns the connection is listed from the tables"
conclude
