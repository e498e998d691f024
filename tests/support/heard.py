"""What a sound device wrote into a file (Wine's ALSA output, raw 16-bit mono):
whether anything was heard after a point, and whether it was a given sound.

    heard.py RAW FROM_BYTE [REFERENCE]

Exit status: 0 heard (and, with REFERENCE, it is that sound, sample for
sample, from its first sample that is not silence); 1 nothing but silence yet;
2 heard, but not all of REFERENCE has arrived yet; 3 heard something else.
"""
import array
import sys

SILENCE = 16  # as the voice counts it: quieter samples before a sound are left out


def samples(path, start=0):
    a = array.array("h")
    try:
        with open(path, "rb") as f:
            f.seek(start - start % 2)
            data = f.read()
    except FileNotFoundError:
        return a
    a.frombytes(data[: len(data) - len(data) % 2])
    if sys.byteorder != "little":
        a.byteswap()
    return a


def main():
    raw, start = sys.argv[1], int(sys.argv[2])
    got = samples(raw, start)
    first = next((i for i, s in enumerate(got) if abs(s) >= SILENCE), None)
    if first is None:
        print("silence")
        return 1
    if len(sys.argv) < 4:
        print(f"heard from byte {start + 2 * first}")
        return 0
    want = samples(sys.argv[3])
    part = got[first : first + len(want)]
    if len(part) < len(want):
        return 2 if part == want[: len(part)] else 3
    if part != want:
        differing = sum(1 for a, b in zip(part, want) if a != b)
        print(f"heard another sound: {differing} of {len(want)} samples differ")
        return 3
    print(f"heard it: {len(want)} samples from byte {start + 2 * first}")
    return 0


sys.exit(main())
