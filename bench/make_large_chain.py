#!/usr/bin/env python3
"""Writes one large single-chain PDB file by tiling copies of a real chain in space.

usage: make_large_chain.py SOURCE.pdb ATOMS OUT.pdb [CHAIN]

The ATOM records of SOURCE's chain (default A; '_' for a blank chain), up to its
first TER, are copied side by side on a cubic lattice (copies 4 A apart beyond
the chain's extent) until ATOMS atom lines are written, as chain A. Serial
numbers run on from 1 and residue numbers from 1 across the copies (modulo
100000 and 10000, as their columns allow), so the reader sees one long chain.
"""
import math
import sys


def chain_atoms(path, chain):
    wanted = " " if chain == "_" else chain
    atoms = []
    for line in open(path):
        if line.startswith("ATOM") and len(line) > 54 and line[21] == wanted:
            atoms.append(line.rstrip("\n"))
        elif line.startswith(("TER", "END")) and atoms:
            break
    return atoms


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    source, count, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    atoms = chain_atoms(source, sys.argv[4] if len(sys.argv) == 5 else "A")
    if not atoms:
        sys.exit(f"no ATOM record of that chain in {source}")
    coords = [(float(a[30:38]), float(a[38:46]), float(a[46:54])) for a in atoms]
    low = [min(c[d] for c in coords) for d in range(3)]
    step = [max(c[d] for c in coords) - low[d] + 4.0 for d in range(3)]
    copies = -(-count // len(atoms))
    side = math.ceil(copies ** (1.0 / 3.0))
    serial = 0
    residue = 0
    with open(out, "w") as f:
        for copy in range(copies):
            shift = [(copy % side), (copy // side) % side, copy // (side * side)]
            previous = None
            for line, xyz in zip(atoms, coords):
                if serial == count:
                    break
                if line[22:27] != previous:
                    previous = line[22:27]
                    residue += 1
                serial += 1
                x, y, z = (xyz[d] - low[d] + shift[d] * step[d] for d in range(3))
                f.write("%s%5d%s A%4d %s%8.3f%8.3f%8.3f%s\n" % (line[0:6], serial % 100000, line[11:20],
                                                                residue % 10000, line[27:30], x, y, z, line[54:]))
        f.write("TER\nEND\n")


if __name__ == "__main__":
    main()
