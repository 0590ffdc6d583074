#!/usr/bin/env bash
# product_zip.sh ZIP BIN_DIR: the product zip as a user gets it. Unpacked into an empty
# folder, it holds only what a user installs, needs nothing outside itself and Windows, and
# the program started from there lists and draws a folder of MAG, PI, PIC and BMP pictures
# (through the plug-ins beside it) and opens an LZH archive (through its archive library).
set -eu
zip=$(realpath "$1")
source "$(dirname "$0")/lib.sh" "$2"
[ -f "$zip" ] || fail "no product zip $zip (scripts/build makes it)"
width=64
[ "$WINEARCH" = win32 ] && width=32

mkdir "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
product=$work/unpacked/$(basename "$zip" .zip)
[ -f "$product/Tovn32.exe" ] || fail "$(basename "$zip") holds no folder $(basename "$product") with Tovn32.exe"
[ "$(ls "$work/unpacked")" = "$(basename "$product")" ] || fail "more than one folder in the zip"

# Only what a user installs, and all of it.
for f in Tovn32.exe UNLHA32.DLL LHASAD.SPI HUEDEN32.DLL MG.EXE README.txt IFMAG.SPI IFPI.SPI \
    IFPIC.SPI IFJPEG.SPI licences/libjpeg-turbo.txt licences/sqlite.txt; do
    [ -f "$product/$f" ] || fail "$f is missing from the product"
done
[ -n "$(ls "$product/licences")" ] || fail "no licences in the product"
# The program's own licence, as Notepad shows it.
cmp -s <(tr -d '\r' <"$product/licences/LICENSE.txt") "$root/LICENSE" ||
    fail "licences/LICENSE.txt is not the program's licence"
grep -q $'\r$' "$product/licences/LICENSE.txt" || fail "licences/LICENSE.txt lacks CRLF line ends"
while read -r f; do
    case ${f#"$product/"} in
    Tovn32.exe | UNLHA32.DLL | LHASAD.SPI | HUEDEN32.DLL | MG.EXE | TovnKH.dll | IF*.SPI) ;;
    README.txt | licences/*) ;;
    *) fail "${f#"$product/"} does not belong in the product" ;;
    esac
done < <(find "$product" -type f)

# Every library a file imports lies beside it or is one of Windows' own.
system=$WINEPREFIX/drive_c/windows/system32
for f in "$product"/*.exe "$product"/*.EXE "$product"/*.DLL "$product"/*.dll "$product"/*.SPI; do
    [ -e "$f" ] || continue
    imports=$(x86_64-w64-mingw32-objdump -p "$f") || fail "$(basename "$f") is no Windows program"
    for dll in $(echo "$imports" | sed -n 's/^\s*DLL Name: //p'); do
        [ -n "$(find "$product" "$system" -maxdepth 1 -iname "$dll" | head -1)" ] ||
            fail "$(basename "$f") needs $dll, which is neither in the product nor in Windows"
    done
done

# A folder of pictures, and an archive of two more made by a Linux archiver.
for f in S16FULL.MAG S16.PI S15.PIC SEA.BMP; do cp "$root/samples/$f" "$work/pics/"; done
convert -size 40x30 "xc:rgb(12,200,34)" "BMP3:$work/pics/MARK.BMP"
convert -size 40x30 "xc:rgb(200,30,160)" "BMP3:$work/A.BMP"
convert -size 40x30 "xc:rgb(30,60,220)" "BMP3:$work/B.BMP"
(cd "$work" && jlha a "$work/pics/PICS.LZH" A.BMP B.BMP >/dev/null)
# A MAG smaller than the 640 × 400 screen is drawn where it lies on that screen, a few
# pixels in a cell; a full-screen one, made by the product's own encoder, fills its cell.
convert -size 320x400 "xc:rgb(221,34,238)" -size 320x400 "xc:rgb(204,51,85)" +append \
    -type Palette BMP3:"$work/BIG.BMP"
(cd "$work" && "$tovn_wine" "$product/MG.EXE" .MAG BIG.BMP) || fail "MG.EXE did not run"
mv "$work/BIG.MAG" "$work/pics/"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

# Waits until the window shows every colour given (rgb(r,g,b)): the thumbnails are drawn.
shows() {
    local c n missing=""
    for _ in $(seq 20); do
        import -window "$win" "$work/shot.png" 2>/dev/null || true
        missing=""
        for c in "$@"; do
            n=$(convert "$work/shot.png" -alpha off -fill black +opaque "$c" -fill white -opaque "$c" \
                -format '%[fx:mean*w*h]' info: 2>/dev/null || echo 0)
            [ "${n%.*}" -gt 0 ] || missing="$missing $c"
        done
        [ -z "$missing" ] && return 0
        sleep 0.5
    done
    fail "the window does not show$missing"
}

# The file name in panel 4 once it is another than $1: the cursor has moved.
moved_from() {
    local got=""
    for _ in $(seq 20); do
        got=$(status 4 | sed 's|.*\\||')
        [ -n "$got" ] && [ "$got" != "$1" ] && break
        sleep 0.25
    done
    echo "$got"
}

start_program "$pics" "$product"
expect 1 "Normal"
# Six pictures (a 3 × 3 square holds them): the archive is not listed.
[[ "$(status 2)" =~ ^Disp\ :\ [0-9]+\*[0-9]+\(3\)$ ]] || fail "panel 2 shows '$(status 2)'"
seen="" name=""
for i in 1 2 3 4 5 6; do
    [ "$i" -eq 1 ] || keys Right
    name=$(moved_from "$name")
    seen="$seen$name "
done
for f in BIG.MAG MARK.BMP S15.PIC S16.PI S16FULL.MAG SEA.BMP; do
    [[ " $seen" == *" $f "* ]] || fail "$f is not listed (seen: $seen)"
done
# Colours each picture holds in blocks: the BMP itself, S15.PIC's pure green and blue,
# palette entries of S16.PI (1 and 2) and the two halves of BIG.MAG. The cursor, which
# inverts its cell, now stands on the last picture, SEA.BMP.
shows "rgb(12,200,34)" "rgb(0,255,0)" "rgb(0,0,255)" "rgb(17,85,238)" "rgb(34,170,221)" \
    "rgb(221,34,238)" "rgb(204,51,85)"
quit_asked

start_program "$pics\\PICS.LZH" "$product"
expect 1 "Lha"
expect 4 "$pics\\PICS.LZH\\A.BMP"
shows "rgb(200,30,160)" "rgb(30,60,220)"
quit_asked
echo "product zip: passed ($width-bit, $(basename "$zip"))"
