#!/usr/bin/env python3
"""Times commands in turn, round after round (A B C, A B C, ...), and reports
each one's median wall and processor time and the median of its ratios to the
first command within the same round.

On a shared machine whose speed drifts over minutes, a ratio taken within one
round compares runs made seconds apart; hyperfine's one-command-after-another
order lets the drift fall between the commands.

usage: bench/interleave.py ROUNDS NAME=COMMAND NAME=COMMAND ...
A command is split on blanks (no shell); its output is discarded and its exit
status ignored.
"""
import os
import resource
import shlex
import statistics
import subprocess
import sys
import time


def run_once(argv):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def main():
    if len(sys.argv) < 3 or not sys.argv[1].isdigit():
        sys.exit(__doc__.split("\n\n")[2])
    rounds = int(sys.argv[1])
    commands = []
    for spec in sys.argv[2:]:
        name, _, command = spec.partition("=")
        commands.append((name, shlex.split(command)))
    for _, argv in commands:  # warm-up: files into the page cache
        run_once(argv)
    wall = {name: [] for name, _ in commands}
    cpu = {name: [] for name, _ in commands}
    for _ in range(rounds):
        for name, argv in commands:
            w, c = run_once(argv)
            wall[name].append(w)
            cpu[name].append(c)
    first = commands[0][0]
    print("%-10s %12s %12s %14s %14s" % ("command", "wall median", "cpu median", "wall ratio", "cpu ratio"))
    for name, _ in commands:
        wall_ratio = statistics.median(a / b for a, b in zip(wall[first], wall[name]))
        cpu_ratio = statistics.median(a / b for a, b in zip(cpu[first], cpu[name]))
        print("%-10s %10.3f s %10.3f s %14.2f %14.2f" % (name, statistics.median(wall[name]),
                                                       statistics.median(cpu[name]), wall_ratio, cpu_ratio))
    print("(ratios: %s / command, the median over %d rounds; load average %s)" %
          (first, rounds, " ".join("%.2f" % x for x in os.getloadavg())))


if __name__ == "__main__":
    main()
