# The negative switched by its tuning record is the only change: the picture with it
# is the complement of the picture without it.
source "$(dirname "$0")/lib/common.sh"
echo "320 180 window" > QRV-Velkarn-config.dat
printf 'negative switch\n0 0\n' > dat/p-negative.dat
# The first run writes the particle-map cache; both compared runs read it, so they draw
# the same particles.
"$velkarn" --capture warm-up --fps 1 --start 0 --end 0 2>>stderr.txt || fail "warm-up capture failed"
"$velkarn" --capture plain --fps 1 --start 40 --end 40 2>>stderr.txt || fail "plain capture failed"
printf 'negative switch\n0 1\n' > dat/p-negative.dat
"$velkarn" --capture inverted --fps 1 --start 40 --end 40 2>>stderr.txt || fail "inverted capture failed"
convert inverted/frame-000000.png -negate negated.png
differing=$(compare -metric AE -fuzz 2% plain/frame-000000.png negated.png null: 2>&1 || true)
[ "${differing%%.*}" -lt 200 ] || fail "inverted frame is not the complement ($differing pixels differ)"

# A run from --start shows the state due then from its first frame: the switches that
# came before are not replayed one a frame (a strobe of old flashes).
printf 'negative switch\n10 1\n10.1 0\n20 1\n20.1 0\n' > dat/p-negative.dat
"$velkarn" --capture resumed --fps 30 --start 40 --end 40.1 2>>stderr.txt || fail "capture from 40 s failed"
means=$(convert resumed/frame-*.png -grayscale Rec709Luma -format '%[fx:mean] ' info:)
awk -v m="$means" 'BEGIN { n = split(m, v, " "); for (i = 2; i <= n; ++i) if (v[i] - v[1] > 0.1 || v[1] - v[i] > 0.1) exit 1 }' ||
  fail "the first frames from --start flicker (grey means: $means)"
