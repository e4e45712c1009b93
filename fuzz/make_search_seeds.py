#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_search (see the layout at the top of fuzz_search.cpp)."""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
OUT = HERE / "corpus" / "fuzz_search"

# name: (mode, N, E1, F, RG4, RG5, RG6, class, R)
SEEDS = {
    "defaults-class1": (0, 71, 20, 6, 0, 0, 0, 0, 0),
    "defaults-class3": (0, 71, 20, 6, 0, 0, 0, 2, 0),
    "round4-three-quarters": (0, 71, 20, 6, 1, 0, 0, 0, 0),
    "e1-zero": (0, 71, 0, 6, 0, 0, 0, 0, 0),
    "e1-not-multiple-of-4": (0, 71, 22, 6, 0, 0, 0, 1, 0),
    "e1-above-n": (0, 20, 71, 6, 0, 0, 0, 0, 0),
    "eighty": (0, 80, 24, 6, 0, 0, 0, 1, 0),
    "negative-counts": (0, -40, -100, -3, 1, 1, 1, 0, 0),
    "raw-round4": (2, 71, 20, 0, 0, 0, 0, 0, 47),
    "large": (1, 100000, 30000, 600, 0, 1, 0, 0, 0),
    "extremes": (1, 2**31 - 1, -(2**31), 2**31 - 1, 1, 1, 1, 2, 0),
    "extremes-low": (1, -(2**31), 2**31 - 1, -(2**31), 0, 0, 0, 0, 0),
    "raw-huge": (3, 2**31 - 1, -(2**31), 0, 0, 0, 0, 0, 2**40 - 1),
}

for name, (mode, n, e1, f, rg4, rg5, rg6, cls, r) in SEEDS.items():
    data = struct.pack("<BiiibbbBq", mode, n, e1, f, rg4, rg5, rg6, cls, r)
    (OUT / name).write_bytes(data)
