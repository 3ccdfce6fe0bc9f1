#!/usr/bin/env python3
"""Writes examples/demo.mid: a 24-second demo song for the ZR-4400 (chords, bass and melody).

A Standard MIDI File of format 1 at 90 beats per minute: a tempo track and three instrument
tracks on MIDI channel 1, nine bars in A minor (Am F C G Am F G E, then a closing Am).
Usage: python3 scripts/make-demo-mid.py [OUT.mid]   (default: examples/demo.mid)
"""
import os
import struct
import sys

TICKS_PER_QUARTER = 480
BEATS_PER_MINUTE = 90
BAR = 4 * TICKS_PER_QUARTER
CHANNEL = 0

# Chords of the nine bars as MIDI notes (voiced around middle C), the bass roots below them.
CHORDS = [
    [57, 60, 64], [53, 57, 60], [55, 60, 64], [55, 59, 62],
    [57, 60, 64], [53, 57, 60], [55, 59, 62], [56, 59, 64], [57, 60, 64, 69],
]
BASS_ROOTS = [45, 41, 48, 43, 45, 41, 43, 40, 33]
# Melody per bar: (note, length in quarters); 0 is a rest.
MELODY = [
    [(76, 1.5), (74, 0.5), (72, 1), (71, 1)],
    [(72, 2), (69, 1), (72, 1)],
    [(79, 1.5), (77, 0.5), (76, 1), (72, 1)],
    [(74, 3), (0, 1)],
    [(76, 1), (79, 1), (81, 1.5), (79, 0.5)],
    [(77, 1), (76, 1), (74, 1), (72, 1)],
    [(71, 1.5), (72, 0.5), (74, 1), (79, 1)],
    [(76, 3), (0, 1)],
    [(81, 4)],
]


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def track(events):
    """events: (absolute tick, bytes) pairs; note-offs sort before note-ons at the same tick."""
    data = b""
    now = 0
    for tick, message in sorted(events, key=lambda e: (e[0], e[1][0] & 0xF0 != 0x80)):
        data += variable_length(tick - now) + message
        now = tick
    data += variable_length(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + data


def note(events, start, length, pitch, velocity):
    events.append((start, bytes([0x90 | CHANNEL, pitch, velocity])))
    events.append((start + length, bytes([0x80 | CHANNEL, pitch, 0])))


def main():
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "examples", "demo.mid")
    microseconds = 60_000_000 // BEATS_PER_MINUTE
    tempo = [(0, b"\xff\x51\x03" + microseconds.to_bytes(3, "big")),
             (0, b"\xff\x58\x04\x04\x02\x18\x08")]

    chords, bass, melody = [], [], []
    for bar, chord in enumerate(CHORDS):
        start = bar * BAR
        last = bar == len(CHORDS) - 1
        for pitch in chord:
            note(chords, start, BAR * (2 if last else 1) - 10, pitch, 70)
        root = BASS_ROOTS[bar]
        if last:
            note(bass, start, 2 * BAR - 10, root, 96)
        else:
            for beat, pitch in enumerate([root, root, root + 7, root + 12]):
                note(bass, start + beat * TICKS_PER_QUARTER, TICKS_PER_QUARTER - 60, pitch, 92 if beat == 0 else 80)
        position = start
        for pitch, quarters in MELODY[bar]:
            length = int(quarters * TICKS_PER_QUARTER)
            if pitch:
                note(melody, position, length - 30 if not last else 2 * BAR - 10, pitch, 100)
            position += length

    header = b"MThd" + struct.pack(">IHHH", 6, 1, 4, TICKS_PER_QUARTER)
    with open(out_path, "wb") as f:
        f.write(header + track(tempo) + track(chords) + track(bass) + track(melody))


if __name__ == "__main__":
    main()
