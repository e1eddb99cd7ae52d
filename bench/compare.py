#!/usr/bin/env python3
"""Times ozip against the extractors users would otherwise pick, on the same
archives, in alternating rounds, and prints medians and ratios to unzip.

usage: compare.py --ozip PATH --dir ARCHIVE_DIR [--archives zip6,tiny,big]
                  [--tools ozip,unzip,bsdtar,7zz] [--rounds 5] [--scratch DIR]
                  [--mode extract|test]

With --mode test the tools test the archives instead (ozip t, unzip -tq, 7zz t;
bsdtar has no test); nothing is written, so only the exit statuses are checked.

Before every run the scratch folder is emptied and `sync` is called (not
timed). Wall time is measured around the process; /usr/bin/time gives user and
system time and peak RSS. In the first round every tool's output is checked
against the first tool's output (file count and bytes) so a fast wrong run
cannot pass unnoticed.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time


def command(tool, ozip, archive, out, mode="extract"):
    if mode == "test":
        tests = {"ozip": [ozip, "t", archive], "unzip": ["unzip", "-tq", archive],
                 "7zz": ["7zz", "t", "-bso0", "-bsp0", archive]}
        if tool not in tests:
            raise SystemExit(tool + " has no test mode")
        return tests[tool]
    if tool == "ozip":
        return [ozip, "x", archive, out]
    if tool == "unzip":
        return ["unzip", "-qo", archive, "-d", out]
    if tool == "bsdtar":
        return ["bsdtar", "-xf", archive, "-C", out]
    if tool == "7zz":
        return ["7zz", "x", "-y", "-bso0", "-bsp0", "-o" + out, archive]
    raise SystemExit("unknown tool " + tool)


def tree_summary(root):
    files = size = 0
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            if not os.path.islink(path):
                files += 1
                size += os.path.getsize(path)
    return files, size


def run_once(tool, ozip, archive, scratch, mode):
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    subprocess.run(["sync"], check=True)
    stats = scratch + ".time"
    cmd = ["/usr/bin/time", "-o", stats, "-f", "%U %S %M"] + command(tool, ozip, archive, scratch, mode)
    start = time.perf_counter()
    proc = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    if proc.returncode != 0:
        raise SystemExit("%s failed on %s: %s" % (tool, archive, proc.stderr.decode(errors="replace")))
    user, system, rss = open(stats).read().split()[-3:]
    os.remove(stats)
    return wall, float(user), float(system), int(rss) / 1024.0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--ozip", required=True)
    ap.add_argument("--dir", required=True)
    ap.add_argument("--archives", default="zip6,tiny,big")
    ap.add_argument("--tools", default="ozip,unzip")
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--scratch", default="/dev/shm/orvo-bench-x")
    ap.add_argument("--mode", choices=("extract", "test"), default="extract")
    args = ap.parse_args()
    tools = args.tools.split(",")
    if "unzip" not in tools:
        raise SystemExit("unzip is the reference and must be among the tools")
    archives = [a for a in args.archives.split(",") if os.path.exists(os.path.join(args.dir, a + ".zip"))]
    if not archives:
        raise SystemExit("no archives found in " + args.dir)

    results = {}  # (archive, tool) -> list of (wall, user, sys, rss)
    for r in range(args.rounds):
        for archive in archives:
            path = os.path.join(args.dir, archive + ".zip")
            order = tools[r % len(tools):] + tools[:r % len(tools)]
            reference = None
            for tool in order:
                sample = run_once(tool, args.ozip, path, args.scratch, args.mode)
                results.setdefault((archive, tool), []).append(sample)
                if r == 0 and args.mode == "extract":
                    summary = tree_summary(args.scratch)
                    if reference is None:
                        reference = (tool, summary)
                    elif summary != reference[1]:
                        raise SystemExit("%s and %s disagree on %s: %s vs %s" %
                                         (tool, reference[0], archive, summary, reference[1]))
                print("round %d %-6s %-7s %.3f s" % (r + 1, archive, tool, sample[0]), file=sys.stderr)
    shutil.rmtree(args.scratch, ignore_errors=True)

    print("| archive | tool | median wall s [min-max] | ratio to unzip | user / sys s | peak RSS MB |")
    print("|---|---|---|---|---|---|")
    for archive in archives:
        ref = results[(archive, "unzip")]
        for tool in tools:
            rows = results[(archive, tool)]
            walls = [w for w, _, _, _ in rows]
            ratios = [w / u[0] for (w, _, _, _), u in zip(rows, ref)]
            print("| %s | %s | %.3f [%.3f-%.3f] | %.2f | %.3f / %.3f | %.1f |" % (
                archive, tool, statistics.median(walls), min(walls), max(walls),
                statistics.median(ratios), statistics.median(u for _, u, _, _ in rows),
                statistics.median(s for _, _, s, _ in rows), max(m for _, _, _, m in rows)))


if __name__ == "__main__":
    main()
