#!/usr/bin/env python3
"""Times one page per folder with the JSON manifest off, on, and on with
SHA-256 checksums, and prints the figures.

    python3 bench/manifest_bench.py --vellora build/bench/vellora [--base DIR]
        [--small-files N] [--runs R] [--skip-medium]

Two trees: the suite's medium tree (bench/make_tree.py --preset medium,
100,000 files in 2,000 folders; its files are sparse, some of them
gigabytes, so it is timed without checksums), and a tree of N small files
(default 200,000) holding real bytes (1 byte to 4 KiB, 100 files a folder),
timed in all three ways. Medians of warm-cache runs; the page files and
manifests of a run are left for the next one to overwrite.
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def make_small_tree(dest, files, per_folder=100, seed=1):
    stamp = os.path.join(dest, ".made")
    if os.path.exists(stamp) and open(stamp).read() == str(files):
        return
    rng = random.Random(seed)
    for i in range(files):
        folder = os.path.join(dest, f"d{i // per_folder // 100:03d}", f"f{i // per_folder:05d}")
        if i % per_folder == 0:
            os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"file {i:07d}.dat"), "wb") as f:
            f.write(rng.randbytes(rng.randint(1, 4096)))
    with open(stamp, "w") as f:
        f.write(str(files))


def ini(path, tree, manifest, checksums):
    with open(path, "w") as f:
        f.write("[VELLORA]\n")
        for k, v in {
            "path": tree, "file_spec": "*.*", "skip_files": "index.html;*.json",
            "output_filename": "index.html", "title": "bench", "recursive_build": "TRUE",
            "multi_recurse_link": "TRUE", "include_subfolders": "TRUE",
            "include_filesize": "TRUE", "include_date": "TRUE", "include_time": "TRUE",
            "custom_html_filename": "", "manifest": "json" if manifest else "",
            "manifest_checksums": "TRUE" if checksums else "FALSE",
        }.items():
            f.write(f"{k}={v}\n")


def timed(vellora, cfg, runs):
    walls, cpus = [], []
    subprocess.run([vellora, cfg], check=True)  # warm-up
    for _ in range(runs):
        before = os.times()
        t0 = time.perf_counter()
        subprocess.run([vellora, cfg], check=True)
        walls.append(time.perf_counter() - t0)
        after = os.times()
        cpus.append((after.children_user - before.children_user) +
                    (after.children_system - before.children_system))
    return statistics.median(walls), statistics.median(cpus)


def count_files(tree):
    n = 0
    for _, _, names in os.walk(tree):
        n += sum(1 for x in names if not x.startswith(".") and x != "index.html"
                 and not x.endswith(".json"))
    return n


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--vellora", required=True)
    ap.add_argument("--base", default="/tmp/vellora-manifest-bench")
    ap.add_argument("--small-files", type=int, default=200_000)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--skip-medium", action="store_true")
    a = ap.parse_args()
    os.makedirs(a.base, exist_ok=True)
    print(f"hardware threads: {os.cpu_count()}; load average {os.getloadavg()[0]:.1f}")
    rows = []
    trees = []
    if not a.skip_medium:
        medium = os.path.join(a.base, "medium")
        if not os.path.isdir(medium):
            subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), "--preset", "medium",
                            medium], check=True)
        trees.append(("medium (sparse)", medium, [(False, False), (True, False)]))
    small = os.path.join(a.base, f"small{a.small_files}")
    make_small_tree(small, a.small_files)
    trees.append((f"small files", small, [(False, False), (True, False), (True, True)]))
    for label, tree, ways in trees:
        files = count_files(tree)
        base = None
        for manifest, checksums in ways:
            cfg = os.path.join(a.base, "bench.ini")
            ini(cfg, tree, manifest, checksums)
            wall, cpu = timed(a.vellora, cfg, a.runs)
            base = base or wall
            what = "manifest off" if not manifest else "manifest" + (", sha256" if checksums else "")
            rows.append((label, files, what, wall, cpu, wall / base))
    print(f"{'tree':<16} {'files':>9}  {'build':<18} {'median s':>9} {'CPU s':>7} {'us/file':>8} {'x off':>6}")
    for label, files, what, wall, cpu, ratio in rows:
        print(f"{label:<16} {files:>9}  {what:<18} {wall:>9.3f} {cpu:>7.3f} {wall / files * 1e6:>8.2f} "
              f"{ratio:>6.2f}")


if __name__ == "__main__":
    main()
