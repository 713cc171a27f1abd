#!/usr/bin/env bash
# Builds the browser version into build-web/: index.html, page.js, player.js, heptad.js, heptad.wasm
# (the same C++ compiled by Emscripten for WebGL 2), heptad.data (the shaders and images at their
# usual relative paths) and demotune.mp3, which the browser streams. Any static web server can
# host the folder; heptad.html holds all of it in one file, to open without a server. The data
# comes from the desktop build's generators (build/runtime), so that is built first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-web"
objects="$root/build-web-obj"
"$root/scripts/build.sh" play
runtime="$root/build/runtime"

# Debian's emcc needs Debian's node modules on its path.
export NODE_PATH=/usr/share/nodejs
mkdir -p "$out" "$objects/include"
# Only the header-only libraries of the system, not its C headers, go on the include path.
ln -sfn /usr/include/glm "$objects/include/glm"
ln -sfn /usr/include/stb "$objects/include/stb"

# The rooms the page uses, each room's web/ variant in place of the native file it replaces.
sources=(
  src/schedule/*.cpp
  src/render/*.cpp src/render/web/*.cpp src/audio/web/*.cpp
  src/ibl/*.cpp src/scenes/*.cpp src/flash/*.cpp
  src/demo/frame.cpp src/demo/keys.cpp src/demo/startup.cpp
  src/demo/frame_plan.cpp src/demo/frame_at.cpp src/demo/transport.cpp src/demo/transport_keys.cpp
  src/demo/demo_session.cpp
  src/base/data_file.cpp src/base/option_table.cpp src/base/option_words.cpp src/web/*.cpp
)
# The shared sound engine header keeps a pointer that only the desktop engine uses.
flags=(-std=c++17 -O2 -Wall -Wextra -Wno-unused-private-field -fexceptions -I"$root/src"
       -isystem "$objects/include" -isystem "$objects/include/stb")

# Each source compiled only when it or a header it includes changed.
cd "$root"
objs=()
for source in ${sources[@]}; do
  obj="$objects/${source//\//_}.o"
  objs+=("$obj")
  if [ -f "$obj" ] && [ -f "$obj.d" ] && ! find $(sed -e 's/^[^:]*://' -e 's/\\$//' "$obj.d") \
      -newer "$obj" 2>/dev/null | grep -q .; then
    continue
  fi
  echo "emcc $source"
  nice em++ "${flags[@]}" -MMD -MF "$obj.d" -c "$source" -o "$obj"
done

# The pictures, re-compressed without loss for the download: stb's PNG writer packs them loosely
# (2.7 to 3 MB each), zlib at its best with a filter per row gets them to about 1.7 MB. Each one
# is decoded again and must give the same pixels. Each product is made under a temporary name
# outside the packed folder and renamed once complete: an interrupted build leaves no partial
# file that would look newer than its source and be packed.
mkdir -p "$objects/imgs"
for picture in "$runtime"/imgs/*; do
  packed="$objects/imgs/$(basename "$picture")"
  [ "$picture" -nt "$packed" ] || continue
  partial="$objects/partial-$(basename "$picture")"
  rm -f "$partial"
  case "$picture" in
    *.png)
      ffmpeg -loglevel error -y -i "$picture" -compression_level 9 -pred mixed "$partial"
      if ! cmp -s <(ffmpeg -loglevel error -i "$picture" -f rawvideo -) \
                  <(ffmpeg -loglevel error -i "$partial" -f rawvideo -); then
        echo "re-compressing $picture changed its pixels" >&2
        rm -f "$partial"
        exit 1
      fi
      ;;
    *) cp "$picture" "$partial" ;;
  esac
  mv -f "$partial" "$packed"
done

# The data package: every shader and picture the program opens, at the same relative paths.
data=(--preload-file "$runtime/labShaders@labShaders" --preload-file "$runtime/labshaders@labshaders"
      --preload-file "$objects/imgs@imgs")
# Linked for size: binaryen's size passes over the module compiled at -O2 take 45 kB off the
# program, which keeps heptad.html under 12 MB with the flash limiter in it.
nice em++ "${objs[@]}" -Os -fexceptions -o "$out/heptad.js" "${data[@]}" \
  -sUSE_GLFW=3 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1 \
  -sMODULARIZE=1 -sEXPORT_NAME=createHeptad -sINVOKE_RUN=0 -sEXIT_RUNTIME=0 \
  -sEXPORTED_RUNTIME_METHODS=callMain,FS -sENVIRONMENT=web \
  -sEXPORTED_FUNCTIONS=_main,_heptadDemoSeconds,_heptadPaused,_heptadSetPaused,_heptadSeek,_heptadSceneStart,_heptadDuration
cp "$root/web/index.html" "$root/web/page.js" "$root/web/player.js" "$out/"
cp "$runtime/demotune.mp3" "$out/"

# heptad.html: all of the above in one file that plays offline from the file system. Its music
# is encoded from the generator's own samples (build/demotune.wav) as Opus at 120 kbit/s, held
# there (left free, this music takes it to 136), which keeps the page under 12 MB with base64's
# third added; the folder keeps the 192 kbit/s MP3.
music="$objects/demotune.ogg"
if [ "$root/build/demotune.wav" -nt "$music" ]; then
  ffmpeg -loglevel error -y -i "$root/build/demotune.wav" -c:a libopus -b:a 120k -vbr constrained \
    "$objects/partial-demotune.ogg"
  mv -f "$objects/partial-demotune.ogg" "$music"
fi
python3 "$root/scripts/single-file.py" "$out" "$music" "$out/heptad.html"
echo "Built $out (heptad.html: $(($(stat -c %s "$out/heptad.html") / 1000)) kB)"
