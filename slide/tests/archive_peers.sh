#!/usr/bin/env bash
# The archive that BMP conversion wrote in archive mode, read by independent tools: lhasa
# lists the new BMP entries and 7-Zip tests the whole archive clean.
# Usage: archive_peers.sh BIN_DIR ROOT
set -eu
bin=$1
root=$2
source "$root/scripts/wine-env.sh"
tovn_wine_prefix
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
keep=$("$tovn_wine" winepath -w "$work/OUT.LZH" 2>/dev/null)
cd "$bin"
TOVN_KEEP_ARCHIVE=$keep "$root/scripts/wine-run" ./slide_test.exe \
    --gtest_filter='ArchiveConversion.TheArchiveGainsTheBmpEntries*'
[ -f "$work/OUT.LZH" ] || fail "the test kept no archive"
listing=$(lhasa l "$work/OUT.LZH")
for name in A.MAG C.PI A.BMP C.BMP; do
    grep -qi "$name" <<<"$listing" || { echo "$listing"; fail "lhasa does not list $name"; }
done
7zz t "$work/OUT.LZH" >"$work/7z.txt" || { cat "$work/7z.txt"; fail "7-Zip finds the archive damaged"; }
grep -q "Everything is Ok" "$work/7z.txt" || { cat "$work/7z.txt"; fail "7-Zip test"; }
echo "converted archive read by lhasa and 7-Zip: passed"
