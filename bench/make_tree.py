#!/usr/bin/env python3
"""Deterministic synthetic folder tree for the benchmark suite.

    make_tree.py --preset medium DEST
    make_tree.py --files 100000 --folders 1 --max-depth 0 DEST   # one flat folder

The same arguments and seed give the same tree: folder layout, names, sizes
and modification times. Folders form a random recursive tree; files spread
over them with capped Pareto weights, so a few folders are large. Names mix
spaces, '&', parentheses, Chinese and accented words and long names. Files
hold no data: sizes are set with ftruncate (sparse). Exit 3 when the disk
has too little room or too few inodes.
"""
import argparse
import bisect
import os
import random
import sys

PRESETS = {
    "small": dict(files=2_000, folders=50, max_depth=6),
    "medium": dict(files=100_000, folders=2_000, max_depth=10),
    "large": dict(files=1_000_000, folders=20_000, max_depth=12),
}
WORDS = ["report", "photo", "invoice", "draft", "backup", "notes", "budget",
         "project", "scan", "letter", "music", "video", "data", "archive",
         "readme", "manual", "index", "chapter", "holiday", "contract",
         "slides", "Quarter", "Final", "IMG", "DSC", "Résumé", "naïve"]
CJK = ["报告", "照片", "文档", "数据", "音乐", "视频", "备份", "项目", "笔记", "资料"]
EXTS = [".txt", ".jpg", ".jpg", ".png", ".pdf", ".doc", ".docx", ".xls",
        ".html", ".mp3", ".mp4", ".zip", ".tar.gz", ".c", ".cpp", ".py",
        ".md", ".ini", ".exe", ".JPG", ""]
T_MIN, T_MAX = 1104537600, 1735689599  # 2005-01-01 .. 2024-12-31 UTC
ODD_TIMES = [0, 315532799, 315532800, 2147483647, 2147483648, 4102444800]


def name(rng, idx, ext):
    r = rng.random
    parts = [rng.choice(CJK) if r() < 0.10 else rng.choice(WORDS)]
    if r() < 0.4:
        parts.append(rng.choice(WORDS))
    if r() < 0.01:
        parts.extend(rng.choice(WORDS) for _ in range(rng.randint(8, 14)))
    sep = " " if r() < 0.15 else rng.choice("_-")
    text = sep.join(parts)
    if r() < 0.03:
        text += " & " + rng.choice(WORDS)
    text += f"{sep}{idx}"
    if r() < 0.05:
        text += f" ({rng.randint(1, 9)})"
    return text + ext


def mtime(rng):
    return rng.choice(ODD_TIMES) if rng.random() < 0.001 else rng.randint(T_MIN, T_MAX)


def size(rng):
    x = rng.random()
    if x < 0.65:
        return 0
    if x < 0.6505:
        return rng.choice([2**31 - 1, 2**31, 2**32 - 1, 2**32, 2**32 + 1, 5 * 2**30])
    return min(int(rng.lognormvariate(10, 2.0)), 2**31 - 2)


def plan(files, folders, max_depth, seed):
    rng = random.Random(f"{seed}/folders")
    parent, depth, paths, times = [-1], [0], [""], [mtime(rng)]
    open_ = [0]
    for i in range(1, folders):
        p = open_[rng.randrange(len(open_))]
        parent.append(p)
        depth.append(depth[p] + 1)
        paths.append(os.path.join(paths[p], name(rng, i, "")))
        times.append(mtime(rng))
        if depth[i] < max_depth:
            open_.append(i)
    rng = random.Random(f"{seed}/files")
    weights = [min(rng.paretovariate(1.2), 200.0) for _ in range(folders)]
    cum, total = [], 0.0
    for w in weights:
        total += w
        cum.append(total)
    by_dir = [[] for _ in range(folders)]
    for i in range(files):
        d = min(bisect.bisect_left(cum, rng.random() * total), folders - 1)
        by_dir[d].append((name(rng, i, rng.choice(EXTS)), size(rng), mtime(rng)))
    return paths, times, by_dir


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("dest")
    ap.add_argument("--preset", choices=sorted(PRESETS))
    ap.add_argument("--files", type=int)
    ap.add_argument("--folders", type=int)
    ap.add_argument("--max-depth", type=int)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args(argv)
    p = dict(PRESETS[a.preset or "small"])
    for k in ("files", "folders", "max_depth"):
        if getattr(a, k) is not None:
            p[k] = getattr(a, k)
    if os.path.lexists(a.dest):
        print(f"error: {a.dest} exists", file=sys.stderr)
        return 2
    probe = os.path.dirname(os.path.abspath(a.dest))
    os.makedirs(probe, exist_ok=True)
    st = os.statvfs(probe)
    if (st.f_favail < (p["files"] + p["folders"]) * 1.05 + 1000
            or st.f_bavail * st.f_frsize < (2e9 if p["files"] > 200_000 else 5e8)):
        print(f"skipped: too little room in {probe}", file=sys.stderr)
        return 3
    paths, times, by_dir = plan(p["files"], p["folders"], p["max_depth"], a.seed)
    os.umask(0o022)
    os.mkdir(a.dest)
    for rel in paths[1:]:
        os.mkdir(os.path.join(a.dest, rel))
    for rel, entries in zip(paths, by_dir):
        dfd = os.open(os.path.join(a.dest, rel), os.O_RDONLY | os.O_DIRECTORY)
        try:
            for fname, fsize, t in entries:
                fd = os.open(fname, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644, dir_fd=dfd)
                if fsize:
                    os.ftruncate(fd, fsize)
                os.utime(fd, ns=(t * 10**9, t * 10**9))
                os.close(fd)
        finally:
            os.close(dfd)
    for rel, t in reversed(list(zip(paths, times))):
        os.utime(os.path.join(a.dest, rel), ns=(t * 10**9, t * 10**9))
    print(f"{a.dest}: {p['files']} files in {p['folders']} folders")
    return 0


if __name__ == "__main__":
    sys.exit(main())
