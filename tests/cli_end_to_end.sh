#!/usr/bin/env bash
# End to end through the command-line tool: write the demo, open it, and
# check what the reader reports.
set -euo pipefail
cli="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A failing check names its line, so a failure in a busy run can be found.
trap 'echo "$0: line $LINENO failed (status $?): $BASH_COMMAND" >&2' ERR
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
# The journal of unsaved changes: without one, the mark file's marks; one
# the window would set aside is named, and left where it is.
"$cli" marks "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --journal > "$dir/journal.out"
[ "$(head -1 "$dir/journal.out")" = "JournalEntries=0" ]
[ "$(tail -n +2 "$dir/journal.out")" = "$(cat "$dir/automarks.out")" ]
printf 'garbage' > "$dir/demo/demo.M01.journal"
"$cli" marks "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --journal > "$dir/journal.out"
[ "$(head -3 "$dir/journal.out")" = $'JournalUnused=it is not a journal of mark changes\nJournalEntries=0\nMarkCount=384' ]
[ "$(cat "$dir/demo/demo.M01.journal")" = garbage ] && [ ! -e "$dir/demo/demo.M01.journal.unused" ]
rm "$dir/demo/demo.M01.journal"
# slot electrode type time aux1 aux2 origin marknr: spikes placed by the marker
[ "$(awk -F'\t' 'NR > 1 && NF == 8 && $3 == 2 && $7 == 2' "$dir/automarks.out" | wc -l)" = 384 ]
# The saved spikes group into the three demo waves, each over all 128
# electrodes (neighbours lie about 390 ms apart: above the spike default of 150).
"$cli" waves "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --type 2 --diff 500 --stats > "$dir/waves.out"
grep -qx "WaveCount=3" "$dir/waves.out" || { cat "$dir/waves.out" | cut -c1-200; exit 1; }
[ "$(grep -c $'WaveSites=128\tWaveXSize=16\tWaveYSize=8' "$dir/waves.out")" = 3 ]
rm "$dir/demo/demo.M01"
# Panel A into a PNG, through the desktop's drawing code.
# pngSize FILE: "width height" from the PNG header, after checking the signature.
pngSize() {
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] || { echo "$1 is not a PNG"; exit 1; }
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}
# pixels FILE X,Y...: the colour (rrggbb) of each pixel named, on one line
# (8-bit RGB or RGBA, as the drawing code saves them).
pixels() {
  python3 - "$@" <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
pos, idat = 8, b''
while pos < len(data):
    n, kind = struct.unpack('>I4s', data[pos:pos + 8])
    if kind == b'IHDR':
        w, h, depth, ctype, _, _, lace = struct.unpack('>IIBBBBB', data[pos + 8:pos + 21])
        assert depth == 8 and ctype in (2, 6) and lace == 0
    elif kind == b'IDAT':
        idat += data[pos + 8:pos + 8 + n]
    pos += 12 + n
bpp = 3 if ctype == 2 else 4
stride, raw, rows, prev = w * bpp, zlib.decompress(idat), [], bytearray(w * bpp)
for y in range(h):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a, up, c = line[i - bpp] if i >= bpp else 0, prev[i], prev[i - bpp] if i >= bpp else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + up) & 255
        elif f == 3: line[i] = (line[i] + (a + up) // 2) & 255
        elif f == 4:
            p = a + up - c
            line[i] = (line[i] + (a if abs(p - a) <= min(abs(p - up), abs(p - c)) else up if abs(p - up) <= abs(p - c) else c)) & 255
    rows.append(line)
    prev = line
points = [tuple(map(int, p.split(','))) for p in sys.argv[2:]]
print(' '.join('%02x%02x%02x' % tuple(rows[y][x * bpp:x * bpp + 3]) for x, y in points))
EOF
}
if "$cli" render "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --out "$dir/a.png" \
     --width 640 --height 400 --begin 2000 --window 8000 --traces 4 --first-channel 17 2>/dev/null; then
  [ "$(pngSize "$dir/a.png")" = "640 400" ] || { echo "render size $(pngSize "$dir/a.png")"; exit 1; }
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
# Every one of those slow waves is measured; none has an earlier one.
"$cli" measure "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" > "$dir/measure.out"
expectIn "Measured=128" "$dir/measure.out"
# The count map of that wave has one slow wave per cell, the electrode map
# the matrix itself; the wave's arrows point away from its start.
[ "$("$cli" map "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 --window 20000 --kind 1 | sed -n 5,12p | tr '\t\n' '  ' | tr -s ' ')" = "$(printf '1 %.0s' $(seq 128))" ]
"$cli" velocity "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 --window 20000 > "$dir/velocity.out"
[ "$(sed -n 's/^Arrows=//p' "$dir/velocity.out")" = "$(awk -F'\t' 'NR > 2 && NF == 12 && $3 > 0' "$dir/velocity.out" | wc -l)" ]
# On a paint box wider than high the cells follow the height (299 / 8 = 36
# pixels, 16 x 36 wide, centred): the first arrows, exactly.
"$cli" velocity "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 --window 20000 --width 700 --height 300 > "$dir/velocity2.out"
[ "$(head -4 "$dir/velocity2.out")" = "$(printf '%s\n' CellWidth=36 Arrows=105 $'1\t1\t0.6001\t340.3462\t45\t46\t73\t56\t68\t57\t70\t52' \
  $'1\t2\t0.6001\t340.3462\t45\t82\t73\t92\t68\t93\t70\t88')" ] || { head -4 "$dir/velocity2.out"; exit 1; }
# "Copy Map" with "plot Arrows" on: the frame block, then the arrows block
# (kind 5) with one line of eight coordinates per arrow.
"$cli" export mac-map "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 --window 20000 --arrows --out "$dir/arrows.txt"
[ "$(tr -d '\r' < "$dir/arrows.txt" | sed -n '2p;7p')" = "$(printf '6 4\n5 105')" ] || { head -8 "$dir/arrows.txt"; exit 1; }
[ "$(tr -d '\r' < "$dir/arrows.txt" | sed -n '8,112p' | awk 'NF == 8' | wc -l)" = 105 ]
[ "$(tr -d '\r' < "$dir/arrows.txt" | sed -n 1p)" = 2 ]
# An export or a page aimed at the recording's own files writes nothing.
for target in demo.E01 demo.M01 demo.C01; do
  before=$(cksum < "$dir/demo/$target" 2>/dev/null || echo none)
  if "$cli" export matrix-text "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --begin 0 --window 20000 \
       --out "$dir/demo/$target" 2> "$dir/err.txt"; then echo "export over $target accepted"; exit 1; fi
  grep -q "nothing was written" "$dir/err.txt" || { cat "$dir/err.txt"; exit 1; }
  [ "$(cksum < "$dir/demo/$target" 2>/dev/null || echo none)" = "$before" ]
done
[ "$(awk -F'\t' 'NR > 1 && NF == 9 && $9 == "" && $8 > 0 && $3 > $5' "$dir/measure.out" | wc -l)" = 128 ]
"$cli" render "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --out "$dir/map.png" \
  --width 300 --height 200 --begin 0 --window 20000 --map --isochrones 2>/dev/null
[ "$(pngSize "$dir/map.png")" = "300 200" ]
# What is drawn: 16 x 8 cells of 18 pixels from (10, 10), black lines
# between them; row 1's cells in the colours of their times.
mapPoints=(19,12 37,12 55,12 73,12 91,12 109,12 127,12 145,12 163,12 181,12 199,12 217,12 235,12 253,12 271,12 289,12
           10,12 298,12 150,154 150,170)
[ "$(pixels "$dir/map.png" "${mapPoints[@]}")" = "ff0000 ff0000 ff8844 ffff00 88ff88 88ff88 00df00 00aa00 88ffff 8888ff \
8888ff 0077de ff3b1e ff0000 ff0000 ff8844 000000 000000 000000 ffffff" ] || { echo "map: $(pixels "$dir/map.png" "${mapPoints[@]}")"; exit 1; }
"$cli" render "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --out "$dir/wf.png" \
  --width 500 --height 300 --begin 0 --window 20000 --waveforms --align --numbers 2>/dev/null
[ "$(pngSize "$dir/wf.png")" = "500 300" ]
# 16 x 8 cells of 28 x 31 pixels from (26, 20), each waveform green in its cell.
wfPoints=(40,20 40,268 26,60 474,60 40,35 40,155 40,215 10,10 490,290)
[ "$(pixels "$dir/wf.png" "${wfPoints[@]}")" = "000000 000000 000000 000000 008000 008000 008000 ffffff ffffff" ] ||
  { echo "waveforms: $(pixels "$dir/wf.png" "${wfPoints[@]}")"; exit 1; }
# The traces of electrodes 17-20 over 2000-10000 ms with their marks: green
# grid lines every 1000 ms from x = 30, flat black traces at their rows, the
# red mark lines of 3000 (trace 17) and 4175 (trace 20).
"$cli" render "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --out "$dir/a.png" \
  --width 640 --height 400 --begin 2000 --window 8000 --traces 4 --first-channel 17 2>/dev/null
tracePoints=(100,30 101,30 184,380 30,370 101,370 600,370 500,57 500,151 500,244 500,337 500,100)
[ "$(pixels "$dir/a.png" "${tracePoints[@]}")" = "ff0000 ff0000 ff0000 00ff00 00ff00 00ff00 000000 000000 000000 000000 ffffff" ] ||
  { echo "traces: $(pixels "$dir/a.png" "${tracePoints[@]}")"; exit 1; }
if "$cli" render "$dir/demo/demo.E01" --out "$dir/x.png" --align 2> "$dir/align.err"; then
  echo "--align without --waveforms accepted"; exit 1
fi
grep -q -- "--align and --numbers go with --waveforms" "$dir/align.err"
rm "$dir/demo/demo.M01"
# The demo is the same on every run.
"$cli" demo "$dir/again" > /dev/null
cmp "$dir/demo/demo.E01" "$dir/again/demo.E01"
# Unsmoothed rows are the samples as written (row r is the frame r frames
# after the 14-frame header, channel c at 2 (c - 1) bytes into it); smoothed
# row 1 is the mean of raw rows 2..21, rounded.
"$cli" signals "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --no-smooth --channels 17,144 --from 1 --to 3 > "$dir/raw.out"
[ "$(cat "$dir/raw.out")" = "$(printf '1\t-17\t6\n2\t18\t34\n3\t-63\t-39')" ] || { cat "$dir/raw.out"; exit 1; }
[ "$(od -An -td2 -j $(( 4032 + 3 * 288 + 16 * 2 )) -N2 "$dir/demo/demo.E01" | tr -d ' ')" = -63 ]
[ "$(od -An -td2 -j $(( 4032 + 2 * 288 + 143 * 2 )) -N2 "$dir/demo/demo.E01" | tr -d ' ')" = 34 ]
"$cli" signals "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --channels 17,144 --from 1 --to 1 > "$dir/smooth.out"
[ "$(cat "$dir/smooth.out")" = "$(printf '1\t-7\t-8')" ] || { cat "$dir/smooth.out"; exit 1; }
[ "$("$cli" signals "$dir/demo/demo.E01" --no-smooth --channels 17 --from 2 --to 21 | awk '{ s += $2 } END { print s }')" = -132 ]
# Channels 1..256: 256 is taken, 257 refused with one line.
[ "$("$cli" signals "$dir/demo/demo.E01" --channels 250-256 --from 5 --to 5 | awk -F'\t' '{ print NF }')" = 8 ]
oneLineError() {  # oneLineError EXPECTED-LINE COMMAND...: fails with exactly that line on stderr
  local expected="$1"; shift
  if "$@" > "$dir/out.txt" 2> "$dir/err.txt"; then echo "accepted: $*"; exit 1; fi
  [ "$(cat "$dir/err.txt")" = "$expected" ] || { echo "for $*:"; cat "$dir/err.txt"; exit 1; }
  [ ! -s "$dir/out.txt" ]
}
oneLineError "vorelkant-cli: --channels: channel 257 is outside 1..256" "$cli" signals "$dir/demo/demo.E01" --channels 256,257 --from 1 --to 1
oneLineError "vorelkant-cli: --from, --to: samples 60001..60002 are outside 1..60001" "$cli" signals "$dir/demo/demo.E01" --channels 17 --from 60001 --to 60002
oneLineError "vorelkant-cli: --type: 5 is outside 1..3" "$cli" automark "$dir/demo/demo.E01" --type 5
oneLineError "vorelkant-cli: --window is required" "$cli" map "$dir/demo/demo.E01" --begin 0
oneLineError "vorelkant-cli: The following argument was not expected: --bogus" "$cli" info "$dir/demo/demo.E01" --bogus
oneLineError "vorelkant-cli: unknown command bogus" "$cli" bogus
oneLineError "vorelkant-cli: --rate: 4000 is outside 100..2000" "$cli" demo "$dir/fast" --rate 4000
oneLineError "vorelkant-cli: --begin: '12a' is not a valid integer value" "$cli" map "$dir/demo/demo.E01" --begin 12a --window 5
oneLineError "vorelkant-cli: $dir/missing.E01: No such file or directory" "$cli" info "$dir/missing.E01"
oneLineError "vorelkant-cli: --matrix: $dir/missing.txt: No such file or directory" "$cli" info "$dir/demo/demo.E01" --matrix "$dir/missing.txt"
# Expansion, statistics and spike statistics on a 2 x 3 matrix of electrodes 1-6:
# the hole of electrode 4 between 100, 200 and 300; electrode 5 fires at 4000, 7000, 10500.
printf -- '-2\r\n6 2 3 1.0\r\nsix\r\n1 2\r\n3 4\r\n5 6\r\n' > "$dir/six.txt"
mkdir "$dir/six" && cp "$dir/demo/demo.E01" "$dir/six/six.E01"
{ printf '\xff\xff\x00\x10'; head -c 4092 /dev/zero
  for et in 2:100 3:200 6:300 5:4000 5:7000 5:10500; do
    le16 "${et%:*}"; le16 1; le16 "${et#*:}"; le16 0; le16 0; le16 0; le16 1; le16 0
  done
} > "$dir/six/six.M01"
six=("$dir/six/six.E01" --matrix "$dir/six.txt")
lines() { printf '%s\n' "$@"; }
[ "$(LC_ALL=C.UTF-8 "$cli" map "${six[@]}" --begin 0 --window 3000 --expand --stats)" = "$(lines NrColumns=2 NrRows=3 \
  EarliestTime=100 MapTimeCount=3 $'\t100' $'200\t200*' $'\t300' 'StatsMemo= ' StatsMemo=Times 'StatsMemo= ' \
  'StatsMemo=N = 4' 'StatsMemo=Avg = 200.00' 'StatsMemo=SD = 70.71' 'StatsMemo=Max= 300.00' 'StatsMemo=Min= 100.00')" ]
[ "$("$cli" map "${six[@]}" --begin 0 --window 3000 --fill 4 | tail -5)" = "$(lines $'\t100' $'200\t200*' $'\t300' \
  'Memo1= valid = 3' 'Memo1= newtim = 200')" ]
[ "$("$cli" map "${six[@]}" --begin 0 --window 50 --expand --cycles 0 --arrows --stats | tail -2)" = "$(lines StatsMemo=Times StatsMemo=Velocities)" ]
LC_ALL=C.UTF-8 "$cli" spike-stats "${six[@]}" --begin 4000 --window 7000 --start-row 3 --out "$dir/spikes.txt" > "$dir/spikes.out"
[ "$(cat "$dir/spikes.out")" = "$(lines "StatsMemo= Ele:    Nr:     Avg:      StDev:       Min:      Max:      Range:  " \
  'StatsMemo=5      2    3,250.0    353.6    3,000.0    3,500.0    500' 'StatsMemo=6               ')" ]
[ "$(tr -d '\r' < "$dir/spikes.txt")" = "$(lines "$dir/six/six.E01" $'EleNr\tNr\tAvg\tStDev\tMin\tMax\tRange' $'5\t2\t3,250.0\t353.6\t3000\t3500\t500')" ]
oneLineError "vorelkant-cli: --neighbours: 0 is outside 1..2147483647" "$cli" map "${six[@]}" --begin 0 --window 5 --expand --neighbours 0
oneLineError "vorelkant-cli: --fill: the matrix does not place electrode 40" "$cli" map "${six[@]}" --begin 0 --window 5 --fill 40
oneLineError "vorelkant-cli: --order 3 is not an order: 0, 1, 2 or 6" "$cli" spike-stats "${six[@]}" --begin 0 --window 5 --order 3
oneLineError "vorelkant-cli: $dir/none/s.txt: cannot create a temporary file: No such file or directory" \
  "$cli" spike-stats "${six[@]}" --begin 0 --window 5 --out "$dir/none/s.txt"
oneLineError "vorelkant-cli: --start-col: start cell 3, 1 is outside the 2 x 3 matrix" "$cli" spike-stats "${six[@]}" --begin 0 --window 5 --start-col 3
# A matrix with an electrode distance of 0 gives no velocities.
printf -- '-2\r\n6 2 3 0\r\nsix\r\n1 2\r\n3 4\r\n5 6\r\n' > "$dir/six0.txt"
oneLineError "vorelkant-cli: the matrix gives an electrode distance of 0" "$cli" velocity "$dir/six/six.E01" --matrix "$dir/six0.txt" --begin 0 --window 50
oneLineError "vorelkant-cli: --arrows goes with mac-map" "$cli" export matrix-text "${six[@]}" --arrows --out "$dir/x.txt"
oneLineError "vorelkant-cli: --start-col, --start-row: start cell 3, 4 is outside the 2 x 3 matrix" \
  "$cli" spike-stats "${six[@]}" --begin 0 --window 5 --start-col 3 --start-row 4
# Without a matrix: the commands laid out by one stop with one line; the
# others say nothing about it, even with a mark file beside the recording.
for command in "waves" "map --begin 0 --window 5" "velocity --begin 0 --window 5" "spike-stats --begin 0 --window 5" \
               "export mac-map --out $dir/nm.txt" "export samples --out $dir/nm.txt" "render --out $dir/nm.png" \
               "print --panels 0 --orientation 1 --pdf $dir/nm.pdf"; do
  oneLineError "vorelkant-cli: no electrode matrix: give --matrix FILE" "$cli" $command "$dir/six/six.E01"
done
[ ! -e "$dir/nm.txt" ] && [ ! -e "$dir/nm.png" ] && [ ! -e "$dir/nm.pdf" ]
"$cli" export marks-text "$dir/six/six.E01" --out "$dir/nm.txt" 2> "$dir/err.txt"
"$cli" spike-stats "$dir/six/six.E01" --begin 0 --window 5 --order 0 --first-channel 5 2>> "$dir/err.txt" > /dev/null
[ ! -s "$dir/err.txt" ] && [ -s "$dir/nm.txt" ] || { cat "$dir/err.txt"; exit 1; }
# The bare call prints the usage, with every subcommand, and fails.
if "$cli" > "$dir/usage.out"; then echo "the bare call succeeded"; exit 1; fi
grep -qx "Usage: vorelkant-cli \[OPTIONS\] SUBCOMMAND" "$dir/usage.out"
"$cli" --help > "$dir/help.out"
cmp "$dir/usage.out" "$dir/help.out"
# Every subcommand's help: one line per option, name and description together.
checkHelp() {  # checkHelp SUBCOMMAND OPTION...
  local sub="$1"; shift
  "$cli" "$sub" --help > "$dir/help-$sub.out" || { echo "$sub --help failed"; exit 1; }
  grep -q "^  $sub  .*[a-z]" "$dir/help.out" || { echo "$sub missing from --help"; exit 1; }
  [ "$(grep -c '^  -' "$dir/help-$sub.out")" = $(( $# + 1 )) ] || { cat "$dir/help-$sub.out"; exit 1; }
  for option in -h,--help "$@"; do
    grep -Eq "^  $option( [^ ]+)*  +[a-zA-Z]" "$dir/help-$sub.out" || { echo "$sub: no line for $option"; cat "$dir/help-$sub.out"; exit 1; }
  done
}
open=(--matrix --no-smooth --rate --format --import-channels --import-samples --import-length --remember)
checkHelp info "${open[@]}"
checkHelp marks "${open[@]}" --journal --table
checkHelp signals "${open[@]}" --channels --from --to
checkHelp search "${open[@]}" --electrode --time --type --criteria
checkHelp waves "${open[@]}" --type --diff --ref --stats --table
checkHelp automark "${open[@]}" --window --type --save
checkHelp map "${open[@]}" --begin --window --kind --type --ref --both --expand --cycles --neighbours --fill \
  --arrows --step --limit --stats --table
checkHelp spike-stats "${open[@]}" --begin --window --traces --order --first-channel --start-col --start-row --out --table
checkHelp measure "${open[@]}" --table
checkHelp velocity "${open[@]}" --begin --window --width --height --type --ref --both --step --scale --limit --table
checkHelp render "${open[@]}" --out --width --height --begin --window --traces --first-channel --type --ref --both \
  --map --isochrones --wave --local-times --waveforms --align --numbers
checkHelp connections "${open[@]}" --read --write
checkHelp demo --rate --noise --seed
checkHelp detect "${open[@]}" --channels --begin --window --type --rhythm --band --min-interval --threshold --polarity --replace --save
checkHelp export "${open[@]}" --out --begin --window --type --kind --electrode --traces --first-channel --order \
  --arrows --width --height
checkHelp import-marks "${open[@]}" --from --save
checkHelp print "${open[@]}" --begin --window --map --wave --b-begin --b-window --b-map --b-wave --local-times \
  --traces --first-channel --type --ref --both --diff --isowidth --isochrones --no-digits --stats --amplification \
  --connections --panels --orientation --caption --only-marks --paper --pdf --primitives
checkHelp import --channels --samples --rate --matrix-name --length --print --from --to --write-elg --scale --force
checkHelp study --out "${open[@]}" --type --diff --detect --jobs --shard
checkHelp study-merge --out
# Connections: a count line of 3 over two records and a duplicate, read
# as the import does and saved once each beside the recording.
printf 'x\r\n9\r\n3\r\n\r\n\r\n0\r\n0\r\n0\r\n\r\n17\t10\t18\t20\t1\r\n17\t10\t18\t20\t-1\r\n' > "$dir/in.C"
"$cli" connections "$dir/demo/demo.E01" --read "$dir/in.C" --write "$dir/demo/demo.C01" > "$dir/conn.out"
[ "$(cat "$dir/conn.out")" = "$(printf 'ConnFileName=%s\nConnCount=2\n1\t17\t10\t18\t20\t1\n2\t17\t10\t18\t20\t-1' "$dir/demo/demo.C01")" ]
"$cli" connections "$dir/demo/demo.E01" | tail -n +2 > "$dir/conn2.out"
[ "$(cat "$dir/conn2.out")" = "$(printf 'ConnCount=1\n1\t17\t10\t18\t20\t-1')" ]
# The demo at other rates: the same waves in ms, found whole by the marker
# once the recording is read at its rate, and no mark past its length.
for rate in 500 1000 2000; do
  "$cli" demo "$dir/r$rate" --rate "$rate" > /dev/null
  rec=("$dir/r$rate/demo.E01" --matrix "$dir/r$rate/demo-matrix.txt" --rate "$rate")
  length=$("$cli" info "${rec[@]}" | sed -n 's/^SignalLength=//p')
  "$cli" automark "${rec[@]}" --save > "$dir/auto$rate.out"
  grep -qx "MarksAdded=384" "$dir/auto$rate.out" || { echo "at $rate Hz:"; cat "$dir/auto$rate.out"; exit 1; }
  last=$("$cli" marks "${rec[@]}" | awk -F'\t' 'NF == 8 && $4 > m { m = $4 } END { print m }')
  [ "$last" -le "$length" ] && [ "$last" -ge $(( length - 12000 )) ] || { echo "at $rate Hz the last mark is at $last of $length"; exit 1; }
done
# Marks to text and back: a recording without marks takes them all and
# writes the same file again; an export with a bad electrode writes nothing.
rec=("$dir/r1000/demo.E01" --matrix "$dir/r1000/demo-matrix.txt")
"$cli" export marks-text "${rec[@]}" --out "$dir/marks.txt"
"$cli" demo "$dir/fresh" > /dev/null
fresh=("$dir/fresh/demo.E01" --matrix "$dir/fresh/demo-matrix.txt")
"$cli" import-marks "${fresh[@]}" --from "$dir/marks.txt" --save | grep -x "MarksRead=384" > /dev/null
"$cli" export marks-text "${fresh[@]}" --out "$dir/marks2.txt"
sed 2d "$dir/marks.txt" | cmp - <(sed 2d "$dir/marks2.txt")
# The same file again is appended whole and said to be there already; lines
# outside electrodes 1..256 are skipped, not read.
{ sed '4s/.*/386\r/' "$dir/marks.txt" | sed -n 1,29p; printf '0\t10.00\t1\t0.00\t0.00\t0\r\n257\t10.00\t1\t0.00\t0.00\t0\r\n'
  tail -n +30 "$dir/marks.txt"; } > "$dir/marks3.txt"
[ "$("$cli" import-marks "${fresh[@]}" --from "$dir/marks3.txt")" = "$(lines MarkCount=768 MarksAnnounced=386 MarksRead=384 \
  MarksAlreadyPresent=384 MarksSkipped=2)" ] || { "$cli" import-marks "${fresh[@]}" --from "$dir/marks3.txt"; exit 1; }
if "$cli" export all-marks "${rec[@]}" --electrode 16 --out "$dir/none.txt" 2> /dev/null; then exit 1; fi
[ ! -e "$dir/none.txt" ]
# Bad input gives a one-line message and a non-zero exit.
printf 'short' > "$dir/bad.E01"
oneLineError "vorelkant-cli: $dir/bad.E01 is not an electrogram file; name its text format with --format" "$cli" info "$dir/bad.E01"
# A printed page: one line per call, framed by begin and end, on a landscape A4 sheet.
"$cli" demo "$dir/p" > /dev/null
prec=("$dir/p/demo.E01" --matrix "$dir/p/demo-matrix.txt")
"$cli" print "${prec[@]}" --panels 2 --orientation 0 --b-map --caption 'Say "hi"' --pdf "$dir/p.pdf" --primitives > "$dir/p.out"
[ "$(head -1 "$dir/p.out")" = "begin 7016 4961" ] && [ "$(tail -1 "$dir/p.out")" = "end" ] || { head -3 "$dir/p.out"; exit 1; }
grep -Eq '^text 3[0-9]{3} 200 \$00000000 [0-9]+ [0-9]+ "Say \\"hi\\""$' "$dir/p.out" || { grep '^text .* 200 ' "$dir/p.out"; exit 1; }
! grep -Eq '^(pencolor|brushcolor|rect) ' "$dir/p.out" || { echo "a printed page set a colour or drew a rectangle"; exit 1; }
[ -s "$dir/p.pdf" ]
"$cli" print "${prec[@]}" --panels 0 --orientation 1 --pdf "$dir/q.pdf" > "$dir/q.out"
[ ! -s "$dir/q.out" ] && [ -s "$dir/q.pdf" ] || { echo "print wrote to stdout without --primitives"; exit 1; }
# Both records of the connections file end in a circle on electrode 18's trace.
[ "$("$cli" print "${prec[@]}" --panels 0 --orientation 1 --pdf "$dir/c.pdf" --connections "$dir/in.C" --primitives | grep -c '^ellipse 192 1036 212 1056$')" = 2 ]
for bad in "--panels 3 --orientation 0 --pdf $dir/x.pdf" "--panels 0 --pdf $dir/x.pdf" "--panels 0 --orientation 1 --pdf $dir/x.txt" \
           "--panels 0 --orientation 1 --pdf $dir/x.pdf --paper 1999x3000" "--panels 0 --orientation 1 --pdf $dir/x.pdf --wave 0" \
           "--panels 0 --orientation 1 --pdf $dir/none/x.pdf" "--panels 0 --orientation 1 --pdf $dir/x.pdf --bogus"; do
  if "$cli" print "${prec[@]}" $bad 2> "$dir/err.out" > /dev/null; then echo "accepted: $bad"; exit 1; fi
  [ "$(wc -l < "$dir/err.out")" = 1 ] && grep -q '^vorelkant-cli: ' "$dir/err.out" || { echo "$bad:"; cat "$dir/err.out"; exit 1; }
done
# Text imports: an Auckland file whose header says 12 lines, its values
# times 747 per millivolt, and a Nashville file cut by a refused count.
printf '12\n2\n3\n2000\n0.5\nM.txt\nrun one\nx\nx\nx\n9 9\n9\n0.01 -0.02\n1\n\n2 0.5 1' > "$dir/auck.txt"
"$cli" import auckland "$dir/auck.txt" --print 1-2 --from 1 --to 3 > "$dir/auck.out"
for line in "SignalLength=2" "HighRateMode=true" "MarkFileName=$dir/auck.Mxt" "AucklandHeaderLines=12" \
  "AucklandComments=run one" "NrColumns=16" "$(printf '3\t374\t747')"; do expectIn "$line" "$dir/auck.out"; done
oneLineError "vorelkant-cli: --channels: 257 is outside 1..256" "$cli" import nashville "$dir/auck.txt" --channels 257
[ "$("$cli" import nashville "$dir/auck.txt" --channels 1 --samples 2 --print 1 --from 2 --to 2 | tail -1)" = "$(printf '2\t0')" ]
oneLineError "vorelkant-cli: --print: channel 2 is outside 1..1" "$cli" import nashville "$dir/auck.txt" --channels 1 --samples 2 --print 1-2 --from 2 --to 2
# The propagation movie as an animated GIF: the demo's minute in 1201 frames
# of 500 x 500, looping; the grid below the time label, the bands from 3000.
"$cli" demo "$dir/mv" > /dev/null
mv=("$dir/mv/demo.E01" --matrix "$dir/mv/demo-matrix.txt")
"$cli" automark "${mv[@]}" --save > /dev/null
"$cli" animate "${mv[@]}" --begin 0 --window 60000 --out "$dir/mv.gif" > "$dir/mv.out" 2> /dev/null
grep -Eq '^MapTop=(1[89]|[2-9][0-9])$' "$dir/mv.out" || { cat "$dir/mv.out"; exit 1; }
[ "$(grep -v '^MapTop=' "$dir/mv.out")" = "$(lines Frames=1201 CellWidth=30 MapLeft=10 Base=3000)" ] || { cat "$dir/mv.out"; exit 1; }
[ "$(head -c 10 "$dir/mv.gif" | od -An -tx1 | tr -d ' ')" = "474946383961f401f401" ] && grep -q NETSCAPE2.0 "$dir/mv.gif"
"$cli" animate "${mv[@]}" --begin 0 --window 19999 --step 1 --width 50 --height 50 --out "$dir/mv2.gif" 2> /dev/null | grep -x Frames=20000 > /dev/null
for bad in "--window 0:--window: 0 is outside 1..2147483647" "--window 100 --step 0:--step: 0 is outside 1..2147483647" \
           "--window 100 --step 101:--step must not be larger than --window" "--window 100 --trail 0:--trail: 0 is outside 1..2147483647" \
           "--window 20000 --step 1:20001 frames: at most 20000 are written; give a larger --step"; do
  oneLineError "vorelkant-cli: ${bad#*:}" "$cli" animate "${mv[@]}" --begin 0 --out "$dir/bad.gif" ${bad%%:*}
done
oneLineError "vorelkant-cli: $dir/none/m.gif: the folder cannot be written to" "$cli" animate "${mv[@]}" --begin 0 --window 100 --out "$dir/none/m.gif"
oneLineError "vorelkant-cli: no electrode matrix: give --matrix FILE" "$cli" animate "$dir/six/six.E01" --begin 0 --window 100 --out "$dir/bad.gif"
[ ! -e "$dir/bad.gif" ] && [ ! -e "$dir/none" ] && [ -z "$(ls -A "$dir" | grep '^\.')" ]
checkHelp animate "${open[@]}" --begin --window --step --trail --type --ref --isowidth --fps --width --height --out
# study: four recordings, one of them missing, give the same tables with
# one job or two, and two shards merged give the tables of the whole run.
mkdir -p "$dir/st"
mx=(--matrix "$dir/demo/demo-matrix.txt")
for r in a b c; do cp "$dir/demo/demo.E01" "$dir/st/$r.E01"; "$cli" automark "$dir/st/$r.E01" "${mx[@]}" --save > /dev/null; done
"$cli" automark "$dir/st/c.E01" "${mx[@]}" --type 2 --save > /dev/null
study=("$dir/st/a.E01" "$dir/st/missing.E01" "$dir/st/c.E01" "$dir/st/b.E01")
before=$(cd "$dir/st" && ls -l --time-style=full-iso && cat ./*.M01 | md5sum)
rc=0; "$cli" study "${study[@]}" "${mx[@]}" --out "$dir/s1" --jobs 1 2> "$dir/st.err" || rc=$?
[ "$rc" = 1 ] && [ "$(tail -1 "$dir/st.err")" = "vorelkant-cli: 1 of 4 recordings failed (their status is in recordings.csv)" ] || { cat "$dir/st.err"; exit 1; }
[ "$(sed -n 3p "$dir/s1/recordings.csv")" = "$dir/st/missing.E01,$dir/st/missing.E01: No such file or directory,,,,,,,,," ]
[ "$(grep -c ",ok,144,1000,60.001,384,3,3.0001,0.6001," "$dir/s1/recordings.csv")" = 3 ]
[ "$(cut -d, -f1,6 "$dir/s1/marks.csv" | uniq -c | awk '{print $1}' | tr '\n' ' ')" = "1 384 384 384 384 " ]
rc=0; "$cli" study "${study[@]}" "${mx[@]}" --out "$dir/s2" --jobs 2 2> /dev/null || rc=$?
[ "$rc" = 1 ]
"$cli" study "${study[@]}" "${mx[@]}" --out "$dir/h1" --shard 1/2 2> /dev/null || true
"$cli" study "${study[@]}" "${mx[@]}" --out "$dir/h2" --shard 2/2 2> /dev/null || true
"$cli" study-merge "$dir/h2" "$dir/h1" --out "$dir/hm"
for other in s2 hm; do
  for t in marks electrodes waves; do cmp "$dir/s1/$t.csv" "$dir/$other/$t.csv"; done
  cmp <(cut -d, -f1-10 "$dir/s1/recordings.csv") <(cut -d, -f1-10 "$dir/$other/recordings.csv")
  cmp <(sed 1d "$dir/s1/study.json" | sed 's/"elapsed_ms":[0-9]*/"elapsed_ms":0/') <(sed 1d "$dir/$other/study.json" | sed 's/"elapsed_ms":[0-9]*/"elapsed_ms":0/')
done
[ "$(cd "$dir/st" && ls -l --time-style=full-iso && cat ./*.M01 | md5sum)" = "$before" ] || { echo "study changed the recordings' folder"; exit 1; }
[ "$(ls -A "$dir/s2" | tr '\n' ' ')" = "electrodes.csv marks.csv recordings.csv study.json waves.csv " ]
oneLineError "vorelkant-cli: RECORDING is required" "$cli" study --out "$dir/bad"
oneLineError "vorelkant-cli: --shard: 3/2 needs 1 <= I <= N" "$cli" study "${study[@]}" --out "$dir/bad" --shard 3/2
oneLineError "vorelkant-cli: --out: $dir/st/a.E01: Not a directory" "$cli" study "${study[@]}" --out "$dir/st/a.E01"
[ ! -e "$dir/bad" ]
# The single commands print the same rows as the tables.
[ "$("$cli" marks "$dir/st/a.E01" "${mx[@]}" --table csv | sed -n 2p)" = "$(sed -n 2p "$dir/s1/marks.csv")" ]
[ "$("$cli" waves "$dir/st/a.E01" "${mx[@]}" --table csv | tail -n +2)" = "$(grep "^$dir/st/a.E01," "$dir/s1/waves.csv")" ]
"$cli" velocity "$dir/st/a.E01" "${mx[@]}" --begin 0 --window 12000 --table json > "$dir/vel.json"
grep -q '^\[{"recording":"'"$dir/st/a.E01"'","column":1,"row":1,"speed_cm_s":' "$dir/vel.json"
# detect on a noisy demo at 500 Hz: the true times lie within a few ms; a
# second run with --replace takes the first run's marks out; bad input is
# one line, exit 2, and nothing written.
"$cli" demo "$dir/det" --noise 2 --seed 3 --rate 500 > /dev/null
grep -q "^# Noise level 2, seed 3: only the activations that happen are listed." "$dir/det/demo-truth.txt"
for bad in "--channels 145" "--band 0-3" "--band 1-250" "--rhythm 1-15000" "--min-interval -5" "--threshold -1"; do
  status=0
  "$cli" detect "$dir/det/demo.E01" --rate 500 $bad --save 2> "$dir/err.out" > /dev/null || status=$?
  [ $status = 2 ] && [ "$(wc -l < "$dir/err.out")" = 1 ] && grep -q '^vorelkant-cli: --' "$dir/err.out" || { echo "$bad:"; cat "$dir/err.out"; exit 1; }
done
[ ! -e "$dir/det/demo.M01" ]
"$cli" detect "$dir/det/demo.E01" --no-smooth --rate 500 --channels 17,144 --save > "$dir/det.out"
[ "$(awk -F'\t' 'NR < 4 { print } NR > 3 { print $1, $2, $7 }' "$dir/det.out")" = "$(printf 'MarksAdded=5\nMarksRemoved=0\nMarkCount=5\n17 3 3.16\n144 2 3.16')" ] || { cat "$dir/det.out"; exit 1; }
"$cli" detect "$dir/det/demo.E01" --no-smooth --rate 500 --channels 17,144 --replace --save > "$dir/det2.out"
[ "$(head -2 "$dir/det2.out")" = "$(printf 'MarksAdded=5\nMarksRemoved=5')" ] || { cat "$dir/det2.out"; exit 1; }
"$cli" marks "$dir/det/demo.E01" --rate 500 | awk -F'\t' 'NF == 8 && $3 == 1 { print $2 ":" $4 }' | tr '\n' ' ' > "$dir/det.marks"
[ "$(cat "$dir/det.marks")" = "17:3000 17:23998 17:43000 144:9872 144:28873 " ] || { cat "$dir/det.marks"; exit 1; }
# study --detect takes the detector's marks in memory: as many as detect
# --replace would leave, and the saved mark file stays as it was.
n=$("$cli" detect "$dir/det/demo.E01" --rate 500 --replace | sed -n 's/^MarkCount=//p')
sum=$(md5sum < "$dir/det/demo.M01")
"$cli" study "$dir/det/demo.E01" --rate 500 --matrix "$dir/det/demo-matrix.txt" --detect --out "$dir/sd" 2> /dev/null
[ "$(awk -F, 'NR == 2 { print $2, $6 }' "$dir/sd/recordings.csv")" = "ok $n" ] && [ "$(md5sum < "$dir/det/demo.M01")" = "$sum" ]
# The tool never touches the user's recent-file list.
[ ! -e "$HOME/Vorelkant/MyNewMatrix/FileList.Txt" ]
echo "cli end to end: ok"
