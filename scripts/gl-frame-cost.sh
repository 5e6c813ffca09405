#!/usr/bin/env bash
# What one frame hands the GL driver, counted in an API trace (apitrace) of the program.
#   scripts/gl-frame-cost.sh [--keep DIR] [--size W H] PROGRAM_DIR TIME...
# PROGRAM_DIR holds a velkarn and the dat/ it reads (build/run, or a copy of an older
# program); it is run there, as velkarn expects. For each TIME (seconds, whole or not) prints
#   TIME CALLS VERTEX_BYTES key=value...
# CALLS: glDrawArrays/glDrawElements calls of every kind (glBegin/glEnd pairs are counted
# apart as begin_end). VERTEX_BYTES: client vertex arrays as drawn (count x stride of each
# enabled array, plus client index arrays), buffer uploads (glBufferData and glBufferSubData
# with data, glBufferStorage with data, memcpy into mapped buffers) and immediate-mode
# vertex data (every glVertex/glColor/glTexCoord/glNormal/glMultiTexCoord/glVertexAttrib
# call between glBegin and glEnd, components x type size).
# The breakdown adds client_recorded: what the trace recorded of the client arrays.
# apitrace copies each array from its start to the last vertex drawn, so this is more than
# the drawn figure when a draw starts past an array's first vertex.
#
# The frame: two frames are captured, one second apart (--fps 1, TIME - 1 to TIME), and only
# the calls after the first frame's swap up to the second's are counted. The start-up
# loading, the pre-roll (the blob section's snapshots among it) and anything done once on the
# first frame drawn fall before that swap. TIME must be 1 or later. A blob-section snapshot
# due in the second before TIME is drawn in the counted frame (only from 103.6 to 130 s).
# --size: the picture size (default 1920 1080). --keep DIR keeps the traces, their dumps and
# the captured frames in DIR (t<TIME>.trace, t<TIME>.dump, c<TIME>/); otherwise they go to a
# temporary folder (TMPDIR) that is removed. A trace of a frame of the wall is large (the
# client arrays it records: some 800 MB for the two frames at 136 s).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

width=1920 height=1080 keep=""
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=${2:?--keep needs a folder}; shift 2 ;;
    --size) width=${2:?--size needs W H}; height=${3:?--size needs W H}; shift 3 ;;
    -h|--help) sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) break ;;
  esac
done
[ $# -ge 2 ] || { echo "usage: scripts/gl-frame-cost.sh [--keep DIR] [--size W H] PROGRAM_DIR TIME..." >&2; exit 2; }
program_dir=$(cd "$1" && pwd)
shift
[ -x "$program_dir/velkarn" ] && [ -d "$program_dir/dat" ] ||
  { echo "gl-frame-cost: $program_dir holds no velkarn and dat/" >&2; exit 1; }
command -v apitrace >/dev/null || "$root/scripts/install-deps.sh" offline

if [ -n "$keep" ]; then
  mkdir -p "$keep"
  out=$(cd "$keep" && pwd)
else
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi

# Reads a dump (apitrace dump) and prints the counts of the calls between its last two
# glXSwapBuffers.
count_frame() {
  awk -v time="$1" '
    function arg(name,   s) {
      if (!match($0, name " = [^,)]+")) return ""
      s = substr($0, RSTART, RLENGTH); sub(/^[^=]*= /, "", s); return s
    }
    function blob(   s) {
      if (!match($0, /blob\([0-9]+\)/)) return -1
      s = substr($0, RSTART + 5, RLENGTH - 6); return s + 0
    }
    function type_bytes(t) {
      if (t ~ /DOUBLE/) return 8
      if (t ~ /HALF_FLOAT|SHORT/) return 2
      if (t ~ /BYTE/) return 1
      return 4
    }
    # Sets one client array: its bytes per vertex, whether it lies in client memory and the
    # size of the blob the trace recorded for it.
    function pointer(key, size, type, stride,   b) {
      b = blob()
      stride += 0
      bytes[key] = stride > 0 ? stride : size * type_bytes(type)
      client[key] = array_buffer == 0 || b >= 0
      recorded[key] = b > 0 ? b : 0
      if (counting && b > 0) client_recorded += b
    }
    # Bytes of the enabled client arrays for COUNT vertices (or, for indexed draws where
    # the range is unknown, the recorded blob, which runs to the highest index).
    function draw(count, indexed,   k) {
      for (k in enabled) if (enabled[k] && client[k]) {
        if (indexed) client_drawn += recorded[k]
        else client_drawn += count * bytes[k]
      }
    }
    # The immediate-mode call names: gl{Vertex,Color,...}{2,3,4}{f,d,i,s,b,ub,us,ui}[v].
    function immediate(name,   m, n, t) {
      if (!match(name, /^gl(Vertex|Color|SecondaryColor|TexCoord|Normal|MultiTexCoord|VertexAttrib|FogCoord)[1-4]?(N?[a-z]+)v?$/)) return 0
      n = name
      sub(/^gl(Vertex|Color|SecondaryColor|TexCoord|Normal|MultiTexCoord|VertexAttrib|FogCoord)/, "", n)
      m = substr(n, 1, 1) ~ /[1-4]/ ? substr(n, 1, 1) + 0 : 1
      if (name ~ /^glNormal/) m = 3
      t = n; sub(/^[1-4]?N?/, "", t); sub(/v$/, "", t)
      if (t == "d") return m * 8
      if (t == "s" || t == "us") return m * 2
      if (t == "b" || t == "ub") return m
      return m * 4
    }
    FNR == NR { if ($2 ~ /^glXSwapBuffers\(/) swaps[++nswaps] = $1; next }
    FNR == 1 {
      if (nswaps < 2) { print "gl-frame-cost: fewer than two swaps in the trace" > "/dev/stderr"; exit 1 }
      from = swaps[nswaps - 1]; to = swaps[nswaps]
    }
    $1 !~ /^[0-9]+$/ { next }
    {
      counting = $1 > from && $1 <= to
      name = $2; sub(/\(.*/, "", name)
    }
    name == "glBindBuffer" || name == "glBindBufferARB" {
      t = arg("target"); b = arg("buffer") + 0
      if (t == "GL_ARRAY_BUFFER") array_buffer = b
      if (t == "GL_ELEMENT_ARRAY_BUFFER") element_buffer = b
    }
    name == "glClientActiveTexture" || name == "glClientActiveTextureARB" { unit = arg("texture") }
    name == "glEnableClientState" || name == "glDisableClientState" {
      a = arg("array"); key = a == "GL_TEXTURE_COORD_ARRAY" ? a unit : a
      enabled[key] = name == "glEnableClientState"
    }
    name == "glEnableVertexAttribArray" || name == "glDisableVertexAttribArray" {
      enabled["attrib" arg("index")] = name == "glEnableVertexAttribArray"
    }
    name == "glVertexPointer" { pointer("GL_VERTEX_ARRAY", arg("size"), arg("type"), arg("stride")) }
    name == "glColorPointer" { pointer("GL_COLOR_ARRAY", arg("size"), arg("type"), arg("stride")) }
    name == "glNormalPointer" { pointer("GL_NORMAL_ARRAY", 3, arg("type"), arg("stride")) }
    name == "glTexCoordPointer" { pointer("GL_TEXTURE_COORD_ARRAY" unit, arg("size"), arg("type"), arg("stride")) }
    name == "glVertexAttribPointer" || name == "glVertexAttribPointerARB" {
      pointer("attrib" arg("index"), arg("size"), arg("type"), arg("stride"))
    }
    !counting { next }
    name ~ /^gl(Multi)?Draw(Arrays|Elements|RangeElements)[A-Za-z]*$/ {
      ++draws[name]; ++calls
      if (name ~ /Elements/) {
        b = blob()
        if (element_buffer == 0 && b > 0) client_drawn += b
        draw(0, 1)
      } else if (name ~ /^glMultiDraw/) {
        s = $0; sub(/.*count = \{/, "", s); sub(/\}.*/, "", s); n = split(s, c, ", ")
        for (i = 1; i <= n; ++i) draw(c[i] + 0, 0)
      } else draw(arg("count") + 0, 0)
    }
    name == "glBegin" { ++begin_end; inside = 1 }
    name == "glEnd" { inside = 0 }
    inside && (b = immediate(name)) > 0 { immediate_bytes += b; if (name ~ /^glVertex[2-4]/) ++immediate_vertices }
    name ~ /^gl(Named)?Buffer(Sub)?Data(ARB)?$/ || name ~ /^gl(Named)?BufferStorage$/ {
      b = blob(); if (b > 0) buffer_bytes += b; else if (name ~ /Sub/) buffer_bytes += arg("size") + 0
      ++buffer_calls
    }
    name == "memcpy" { b = blob(); if (b > 0) { buffer_bytes += b; ++buffer_calls } }
    name ~ /^gl(Tex|TextureSub|CopyTex)(Sub)?Image[123]D/ { b = blob(); if (b > 0) texture_bytes += b; ++texture_calls }
    END {
      if (nswaps < 2) exit 1
      detail = ""
      for (d in draws) detail = detail sprintf(" %s=%d", d, draws[d])
      printf "%s %d %d begin_end=%d%s client_drawn=%d client_recorded=%d buffer=%d (%d calls) immediate=%d (%d glVertex) texture=%d (%d calls) frame_calls=%d-%d\n",
        time, calls, client_drawn + buffer_bytes + immediate_bytes, begin_end, detail, client_drawn,
        client_recorded, buffer_bytes, buffer_calls, immediate_bytes, immediate_vertices,
        texture_bytes, texture_calls, from + 1, to
    }' "$2" "$2"
}

for time in "$@"; do
  awk -v t="$time" 'BEGIN { exit !(t + 0 >= 1 && t + 0 <= 225) }' ||
    { echo "gl-frame-cost: $time is not a time from 1 to 225 s" >&2; exit 2; }
  before=$(awk -v t="$time" 'BEGIN { print t - 1 }')
  trace="$out/t$time.trace" dump="$out/t$time.dump" frames="$out/c$time"
  rm -rf "$trace" "$dump" "$frames"
  (cd "$program_dir" && "$root/scripts/with-display.sh" apitrace trace --output="$trace" \
      ./velkarn "$width" "$height" --capture "$frames" --fps 1 --start "$before" --end "$time") \
      >"$out/t$time.log" 2>&1 || { echo "gl-frame-cost: the traced run at $time s failed (see $out/t$time.log)" >&2; exit 1; }
  [ -f "$frames/frame-000001.png" ] || { echo "gl-frame-cost: the run at $time s drew no second frame" >&2; exit 1; }
  apitrace dump --color=never "$trace" > "$dump" 2>/dev/null
  count_frame "$time" "$dump"
  [ -n "$keep" ] || rm -f "$trace" "$dump"
done
