#!/usr/bin/env bash
# The tray button hides the window and puts the icon into the notification area; a
# mouse move (512) or a press (513) on the icon does nothing; the left button's release
# (514), from a real click on the icon or sent directly, brings the window back. The
# right button's release (517) opens the pop-up menu, during which further callbacks are
# dropped, and its "종료" ends the program. When the notification area is made anew (its
# host restarted, every icon lost, the "TaskbarCreated" broadcast sent), a hidden
# window's icon comes back; a shown window adds none.
source "$(dirname "$0")/scenario-lib.sh"

hidden="visible=0 enabled=1 layered=0 alpha=0"
shown="visible=1 enabled=1 layered=0 alpha=0"
hide() {
  drv press $TRAY_BUTTON
  check "$(wait_for 10 "$hidden" drv state)" "$hidden" "$1"
}

start_server "$data/definitions.txt"
start_program
wait_ready

hide "the tray button hides the window"
drv tray 512
drv tray 513
sleep 1
check "$(drv state)" "$hidden" "moves and presses on the icon do nothing"

# A real click on the icon in the tray window.
point=$(drv tray-icon-point || true)
if [ -n "$point" ]; then
  xdotool mousemove $point click 1
  check "$(wait_for 10 "$shown" drv state)" "$shown" "a click on the icon restores the window"
else
  check "no tray window" "tray window" "the icon shows in the tray window"
fi
check "$(drv text $LABEL7)" "$(plain StatusMonitoringOn)" "monitoring goes on"

hide "hidden again"
# The notification area made anew while the window is hidden: the icon comes back, the
# window stays hidden, and a click on the icon still restores it.
check "$(drv tray-icon-present)" "1" "the hidden window's icon is in the notification area"
drv tray-icon-drop
check "$(drv tray-icon-present)" "0" "the icon is lost with the notification area"
drv taskbar-created
check "$(wait_for 10 1 drv tray-icon-present)" "1" "the icon is added again when the notification area is made anew"
check "$(drv state)" "$hidden" "the window stays hidden meanwhile"
drv tray-icon-drop
drv taskbar-created
check "$(wait_for 10 1 drv tray-icon-present)" "1" "and again at the next restart"
drv tray 514
check "$(wait_for 10 "$shown" drv state)" "$shown" "the left button's release restores the window"
check "$(drv tray-icon-present)" "0" "restoring removes the icon"
drv taskbar-created
sleep 1
check "$(drv tray-icon-present)" "0" "a shown window adds no icon when the notification area is made anew"

hide "hidden once more"
drv tray 517
sleep 1
drv tray 514  # arrives while the menu is open: dropped
sleep 1
check "$(drv state)" "$hidden" "a callback while the menu is open is dropped"
drv menu-choose 2 10000 || check "no menu" "menu" "the icon's pop-up menu opens"
wait_program_end 15 && check ended ended "the menu's exit ends the program" ||
  check running ended "the menu's exit ends the program"
conclude
