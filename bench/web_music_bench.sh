#!/usr/bin/env bash
# How close the single-file page's music (Opus, encoded from the generator's samples) comes to
# the 192 kbit/s MP3: the long-term level of each third-octave band from 25 Hz to 16 kHz, both
# decoded, and the difference in dB. Prints one line a band and the largest difference up to
# 15 kHz (the band centred on 12.5 kHz reaches 14.1 kHz; the one on 16 kHz is shown apart).
# Usage: web_music_bench.sh <reference.mp3> <candidate> (e.g. build/runtime/demotune.mp3
# build-web-obj/demotune.ogg)
set -euo pipefail
centres=(25 31.5 40 50 63 80 100 125 160 200 250 315 400 500 630 800 1000 1250 1600 2000 2500
  3150 4000 5000 6300 8000 10000 12500 16000)

# The overall RMS level in each band, in the order of the centres.
band_levels() {
  local graph="[0:a]aresample=48000,pan=mono|c0=0.5*c0+0.5*c1,asplit=${#centres[@]}"
  local i maps=()
  for i in "${!centres[@]}"; do graph+="[s$i]"; done
  for i in "${!centres[@]}"; do
    graph+=";[s$i]bandpass=f=${centres[$i]}:t=q:w=4.32,bandpass=f=${centres[$i]}:t=q:w=4.32,"
    graph+="astats=measure_perchannel=none:measure_overall=RMS_level[o$i]"
    maps+=(-map "[o$i]" -f null -)
  done
  ffmpeg -hide_banner -nostats -i "$1" -filter_complex "$graph" "${maps[@]}" 2>&1 |
    awk '/Parsed_astats_/ { match($0, /Parsed_astats_[0-9]+/); id = substr($0, RSTART + 14, RLENGTH - 14) }
         /RMS level dB/ { print id, $NF }' | sort -n | awk '{ print $2 }'
}

mapfile -t reference < <(band_levels "$1")
mapfile -t candidate < <(band_levels "$2")
echo "band (Hz)  reference dB  candidate dB  difference"
worst=0
for i in "${!centres[@]}"; do
  difference=$(awk -v a="${candidate[$i]}" -v b="${reference[$i]}" 'BEGIN { printf "%+.2f", a - b }')
  printf '%9s  %12.2f  %12.2f  %s\n' "${centres[$i]}" "${reference[$i]}" "${candidate[$i]}" "$difference"
  if [ "${centres[$i]}" != 16000 ]; then
    worst=$(awk -v w="$worst" -v d="$difference" 'BEGIN { d = d < 0 ? -d : d + 0; printf "%.2f", (d > w ? d : w) }')
  fi
done
echo "largest difference up to 15 kHz: $worst dB"
