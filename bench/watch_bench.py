#!/usr/bin/env python3
"""Watch mode under a stream of changes: latency and memory.

    watch_bench.py --vellora BUILD/vellora [--tree DIR] [--duration 60]
                   [--interval 0.5] [--mode per-folder|one-file]

Makes (or reuses) a tree of 2,000 files in 100 folders unless --tree names
one, starts `vellora --watch` on it, then until --duration seconds have
passed makes changes in rounds of four in a folder chosen at random (a
folder made with a file in it, a file added, renamed, removed; the folder
of the round before is removed), one change every --interval seconds. After
each change it waits for the page that lists it to show it and records the
time from the change to then. Every 5 s it reads the watcher's resident
memory. Prints the latency median, 90th percentile and maximum, the
memory at the start (during the first build), its highest and at the end,
and the memory at each sixth of the run (bounded memory: a level line once
the first builds have kept their listings, however long it runs). Stops the
watcher with SIGTERM and checks that it exits 0 and leaves no temporary
file.
"""
import argparse
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def remove_folder(path):
    """Removes a folder that the watcher may be writing a page into while it
    goes (a build that was listing it writes its page into it): tries again."""
    for _ in range(100):
        try:
            shutil.rmtree(path)
            return
        except FileNotFoundError:
            return
        except OSError:
            time.sleep(0.01)
    shutil.rmtree(path)


def make_tree(top, folders=100, files=20):
    for d in range(folders):
        folder = os.path.join(top, f"group {d // 10}", f"folder {d}")
        os.makedirs(folder, exist_ok=True)
        for f in range(files):
            with open(os.path.join(folder, f"file {f}.txt"), "w") as out:
                out.write("x" * f)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--vellora", required=True)
    ap.add_argument("--tree")
    ap.add_argument("--duration", type=float, default=60.0)
    ap.add_argument("--interval", type=float, default=0.5)
    ap.add_argument("--mode", choices=["per-folder", "one-file"], default="per-folder")
    a = ap.parse_args()

    work = tempfile.mkdtemp(prefix="vellora-watch-")
    top = a.tree or os.path.join(work, "tree")
    if not a.tree:
        make_tree(top)
    per_folder = a.mode == "per-folder"
    one = os.path.join(work, "all.html")
    config = os.path.join(work, "watch.ini")
    with open(config, "w") as f:
        f.write("[VELLORA]\ncustom_html_filename=\nrecursive_build=TRUE\n"
                f"path={top}\nmulti_recurse_link={'TRUE' if per_folder else 'FALSE'}\n"
                f"output_filename={'index.html' if per_folder else one}\nskip_files=index.html\n")

    def page_of(folder):
        return os.path.join(folder, "index.html") if per_folder else one

    read_pages = {}  # path -> ((mtime, size, inode), text): a large page is read once per write

    def shows(folder, name, present=True):
        path = page_of(folder)
        try:
            st = os.stat(path)
            stamp = (st.st_mtime_ns, st.st_size, st.st_ino)
            if read_pages.get(path, (None,))[0] != stamp:
                with open(path, encoding="utf-8", errors="replace") as f:
                    read_pages[path] = (stamp, f.read())
            return (name in read_pages[path][1]) == present
        except OSError:
            return False

    proc = subprocess.Popen([os.path.abspath(a.vellora), "--watch", config],
                            stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
    folders = [os.path.join(dp) for dp, _, _ in os.walk(top)]
    end_first = time.monotonic() + 60
    while not os.path.exists(page_of(top)) and time.monotonic() < end_first:
        time.sleep(0.01)
    rng = random.Random(7)
    latencies, memory = [], [(0.0, rss_kb(proc.pid))]
    start = time.monotonic()
    next_memory = start + 5
    serial = 0
    folder = made = None
    try:
        while time.monotonic() - start < a.duration:
            serial += 1
            kind = serial % 4  # each round of four: folder made, file added, renamed, removed
            t0 = time.monotonic()
            if kind == 1:
                if made:
                    remove_folder(made)  # last round's folder goes with this change
                folder = rng.choice(folders)
                made = os.path.join(folder, f"made {serial}")
                os.makedirs(made)
                with open(os.path.join(made, "inside.txt"), "w") as f:
                    f.write("m")
                check = (made, "inside.txt", True)
            elif kind == 2:
                with open(os.path.join(folder, "added.txt"), "w") as f:
                    f.write("n")
                check = (folder, "added.txt", True)
            elif kind == 3:
                os.rename(os.path.join(folder, "added.txt"), os.path.join(folder, "renamed.txt"))
                check = (folder, "renamed.txt", True)
            else:
                os.remove(os.path.join(folder, "renamed.txt"))
                check = (folder, "renamed.txt", False)
            while not shows(*check):
                if time.monotonic() - t0 > 30:
                    sys.exit(f"change {serial} not shown after 30 s")
                time.sleep(0.002)
            latencies.append(time.monotonic() - t0)
            if time.monotonic() >= next_memory:
                memory.append((time.monotonic() - start, rss_kb(proc.pid)))
                next_memory += 5
            time.sleep(max(0.0, a.interval - (time.monotonic() - t0)))
    finally:
        memory.append((time.monotonic() - start, rss_kb(proc.pid)))
        proc.send_signal(signal.SIGTERM)
        _, err = proc.communicate(timeout=60)
    temps = [os.path.join(dp, n) for dp, _, ns in os.walk(top) for n in ns if n.startswith(".")]
    lat = sorted(latencies)
    print(f"watch mode, {a.mode}, {len(lat)} changes over {a.duration:.0f} s")
    print(f"latency from change to page: median {statistics.median(lat) * 1000:.0f} ms, "
          f"90% {lat[int(len(lat) * 0.9)] * 1000:.0f} ms, max {lat[-1] * 1000:.0f} ms")
    print(f"resident memory: start {memory[0][1] / 1024:.1f} MB, "
          f"highest {max(m for _, m in memory) / 1024:.1f} MB, end {memory[-1][1] / 1024:.1f} MB")
    # Bounded memory shows as a level line once the listings are all kept:
    # the samples nearest each sixth of the run.
    marks = [a.duration * k / 6 for k in range(1, 7)]
    level = [min(memory, key=lambda m: abs(m[0] - t)) for t in marks]
    print("resident memory over the run: " +
          ", ".join(f"{t / 60:.0f} min {m / 1024:.1f} MB" for t, m in level))
    print(f"exit status {proc.returncode}, temporary files left: {len(temps)}")
    if err:
        print(err.decode(errors="replace"), file=sys.stderr)
    if not a.tree:
        shutil.rmtree(work, ignore_errors=True)
    return 0 if proc.returncode == 0 and not temps else 1


if __name__ == "__main__":
    sys.exit(main())
