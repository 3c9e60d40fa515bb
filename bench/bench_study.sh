#!/usr/bin/env bash
# Recordings per minute of `vorelkant-cli study` on 20 demo recordings with
# one job and with two, their ratio, and the largest memory one process
# held. The recordings are copies of the demo with the automatic marker's
# slow waves saved beside them. Usage: bench_study.sh PATH-TO-vorelkant-cli [COUNT]
set -euo pipefail
cli="$1"
count="${2:-20}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export HOME="$dir/home"
"$cli" demo "$dir/demo" > /dev/null
"$cli" automark "$dir/demo/demo.E01" --matrix "$dir/demo/demo-matrix.txt" --save > /dev/null
recordings=()
for i in $(seq -w 1 "$count"); do
  cp "$dir/demo/demo.E01" "$dir/demo/r$i.E01"
  cp "$dir/demo/demo.M01" "$dir/demo/r$i.M01"
  recordings+=("$dir/demo/r$i.E01")
done
cat "${recordings[@]}" > /dev/null  # every recording in the page cache before the first run
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
declare -A rate
for jobs in 1 2; do
  start=$(date +%s.%N)
  /usr/bin/time -f "%M" -o "$dir/rss" "$cli" study "${recordings[@]}" --matrix "$dir/demo/demo-matrix.txt" \
    --out "$dir/out$jobs" --jobs "$jobs" 2> /dev/null
  seconds=$(echo "$(date +%s.%N) - $start" | bc -l)
  rate[$jobs]=$(echo "$count * 60 / $seconds" | bc -l)
  printf 'study --jobs %s: %d recordings in %.2f s, %.1f recordings per minute, largest process %d MB\n' \
    "$jobs" "$count" "$seconds" "${rate[$jobs]}" $(( $(cat "$dir/rss") / 1024 ))
done
printf 'ratio --jobs 2 / --jobs 1: %.2f\n' "$(echo "${rate[2]} / ${rate[1]}" | bc -l)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
cmp <(cut -d, -f1-10 "$dir/out1/recordings.csv") <(cut -d, -f1-10 "$dir/out2/recordings.csv")
cmp "$dir/out1/marks.csv" "$dir/out2/marks.csv"
