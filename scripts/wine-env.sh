# Sourced by the scripts that run Windows programs: the project's own Wine prefix, made on
# first use, with code page 932 and the Japanese Windows font names mapped to the IPA fonts.
# TOVN_WINE_ARCH picks the width: win64 (the default; runs on every machine) or win32 (the
# 32-bit program, on machines that start 32-bit processes; scripts/wine32-check tells). Each
# width has a prefix of its own, and its loader is used directly, bypassing Debian's wine
# wrapper, which would prefer the 32-bit loader even where it cannot start.
tovn_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${TOVN_WINE_ARCH:-win64}" = win32 ]; then
    export WINEPREFIX=${TOVN_WINEPREFIX:-$tovn_root/build/wine32}
    export WINEARCH=win32
    export WINELOADER=/usr/lib/wine/wine
    export WINESERVER=/usr/lib/wine/wineserver32
else
    export WINEPREFIX=${TOVN_WINEPREFIX:-$tovn_root/build/wine}
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The locale is made first where this is sourced before scripts/deps ran: without it Wine
# falls back to code page 1252. A shell that started before the locale was made (scripts/test
# on a fresh machine) keeps the list of locales it read then and would complain here; the
# programs it starts read the new list, which is what counts, so the complaint is dropped.
"$tovn_root/scripts/ja-locale"
export LANG=ja_JP.UTF-8 2>/dev/null
export LC_ALL=ja_JP.UTF-8 2>/dev/null
tovn_wine=$WINELOADER

tovn_wine_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.tovn-ready-3" ]; then
            rm -rf "$WINEPREFIX"
            "$tovn_wine" wineboot -i >/dev/null 2>&1
            "$tovn_wine" regedit "$("$tovn_wine" winepath -w "$tovn_root/scripts/wine-settings.reg" 2>/dev/null)" >/dev/null 2>&1
            "$WINESERVER" -w
            touch "$WINEPREFIX/.tovn-ready-3"
        fi
    ) 9>"$WINEPREFIX.lock"
}
