#!/usr/bin/env bash
# Start-up against the local definitions server: the window shows its captions, the
# version label and the monitoring status, fully opaque and enabled after the fade;
# monitoring switches off and on.
source "$(dirname "$0")/scenario-lib.sh"

start_server "$data/definitions.txt"
drv watch-fade 30000 >"$work/fade.txt" &
watcher=$!
start_program
wait_ready
wait "$watcher" || true
read -r steps top disabled final enabled <"$work/fade.txt" || true
check "$((${steps#steps=} >= 5))" "1" "the fade goes through several opacities ($steps)"
# The last step (253) lasts only until the layered style goes, so a watcher sees 246 or
# 253 at the top, never 255.
case $top in top=246 | top=253) top_ok=yes ;; *) top_ok=$top ;; esac
check "$top_ok" "yes" "it climbs to its last steps, never to 255"
check "$disabled $final $enabled" "disabled=1 final=0 enabled=1" "disabled while fading; opaque and enabled after"

check "$(drv caption)" "$(plain WindowCaption)" "window caption"
check "$(drv text $LABEL3)" "v$(plain VersionText)" "version label"
check "$(drv text $LABEL1)" "$(plain NoticeText1)$(plain NoticeText2)$(plain NoticeText3)$(plain NoticeText4)$(plain NoticeText5)" "notice label"
check "$(drv text $LABEL2)" "좀비 치료기 버전:" "version caption"
check "$(drv text $LABEL4)" "치료 된 좀비  : " "treated caption"
check "$(drv text $LABEL6)" "0건" "treated count"
check "$(drv text $CHECK2)" "좀비 실시간 감시" "monitoring box caption"
check "$(drv checked $CHECK2)" "1" "monitoring box checked"
check "$(drv text $CHECK1)" "부팅 시 자동실행" "log-on box caption"
check "$(drv checked $CHECK1)" "0" "log-on box unchecked without a stored option"
check "$(drv state)" "visible=1 enabled=1 layered=0 alpha=0" "after the fade: shown, enabled, no layered style"
check "$(drv columns)" "7: 100 60 200 200 100 50 50" "the result list's seven columns"
check "$(drv run-values | grep -c "^$(plain LogonValueName)=" || true)" "0" "no log-on entry written"
check "$(drv setting)" "<none>" "no option stored"

# Switching monitoring off and on again.
drv click $CHECK2
check "$(wait_for 10 "$(plain StatusMonitoringOff)" drv text $LABEL7)" "$(plain StatusMonitoringOff)" "monitoring off: status"
check "$(drv shown $LABEL5)" "0" "monitoring off: the indicator is hidden"
drv click $CHECK2
check "$(wait_for 10 "$(plain StatusMonitoringOn)" drv text $LABEL7)" "$(plain StatusMonitoringOn)" "monitoring on again: status"
check "$(drv shown $LABEL5)" "1" "monitoring on again: the indicator shows"

# Closing the window ends the program.
drv close
wait_program_end 15 && check ended ended "closing the window ends the program" ||
  check running ended "closing the window ends the program"
conclude
