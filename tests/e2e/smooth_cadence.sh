# The motion at 144 frames a second comes in even steps. The ticks run 60 times a second, so
# most frames fall between two ticks; drawn as the last tick left it, such a frame stands still
# while the next one jumps (a 2-3-2-3 cadence: the change from frame to frame varies by about
# 0.8 of its mean, and its 10th percentile is about 0.15 of its 90th). Drawn at the frame's own
# time between the ticks, the steps are nearly equal. The limits are generous: the particles
# that respawn or wrap, and the beat, make the steps uneven even when the cadence is right.
source "$(dirname "$0")/lib/common.sh"
# 33 s: the particles riding the fluid under a moving camera, a steady flow with no cut.
"$velkarn" --capture flow --fps 144 --start 33 --end 33.5 >stdout.txt 2>stderr.txt ||
  fail "the capture of 33 to 33.5 s at 144 frames a second failed"
bash "$source_dir/scripts/cadence.sh" --values flow > cadence.txt 2>>stderr.txt ||
  fail "the cadence of the capture could not be measured"
figure() { awk -v name="$1" '$1 == name { print $2 }' cadence.txt; }
changes=$(figure changes) mean=$(figure mean) cv=$(figure cv) ratio=$(figure p10_p90)
[ "$changes" = 72 ] || fail "the capture holds $((changes + 1)) frames, not 73"
# A picture that stands still has an even cadence too.
awk -v m="$mean" 'BEGIN { exit !(m >= 0.005) }' ||
  fail "the frames hardly change (mean change $mean): the flow does not move"
awk -v cv="$cv" -v r="$ratio" 'BEGIN { exit !(cv <= 0.35 && r >= 0.4) }' ||
  fail "uneven steps at 144 frames a second: variation $cv of the mean change $mean (at most 0.35)," \
    "10th over 90th percentile $ratio (at least 0.4); every change in $PWD/cadence.txt"
