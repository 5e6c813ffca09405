# A short video through the real ffmpeg: its length, frame count, size and streams, and
# its first frame is the picture --capture makes of the same moment.
source "$(dirname "$0")/lib/common.sh"
echo "320 180 window" > QRV-Velkarn-config.dat
# The warm-up writes the particle-map cache, so the video and the capture draw the same
# particles (the run that samples the map draws its random numbers first).
"$velkarn" --capture warm-up --fps 1 --start 0 --end 0 >/dev/null 2>>stderr.txt || fail "warm-up capture failed"

"$velkarn" --video clip.mp4 --fps 10 --start 40 --end 42 >stdout.txt 2>stderr.txt || fail "the video run failed"
[ -f clip.mp4 ] || fail "no clip.mp4"
grep -q "wrote clip.mp4" stdout.txt || fail "the run did not report the video"
# The progress line counts up to the last frame in place.
grep -q $'\rvideo: frame 21/21' stderr.txt || fail "no progress line reaching 21/21"
ls -A | grep -q partial && fail "a partial file was left behind"

probe() { ffprobe -v error -select_streams "$1" -show_entries "$2" -of default=noprint_wrappers=1:nokey=1 clip.mp4; }
[ "$(probe v:0 stream=codec_name)" = h264 ] || fail "video codec is $(probe v:0 stream=codec_name)"
[ "$(probe v:0 stream=pix_fmt)" = yuv420p ] || fail "pixel format is $(probe v:0 stream=pix_fmt)"
[ "$(probe v:0 stream=width),$(probe v:0 stream=height)" = "320,180" ] || fail "size is not 320x180"
[ "$(probe v:0 stream=nb_frames)" = 21 ] || fail "$(probe v:0 stream=nb_frames) frames instead of 21 (40 to 42 s)"
[ "$(probe a:0 stream=codec_name)" = aac ] || fail "no AAC sound"
audio_rate=$(probe a:0 stream=bit_rate)
[ "$audio_rate" -ge 128000 ] || fail "sound at only $audio_rate bit/s"
duration=$(probe v:0 stream=duration)
awk -v d="$duration" 'BEGIN { exit !(d > 2.05 && d < 2.15) }' || fail "video lasts $duration s"
audio_duration=$(probe a:0 stream=duration)
awk -v d="$audio_duration" 'BEGIN { exit !(d > 2.0 && d < 2.2) }' || fail "sound lasts $audio_duration s"

# The first frame against the PNG capture of 40 s.
"$velkarn" --capture still --fps 10 --start 40 --end 40 >>stdout.txt 2>>stderr.txt || fail "capture failed"
ffmpeg -v error -i clip.mp4 -frames:v 1 -y first.png || fail "cannot decode the first frame"
psnr=$(ffmpeg -hide_banner -i first.png -i still/frame-000000.png -lavfi psnr -f null - 2>&1 |
  sed -n 's/.*average:\([0-9.inf]*\).*/\1/p')
[ -n "$psnr" ] || fail "no PSNR measured"
awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p > 30) }' || fail "first frame differs from the capture (PSNR $psnr dB)"

# An odd picture size is padded to even for yuv420p.
echo "161 91 window" > QRV-Velkarn-config.dat
"$velkarn" --video odd.mp4 --fps 10 --start 40 --end 40.3 >>stdout.txt 2>>stderr.txt || fail "odd-size video failed"
size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height,nb_frames -of csv=p=0 odd.mp4)
[ "$size" = "162,92,4" ] || fail "odd-size video is $size (width,height,frames)"
echo "video: 21 frames, $duration s, first frame PSNR $psnr dB"
