# A video rendered in segments that survives a stop: make-video.sh over 30-50 s at 10 frames
# a second (three segments of at most 10 s) is stopped once its first segment is done; the
# same command then renders only the other two, two at once, and joins them. The video has
# exactly the frames of a one-process capture of the same times, each decoded frame closest
# to its own (none doubled or missing at a join), and the music runs its whole length.
source "$(dirname "$0")/lib/common.sh"
[ -n "$source_dir" ] || fail "no source folder given"
export VELKARN_BUILD_DIR
VELKARN_BUILD_DIR=$(dirname "$run_dir")
make_video=("$source_dir/scripts/make-video.sh" seg.mp4 160 90 10 --from 30 --to 50)

"${make_video[@]}" --jobs 1 >first.txt 2>first-err.txt &
pid=$!
for _ in $(seq 3000); do
  [ -f seg.mp4.parts/segment-0000.mp4 ] && break
  kill -0 "$pid" 2>/dev/null || fail "make-video ended before its first segment: $(tail -n 5 first-err.txt)"
  sleep 0.1
done
[ -f seg.mp4.parts/segment-0000.mp4 ] || fail "no first segment within five minutes"
kill -TERM "$pid"
wait_for_exit 120
[ "$status" -ne 0 ] || fail "the stopped make-video ended with status 0"
[ ! -e seg.mp4 ] || fail "a stopped render left a video"
[ "$(cd seg.mp4.parts && ls -A | tr '\n' ' ')" = "segment-0000.mp4 settings.txt " ] ||
  fail "the stop left more than the finished segment: $(ls -A seg.mp4.parts | tr '\n' ' ')"
kept=$(stat -c '%i %Y %s' seg.mp4.parts/segment-0000.mp4)

"${make_video[@]}" --list >missing.txt
[ "$(cut -d' ' -f1 missing.txt | tr '\n' ' ')" = "seg.mp4.parts/segment-0001.mp4 seg.mp4.parts/segment-0002.mp4 " ] ||
  fail "--list does not give the two missing segments: $(cat missing.txt)"
"${make_video[@]}" --jobs 2 >second.txt 2>second-err.txt || fail "the resumed render failed: $(tail -n 5 second-err.txt)"
[ "$(stat -c '%i %Y %s' seg.mp4.parts/segment-0000.mp4)" = "$kept" ] || fail "the finished segment was rendered again"
tr '\r' '\n' <second-err.txt | grep -q '^video: frame 201/201 ' || fail "the progress did not count the whole range's 201 frames"

# The same times captured without loss, one process.
"$velkarn" 160 90 --capture capture --fps 10 --start 30 --end 50 --silent --no-dialogs >/dev/null 2>&1 ||
  fail "the capture failed"
frames=$(ls capture | wc -l)
[ "$frames" -eq 201 ] || fail "the capture has $frames frames, not 201"
count=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 seg.mp4)
[ "$count" -eq "$frames" ] || fail "the joined video has $count frames, the capture $frames"
# Each decoded frame against its own captured frame and against the next one: its own is
# near (the encoder's loss only), the next far, at the joins (frames 100 and 200) too.
ffmpeg -v error -i seg.mp4 -framerate 10 -start_number 0 -i capture/frame-%06d.png \
  -lavfi "[0:v][1:v]psnr=stats_file=own.txt" -f null - || fail "ffmpeg could not compare the frames"
ffmpeg -v error -i seg.mp4 -framerate 10 -start_number 1 -i capture/frame-%06d.png \
  -lavfi "[0:v][1:v]psnr=stats_file=next.txt" -f null - || fail "ffmpeg could not compare the frames"
psnr() { sed -n 's/.*psnr_avg:\([0-9.inf]*\).*/\1/p' "$1" | sed 's/^inf$/99/'; }
psnr own.txt >own-db.txt
psnr next.txt | head -n 200 >next-db.txt  # the last frame has no next
paste -d' ' own-db.txt next-db.txt | awk '
  $1 < 33 { print "frame " NR - 1 " is " $1 " dB from its own capture"; bad = 1 }
  NF == 2 && $2 >= $1 { print "frame " NR - 1 " is nearer the next capture (" $2 " dB) than its own (" $1 " dB)"; bad = 1 }
  END { exit bad }' >psnr-faults.txt || fail "$(head -n 3 psnr-faults.txt)"
[ "$(wc -l <own.txt)" -eq 201 ] || fail "ffmpeg compared $(wc -l <own.txt) frames, not 201"
# The music: one stream over the whole 20.1 s.
sound=$(ffprobe -v error -select_streams a -show_entries stream=duration -of csv=p=0 seg.mp4)
[ "$(echo "$sound" | wc -l)" -eq 1 ] && awk -v d="$sound" 'BEGIN { exit !(d > 20.05 && d < 20.15) }' ||
  fail "the sound is not one stream of 20.1 s: $sound"
echo "video_segments: passed"
