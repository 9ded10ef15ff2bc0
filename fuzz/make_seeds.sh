#!/usr/bin/env bash
# Writes the seed corpora into fuzz/corpus/<target>/ (run again after a
# change of the frame layout or the page protocol; the files are committed).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="$here/corpus"
rm -rf "$out"
mkdir -p "$out"/{frame,page,pphost_line,publisher}

# Frame seeds: one frame each, written by the frame writer and saved as its
# segment holds it (frame-seed; see its --help). It is built in build/ first,
# so that a change of the writer reaches the seeds.
cmake --build "$root/build" --target frame-seed > /dev/null
frame() { local file=$1; shift; "$root/build/bin/frame-seed" "$out/frame/$file" "$@"; }
frame i420-16x16 --width 16 --height 16
frame i420-15x9-padded-rotated --width 15 --height 9 --padding 3 --rotation 90
frame nv12-32x18-padded-flipped --width 32 --height 18 --format 2 --padding 4 --flip
frame i420-2x2 --width 2 --height 2
frame nv12-8x4-being-written --width 8 --height 4 --format 2 --being-written
frame rgba-value-drawn-as-i420-12x6 --width 12 --height 6 --format 1 --rotation 270

# Page scripts (page_script.h): c/r/g messages, t timer steps, x recreate, l
# context lost, h header words, w a frame begun during an upload, P pictures.
# Every segment is 65536 bytes (page_streams.h).
diffs='[{"path":"/tallwick-fuzz-cam","uid":"u1","sid":"s1","bufferSize":65536,"bufferNumber":1,"isScreen":false,"isMerge":false,"frameFormat":0},{"path":"/tallwick-fuzz-nv12","uid":"u2","sid":"s2","bufferSize":65536,"bufferNumber":1,"isScreen":true,"isMerge":false,"frameFormat":2},{"path":"/tallwick-fuzz-small","uid":"u3","sid":"s3","bufferSize":0,"bufferNumber":1,"isScreen":false,"isMerge":false,"frameFormat":0}]'
layout='{"renderInfos":[{"streamId":"s1","userId":"u1","isSelf":false,"streamType":"CAMERA","renderConfig":{"isMirror":false,"left":0,"top":0,"width":64,"height":72,"renderMode":1,"backgroundColor":[0.1,0.1,0.1,1.0]}},{"streamId":"s2","userId":"u2","isSelf":false,"streamType":"SCREEN","renderConfig":{"isMirror":true,"left":64,"top":0,"width":64,"height":36,"renderMode":0,"backgroundColor":[0,0,1,1]}},{"streamId":"s3","userId":"u3","isSelf":true,"streamType":"PREVIEW","renderConfig":{"isMirror":false,"left":64,"top":36,"width":64,"height":36,"renderMode":1}}]}'
cat > "$out/page/meeting" <<SEED
c{"command":"INIT","data":{"logPath":"","logVersion":1},"custom":{"uuid":"c-1"}}
c{"command":"SET_MEETING_INFO","data":{"selfSid":"s3","selfUid":"u3"},"custom":{"uuid":"c-2"}}
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$diffs},"custom":{"uuid":"c-3"}}
r{"command":"INIT","data":{"logPath":"","logVersion":1,"uuid":"r-1","fps":30,"uid":"u1","sid":"s1","renderExceptionThreshold":2000,"dpr":1},"custom":{"uuid":"r-1"}}
r{"command":"START_RENDER","data":{},"custom":{"uuid":"r-2"}}
g{"command":"INIT","data":{"logPath":"","logVersion":1,"uuid":"g-1","fps":20,"renderExceptionThreshold":1000,"dpr":1,"backgroundColor":[0,0,0.25,1]},"custom":{"uuid":"g-1"}}
g{"command":"UPDATE_MULTI_INFOS","data":$layout,"custom":{"uuid":"g-2"}}
g{"command":"START_RENDER","data":{},"custom":{"uuid":"g-3"}}
t200
g{"command":"GET_FRAME_COUNT","data":{},"custom":{"uuid":"g-4"}}
r{"command":"GET_FRAME_COUNT","data":{},"custom":{"uuid":"r-3"}}
SEED
cat > "$out/page/reset-and-screen" <<SEED
c{"command":"INIT","data":{"logPath":"","logVersion":1},"custom":{"uuid":"c-1"}}
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$diffs},"custom":{"uuid":"c-2"}}
r{"command":"INIT","data":{"fps":25,"uid":"u2","sid":"s2","isScreen":true,"renderExceptionThreshold":500,"dpr":2,"enablePPAPIRedExt":true},"custom":{"uuid":"r-1"}}
r{"command":"START_RENDER","data":{},"custom":{"uuid":"r-2"}}
t100
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":1,"diffs":[{"path":"/tallwick-fuzz-nv12","uid":"u2","sid":"s2","bufferSize":65536,"bufferNumber":1,"isScreen":true,"isMerge":false,"frameFormat":2}]},"custom":{"uuid":"c-3"}}
t100
r{"command":"RESET_SHOOM","data":{"stream_key":"u2_SCREEN"}}
lr
t700
r{"command":"STOP_RENDER","data":{},"custom":{"uuid":"r-3"}}
xg
c{"command":"GET_SHARED_MEMORY_DIFFS","custom":{"uuid":"c-4"}}
SEED
cat > "$out/page/gallery-relayout" <<SEED
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$diffs}}
g{"command":"INIT","data":{"fps":30,"renderExceptionThreshold":2000,"dpr":1},"custom":{"uuid":"g-1"}}
g{"command":"START_RENDER","data":{},"custom":{"uuid":"g-2"}}
g{"command":"UPDATE_MULTI_INFOS","data":$layout}
t150
g{"command":"UPDATE_MULTI_INFOS","data":{"renderInfos":[{"streamId":"s2","userId":"u2","streamType":"CAMERA","renderConfig":{"left":-10,"top":5,"width":200,"height":0,"renderMode":2}}]}}
t2100
g{"command":"CLEAR_BUFFER","data":{}}
r{"command":"HIDE_CURSOR","data":{"cursorType":2}}
c{"command":"RESET","data":{}}
t3000
SEED

two_tiles='{"renderInfos":[{"streamId":"s1","userId":"u1","renderConfig":{"left":0,"top":0,"width":64,"height":72,"renderMode":1}},{"streamId":"s2","userId":"u2","renderConfig":{"left":64,"top":0,"width":64,"height":72,"renderMode":1}}]}'
two_diffs='[{"path":"/tallwick-fuzz-cam","uid":"u1","sid":"s1","bufferSize":65536,"frameFormat":0},{"path":"/tallwick-fuzz-nv12","uid":"u2","sid":"s2","bufferSize":65536,"frameFormat":2}]'
cat > "$out/page/pictures-meeting" <<SEED
P
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$diffs}}
r{"command":"INIT","data":{"fps":30,"uid":"u1","sid":"s1","dpr":1}}
r{"command":"START_RENDER"}
g{"command":"INIT","data":{"fps":30,"dpr":1,"backgroundColor":[0,0,0.25,1]}}
g{"command":"UPDATE_MULTI_INFOS","data":$layout}
g{"command":"START_RENDER"}
t100
g{"command":"UPDATE_MULTI_INFOS","data":$two_tiles}
t100
SEED
# Header words: a frame wider than any texture (width, planS0, height at
# offsets 12, 20, 16), one being written, one in RGBA, one rotated, then
# one far larger than its segment (planS1 and planS2 at 24 and 28).
cat > "$out/page/hostile-headers" <<SEED
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$diffs}}
g{"command":"INIT","data":{"fps":60,"dpr":1}}
g{"command":"UPDATE_MULTI_INFOS","data":$layout}
g{"command":"START_RENDER"}
h0 12 5000
h0 20 5000
h0 16 2
h1 4 1
h2 44 1
t100
h0 32 90
h2 0 7
t100
h0 12 4000
h0 20 4000
h0 24 2000
h0 28 2000
h0 16 4000
t100
SEED
# The gallery's second tile gets frames too wide for any texture (16385
# pixels: width, planS0, planS1, planS2 and height at offsets 12, 20, 24,
# 28, 16) while the first tile's are fine, both I420: the picture must not
# show the first tile's stream in the second tile.
red_blue_diffs='[{"path":"/tallwick-fuzz-cam","uid":"u1","sid":"s1","bufferSize":65536,"frameFormat":0},{"path":"/tallwick-fuzz-small","uid":"u3","sid":"s3","bufferSize":65536,"frameFormat":0}]'
red_blue_tiles='{"renderInfos":[{"streamId":"s1","userId":"u1","renderConfig":{"left":0,"top":0,"width":64,"height":72,"renderMode":1}},{"streamId":"s3","userId":"u3","renderConfig":{"left":64,"top":0,"width":64,"height":72,"renderMode":1}}]}'
pokes='h2 12 16385
h2 20 16385
h2 24 8193
h2 28 8193
h2 16 2'
cat > "$out/page/pictures-undrawable-tile" <<SEED
P
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$red_blue_diffs}}
g{"command":"INIT","data":{"fps":30,"dpr":1}}
g{"command":"UPDATE_MULTI_INFOS","data":$red_blue_tiles}
g{"command":"START_RENDER"}
$pokes
t100
$pokes
t100
SEED
# A negative fps, then frames: the gallery must keep drawing.
cat > "$out/page/negative-fps" <<SEED
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$two_diffs}}
g{"command":"INIT","data":{"fps":-5,"dpr":1}}
g{"command":"UPDATE_MULTI_INFOS","data":$two_tiles}
g{"command":"START_RENDER"}
t300
r{"command":"INIT","data":{"fps":-1,"uid":"u1","dpr":1}}
r{"command":"START_RENDER"}
t300
SEED
# A negative dpr: the gallery cannot make its context and says so with an
# ERROR, when START_RENDER or an INIT while rendering prepares its renderer
# (and when the probe starts it); it is not expected to draw.
cat > "$out/page/negative-dpr" <<SEED
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$two_diffs}}
g{"command":"INIT","data":{"fps":30,"dpr":-1}}
g{"command":"UPDATE_MULTI_INFOS","data":$two_tiles}
g{"command":"START_RENDER"}
t100
g{"command":"INIT","data":{"fps":30,"dpr":-1}}
t100
SEED
# The writer begins its next frame while the module uploads one.
cat > "$out/page/write-during-upload" <<SEED
P
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$two_diffs}}
r{"command":"INIT","data":{"fps":60,"uid":"u2","dpr":1}}
r{"command":"START_RENDER"}
w1
t50
g{"command":"INIT","data":{"fps":60,"dpr":1}}
g{"command":"UPDATE_MULTI_INFOS","data":$two_tiles}
g{"command":"START_RENDER"}
w0
t50
SEED

# Two tiles of one stream key: the element keeps the later one, here one
# of height 0, so nothing of the stream shows (the probe must not expect it).
one_key_two_tiles='{"renderInfos":[{"streamId":"s1","userId":"u1","renderConfig":{"left":0,"top":0,"width":64,"height":72,"renderMode":1}},{"streamId":"s1","userId":"u1","renderConfig":{"left":64,"top":0,"width":64,"height":0,"renderMode":1}}]}'
cat > "$out/page/pictures-one-key-two-tiles" <<SEED
P
c{"command":"DO_UPDATE_SHARED_MEMORY","data":{"op":0,"diffs":$diffs}}
g{"command":"INIT","data":{"fps":60,"dpr":1}}
g{"command":"UPDATE_MULTI_INFOS","data":$one_key_two_tiles}
g{"command":"START_RENDER"}
t100
SEED

# A seed that asks for pictures (first line "P") gets them only when its
# CRC-32 is a multiple of 256 (page_script.h): a "#nonce N" line is added
# until it is. gzip's trailer holds the CRC-32 of its input.
crc32() { gzip -c -n "$1" | tail -c 8 | head -c 4 | od -An -tu4 | tr -d ' '; }
fit_pixels() {
  local file=$1 n=0
  cp "$file" "$file.base"
  until [ $(( $(crc32 "$file") % 256 )) -eq 0 ]; do
    n=$((n + 1))
    { cat "$file.base"; echo "#nonce $n"; } > "$file"
  done
  rm "$file.base"
}
for seed in pictures-meeting pictures-undrawable-tile pictures-one-key-two-tiles write-during-upload; do fit_pixels "$out/page/$seed"; done

# pphost lines: every op once, and a short meeting.
cat > "$out/pphost_line/ops" <<'SEED'
{"op":"create","id":"a","attrs":[["data-multi",""]]}
{"op":"view","id":"a","rect":[0,0,64,36],"visible":true,"scale":1.5}
{"op":"message","id":"a","msg":{"command":"INIT","data":{"fps":30,"dpr":1},"custom":{"uuid":"1"}}}
{"op":"input","id":"a","type":"mouseup","x":3,"y":4,"button":"right"}
{"op":"run","ms":40,"until":{"id":"a","command":"MULTI_RENDER_STARTED"}}
{"op":"snapshot","id":"a","png":"x.png"}
{"op":"pixels","id":"a","points":[[0,0],[63,35]]}
{"op":"page","png":"p.png","background":[0,0,64]}
{"op":"watch","id":"a","regions":[{"name":"all","rect":[0,0,64,36]}]}
{"op":"watched","id":"a"}
{"op":"contextlost","id":"a"}
{"op":"cursor-refuse","refuse":true}
{"op":"clock","wall_ms":1767229200000}
{"op":"destroy","id":"a"}
SEED
cat > "$out/pphost_line/values" <<'SEED'
{"op":"create","id":7,"attrs":[["data-controller",5],["x",null]]}
{"op":"message","id":7,"msg":{"i":7,"d":1.0,"big":2147483648,"u":{"$undefined":true},"a":[true,false,null,"s",-1e300]}}
{"op":"message","id":7,"msg":{"command":"GET_PID","custom":"req-2"}}
{"op":"run","ms":5000.5}
{"op":"dance"}
not json
SEED
printf '{"op":"create","id":"s"}\n{"op":"shutdown"}\n{"op":"create","id":"t"}\n' > "$out/pphost_line/shutdown"

# Publisher: a --stream text on the first line, a Y4M file after it.
y4m() {  # WIDTH HEIGHT FRAMES [HEADER EXTRA]
  printf 'YUV4MPEG2 W%d H%d F30:1 Ip A1:1 %s\n' "$1" "$2" "${4:-C420jpeg}"
  for _ in $(seq "$3"); do
    printf 'FRAME\n'
    head -c $(($1 * $2 + 2 * (($1 + 1) / 2) * (($2 + 1) / 2))) /dev/zero | tr '\0' '\120'
  done
}
{ printf 'name=/cam1;uid=u1;width=64;height=36;pattern=tile:200,60,40;label=1 ADA\n'; } > "$out/publisher/tile-label"
{ printf 'name=/cam2;format=NV12;width=32;height=18;padding=6;rotation=90;flip=yes;pattern=bars;stop-after=2\n'; } > "$out/publisher/bars-nv12"
{ printf 'name=/cam3;width=6;height=4;pattern=y4m:clip.y4m;pause-at=2;pause-ms=10\n'; y4m 6 4 2; } > "$out/publisher/y4m-stream"
{ printf 'name=/cam4;width=5;height=3;format=i420;pattern=solid:0,255,9;die-at=3;screen=1\n'; y4m 5 3 1 C420mpeg2; } > "$out/publisher/y4m-odd-die"
{ printf 'name=/x;width=1;label=way too long a label for the stream\n'; printf 'YUV4MPEG2 W0 H4 C444\nFRAME\n'; } > "$out/publisher/refused"
echo "seeds written to $out"
