#!/usr/bin/env bash
# Prepares the Wine prefix and keeps one Wine session alive (wineserver -p) so programs
# start fast and services survive between them. Turns off the crash dialog and the
# window manager decorations that would stall a run under Xvfb.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine: creating prefix $WINEPREFIX"
  timeout 300 wineboot --init >/dev/null 2>&1 || true
  timeout 60 wineserver -w || true
fi
timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Without a window manager (Xvfb) windows must be unmanaged, or every hide waits 2 s;
# on a real desktop (ZC_WINE_MANAGED=Y) the desktop's window manager keeps them.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "${ZC_WINE_MANAGED:-N}" /f >/dev/null 2>&1
timeout 60 wineserver -k >/dev/null 2>&1 || true
timeout 60 wineserver -w >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 </dev/null
# Start the session's own services now, detached from whatever pipe runs the tests.
timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null || true
