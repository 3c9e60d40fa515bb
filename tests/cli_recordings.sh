#!/bin/bash
# Text recordings through the subcommands, their conversion to electrogram
# files, and the settings file beside a recording.
set -euo pipefail
cli="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A failing check names its line, so a failure in a busy run can be found.
trap 'echo "$0: line $LINENO failed (status $?): $BASH_COMMAND" >&2' ERR
export HOME="$dir/home"
lines() { printf '%s\n' "$@"; }
expectIn() { grep -qxF -- "$1" "$2" || { echo "missing: $1"; cat "$2"; exit 1; }; }
# oneLineError STATUS LINE COMMAND...: fails with that status and exactly that line on stderr, nothing on stdout.
oneLineError() {
  local status="$1" expected="$2"; shift 2
  local got=0; "$@" > "$dir/out.txt" 2> "$dir/err.txt" || got=$?
  [ "$got" = "$status" ] && [ "$(cat "$dir/err.txt")" = "$expected" ] && [ ! -s "$dir/out.txt" ] ||
    { echo "for $* (status $got):"; cat "$dir/err.txt"; exit 1; }
}
# The demo as Nashville text, read back, converted, and read again: the
# same samples at every rate, and the rate kept beside the converted file.
for rate in 500 1000 2000; do
  d="$dir/r$rate"
  "$cli" demo "$d" --rate "$rate" > /dev/null
  "$cli" export nashville-text "$d/demo.E01" --no-smooth --rate "$rate" --out "$d/run.txt" 2> /dev/null
  n=$(sed -n '3s/^NrSamples=\([0-9]*\) .*/\1/p' "$d/run.txt")
  text=("$d/run.txt" --format nashville --import-channels 144 --import-samples "$n" --rate "$rate")
  "$cli" import nashville "$d/run.txt" --channels 144 --samples "$n" --rate "$rate" --write-elg "$d/conv.E01" > /dev/null
  "$cli" signals "${text[@]}" --channels 1,17,99,144 --from 1 --to $(( n - 20 )) > "$d/text.out"
  "$cli" signals "$d/conv.E01" --no-smooth --channels 1,17,99,144 --from 1 --to $(( n - 20 )) > "$d/conv.out"
  "$cli" signals "$d/demo.E01" --no-smooth --channels 1,17,99,144 --from 1 --to $(( n - 20 )) 2> /dev/null | cmp - "$d/conv.out"
  cmp "$d/text.out" "$d/conv.out"
  # A study opens a text recording as every subcommand does: its channels and rate.
  printf '7\n2\n4\n%s\n1\nnone\nc\n1 2\n3 4\n5 6\n7 8\n' "$rate" > "$d/tiny.txt"
  "$cli" study "$d/tiny.txt" --format auckland --out "$d/st" 2> /dev/null
  [ "$(awk -F, 'NR == 2 { print $2, $3, $4, $5 }' "$d/st/recordings.csv")" = "ok 2 $rate $(python3 -c "print(round(4 / $rate, 4))")" ]
  "$cli" info "$d/conv.E01" > "$d/info.out"
  for line in "SamplingFrequency=$rate" "NrChannelsInFile=144" "NrOfFrames=$(( n + 1 ))" "SettingsFile=$d/conv.E01.vk.json" \
    "SignalLength=$(python3 -c "print(round(($n + 1) * 1000 / $rate))")"; do expectIn "$line" "$d/info.out"; done
done
# A converted file is never replaced without --force, and a failed command changes nothing.
d="$dir/r1000"
cp "$d/conv.E01" "$d/keep.E01"
oneLineError 2 "vorelkant-cli: $d/conv.E01 exists; give --force to replace it" \
  "$cli" import nashville "$d/run.txt" --channels 2 --samples 30 --write-elg "$d/conv.E01"
cmp "$d/conv.E01" "$d/keep.E01"
"$cli" import nashville "$d/run.txt" --channels 2 --samples 30 --write-elg "$d/conv.E01" --force > /dev/null
[ "$(stat -c %s "$d/conv.E01")" = $(( 4100 + 30 * 4 )) ]
# Values beyond 16 bits: the first in file order is named; --scale K divides, halves to even.
printf 'h\nh\nh\n5\t-5\n7\t40001\n-40000\t1\n' > "$dir/big.txt"
oneLineError 2 "vorelkant-cli: --write-elg: channel 2 sample 2 holds 40001, outside -32768..32767; give --scale K (K a positive integer) to divide every value by K" \
  "$cli" import nashville "$dir/big.txt" --channels 2 --samples 25 --write-elg "$dir/big.E01"
[ ! -e "$dir/big.E01" ] && [ ! -e "$dir/big.E01.vk.json" ]
"$cli" import nashville "$dir/big.txt" --channels 2 --samples 25 --write-elg "$dir/big.E01" --scale 2 > /dev/null
[ "$("$cli" signals "$dir/big.E01" --no-smooth --channels 1,2 --from 1 --to 3)" = "$(lines $'1\t2\t-2' $'2\t4\t20000' $'3\t-20000\t0')" ]
# Without --format a text file stops with one line; import options need their format.
oneLineError 2 "vorelkant-cli: $d/run.txt is not an electrogram file; name its text format with --format" "$cli" marks "$d/run.txt"
oneLineError 2 "vorelkant-cli: --import-channels goes with --format nashville or manchester" "$cli" info "$d/run.txt" --format ni --import-channels 3
oneLineError 2 "vorelkant-cli: --import-length goes with --format ni" "$cli" info "$d/conv.E01" --import-length 3
# Marking a text recording: only --save writes the marks, into the text file's .Mxt.
text=("$d/run.txt" --format nashville --import-channels 144 --import-samples 60000 --matrix "$d/demo-matrix.txt")
"$cli" info "${text[@]}" > "$d/info.out"
for line in "NrTraces=16" "SamplingFrequency=30" "MarkFileName=$d/run.Mxt" "SettingsFile="; do expectIn "$line" "$d/info.out"; done
cp "$d/run.Mxt" "$d/empty.Mxt"
"$cli" automark "${text[@]}" --rate 1000 | grep -x "MarkCount=384" > /dev/null
"$cli" export marks-text "$d/demo.E01" --matrix "$d/demo-matrix.txt" --out "$d/m.txt"
"$cli" import-marks "${text[@]}" --from "$d/m.txt" > /dev/null
cmp "$d/run.Mxt" "$d/empty.Mxt"
"$cli" automark "${text[@]}" --rate 1000 --save > /dev/null
[ "$("$cli" marks "${text[@]}" | sed -n 1,2p)" = "$(lines MarkCount=384 $'1\t17\t1\t3014\t0\t0\t2\t1')" ]
# The settings file: it applies on open; --rate and --matrix win for the call
# and reach it only with --remember, after the command succeeded.
rec="$d/conv.E01"
settings="$rec.vk.json"
[ "$(cat "$settings")" = "$(lines '{' '  "SamplingFrequency": 30' '}')" ]
"$cli" info "$rec" --rate 500 | grep -x "SamplingFrequency=500" > /dev/null
oneLineError 2 "vorelkant-cli: --channels: channel 999 is outside 1..256" "$cli" signals "$rec" --rate 500 --remember --channels 999 --from 1 --to 1
"$cli" info "$rec" | grep -x "SamplingFrequency=30" > /dev/null
(cd "$d" && "$cli" info conv.E01 --rate 500 --matrix demo-matrix.txt --remember > /dev/null)
[ "$(cat "$settings")" = "$(lines '{' '  "SamplingFrequency": 500,' '  "MatrixFile": "demo-matrix.txt"' '}')" ]
"$cli" info "$rec" > "$d/info.out"
for line in "SamplingFrequency=500" "SignalLength=62" "NrColumns=16" "MatrixFileName=$d/demo-matrix.txt"; do expectIn "$line" "$d/info.out"; done
# A damaged settings file: one warning, the defaults, the file as it was; --remember does not replace it.
printf '{"SamplingFrequency": 0}' > "$settings"
"$cli" info "$rec" > "$d/info.out" 2> "$d/err.txt"
[ "$(cat "$d/err.txt")" = "$settings: SamplingFrequency 0 is not a whole number of Hz in 1..100000; it was not used" ]
expectIn "SamplingFrequency=1000" "$d/info.out"
expectIn "SettingsFile=$settings" "$d/info.out"
oneLineError 1 "vorelkant-cli: $settings: SamplingFrequency 0 is not a whole number of Hz in 1..100000; it is left as it is" \
  "$cli" info "$rec" --rate 250 --remember
[ "$(cat "$settings")" = '{"SamplingFrequency": 0}' ]
echo "cli recordings: ok"
