#!/usr/bin/env bash
# A newer published version: the notice shows, and when it is closed the program opens
# the homepage and ends.
source "$(dirname "$0")/scenario-lib.sh"

start_server "$data/definitions-newer.txt"
start_program
title=$(plain MessageTitle)
text=$(drv wait-message "$title" 30000 || true)
check "$text" "$(plain NewVersionNotice1)"$'\n'"$(plain NewVersionNotice2)" "the new-version notice"
check "$(drv text $LABEL3)" "" "no version label while the notice is open"
drv dismiss-message "$title" || true
wait_program_end 15 && check ended ended "the program ends after the notice" ||
  check running ended "the program ends after the notice"
conclude
