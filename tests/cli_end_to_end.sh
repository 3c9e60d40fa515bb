#!/usr/bin/env bash
# End to end through the command-line tool: write the demo, open it, and
# check what the reader reports.
set -euo pipefail
cli="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export HOME="$dir/home"
"$cli" demo "$dir/demo" > "$dir/demo.out"
grep -q "^FileName=$dir/demo/demo.E01$" "$dir/demo.out"
"$cli" info "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" > "$dir/info.out"
expect() { grep -qx "$1" "$dir/info.out" || { echo "missing: $1"; cat "$dir/info.out"; exit 1; }; }
expect "NrChannelsInFile=144"
expect "BytesPerSample=2"
expect "FrameSize=288"
expect "HeaderFrames=14"
expect "NrOfFrames=60001"
expect "SignalLength=60001"
expect "NrColumns=16"
expect "NrRows=8"
expect "NrTraces=16"
expect "TileRectangle=true"
expect "MarkFileName=$dir/demo/demo.M01"
# The tool reads the mark file but does not create one.
[ ! -e "$dir/demo/demo.M01" ]
"$cli" marks "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" > "$dir/marks.out"
[ "$(head -1 "$dir/marks.out")" = "MarkCount=0" ]
# The automatic marker: one slow wave per wave and electrode; saved only when asked.
"$cli" automark "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" > "$dir/auto.out"
grep -qx "MarkCount=384" "$dir/auto.out" && grep -qx "MarksAdded=384" "$dir/auto.out"
[ ! -e "$dir/demo/demo.M01" ]
"$cli" automark "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --type 2 --save > /dev/null
"$cli" automark "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" > "$dir/auto2.out"
grep -qx "MarkCount=768" "$dir/auto2.out"
"$cli" marks "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" > "$dir/automarks.out"
[ "$(head -1 "$dir/automarks.out")" = "MarkCount=384" ]
# slot electrode type time aux1 aux2 origin marknr: spikes placed by the marker
[ "$(awk -F'\t' 'NR > 1 && NF == 8 && $3 == 2 && $7 == 2' "$dir/automarks.out" | wc -l)" = 384 ]
if "$cli" automark "$dir/demo/demo.E01" --type 5 2> /dev/null; then echo "a bad mark type was accepted"; exit 1; fi
# The saved spikes group into the three demo waves, each over all 128
# electrodes (neighbours lie about 390 ms apart: above the spike default of 150).
"$cli" waves "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --type 2 --diff 500 --stats > "$dir/waves.out"
grep -qx "WaveCount=3" "$dir/waves.out" || { cat "$dir/waves.out" | cut -c1-200; exit 1; }
[ "$(grep -c $'WaveSites=128\tWaveXSize=16\tWaveYSize=8' "$dir/waves.out")" = 3 ]
rm "$dir/demo/demo.M01"
# Panel A into a PNG, through the desktop's drawing code.
if "$cli" render "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --out "$dir/a.png" \
     --width 640 --height 400 --begin 2000 --window 8000 --traces 4 --first-channel 17 2>/dev/null; then
  [ "$(head -c 8 "$dir/a.png" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ]
else
  echo "render failed"; exit 1
fi
# A Shift-click near the first wave on electrode 17 finds its downstroke
# (10.5 ms before the true time, after smoothing).
"$cli" search "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --electrode 17 --time 3000 > "$dir/search.out"
found=$(sed -n 's/^Found=//p' "$dir/search.out")
[ "$found" -ge 2980 ] && [ "$found" -le 2995 ] || { echo "search found $found"; exit 1; }
# The activation time map of the first demo wave, from a mark file made of
# its true activation times (16-byte little-endian records after a 4096-byte header).
le16() { printf "\\x$(printf %02x $(( $1 & 255 )))\\x$(printf %02x $(( ($1 >> 8) & 255 )))"; }
{ printf '\xff\xff\x00\x10'; head -c 4092 /dev/zero
  awk -F'\t' '$1 == 1 { printf "%d %d\n", $2, int($5 + 0.5) }' "$dir/demo/demo-truth.txt" | while read -r e t; do
    le16 "$e"; le16 1; le16 "$t"; le16 0; le16 0; le16 0; le16 1; le16 "$(( e % 3 ))"
  done
} > "$dir/demo/demo.M01"
"$cli" map "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 --window 20000 > "$dir/map.out"
expectIn() { grep -qx "$1" "$2" || { echo "missing: $1"; cat "$2"; exit 1; }; }
expectIn "NrColumns=16" "$dir/map.out"
expectIn "EarliestTime=3000" "$dir/map.out"
expectIn "MapTimeCount=128" "$dir/map.out"
[ "$(sed -n 5p "$dir/map.out" | cut -f1-3)" = "$(printf '3000\t3392\t3783')" ]
[ "$(wc -l < "$dir/map.out")" = 12 ]
# A window that starts after part of the wave, with a reference time: cells
# outside it are empty fields.
"$cli" map "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 4000 --window 2000 --ref 1000 > "$dir/map2.out"
expectIn "EarliestTime=3068" "$dir/map2.out"
[ "$(sed -n 5p "$dir/map2.out" | cut -f1-5)" = "$(printf '\t\t\t3175\t3566')" ]
if "$cli" map "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 2>/dev/null; then
  echo "map without --window was accepted"; exit 1
fi
"$cli" render "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --out "$dir/map.png" \
  --width 640 --height 400 --begin 0 --window 20000 --map --isochrones 2>/dev/null
[ "$(head -c 8 "$dir/map.png" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ]
rm "$dir/demo/demo.M01"
# The demo is the same on every run.
"$cli" demo "$dir/again" > /dev/null
cmp "$dir/demo/demo.E01" "$dir/again/demo.E01"
# Unsmoothed rows are the samples as written; smoothed rows are 20-sample means.
"$cli" signals "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --no-smooth --channels 17,144 --from 1 --to 3 > "$dir/raw.out"
[ "$(wc -l < "$dir/raw.out")" = 3 ]
# Bad input gives a one-line message and a non-zero exit.
printf 'short' > "$dir/bad.E01"
if "$cli" info "$dir/bad.E01" 2> "$dir/err.out"; then echo "a damaged file was accepted"; exit 1; fi
grep -q "shorter than an electrogram file header" "$dir/err.out"
# The tool never touches the user's recent-file list.
[ ! -e "$HOME/Vorelkant/MyNewMatrix/FileList.Txt" ]
echo "cli end to end: ok"
