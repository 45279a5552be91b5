# Sourced by tests (after scripts/wine-env.sh) that need a system tool of their own in the
# test prefix, such as a listing program printing process ids that Wine's netstat and
# tasklist leave out. The substitute takes the tool's place in the prefix's own
# C:\windows\system32, where the program looks for its tools, and the prefix's DLL
# overrides make Wine run it instead of its built-in tool of that name; Wine's original is
# kept aside and put back, and the override removed, by restore_system_tools (call it
# from the test's EXIT trap). Only the test prefix is touched, never the program's own
# folder.
#
#   substitute_system_tool NAME.exe SOURCE.exe   puts SOURCE in place of system32\NAME.exe
#   restore_system_tools                         puts every original back and removes
#                                                the NAME.txt files written beside them
#   system32                                     the prefix's system32 folder (Linux path)
#
# An original kept aside by a run that was broken off is put back when this file is
# sourced, so a prefix never keeps a substitute from an earlier run.
system32="$WINEPREFIX/drive_c/windows/system32"
zc_originals="$WINEPREFIX/zc-original-system-tools"
zc_overrides='HKCU\Software\Wine\DllOverrides'

zc_wine_quiet() { timeout 60 wine "$@" </dev/null >/dev/null 2>&1; }

restore_system_tools() {
  local kept name
  [ -d "$zc_originals" ] || return 0
  for kept in "$zc_originals"/*; do
    [ -e "$kept" ] || continue
    name=$(basename "$kept")
    rm -f "$system32/${name%.*}.txt"
    mv -f "$kept" "$system32/$name"
    zc_wine_quiet reg delete "$zc_overrides" /v "$name" /f || true
  done
  rmdir "$zc_originals" 2>/dev/null || true
}

substitute_system_tool() {  # NAME.exe SOURCE.exe
  local name=$1 source=$2
  [ -f "$system32/$name" ] || { echo "no $name in $system32 to substitute" >&2; return 1; }
  mkdir -p "$zc_originals"
  # The first copy kept aside is Wine's own; a later call leaves it as it is.
  [ -e "$zc_originals/$name" ] || cp -p "$system32/$name" "$zc_originals/$name"
  cp -f "$source" "$system32/$name"
  zc_wine_quiet reg add "$zc_overrides" /v "$name" /t REG_SZ /d native /f
}

restore_system_tools
