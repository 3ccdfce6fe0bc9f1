#!/usr/bin/env python3
"""Writes the initial fuzz corpora into fuzz/corpus/<target>/ from the factory bank image.

Usage: make_corpus.py <factory-bank.fxb> <corpus-folder>
Valid files, their truncations and edge cases; random inputs come from a fixed rng start value,
so the corpus is the same on every run."""
import random
import struct
import sys
from pathlib import Path

N_PARAMS = 229
N_PRESETS = 64
BANK_HEADER = 160
TAG = b"ZR-4400_1.2.2"
CHUNK_HEADER = b"tffp" + struct.pack("<i", 0x00010000)


def read_string(data, pos):
    (length,) = struct.unpack_from("<i", data, pos)
    pos += 4
    length = max(length, 0)
    return data[pos:pos + length], pos + length


def state_length(data, pos):
    _, end = read_string(data, pos + len(TAG) + 4)
    return end + 8 * N_PARAMS - pos


def split_bank(bank_chunk):
    """The slots of a bank chunk as (name, state bytes)."""
    pos = len(CHUNK_HEADER)
    slots = []
    for _ in range(N_PRESETS):
        name, pos = read_string(bank_chunk, pos)
        initialised = bank_chunk[pos]
        pos += 1
        state = b""
        if initialised:
            size = state_length(bank_chunk, pos)
            state = bank_chunk[pos:pos + size]
            pos += size
        slots.append((name, state))
    return slots


def put_string(text):
    return struct.pack("<i", len(text)) + text


def fxp(name, chunk):
    header = b"CcnK" + struct.pack(">i", len(chunk) + 60) + b"FPCh" + struct.pack(">iiii", 1, 0x7A723434, 10205, N_PARAMS)
    return header + name[:27].ljust(28, b"\0") + struct.pack(">i", len(chunk)) + chunk


def regular_fxp(name, floats, with_size=True):
    body = b"".join(struct.pack(">f", x) for x in floats)
    header = b"CcnK" + struct.pack(">i", len(body) + 48) + b"FxCk" + struct.pack(">iiii", 1, 0x7A723434, 10205, len(floats))
    return header + name[:27].ljust(28, b"\0") + body


def regular_fxb(programs):
    body = b"".join(programs)
    header = b"CcnK" + struct.pack(">i", len(body) + 148) + b"FxBk" + struct.pack(">iiiii", 2, 0x7A723434, 10205, len(programs), 0)
    return header + bytes(124) + body


def write(folder, name, data):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    bank_file = Path(sys.argv[1]).read_bytes()
    out = Path(sys.argv[2])
    rng = random.Random(4400)
    bank_chunk = bank_file[BANK_HEADER:]
    slots = split_bank(bank_chunk)
    name0, state0 = slots[0]
    name5, state5 = slots[5]
    program_chunk = CHUNK_HEADER + state5 + put_string(name5)
    bare = b"".join(struct.pack("<d", rng.random()) for _ in range(N_PARAMS))
    nan_state = state0[:-8 * N_PARAMS] + struct.pack("<d", float("nan")) * N_PARAMS
    huge_state = state0[:-8 * N_PARAMS] + struct.pack("<d", 1e300) * N_PARAMS

    d = out / "fuzz_program_state"
    for i, (kind, data) in enumerate([(0, state0), (0, nan_state), (0, huge_state), (0, bare), (1, program_chunk),
                                      (1, state5), (1, program_chunk[:len(program_chunk) // 2]), (2, bank_chunk),
                                      (2, bank_chunk[:5000]), (3, program_chunk), (3, bank_chunk), (1, b"tffp")]):
        write(d, f"case{i:02d}", bytes([kind]) + data)

    d = out / "fuzz_bank"
    write(d, "factory", bank_chunk)
    write(d, "half", bank_chunk[:len(bank_chunk) // 2])
    write(d, "names-only", CHUNK_HEADER + b"".join(put_string(b"x") + b"\0" for _ in range(N_PRESETS)))
    write(d, "negative-length", CHUNK_HEADER + struct.pack("<i", -5) + b"\1" + state0)

    d = out / "fuzz_program_files"
    floats = [rng.random() for _ in range(N_PARAMS)]
    cases = [(1, bank_file), (1, bank_file[:BANK_HEADER + 100]), (1, bank_file[:BANK_HEADER]),
             (0, fxp(name0, CHUNK_HEADER + state0)), (0, fxp(name5, state5)), (0, fxp(b"nan", CHUNK_HEADER + nan_state)),
             (0, regular_fxp(b"regular", floats)), (0, regular_fxp(b"short", floats[:10])),
             (1, regular_fxb([regular_fxp(b"p%d" % i, floats) for i in range(N_PRESETS)])),
             (1, regular_fxb([regular_fxp(b"p", floats[:3])]))]
    for i, (kind, data) in enumerate(cases):
        write(d, f"case{i:02d}", bytes([kind]) + data)

    d = out / "fuzz_scala"
    write(d, "equal", b"! equal.scl\n!\n12-tone equal temperament\n 12\n!\n" +
          b"".join(b" %d.0\n" % (100 * k) for k in range(1, 12)) + b" 2/1\n")
    write(d, "ratios", b"Just\n12\n!\n16/15\n9/8\n6/5\n5/4\n4/3\n45/32\n3/2\n8/5\n5/3\n9/5\n15/8\n2/1\n")
    write(d, "short", b"few notes\n 3\n 100.0\n 0/0\n -5\n")
    write(d, "odd", b"\r\n\r\n 99999999999999999999\n1e308.\n.\n2147483648/1\n1/2147483648\n   \t 701.955 cents\n")

    d = out / "fuzz_ini"
    write(d, "config", b"Startup Bank\\\nFile\\\n/home/u/bank.fxb\\\n[Startup Bank]\nFile=/home/u/bank.fxb\n"
          b"[Global]\nPath to Program Files=/home/u/programs\n[MIDI Global]\nMIDI Thru=1\nIgnore Program Change=0\n"
          b"[MIDI Control]\nCC1=12\nCC7=  -1\nCC119=228\n")
    write(d, "odd", b"midi control\\\ncc1\\\n\"quoted\"\\\n;comment\r[MIDI Control\r\nCC1 = \"12\"\r=x\n[]\n[a]]\nk=v=w\n")

    for target, count, length in [("fuzz_midi", 12, 400), ("fuzz_dispatcher", 16, 2000)]:
        d = out / target
        for i in range(count):
            write(d, f"random{i:02d}", bytes(rng.randrange(256) for _ in range(length)))
        write(d, "zeros", bytes(length))


if __name__ == "__main__":
    main()
