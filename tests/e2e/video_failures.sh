# A video that cannot be made is never reported as made: no ffmpeg, an ffmpeg that fails
# at the start or in the middle, a run stopped early. Without the music there is a video
# without sound and a warning.
source "$(dirname "$0")/lib/common.sh"
echo "64 36 window" > QRV-Velkarn-config.dat
real_ffmpeg=$(command -v ffmpeg)

status=0
PATH=/nonexistent "$velkarn" --video none.mp4 --fps 10 --start 40 --end 40.5 >stdout.txt 2>stderr.txt || status=$?
[ "$status" -ne 0 ] || fail "a missing ffmpeg gave status 0"
grep -q "ffmpeg" stderr.txt || fail "no message naming ffmpeg"
[ ! -e none.mp4 ] || fail "none.mp4 was written without ffmpeg"

# Stand-ins on the PATH: one that fails at once, one that dies after some frames.
mkdir -p fake-fail fake-dies
printf '#!/bin/sh\necho "stand-in encoder refuses" >&2\nexit 1\n' > fake-fail/ffmpeg
printf '#!/bin/sh\nfor out; do :; done\nhead -c 20000 > "$out"\nexit 0\n' > fake-dies/ffmpeg
chmod +x fake-fail/ffmpeg fake-dies/ffmpeg
for fake in fake-fail fake-dies; do
  status=0
  PATH="$PWD/$fake:$PATH" "$velkarn" --video "$fake.mp4" --fps 10 --start 40 --end 41 >stdout.txt 2>stderr.txt || status=$?
  [ "$status" -ne 0 ] || fail "$fake: status 0"
  [ ! -e "$fake.mp4" ] || fail "$fake: the video was written"
  ls -A | grep -q partial && fail "$fake: a partial file was left behind"
  grep -q "not written" stderr.txt || fail "$fake: no message that the video was not written"
done

# The output folder must exist.
status=0
"$velkarn" --video no/such/dir/x.mp4 --fps 10 --start 40 --end 40.5 >stdout.txt 2>stderr.txt || status=$?
[ "$status" -ne 0 ] || fail "a missing output folder gave status 0"

# Past the demo's end there is nothing to render.
status=0
"$velkarn" --video late.mp4 --start 300 >stdout.txt 2>stderr.txt || status=$?
[ "$status" -ne 0 ] && [ ! -e late.mp4 ] || fail "a start past 225 s made a video"

# No music: a silent video and a warning.
rm -f Orvalin-Velkarn.mp3
PATH="$(dirname "$real_ffmpeg"):$PATH" "$velkarn" --video mute.mp4 --fps 10 --start 40 --end 40.3 >stdout.txt 2>stderr.txt ||
  fail "the video without music failed"
grep -q "warning" stderr.txt || fail "no warning about the missing music"
streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 mute.mp4 | tr '\n' ' ')
[ "$streams" = "video " ] || fail "streams of the video without music: $streams"
