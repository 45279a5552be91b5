#!/usr/bin/env bash
# A server that answers with an error page instead of the definitions: the error report
# names the bad definitions and the program ends.
source "$(dirname "$0")/scenario-lib.sh"

hold_port port python3 "$root/scripts/definitions-server.py" --port "$port" --path "$path" \
  --file "$data/definitions.txt" --status 404
start_program
title=$(plain MessageTitle)
text=$(drv wait-message "$title" 30000 || true)
check "${text%%$'\n'*}" "$(plain StartupDefinitionsError)" "the error report names the bad definitions"
drv dismiss-message "$title" || true
wait_program_end 15 && check ended ended "the program ends after the report" ||
  check running ended "the program ends after the report"
conclude
