# Sourced by the scripts that run Windows programs: one Wine prefix of this checkout's
# own, Korean locale (code page 949), no debug noise.
export WINEPREFIX="${ZC_WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
