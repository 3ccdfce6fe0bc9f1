#!/usr/bin/env bash
# Render benchmark through the built VST2 module, against two Debian VST2 synthesizers, all played
# by zr4400-render with the same MIDI: held chords of 1, 16 and 64 keys, and the same length with
# no note (the plug-in's idle cost, subtracted to get the cost of its voices).
#
#   scripts/bench-render.sh [build-dir] [seconds] [sample rate] [block size]
#
# Prints each plug-in's real-time factor per chord (seconds of audio per second of wall time of
# the render loop; run it on an otherwise quiet machine) and its CPU per sounding voice:
#   (1 / rtf(chord) - 1 / rtf(silence)) / sounding voices
# and ours as a ratio to each peer's. Sounding voices assumed: ZR-4400 three per key (one in each
# block); amsynth one per key; ZynAddSubFX one per key (its default instrument: one AD voice, no
# unison), at most 15: its part plays at most 15 keys at once by default (key limit), which the
# measured cost per key confirms (16 and 64 held keys cost the same).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
seconds=${2:-10}
rate=${3:-44100}
block=${4:-512}
render="$root/$build/tools/render/zr4400-render"
ours="$root/$build/ZR440064.so"
zyn=/usr/lib/vst/ZynAddSubFX.so
amsynth=/usr/lib/vst/amsynth_vst.so
for f in "$render" "$ours"; do [[ -e $f ]] || { echo "missing $f: build first" >&2; exit 1; }; done
for f in "$zyn" "$amsynth"; do
    [[ -e $f ]] || { echo "missing $f: apt-get install zynaddsubfx-vst amsynth" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -r -- "$work"' EXIT
# The peers read and write settings under HOME; keep them away from the user's.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$XDG_CONFIG_HOME"

# Format-0 MIDI file: `keys` notes from 60 - keys/2 on at 0, off after `seconds` (480 ticks per
# quarter at 120 bpm); keys 0 holds a silent stretch of the same length.
make_midi() {
    python3 - "$1" "$2" "$seconds" <<'PY'
import struct, sys
path, keys, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)
first = 60 - keys // 2
end = int(seconds * 960)  # 480 ticks per beat, 2 beats per second
events = b''.join(vlq(0) + bytes([0x90, first + k, 100]) for k in range(keys))
if keys:
    events += b''.join(vlq(end if k == 0 else 0) + bytes([0x80, first + k, 0]) for k in range(keys))
else:
    events += vlq(end) + bytes([0xB0, 1, 0])  # a controller marks the end of the stretch
events += vlq(0) + b'\xff\x2f\x00'
with open(path, 'wb') as f:
    f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 480))
    f.write(b'MTrk' + struct.pack('>I', len(events)) + events)
PY
}

rtf() { # plugin midi -> real-time factor
    "$render" --plugin "$1" --rate "$rate" --block "$block" --tail 0 "$2" -o "$work/out.wav" 2>/dev/null |
        awk '/^real-time factor:/ {print $3}'
}

voices() { # plugin keys -> sounding voices
    case $1 in
        ours) echo $((3 * $2)) ;;
        zyn) echo $(($2 < 15 ? $2 : 15)) ;;
        *) echo "$2" ;;
    esac
}

for keys in 0 1 16 64; do make_midi "$work/chord$keys.mid" "$keys"; done

declare -A result
printf '%-9s %-5s %-7s %-10s %-16s\n' plug-in keys voices rtf "cpu/voice (ms/s)"
for name in ours zyn amsynth; do
    case $name in ours) module=$ours ;; zyn) module=$zyn ;; amsynth) module=$amsynth ;; esac
    idle=$(rtf "$module" "$work/chord0.mid")
    printf '%-9s %-5s %-7s %-10s %-16s\n' "$name" 0 0 "$idle" -
    for keys in 1 16 64; do
        r=$(rtf "$module" "$work/chord$keys.mid")
        v=$(voices "$name" "$keys")
        perVoice=$(awk -v r="$r" -v i="$idle" -v v="$v" 'BEGIN { printf "%.4f", (1 / r - 1 / i) * 1000 / v }')
        result[$name$keys]=$perVoice
        printf '%-9s %-5s %-7s %-10s %-16s\n' "$name" "$keys" "$v" "$r" "$perVoice"
    done
done

echo
echo "ZR-4400 CPU per sounding voice as a ratio to the peer's (below 1: cheaper)"
for keys in 1 16 64; do
    awk -v k="$keys" -v o="${result[ours$keys]}" -v z="${result[zyn$keys]}" -v a="${result[amsynth$keys]}" \
        'BEGIN { printf "keys %-3d  vs zynaddsubfx %.3f   vs amsynth %.3f\n", k, o / z, o / a }'
done
