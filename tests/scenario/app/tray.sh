#!/usr/bin/env bash
# The tray button hides the window; a mouse move (512) or a press (513) on the icon does
# nothing; the left button's release (514) brings the window back. The right button's
# release (517) opens the pop-up menu, during which further callbacks are dropped, and
# its "종료" ends the program.
source "$(dirname "$0")/scenario-lib.sh"

start_server "$data/definitions.txt"
start_program
wait_ready

drv press $TRAY_BUTTON
check "$(wait_for 10 "visible=0 enabled=1 layered=0 alpha=0" drv state)" "visible=0 enabled=1 layered=0 alpha=0" "the tray button hides the window"
drv tray 512
drv tray 513
sleep 1
check "$(drv state)" "visible=0 enabled=1 layered=0 alpha=0" "moves and presses on the icon do nothing"
drv tray 514
check "$(wait_for 10 "visible=1 enabled=1 layered=0 alpha=0" drv state)" "visible=1 enabled=1 layered=0 alpha=0" "releasing the left button restores the window"
check "$(drv text $LABEL7)" "$(plain StatusMonitoringOn)" "monitoring goes on"

drv press $TRAY_BUTTON
check "$(wait_for 10 "visible=0 enabled=1 layered=0 alpha=0" drv state)" "visible=0 enabled=1 layered=0 alpha=0" "hidden again"
drv tray 517
sleep 1
drv tray 514  # arrives while the menu is open: dropped
sleep 1
check "$(drv state)" "visible=0 enabled=1 layered=0 alpha=0" "a callback while the menu is open is dropped"
drv menu-choose 2 10000 || check "no menu" "menu" "the icon's pop-up menu opens"
wait_program_end 15 && check ended ended "the menu's exit ends the program" ||
  check running ended "the menu's exit ends the program"
conclude
