# scripts/look.sh measures each frame as grey mean and deviation on a 0..1 scale, and
# writes one CSV row per rendered frame at its demo time, beside the frames and a picture.
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/e2e/lib/common.sh"
mkdir known
convert -size 64x36 xc:black known/black.png
convert -size 64x36 xc:white -size 64x36 xc:black -append known/halves.png
convert -size 64x36 xc:'rgb(0,255,0)' known/green.png
"$root/scripts/look.sh" --stats known > measured.txt
check() {  # file mean deviation
  awk -v f="$1" -v m="$2" -v d="$3" '$1 == f { found = 1; if ((($2 - m) ^ 2) > 1e-4 || (($3 - d) ^ 2) > 1e-4) exit 1 }
    END { exit !found }' measured.txt || fail "look measures $1 as '$(grep "$1" measured.txt)', not $2 $3"
}
check black.png 0 0
check halves.png 0.5 0.5
check green.png 0.7152 0   # Rec. 709 luma

VELKARN_BUILD_DIR=$(dirname "$run_dir") "$root/scripts/look.sh" 320 180 2 --start 100 --end 101 --out look \
  > look.txt 2>>stderr.txt || fail "look.sh failed"
[ "$(cut -d, -f1 look/look.csv | tr '\n' ' ')" = "time 100.000 100.500 101.000 " ] ||
  fail "look.csv rows: $(cat look/look.csv)"
awk -F, 'NR > 1 && !($2 >= 0 && $2 <= 1 && $3 >= 0 && $3 <= 0.5) { exit 1 }' look/look.csv || fail "values out of range"
[ "$(identify -format '%w' look/look.png)" = 1800 ] || fail "look.png is not 1800 pixels wide"
grep -q "^look: 3 frames" look.txt || fail "summary: $(cat look.txt)"
