#!/usr/bin/env python3
"""Checks the pages a build left in a folder tree.

  pages.py snapshot ROOT NAME FILE   remember the digest of every page NAME
  pages.py check ROOT NAME [options] check every page NAME:
      --complete          ends with "</body></html>" and is well-formed XML
      --old-or-new FILE:MARK
                          equals the remembered page or holds MARK
      --pages N           exactly N pages (or --min-pages N)
      --no-dot-links      no link leads to a hidden (temporary) name
      --links N           the one page holds exactly N file links
  pages.py temps ROOT                count hidden temporary files ('.'-names
                                     with a random suffix) in the tree
  pages.py tree ROOT FOLDERS FILES   make FOLDERS folders (in groups of 50 under
                                     the top) holding FILES small files each
  pages.py deep ROOT LEVELS [NAME]   make a chain of LEVELS folders with long
                                     names (deeper than PATH_MAX), a file in each;
                                     with NAME every folder has that name
  pages.py many ROOT FILES           make FILES empty files in ROOT

The walk is descriptor-based (os.fwalk), so trees deeper than PATH_MAX work.
Pages are XHTML; '&nbsp;' is the one entity of the DTD they use, and is made
numeric before parsing because the DTD is not at hand.
"""
import hashlib
import json
import os
import re
import sys
import xml.parsers.expat

END = b"</body></html>"
HREF = re.compile(rb'href="([^"]*)"')
TEMP = re.compile(rb"^\..+\.[0-9A-Za-z]{10}$")


def pages(root, name):
    """(relative path, bytes) of every page called `name` below `root`."""
    name = os.fsencode(name)
    for top, dirs, files, fd in os.fwalk(os.fsencode(root)):
        dirs[:] = [d for d in dirs if not d.startswith(b".")]
        if name in files:
            try:
                f = os.open(name, os.O_RDONLY, dir_fd=fd)
            except OSError:
                continue
            with os.fdopen(f, "rb") as fh:
                yield os.path.relpath(top, os.fsencode(root)), fh.read()


def well_formed(data):
    p = xml.parsers.expat.ParserCreate()
    try:
        p.Parse(data.replace(b"&nbsp;", b"&#160;"), True)
        return None
    except xml.parsers.expat.ExpatError as e:
        return str(e)


def main(argv):
    # os.fwalk recurses once per level of a deep chain.
    sys.setrecursionlimit(max(sys.getrecursionlimit(), 50000))
    cmd = argv[1]
    if cmd == "snapshot":
        root, name, out = argv[2:5]
        digests = {os.fsdecode(rel): hashlib.sha256(d).hexdigest() for rel, d in pages(root, name)}
        with open(out, "w") as fh:
            json.dump(digests, fh)
        print(f"{len(digests)} pages remembered")
        return 0
    if cmd == "tree":
        root, folders, files = argv[2], int(argv[3]), int(argv[4])
        os.makedirs(root, exist_ok=True)
        for i in range(folders):
            d = os.path.join(root, f"group {i // 50:03d}", f"folder {i:05d}")
            os.makedirs(d, exist_ok=True)
            for j in range(files):
                with open(os.path.join(d, f"file {j:03d}.txt"), "wb") as fh:
                    fh.write(b"x" * (j % 7))
        return 0
    if cmd == "deep":
        root, levels = argv[2], int(argv[3])
        fixed = argv[4] if len(argv) > 4 else None
        os.makedirs(root, exist_ok=True)
        fd = os.open(root, os.O_RDONLY | os.O_DIRECTORY)
        for i in range(levels):
            name = fixed or f"level {i:03d} of a deep branch"
            os.mkdir(name, dir_fd=fd)
            os.close(os.open(f"file {i:03d}.txt", os.O_CREAT | os.O_WRONLY, 0o644, dir_fd=fd))
            nfd = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
            os.close(fd)
            fd = nfd
        os.close(fd)
        return 0
    if cmd == "many":
        root, files = argv[2], int(argv[3])
        os.makedirs(root, exist_ok=True)
        fd = os.open(root, os.O_RDONLY | os.O_DIRECTORY)
        for i in range(files):
            os.close(os.open(f"f{i:07d}.dat", os.O_CREAT | os.O_WRONLY, 0o644, dir_fd=fd))
        os.close(fd)
        return 0
    if cmd == "temps":
        n = 0
        for top, dirs, files, fd in os.fwalk(os.fsencode(argv[2])):
            n += sum(1 for f in files if TEMP.match(f))
        print(n)
        return 0
    if cmd != "check":
        print(__doc__)
        return 2
    root, name = argv[2:4]
    opts = argv[4:]
    want_complete = "--complete" in opts
    no_dot = "--no-dot-links" in opts
    old_new = exact = minimum = links = None
    for i, o in enumerate(opts):
        if o == "--old-or-new":
            path, mark = opts[i + 1].split(":", 1)
            with open(path) as fh:
                old_new = (json.load(fh), mark.encode())
        elif o == "--pages":
            exact = int(opts[i + 1])
        elif o == "--min-pages":
            minimum = int(opts[i + 1])
        elif o == "--links":
            links = int(opts[i + 1])
    bad = []
    count = old = new = 0
    for rel, data in pages(root, name):
        count += 1
        where = os.fsdecode(rel)
        if want_complete:
            if not data.rstrip(b"\r\n").endswith(END):
                bad.append(f"{where}: truncated page ({len(data)} bytes, ends {data[-30:]!r})")
                continue
            err = well_formed(data)
            if err:
                bad.append(f"{where}: not well-formed: {err}")
        if old_new:
            digests, mark = old_new
            if digests.get(where) == hashlib.sha256(data).hexdigest():
                old += 1
            elif mark in data:
                new += 1
            else:
                bad.append(f"{where}: neither the old page nor a new one")
        if no_dot:
            for href in HREF.findall(data):
                if any(seg.startswith(b".") and seg not in (b".", b"..") for seg in href.split(b"/")):
                    bad.append(f"{where}: link to a hidden name {href[:80]!r}")
        if links is not None:
            n = sum(1 for h in HREF.findall(data) if not h.endswith(b"/") and not h.startswith(b"../"))
            if n != links:
                bad.append(f"{where}: {n} file links, {links} expected")
    if exact is not None and count != exact:
        bad.append(f"{count} pages, {exact} expected")
    if minimum is not None and count < minimum:
        bad.append(f"{count} pages, at least {minimum} expected")
    summary = f"{count} pages"
    if old_new:
        summary += f" ({old} old, {new} new)"
    for b in bad[:20]:
        print("  " + b)
    if len(bad) > 20:
        print(f"  ... and {len(bad) - 20} more")
    print(summary + (": OK" if not bad else f": {len(bad)} problem(s)"))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
