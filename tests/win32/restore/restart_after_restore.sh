#!/usr/bin/env bash
# A held file whose deletion was queued for the restart, restored before it, is still
# there after the prefix restarts: runs the restore test, then `wineboot -r` (which carries
# out PendingFileRenameOperations), then looks for the file.
# Usage: restart_after_restore.sh WIN32_RESTORE_TESTS_EXE
set -uo pipefail
tests=$1
check='C:\zc-restart-check.txt'
drive_c="$WINEPREFIX/drive_c"
rm -f "$drive_c/zc-restart-check.txt"
timeout 120 wine "$tests" --gtest_filter='Win32RestoreExactly.AHeldFileQueuedForDeletionAtRestartIsTakenOutOfTheQueue' \
  >restart-test.out 2>&1
rc=$?
cat restart-test.out
[ "$rc" -eq 0 ] || { echo "the restore test failed ($rc)"; exit 1; }
[ -f "$drive_c/zc-restart-check.txt" ] || { echo "the test left no path to check"; exit 1; }
win_path=$(cat "$drive_c/zc-restart-check.txt")
unix_path=$(timeout 30 winepath -u "$win_path" 2>/dev/null)
[ -n "$unix_path" ] && [ -f "$unix_path" ] || { echo "the restored file is not there before the restart: $win_path"; exit 1; }
timeout 120 wine wineboot -r >/dev/null 2>&1
status=0
if [ -f "$unix_path" ]; then
  echo "after wineboot -r the restored file is still there: $win_path"
else
  echo "after wineboot -r the restored file is gone: $win_path"
  status=1
fi
# A queued deletion the restore failed to take out would show here.
rm -rf "$(dirname "$unix_path")" "$drive_c/zc-restart-check.txt"
exit $status
