# Sourced by the scripts that run Windows programs: the project's own 64-bit Wine prefix,
# made on first use, with code page 932 and the Japanese Windows font names mapped to the
# IPA fonts. The 64-bit loader is used directly: this machine cannot start 32-bit Linux
# processes, so Debian's wine wrapper (which prefers the 32-bit loader) is bypassed.
tovn_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${TOVN_WINEPREFIX:-$tovn_root/build/wine}
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
tovn_wine=$WINELOADER

tovn_wine_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.tovn-ready-2" ]; then
            rm -rf "$WINEPREFIX"
            "$tovn_wine" wineboot -i >/dev/null 2>&1
            "$tovn_wine" regedit "$("$tovn_wine" winepath -w "$tovn_root/scripts/wine-settings.reg" 2>/dev/null)" >/dev/null 2>&1
            "$WINESERVER" -w
            touch "$WINEPREFIX/.tovn-ready-2"
        fi
    ) 9>"$WINEPREFIX.lock"
}
