#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Second, independent decode of the sample .Rn files.

The reference files in tests/data were written by our own decoder, so a
comparison against them only proves that the decoder did not change. This
script decodes the memory images again with nothing but the standard library,
following the instrument's memory layout, and checks every run list item,
every text export row and every k5dat.tmp row against that decode.

Usage: check_references.py REPO_ROOT    (exit 0: all agree, 1: mismatch)
"""
import datetime
import sys
from fractions import Fraction as F
from math import isqrt

MAX_REPORTED = 5  # mismatches printed per file


# --- 80-bit extended and 64-bit double arithmetic --------------------------
# The decoder computes in long double and stores date-times as doubles; the
# rounding of every intermediate result decides ties and truncations, so we
# round exact fractions to the same significand width after every operation.
def _round_bits(x, bits):
    x = F(x)
    if x == 0:
        return x
    sign, x = (-1, -x) if x < 0 else (1, x)
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if F(2) ** e > x:
        e -= 1
    scale = F(2) ** (bits - 1 - e)
    return sign * F(round(x * scale)) / scale  # round() on Fraction: halves to even


def ext(x):
    return _round_bits(x, 64)


def dbl(x):
    return _round_bits(x, 53)


def ext_sqrt(x):
    # Correctly rounded square root: 256 guard bits and a sticky half-unit.
    k = 256
    scaled = x * F(4) ** k
    r = isqrt(scaled.numerator // scaled.denominator)
    if F(r * r) != scaled:
        r = F(2 * r + 1, 2)
    return ext(F(r) / F(2) ** k)


def trunc(x):
    return int(x)  # int() of a Fraction truncates toward zero


def lit(text):
    return ext(F(text))  # a decimal constant as the compiler holds it


# --- Date-times: days since 30 Dec 1899 as a double --------------------------
EPOCH = datetime.date(1899, 12, 30)


def encode(year, month, day, hour, minute):
    days = (datetime.date(year, month, day) - EPOCH).days
    return dbl(days + dbl(F(hour * 60 + minute, 1440)))


def fields(t):
    # The date-time text is made from the value rounded to whole milliseconds,
    # as the platform's date-time break-down does; hours then come out whole.
    ms = round(t * 86400000)
    days, ms = divmod(ms, 86400000)
    d = EPOCH + datetime.timedelta(days=days)
    return d.year, d.month, d.day, ms // 3600000, ms // 60000 % 60


def now_as_datetime():
    n = datetime.datetime.now()
    return dbl((n.date() - EPOCH).days + F(
        ((n.hour * 60 + n.minute) * 60 + n.second) * 1000 + n.microsecond // 1000,
        86400000))


# --- Models ------------------------------------------------------------------
# size: bytes per hourly sample; low/hi_start/hi_end: valid address range;
# next_add: added to the next slot's start to give a slot's end; shown: how many
# fewer samples than counted a run shows (a K5 run shows one less);
# extra: slack in the read condition (a K8 sample is read while a >= end + 7).
MODELS = {
    0x31: dict(name="k5", size=2, low=255, hi_start=8192, hi_end=8192,
               next_add=0, shown=2, extra=0, env=False),
    0x32: dict(name="k6", size=6, low=255, hi_start=32768, hi_end=32768,
               next_add=0, shown=1, extra=0, env=False),
    0x33: dict(name="k7", size=6, low=512, hi_start=131071, hi_end=131071,
               next_add=6, shown=1, extra=0, env=True),
    0x34: dict(name="k8", size=8, low=512, hi_start=131072, hi_end=131071,
               next_add=6, shown=1, extra=7, env=True),
}


def bcd(b):
    return (b - 6 * (b // 16)) % 256


def pressure_coefficients(img):
    def word(i):
        w = img[i] * 256 + img[i + 1]
        return (-1, 65536 - w) if w & 0x8000 else (1, w)
    (s0, m0), (s1, m1), (s2, m2), (s3, m3) = (word(i) for i in (9, 11, 13, 15))
    return (F(s0 * (m0 & 0x7FFF), 8), F(s1 * (m1 & 0x7FFF), 8192),
            F(s2 * (m2 & 0x7FFF), 16384), F(s3 * ((m3 >> 2) & 0x1FFF), 4194304))


def environment(img, a, wide, coef):
    """Temperature, humidity and pressure of the sample ending at byte a."""
    if wide:  # K8: 16-bit words, temperature and pressure left-aligned 10 bits
        tadc = (img[a - 5] * 256 + img[a - 4]) >> 6
        hadc = img[a - 3] * 256 + img[a - 2]
        padc = (img[a - 7] * 256 + img[a - 6]) >> 6
        fs = 4096
    else:     # K7: three 8-bit high parts, their low bit pairs packed in a - 2
        low = img[a - 2]
        tadc = img[a - 4] * 4 + ((low >> 2) & 3)
        hadc = img[a - 5] * 4 + ((low >> 4) & 3)
        padc = img[a - 3] * 4 + ((low >> 6) & 3)
        fs = 1024
    t = ext(ext(ext(ext(tadc - lit("605.75")) / lit("-5.35")) + 7) * 10)
    t = ext(F(trunc(t)) / 10)
    h = trunc(ext(ext(ext(F(hadc, fs)) - lit("0.1515")) / lit("0.00636")))
    rh = ext(h / ext(lit("1.0546") - ext(lit("0.00216") * t)))
    a0, b1, b2, c12 = coef
    pcomp = ext(ext(a0 + ext(ext(b1 + ext(c12 * tadc)) * padc)) + ext(b2 * tadc))
    p = ext(ext(pcomp * lit("0.0635386119257087")) + 50)
    return t, rh, p


def decode(img, now):
    """Runs (first, last, start time) in list order and the packed samples."""
    m = MODELS[img[0]]
    name, size = m["name"], m["size"]
    long_addr = name in ("k7", "k8")

    def start_of(r):
        e = 16 + 8 * r
        if long_addr:
            return img[e] * 65536 + img[e + 1] * 256 + img[e + 2]
        return (img[e] & (0x7F if name == "k6" else 0xFF)) * 256 + img[e + 1]

    if long_addr:
        final = img[1] * 65536 + img[2] * 256 + img[3]
        write_end = final + 6
        last_slot_end = final + 6
    else:
        final = img[2] * 256 + img[3]
        mask = 0x7F if name == "k6" else 0xFF
        write_end = (img[2] & mask) * 256 + img[3]
        last_slot_end = (img[15] & mask) * 256 + img[16]
    dir_slot = img[6] // 8
    calib = ext(img[7] + ext(F(img[8], 100)))
    coef = pressure_coefficients(img) if m["env"] else None

    runs, written, f = [], {}, 0
    for r in range(1, 28):
        start = start_of(r)
        end = start_of(r + 1) + m["next_add"] if r < 27 else last_slot_end
        if r == dir_slot - 1:
            end = write_end
        empty = not (m["low"] <= start <= m["hi_start"] and m["low"] <= end <= m["hi_end"])
        if r == dir_slot:
            end = final  # the slot being written ends at the write pointer, unchecked
        empty = empty or end == start
        t0 = 16 + 8 * r + (3 if long_addr else 2)
        mi, hr, dy, mo, yr = (bcd(b) for b in img[t0:t0 + 5])
        empty = empty or mi > 60 or hr > 24 or not 1 <= dy <= 31 or not 1 <= mo <= 12
        if empty:
            continue
        # A minute of 60 or an impossible day stops the program's decode with a
        # message; no reference file could exist then, so we stop as well.
        if mi == 60 or hr == 24:
            raise ValueError(f"slot {r}: invalid start time {hr}:{mi}")
        start_time = encode(2000 + yr, mo, dy, hr, mi)  # a bad day raises here
        if long_addr and start_time - now > F(1, 86400000):
            continue  # K7/K8 runs that start in the future are left out
        c = abs(start - end) // size * (1 if start >= end else -1)
        if c < 0:
            c = 0  # a run crossing the top of memory: listed, but without samples
        first = f
        runs.append((first, first + c - m["shown"], start_time))
        f += c
        k, n = 1, 0
        while start - k >= end + m["extra"]:
            a = start - k
            p = img[a - 1] * 256 + img[a]
            conc = ext(p * calib)
            err = trunc(ext(conc * ext_sqrt(ext(F(1, p))))) if p > 0 else 0
            time = dbl(start_time + ext(F(n + 1, 24)))
            env = environment(img, a, name == "k8", coef) if m["env"] else ()
            written[first + n] = (time, conc, err) + env
            k += size
            n += 1

    # Stable sort by start time; the all-zero entry and the sentinel of the
    # program's insertion sort fall away at both ends, so a plain stable sort
    # gives the same order for start times before 2101.
    runs.sort(key=lambda run: run[2])
    packed, listed = [], []
    for first, last, start_time in runs:
        q0 = len(packed)
        packed.extend(written[i] for i in range(first, last + 1))
        listed.append((q0, len(packed) - 1, start_time))
    return listed, packed


# --- Expected text -----------------------------------------------------------
def run_item(run):
    first, last, start_time = run
    _, mo, dy, hr, mi = fields(start_time)
    _, mo2, dy2, hr2, _ = fields(dbl(start_time + ext(F(last - first + 1, 24))))
    return f"{dy:02d}/{mo:02d} {hr:02d}.{mi:02d} TO {dy2:02d}/{mo2:02d} {hr2:02d}.xx"


def export_fields(sample, env):
    yr, mo, dy, hr, mi = fields(sample[0])
    out = [("time", f"{yr % 100:02d}/{mo:02d}/{dy:02d} {hr:02d}:{mi:02d}"),
           ("Bq/m3", str(round(sample[1]))), ("error", str(sample[2]))]
    if env:
        out += [("temperature", str(round(sample[3]))),
                ("humidity", str(round(sample[4]))),
                ("pressure", str(round(sample[5]))), ("line end", "")]
    return out


def k5dat_fields(sample):
    _, mo, dy, hr, _ = fields(sample[0])
    return [("time", f"{dy:02d}/{mo:02d} {hr:02d}.00"), ("Bq/m3", str(round(sample[1])))]


# --- Comparison --------------------------------------------------------------
def compare(path, expected, crlf):
    """expected: one list of (field name, text) per line; returns mismatch count."""
    with open(path, "rb") as fh:
        text = fh.read().decode("latin-1")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    else:
        lines.append(None)  # the last line has no line end
    bad = []
    for no, want in enumerate(expected, 1):
        got = lines[no - 1] if no <= len(lines) else None
        if got is None:
            bad.append(f"line {no}: missing or not ended, expected {'; '.join(t for _, t in want)!r}")
            continue
        if crlf and not got.endswith("\r"):
            bad.append(f"line {no}: does not end with CR LF")
        parts = got.rstrip("\r").split("; ")
        if len(parts) != len(want):
            bad.append(f"line {no}: {len(parts)} fields, expected {len(want)}: {got.rstrip()!r}")
            continue
        bad += [f"line {no}: {name} expected {w!r}, found {g!r}"
                for (name, w), g in zip(want, parts) if w != g]
    if len(lines) > len(expected):
        bad.append(f"line {len(expected) + 1}: {len(lines) - len(expected)} extra line(s)")
    for msg in bad[:MAX_REPORTED]:
        print(f"  {path}: {msg}")
    print(f"{path}: {len(expected)} rows checked, {len(bad)} mismatches")
    return len(bad)


def main(root):
    now = now_as_datetime()
    failures = 0
    for model in ("k5", "k6", "k7", "k8"):
        with open(f"{root}/samples/{model}-sample.Rn", "rb") as fh:
            img = fh.read()
        runs, samples = decode(img, now)
        env = model in ("k7", "k8")
        data = f"{root}/tests/data/{model}-sample"
        # The run list file holds the run items only, one a line.
        failures += compare(f"{data}.runs.txt", [[("item", run_item(r))] for r in runs], False)
        header = "Time; Bqm3; Error" + ("; Temperature; Humidity%; Presssure" if env else "")
        rows = [[("header", h) for h in header.split("; ")]]
        rows += [export_fields(s, env) for s in samples]
        failures += compare(f"{data}.export.txt", rows, True)
        failures += compare(f"{data}.k5dat.txt", [k5dat_fields(s) for s in samples], True)
    print("all reference files agree" if not failures else f"{failures} mismatches")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: check_references.py REPO_ROOT")
    sys.exit(main(sys.argv[1]))
