#!/usr/bin/env bash
# A definitions server that refuses the connection: the error report names the failed
# download and the program ends.
source "$(dirname "$0")/scenario-lib.sh"

refuse_port
start_program
title=$(plain MessageTitle)
text=$(drv wait-message "$title" 30000 || true)
first_line=${text%%$'\n'*}
check "$first_line" "$(plain StartupNetworkError)" "the error report names the failed download"
check "$(drv text $LABEL7)" "현재상태 : " "start-up stopped before the monitoring status"
drv dismiss-message "$title" || true
wait_program_end 15 && check ended ended "the program ends after the report" ||
  check running ended "the program ends after the report"
conclude
