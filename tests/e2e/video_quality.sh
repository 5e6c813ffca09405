# The default --video keeps the particles: the same half second of a dense stretch,
# rendered losslessly by --capture and encoded by --video, differs by little. Every
# decoded frame must stay above a PSNR floor (RGB, against the captured PNG). At this size
# the frames measured 34.4 dB at the lowest; the earlier fixed rate (1 Mbit/s here, more
# per pixel than its 8 Mbit/s at 1920x1080) gave 26.5. The progress line shows the size
# written so far, the closing line the file's.
source "$(dirname "$0")/lib/common.sh"
# One of the densest stretches: tens of thousands of points tilting at 35 s.
range=(--fps 20 --start 34.5 --end 35)
# The first run writes the particle-map cache, so both runs draw the same particles.
"$velkarn" --capture frames "${range[@]}" >stdout.txt 2>stderr.txt || fail "the capture failed"
"$velkarn" --video clip.mp4 "${range[@]}" >stdout.txt 2>stderr.txt || fail "the video run failed"
grep -qE $'\rvideo: frame 11/11  t 35.00 s  [0-9]+\\.[0-9] MB' stderr.txt || fail "no progress line with the size to 11/11"
grep -qE '^velkarn: wrote clip.mp4 \(11 frames at 20 fps, [0-9]+\.[0-9] MB\)$' stdout.txt || fail "no closing line with the size"
frames=$(ls frames | wc -l)
[ "$frames" -eq 11 ] || fail "the capture has $frames frames, not 11"
ffmpeg -hide_banner -loglevel error -i clip.mp4 -framerate 20 -i frames/frame-%06d.png \
  -lavfi "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr=stats_file=psnr.log" -f null - ||
  fail "cannot compare the video with the capture"
floor=32
awk -v floor=$floor '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, v, ":")
                         if (v[2] == "inf") v[2] = 99
                         n++; sum += v[2]; if (n == 1 || v[2] < low) low = v[2] } }
  END { printf "video against capture: %d frames, PSNR mean %.2f dB, lowest %.2f dB (floor %d)\n", n, n ? sum / n : 0, low, floor
        exit !(n == 11 && low > floor) }' psnr.log || fail "a decoded frame falls below $floor dB PSNR"
