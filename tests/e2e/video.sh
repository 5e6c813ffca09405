# --video through the real ffmpeg. A short clip has its length, frame count, size and
# streams (that its frames are the pictures --capture makes of the same moments:
# video_quality.sh); an odd size is padded to even; without the music the video has no
# sound and a warning says so.
# A video that cannot be made is never reported as made: no ffmpeg, no folder for it, an
# encoder that stops taking frames.
source "$(dirname "$0")/lib/common.sh"
echo "161 91 window" > QRV-Velkarn-config.dat
mv Orvalin-Velkarn.mp3 music.mp3
"$velkarn" --video odd.mp4 --fps 10 --start 40 --end 40.3 >stdout.txt 2>stderr.txt || fail "the odd-size video failed"
grep -q "warning: Orvalin-Velkarn.mp3 is missing" stderr.txt || fail "no warning about the missing music"
streams=$(ffprobe -v error -show_entries stream=codec_type,width,height,nb_frames -of csv=p=0 odd.mp4 | tr '\n' ' ')
[ "$streams" = "video,162,92,4 " ] || fail "the odd-size video without music has the streams $streams"

mv music.mp3 Orvalin-Velkarn.mp3
echo "320 180 window" > QRV-Velkarn-config.dat
"$velkarn" --video clip.mp4 --fps 10 --start 40 --end 42 >stdout.txt 2>stderr.txt || fail "the video run failed"
grep -q "wrote clip.mp4" stdout.txt && grep -q $'\rvideo: frame 21/21' stderr.txt || fail "no progress to 21/21, or no report"
probe() { ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of csv=p=0 clip.mp4; }
video=$(probe v:0 codec_name,width,height,pix_fmt,nb_frames,duration) sound=$(probe a:0 codec_name,bit_rate,duration)
awk -v v="$video" -v a="$sound" 'BEGIN { split(v, f, ","); split(a, s, ",")
  exit !(f[1] f[2] f[3] f[4] f[6] == "h264320180yuv420p21" && f[5] > 2.05 && f[5] < 2.15 &&
         s[1] == "aac" && s[2] > 2.0 && s[2] < 2.2 && s[3] >= 128000) }' ||
  fail "the video is \"$video\", its sound \"$sound\" (codec, size, pixels, length, frames; codec, length, bit rate)"

# refused WHAT FILE COMMAND...: the run fails, FILE is not written and no partial file is left.
refused() {
  local what=$1 file=$2 status=0
  shift 2
  "$@" >stdout.txt 2>stderr.txt || status=$?
  [ "$status" -ne 0 ] && [ ! -e "$file" ] || fail "$what: status $status, or $file was written"
  ! ls -A | grep -q partial || fail "$what: a partial file was left behind"
}
refused "no ffmpeg" none.mp4 env PATH=/nonexistent "$velkarn" --video none.mp4 --fps 10 --start 40 --end 40.5
grep -q "needs the ffmpeg program" stderr.txt || fail "no message naming ffmpeg"
refused "no folder" no/such/x.mp4 "$velkarn" --video no/such/x.mp4 --fps 10 --start 40 --end 40.5
mkdir fake && printf '#!/bin/sh\nfor out; do :; done\nhead -c 20000 > "$out"\n' > fake/ffmpeg && chmod +x fake/ffmpeg
refused "an encoder that stops taking frames" dies.mp4 \
  env PATH="$PWD/fake:$PATH" "$velkarn" --video dies.mp4 --fps 10 --start 40 --end 41
grep -q "not written" stderr.txt || fail "no message that the video was not written"
echo "video: $video, sound $sound"
