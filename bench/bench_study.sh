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
# Three runs of each, alternating, and the best of each: the machine may be
# shared, and other work only ever slows a run down.
declare -A best rate rss cpu
for round in 1 2 3; do
  for jobs in 1 2; do
    start=$(date +%s.%N)
    /usr/bin/time -f "%M %U %S" -o "$dir/rss" "$cli" study "${recordings[@]}" --matrix "$dir/demo/demo-matrix.txt" \
      --out "$dir/out$jobs" --jobs "$jobs" 2> /dev/null
    seconds=$(echo "$(date +%s.%N) - $start" | bc -l)
    if [ -z "${best[$jobs]:-}" ] || [ "$(echo "$seconds < ${best[$jobs]}" | bc -l)" = 1 ]; then best[$jobs]=$seconds; fi
    read -r kb user sys < "$dir/rss"
    rss[$jobs]=$(( kb / 1024 ))
    cpu[$jobs]=$(echo "$user + $sys" | bc -l)
  done
done
for jobs in 1 2; do
  rate[$jobs]=$(echo "$count * 60 / ${best[$jobs]}" | bc -l)
  printf 'study --jobs %s: %d recordings in %.2f s (best of 3), %.1f recordings per minute, largest process %d MB\n' \
    "$jobs" "$count" "${best[$jobs]}" "${rate[$jobs]}" "${rss[$jobs]}"
done
printf 'ratio --jobs 2 / --jobs 1: %.2f\n' "$(echo "${rate[2]} / ${rate[1]}" | bc -l)"
# What two free cores would give: the processor time of the one-job run over
# half that of the two-job run (the jobs share the recordings evenly).
printf 'processor seconds: %.2f with one job, %.2f with two; ratio on two free cores: %.2f\n' "${cpu[1]}" "${cpu[2]}" \
  "$(echo "${cpu[1]} / (${cpu[2]} / 2)" | bc -l)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
cmp <(cut -d, -f1-10 "$dir/out1/recordings.csv") <(cut -d, -f1-10 "$dir/out2/recordings.csv")
cmp "$dir/out1/marks.csv" "$dir/out2/marks.csv"
