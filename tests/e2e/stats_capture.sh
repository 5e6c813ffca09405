# --stats with a CSV file on a short capture: the printed frame count and percentiles
# are those of the CSV rows.
source "$(dirname "$0")/lib/common.sh"
echo "160 90 window" > QRV-Velkarn-config.dat
"$velkarn" --capture frames --fps 10 --start 40 --end 41.15 --stats times.csv >stdout.txt 2>stderr.txt ||
  fail "the capture with statistics failed"
[ -f times.csv ] || fail "no CSV file"
pngs=$(ls frames | wc -l)
rows=$(($(wc -l < times.csv) - 1))
[ "$(head -n 1 times.csv | cut -d, -f1-3)" = "frame,time_s,frame_ms" ] || fail "CSV header: $(head -n 1 times.csv)"
printed=$(sed -n 's/^frames: \([0-9]*\)$/\1/p' stdout.txt)
[ "$printed" = "$rows" ] || fail "printed $printed frames, the CSV has $rows rows"
[ "$rows" -ge "$pngs" ] || fail "$rows rows for $pngs captured frames"
[ "$pngs" = 12 ] || fail "$pngs frames captured from 40 to 41.15 s at 10 fps"

# Nearest-rank percentiles of the frame_ms column, to the two decimals printed.
read -r median p95 p99 longest < <(tail -n +2 times.csv | cut -d, -f3 | sort -g |
  awk '{ v[NR] = $1 } END {
    n = NR
    r50 = int(0.5 * n); if (r50 < 0.5 * n) r50++
    r95 = int(0.95 * n); if (r95 < 0.95 * n) r95++
    r99 = int(0.99 * n); if (r99 < 0.99 * n) r99++
    printf "%.2f %.2f %.2f %.2f\n", v[r50], v[r95], v[r99], v[n] }')
line=$(grep "^frame time (ms):" stdout.txt) || fail "no frame time line"
for pair in "median $median" "95th percentile $p95" "99th percentile $p99" "longest $longest"; do
  name=${pair% *}; value=${pair##* }
  got=$(echo "$line" | sed -n "s/.*$name \([0-9.]*\).*/\1/p")
  awk -v a="$got" -v b="$value" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 0.011) }' ||
    fail "$name printed $got, the CSV gives $value"
done
# The frame times are ordered as percentiles must be.
awk -v a="$median" -v b="$p95" -v c="$p99" -v d="$longest" 'BEGIN { exit !(a <= b && b <= c && c <= d) }' ||
  fail "percentiles out of order: $median $p95 $p99 $longest"
