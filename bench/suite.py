#!/usr/bin/env python3
"""vellora's benchmark suite: every build mode timed next to peer tools.

    suite.py --build BUILD [--quick] [--base DIR] [--trees flat,medium,large]
             [--runs N] [--large-runs N] [--gen GEN_TREE.py] [--strict]

For each tree, every command runs once as a warm-up (caches warm), then
--runs more times in interleaved rounds, so that a noisy neighbour slows all
of them alike. Each command runs under runstat: wall time, user+sys CPU and
peak RSS of the command alone. The report gives the median wall time, the
cost per file, the ratio of each vellora mode to each peer, peak memory and
the targets (PASS/MISS).

Exit status: 0 when every command ran correctly (a missed target is only
reported, unless --strict, which then exits 3), 1 when a command failed.
"""
import argparse
import json
import os
import platform
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ENV = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": "C.UTF-8",
       "TZ": "UTC", "HOME": os.environ.get("HOME", "/")}
PRESETS = {"small": (2_000, 50, 6), "medium": (100_000, 2_000, 10),
           "large": (1_000_000, 20_000, 12)}
PAGE = "00vellora.html"                 # per-folder page written into the tree
FRAMED = ("00frames.html", "left.html", "right.html")  # framed site's pages
MIME = {".txt": "text/plain", ".jpg": "image/jpeg", ".png": "image/png",
        ".pdf": "application/pdf", ".html": "text/html", ".mp3": "audio/mpeg",
        ".mp4": "video/mp4", ".zip": "application/zip", ".gz": "application/gzip",
        ".c": "text/x-csrc", ".cpp": "text/x-c++src", ".py": "text/x-python"}


class Failed(Exception):
    pass


def log(msg):
    print(msg, file=sys.stderr, flush=True)


# --- running one command -----------------------------------------------------

def read_stat(path):
    with open(path) as f:
        wall, user, sys_, rss, code = f.read().split()
    return {"wall": float(wall), "user": float(user), "sys": float(sys_),
            "rss_kb": int(rss)}, int(code)


def run_timed(ctx, argv, cwd=None, stdout=subprocess.DEVNULL, timeout=600):
    stat = os.path.join(ctx.work, "last.stat")
    killed = []
    with tempfile.TemporaryFile() as err:
        p = subprocess.Popen([ctx.runstat, stat] + argv, cwd=cwd or ctx.work, env=ENV,
                             stdin=subprocess.DEVNULL, stdout=stdout, stderr=err,
                             start_new_session=True)
        timer = threading.Timer(timeout, lambda: (killed.append(1),
                                                  os.killpg(p.pid, signal.SIGKILL)))
        timer.start()
        p.wait()
        timer.cancel()
        if killed:
            raise Failed(f"{argv[0]}: over {timeout} s")
        err.seek(0)
        msg = err.read().decode(errors="replace").strip()
    if p.returncode != 0:
        raise Failed(f"{os.path.basename(argv[0])} exited {p.returncode}: {msg[-400:]}")
    if msg and os.path.basename(argv[0]).startswith("vellora"):
        raise Failed(f"{os.path.basename(argv[0])} wrote to stderr: {msg[-400:]}")
    return read_stat(stat)[0]


class Item:
    """One timed command; vellora's modes have mine=True."""

    def __init__(self, ctx, name, argv, cwd=None, out=None, mine=False):
        self.ctx, self.name, self.argv, self.cwd = ctx, name, argv, cwd
        self.out, self.mine = out, mine

    def run(self):
        s = run_timed(self.ctx, self.argv, cwd=self.cwd)
        if self.out:
            if not os.path.isfile(self.out) or os.path.getsize(self.out) == 0:
                raise Failed(f"{self.name}: no output in {self.out}")
            s["out_bytes"] = os.path.getsize(self.out)
        return s

    def after(self):
        if self.out and os.path.exists(self.out):
            os.unlink(self.out)


class InTree(Item):
    """A build that writes pages into the folders of the tree. The pages are
    removed and the folder times put back after each run, untimed."""

    def __init__(self, ctx, name, argv, per_folder, at_root=()):
        super().__init__(ctx, name, argv, mine=True)
        self.per_folder, self.at_root = per_folder, at_root

    def run(self):
        try:
            s = run_timed(self.ctx, self.argv)
        finally:
            pages, size = self.clean()
        if pages[0] != self.ctx.dirs or pages[1] != len(self.at_root):
            raise Failed(f"{self.name}: {pages[0]} pages for {self.ctx.dirs} folders, "
                         f"{pages[1]} of {len(self.at_root)} top pages")
        s["pages"], s["out_bytes"] = pages[0] + pages[1], size
        return s

    def clean(self):
        n = top = size = 0
        for folder, _, _ in self.ctx.folders:
            page = os.path.join(folder, self.per_folder)
            try:
                size += os.path.getsize(page)
                os.unlink(page)
                n += 1
            except FileNotFoundError:
                pass
        for name in self.at_root:
            page = os.path.join(self.ctx.tree, name)
            if os.path.exists(page):
                size += os.path.getsize(page)
                os.unlink(page)
                top += 1
        restore_times(self.ctx)
        return (n, top), size


class ScanBench(Item):
    """vellora_scan_bench: scan and sort of the whole branch, no page."""

    def run(self):
        outf = os.path.join(self.ctx.work, "scan.out")
        with open(outf, "w") as out:
            s = run_timed(self.ctx, self.argv, stdout=out)
        figures = {}
        with open(outf) as f:
            for line in f:
                key, _, rest = line.partition("  ")
                figures[key.strip()] = rest.strip()
        entries = int(figures.get("entries", "0"))
        if entries < self.ctx.files:
            raise Failed(f"{self.name}: {entries} entries for {self.ctx.files} files")
        s["inner_s"] = float(figures.get("total", "0 s").split()[0])
        return s


class Lighttpd(Item):
    """lighttpd's listing of every folder, fetched once each by curl over one
    keep-alive connection. Wall time is the fetch; CPU and RSS the server's."""

    def __init__(self, ctx):
        super().__init__(ctx, "lighttpd listing", [])

    def run(self):
        ctx = self.ctx
        with socket.socket() as so:
            so.bind(("127.0.0.1", 0))
            port = so.getsockname()[1]
        conf = os.path.join(ctx.work, "lighttpd.conf")
        mime = ", ".join(f'"{k}" => "{v}"' for k, v in MIME.items())
        with open(conf, "w") as f:
            f.write(f'''server.modules = ( "mod_dirlisting" )
server.document-root = "{ctx.tree}"
server.bind = "127.0.0.1"
server.port = {port}
server.errorlog = "{os.path.join(ctx.work, 'lighttpd.log')}"
server.max-keep-alive-requests = 10000000
server.max-keep-alive-idle = 60
dir-listing.activate = "enable"
dir-listing.encoding = "utf-8"
mimetype.assign = ( {mime} )
''')
        urls = os.path.join(ctx.work, "urls.txt")
        with open(urls, "w") as f:
            for _, rel, _ in ctx.folders:
                path = urllib.parse.quote(rel, safe="/") + "/" if rel else ""
                f.write(f'url = "http://127.0.0.1:{port}/{path}"\noutput = "/dev/null"\n')
        sstat = os.path.join(ctx.work, "server.stat")
        srv = subprocess.Popen([ctx.runstat, sstat, "lighttpd", "-D", "-f", conf], env=ENV,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            wait_port(port, srv)
            codes = os.path.join(ctx.work, "codes.txt")
            with open(codes, "w") as out:
                s = run_timed(ctx, ["curl", "-s", "-K", urls, "-w",
                                    "%{http_code} %{size_download}\n"], stdout=out)
        finally:
            alive = srv.poll() is None
            if alive:
                os.kill(srv.pid, signal.SIGTERM)
                try:
                    srv.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    os.killpg(srv.pid, signal.SIGKILL)
                    srv.wait()
        server, code = read_stat(sstat)
        # Once it has answered every page, how it ends on SIGTERM does not
        # matter (it now and then exits 1); ending by itself does.
        if not alive:
            raise Failed(f"lighttpd ended before it was stopped (status {code})")
        with open(codes) as f:
            rows = [line.split() for line in f if line.strip()]
        ok = sum(1 for r in rows if r[0] == "200")
        if ok != ctx.dirs:
            raise Failed(f"lighttpd: {ok} of {ctx.dirs} folders answered 200")
        s.update(client_cpu=s["user"] + s["sys"], user=server["user"], sys=server["sys"],
                 rss_kb=server["rss_kb"], out_bytes=sum(int(r[1]) for r in rows))
        return s


def wait_port(port, proc, limit=10.0):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        if proc.poll() is not None:
            raise Failed(f"lighttpd exited early ({proc.returncode})")
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
            return
        except OSError:
            time.sleep(0.01)
    raise Failed(f"lighttpd: nothing listens on 127.0.0.1:{port}")


# --- trees -------------------------------------------------------------------

def walk_counts(ctx, tree):
    r = subprocess.run([ctx.walk, tree], capture_output=True, text=True)
    if r.returncode != 0:
        raise Failed(f"walk {tree}: {r.stderr.strip()}")
    return {k: int(v) for k, v in (kv.split("=") for kv in r.stdout.split())}


def remove_leftovers(tree):
    for top, _, files in os.walk(tree):
        for name in (PAGE,) + FRAMED:
            if name in files and (name == PAGE or name == "right.html" or top == tree):
                os.unlink(os.path.join(top, name))


def ensure_tree(ctx, base, label, files, folders, depth, gen):
    """Reuses base/label when it holds the expected counts, else creates it.
    Returns the path, or None when the disk has no room for it."""
    dest = os.path.join(base, label)
    if os.path.isdir(dest):
        remove_leftovers(dest)
        c = walk_counts(ctx, dest)
        if (c["files"], c["dirs"]) != (files, folders):
            raise Failed(f"{dest} holds {c['files']} files in {c['dirs']} folders, not "
                         f"{files} in {folders}; remove it and run again")
        log(f"== reusing {dest}")
        return dest
    partial = dest + ".partial"
    shutil.rmtree(partial, ignore_errors=True)
    log(f"== creating {dest}: {files} files in {folders} folders ({os.path.basename(gen)})")
    t0 = time.monotonic()
    r = subprocess.run([sys.executable, gen, "--files", str(files), "--folders", str(folders),
                        "--max-depth", str(depth), partial], stdout=subprocess.DEVNULL)
    if r.returncode == 3:
        shutil.rmtree(partial, ignore_errors=True)
        log(f"   skipped: not enough room for {label}")
        return None
    if r.returncode != 0:
        raise Failed(f"tree generator exited {r.returncode}")
    os.rename(partial, dest)
    c = walk_counts(ctx, dest)
    if (c["files"], c["dirs"]) != (files, folders):
        raise Failed(f"{dest}: generated {c['files']} files in {c['dirs']} folders")
    log(f"   done in {time.monotonic() - t0:.1f} s")
    return dest


def save_times(ctx):
    ctx.folders = []
    for top, dirs, _ in os.walk(ctx.tree):
        dirs.sort()
        st = os.lstat(top)
        rel = os.path.relpath(top, ctx.tree)
        ctx.folders.append((top, "" if rel == "." else rel, (st.st_atime_ns, st.st_mtime_ns)))


def restore_times(ctx):
    for folder, _, ns in reversed(ctx.folders):
        os.utime(folder, ns=ns)


# --- vellora's configurations -------------------------------------------------

def ini(ctx, name, **keys):
    base = dict(path=ctx.tree, file_spec="*.*", title="vellora benchmark",
                custom_html_filename="", recursive_build="TRUE", multi_recurse_link="FALSE",
                build_framed_site="FALSE", include_filesize="TRUE", include_date="TRUE",
                include_time="TRUE", include_subfolders="TRUE", sort_folders_first="FALSE",
                show_folder_names="FALSE", folder_anchors="FALSE", skip_files="",
                multi_recurse_title="FOLDER", use_html_titles_for_links="FALSE")
    base.update(keys)
    path = os.path.join(ctx.work, name + ".ini")
    with open(path, "w", encoding="utf-8") as f:
        f.write("[VELLORA]\n" + "".join(f"{k}={v}\n" for k, v in base.items()))
    return path


def make_items(ctx, build, flat):
    t, w = ctx.tree, ctx.work
    vel = os.path.join(build, "vellora")
    sdh = os.path.join(w, "tree-sD.html")
    plain = os.path.join(w, "tree.html")
    items = [
        Item(ctx, "walk (readdir+fstatat)", [ctx.walk, t]),
        Item(ctx, "find -printf", ["find", t, "-printf", "%s %T@ %p\n"]),
        Item(ctx, "fd -u", ["fdfind", "-u", ".", t]),
        Item(ctx, "tree -H", ["tree", "-H", ".", "-o", plain], cwd=t, out=plain),
        Item(ctx, "tree -H -s -D", ["tree", "-H", ".", "-s", "-D", "-o", sdh], cwd=t, out=sdh),
        Item(ctx, "tree -H --du -s -D", ["tree", "-H", ".", "--du", "-s", "-D", "-o", sdh],
             cwd=t, out=sdh),
        Lighttpd(ctx),
        ScanBench(ctx, "vellora scan+sort", [os.path.join(build, "bench", "vellora_scan_bench"), t],
                  mine=True),
        ScanBench(ctx, "vellora scan+sort natural",
                  [os.path.join(build, "bench", "vellora_scan_bench"), t, "*.*", "N+", "natural"],
                  mine=True),
    ]
    if flat:
        out = os.path.join(w, "single.html")
        items.append(Item(ctx, "vellora single folder",
                          [vel, ini(ctx, "single", recursive_build="FALSE", output_filename=out)],
                          out=out, mine=True))
        return items
    one = os.path.join(w, "one-file.html")
    grouped = os.path.join(w, "one-file-grouped.html")
    items += [
        InTree(ctx, "vellora per folder",
               [vel, ini(ctx, "per-folder", multi_recurse_link="TRUE", output_filename=PAGE,
                         skip_files=PAGE)], PAGE),
        InTree(ctx, "vellora per folder, fancy_table",
               [vel, ini(ctx, "per-folder-fancy", multi_recurse_link="TRUE",
                         output_filename=PAGE, skip_files=PAGE,
                         custom_html_filename="fancy_table.txt")], PAGE),
        Item(ctx, "vellora one file",
             [vel, ini(ctx, "one-file", output_filename=one)], out=one, mine=True),
        Item(ctx, "vellora one file, names only",
             [vel, ini(ctx, "one-file-names", output_filename=one, include_filesize="FALSE",
                       include_date="FALSE", include_time="FALSE")], out=one, mine=True),
        Item(ctx, "vellora one file, headings",
             [vel, ini(ctx, "one-file-grouped", output_filename=grouped, sort_folders_first="TRUE",
                       show_folder_names="TRUE", folder_anchors="TRUE")],
             out=grouped, mine=True),
        InTree(ctx, "vellora framed site",
               [vel, ini(ctx, "framed", multi_recurse_link="TRUE", build_framed_site="TRUE",
                         output_filename=FRAMED[0], skip_files=";".join(FRAMED))],
               FRAMED[2], at_root=FRAMED[:2]),
    ]
    return items


# --- one tree ---------------------------------------------------------------

# What a cold-cache pass times: the walks and the builds whose cost is the scan.
COLD = ("walk (readdir+fstatat)", "find -printf", "fd -u", "vellora scan+sort",
        "vellora one file", "vellora one file, names only", "vellora per folder")


def drop_caches():
    """Empties the page, dentry and inode caches (root only)."""
    os.sync()
    with open("/proc/sys/vm/drop_caches", "w") as f:
        f.write("3\n")


def bench_tree(ctx, label, runs, build, flat, cold=False):
    ctx.work = ctx.tree.rstrip("/") + ".work"
    os.makedirs(ctx.work, exist_ok=True)
    c = walk_counts(ctx, ctx.tree)
    ctx.files, ctx.dirs = c["files"], c["dirs"]
    save_times(ctx)
    items = make_items(ctx, build, flat)
    if cold:
        items = [i for i in items if i.name in COLD]
        label += " (cold)"
    res = {"label": label, "files": ctx.files, "dirs": ctx.dirs, "runs": runs,
           "start": time.strftime("%Y-%m-%d %H:%M:%S %z"), "load_start": os.getloadavg(),
           "items": {i.name: {"mine": i.mine, "samples": []} for i in items}}
    log(f"== {label}: {ctx.files} files in {ctx.dirs} folders, 1 warm-up + {runs} rounds")
    for rnd in range(1 + runs):
        for it in items:
            slot = res["items"][it.name]
            if slot.get("error"):
                continue
            try:
                if cold:
                    drop_caches()
                s = it.run()
            except (Failed, OSError) as e:
                slot["error"] = str(e)
                log(f"[{label}] {it.name}: FAILED: {e}")
                continue
            finally:
                it.after()
            log(f"[{label}] {it.name}: {'warm-up' if rnd == 0 else f'run {rnd}'} "
                f"{s['wall']:.3f} s, cpu {s['user'] + s['sys']:.3f} s, {s['rss_kb'] / 1024:.1f} MB")
            if rnd:
                slot["samples"].append(s)
    res["load_end"] = os.getloadavg()
    return res


def summary(slot, files):
    if slot.get("error") or not slot["samples"]:
        return None
    walls = [s["wall"] for s in slot["samples"]]
    med = statistics.median(walls)
    return {"wall": med, "min": min(walls), "max": max(walls),
            "cpu": statistics.median(s["user"] + s["sys"] for s in slot["samples"]),
            "cpu_all": statistics.median(s["user"] + s["sys"] + s.get("client_cpu", 0)
                                         for s in slot["samples"]),
            "rss_mb": max(s["rss_kb"] for s in slot["samples"]) / 1024,
            "us_file": med / files * 1e6,
            "out_mb": max(s.get("out_bytes", 0) for s in slot["samples"]) / 1e6}


RATIO_PEERS = ["walk (readdir+fstatat)", "find -printf", "fd -u", "tree -H", "tree -H -s -D",
               "lighttpd listing"]
SHORT = {"walk (readdir+fstatat)": "walk", "find -printf": "find", "fd -u": "fd", "tree -H": "tree -H",
         "tree -H -s -D": "tree -sD", "lighttpd listing": "lighttpd"}


def table(res):
    files = res["files"]
    head = ("| command | median s | range s | CPU s | peak RSS MB | µs/file | output MB | "
            + " | ".join(f"× {SHORT[p]}" for p in RATIO_PEERS) + " |")
    rows = [head, "|---" + "|---:" * (6 + len(RATIO_PEERS)) + "|"]
    sums = {n: summary(s, files) for n, s in res["items"].items()}
    for name, slot in res["items"].items():
        s = sums[name]
        if s is None:
            rows.append(f"| {name} | failed: {slot.get('error', 'no samples')[:80]} |")
            continue
        ratios = []
        for p in RATIO_PEERS:
            ps = sums.get(p)
            ratios.append(f"{s['wall'] / ps['wall']:.2f}" if slot["mine"] and ps else "")
        rows.append(f"| {name} | {s['wall']:.3f} | {s['min']:.3f}–{s['max']:.3f} | "
                    f"{s['cpu']:.3f} | {s['rss_mb']:.1f} | {s['us_file']:.2f} | "
                    f"{s['out_mb']:.1f} | " + " | ".join(ratios) + " |")
    return "\n".join(rows)


def targets(res, quick):
    """(text, ratio or value, CPU ratio, limit, ok) for every target that applies."""
    sums = {n: summary(s, res["files"]) for n, s in res["items"].items()}
    out = []

    def ratio(mine, peer, limit, text, strict_less=False):
        a, b = sums.get(mine), sums.get(peer)
        if mine not in sums or peer not in sums:
            return
        if a is None or b is None:
            out.append((text, None, None, limit, False))
            return
        r = a["wall"] / b["wall"]
        out.append((text, r, a["cpu_all"] / b["cpu_all"], limit,
                    r < limit if strict_less else r <= limit))

    ratio("vellora scan+sort", "find -printf", 1.5, "scan plus sort ≤ 1.5 × find -printf")
    ratio("vellora scan+sort", "find -printf", 0.8, "scan plus sort ≤ 0.8 × find -printf")
    ratio("vellora per folder", "find -printf", 2.0, "one page per folder ≤ 2 × find -printf")
    ratio("vellora per folder", "find -printf", 1.3, "one page per folder ≤ 1.3 × find -printf")
    ratio("vellora per folder", "lighttpd listing", 1.0,
          "one page per folder faster than lighttpd", strict_less=True)
    for mode in ("vellora one file", "vellora one file, headings"):
        ratio(mode, "tree -H -s -D", 0.5, f"{mode[8:]} ≤ 0.5 × tree -H -s -D")
        ratio(mode, "find -printf", 1.0, f"{mode[8:]} ≤ 1.0 × find -printf")
    ratio("vellora one file, names only", "fd -u", 1.5, "one file, names only ≤ 1.5 × fd -u")
    if res["files"] >= 1_000_000:
        peer = sums.get("tree -H --du -s -D")
        for mode in ("vellora one file", "vellora one file, headings"):
            if mode not in sums:
                continue
            s = sums.get(mode)
            mb = s["rss_mb"] if s else None
            out.append((f"{mode[8:]}: peak memory < 1 GB", mb, None, 1024,
                        mb is not None and mb < 1024))
            if "tree -H --du -s -D" in sums:
                limit = peer["rss_mb"] if peer else None
                out.append((f"{mode[8:]}: peak memory < tree -H --du -s -D", mb, None,
                            limit, mb is not None and limit is not None and mb < limit))
    return out


def machine():
    mem = cpu = "?"
    try:
        with open("/proc/meminfo") as f:
            mem = f"{int(f.readline().split()[1]) / 1024 / 1024:.1f} GB"
        with open("/proc/cpuinfo") as f:
            cpu = next((l.split(":", 1)[1].strip() for l in f if l.startswith("model name")), "?")
    except OSError:
        pass

    def first(argv):
        try:
            r = subprocess.run(argv, capture_output=True, text=True, timeout=10, env=ENV)
            return (r.stdout or r.stderr).strip().splitlines()[0]
        except (OSError, IndexError, subprocess.TimeoutExpired):
            return "?"
    rev = first(["git", "-C", ROOT, "describe", "--always", "--dirty"])
    return {"cores": os.cpu_count(), "memory": mem, "cpu": cpu, "kernel": platform.release(),
            "commit": rev, "tree": first(["tree", "--version"]).split(" ©")[0],
            "lighttpd": first(["lighttpd", "-v"]).split(" ")[0],
            "find": first(["find", "--version"])}


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--build", required=True, help="Release build folder of vellora")
    ap.add_argument("--quick", action="store_true", help="small trees, 1 round, no large tree")
    ap.add_argument("--base", default=os.environ.get("BASE", "/tmp/vellora-suite"))
    ap.add_argument("--trees", help="comma-separated: flat, small, medium, large")
    ap.add_argument("--runs", type=int)
    ap.add_argument("--large-runs", type=int, default=3)
    ap.add_argument("--flat-files", type=int)
    ap.add_argument("--gen", help="tree generator (default: the kit's gen_tree.py "
                    "beside the repository, else bench/make_tree.py)")
    ap.add_argument("--tools", required=True, help="folder holding runstat and walk")
    ap.add_argument("--strict", action="store_true", help="exit 3 when a target is missed")
    ap.add_argument("--cold", action="store_true",
                    help="also time the scans with the caches dropped before every run (root)")
    ap.add_argument("--cold-runs", type=int, default=3)
    a = ap.parse_args(argv)

    a.build, a.base = os.path.abspath(a.build), os.path.abspath(a.base)
    ctx = argparse.Namespace(runstat=os.path.abspath(os.path.join(a.tools, "runstat")),
                             walk=os.path.abspath(os.path.join(a.tools, "walk")))
    gen = a.gen
    if not gen:
        kit = os.path.join(os.path.dirname(ROOT), "shared", "bench", "gen_tree.py")
        gen = kit if os.path.isfile(kit) else os.path.join(HERE, "make_tree.py")
    runs = a.runs or (1 if a.quick else 7)
    flat_files = a.flat_files or (10_000 if a.quick else 100_000)
    names = (a.trees or ("flat,small" if a.quick else "flat,medium,large")).split(",")
    info = machine()
    info.update(date=time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime()), generator=gen,
                mode="quick" if a.quick else "full")
    log(f"== {info['cores']} cores, {info['memory']}, {info['cpu']}; vellora {info['commit']}")

    results, errors = [], 0
    try:
        for name in names:
            if name == "flat":
                label = f"flat{flat_files // 1000}k"
                tree = ensure_tree(ctx, a.base, label, flat_files, 1, 0, gen)
            elif name in PRESETS:
                label = name
                tree = ensure_tree(ctx, a.base, name, *PRESETS[name], gen)
            else:
                raise Failed(f"unknown tree {name}")
            if tree is None:
                continue
            ctx.tree = tree
            n = a.large_runs if name == "large" and not a.runs else runs
            results.append(bench_tree(ctx, label, n, a.build, name == "flat"))
            if a.cold and name != "flat":
                results.append(bench_tree(ctx, label, a.cold_runs, a.build, False, cold=True))
    except Failed as e:
        log(f"error: {e}")
        return 1

    lines = [f"vellora {info['commit']}, {info['date']}; {info['cores']} cores, "
             f"{info['memory']} RAM ({info['cpu']}), kernel {info['kernel']}; "
             f"{info['tree']}, {info['lighttpd']}, {info['find']}", ""]
    all_targets = []
    for res in results:
        errors += sum(1 for s in res["items"].values() if s.get("error"))
        lines += [f"### {res['label']}: {res['files']:,} files in {res['dirs']:,} folders, "
                  f"1 warm-up + {res['runs']} rounds, load {res['load_start'][0]:.1f} → "
                  f"{res['load_end'][0]:.1f}", "", table(res), ""]
        all_targets += [(res["label"],) + t for t in targets(res, a.quick)]
    if all_targets:
        if a.quick:
            lines += ["Quick run: one round on small trees; the targets below are shown, "
                      "never enforced.", ""]
        lines += ["| target | tree | measured (wall) | CPU ratio | limit | result |",
                  "|---|---|---:|---:|---:|---|"]
        for label, text, val, cpu, limit, ok in all_targets:
            mem = "memory" in text
            shown = "—" if val is None else (f"{val:.0f} MB" if mem else f"{val:.2f}×")
            cpu = "" if cpu is None else f"{cpu:.2f}×"
            lim = ("—" if limit is None else f"{limit:.0f} MB") if mem else f"{limit}×"
            lines.append(f"| {text} | {label} | {shown} | {cpu} | {lim} | "
                         f"{'PASS' if ok else 'MISS'} |")
    report = "\n".join(lines)
    print(report)
    out = os.path.join(a.base, "results")
    os.makedirs(out, exist_ok=True)
    stem = os.path.join(out, "quick" if a.quick else "full")
    with open(stem + ".json", "w") as f:
        json.dump({"machine": info, "trees": results}, f, indent=1, ensure_ascii=False)
    with open(stem + ".md", "w") as f:
        f.write(report + "\n")
    log(f"== report in {stem}.md, samples in {stem}.json")
    if errors:
        log(f"error: {errors} command(s) failed")
        return 1
    missed = [t for t in all_targets if not t[5]]
    if missed and not a.quick:
        log(f"{len(missed)} target(s) missed")
        if a.strict:
            return 3
    return 0


if __name__ == "__main__":
    sys.exit(main())
