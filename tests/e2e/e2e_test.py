#!/usr/bin/env python3
"""End-to-end tests of vellora: the real program, real folder trees, real
configuration files, its exit status and what it writes.

    e2e_test.py --program build/native/vellora
    e2e_test.py --program build/win32/vellora.exe --wine

With --wine the Windows program runs under Wine (WINEPREFIX as set, or the
default prefix) and sees the test folder as a drive of its own, so that
drive-root cases are real.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

PROGRAM = None
WINE = False


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8", "replace")
    except OSError:
        return None


class Drive:
    """A folder as the program sees it: itself natively, a drive under Wine."""

    def __init__(self, folder):
        self.folder = folder
        self.link = None
        self.letter = None
        if not WINE:
            return
        prefix = os.environ.get("WINEPREFIX") or os.path.expanduser("~/.wine")
        devices = os.path.join(prefix, "dosdevices")
        os.makedirs(devices, exist_ok=True)
        for letter in "xwvutsrqponmlkj":
            link = os.path.join(devices, letter + ":")
            try:
                os.symlink(folder, link)
            except FileExistsError:
                continue
            self.link, self.letter = link, letter.upper()
            return
        raise RuntimeError("no free drive letter in " + devices)

    def path(self, relative=""):
        """The program's name for `relative` ('/'-separated) in the folder."""
        if not WINE:
            return os.path.join(self.folder, relative) if relative else self.folder
        return self.letter + ":\\" + relative.replace("/", "\\")

    def close(self):
        if self.link:
            os.unlink(self.link)


def run(args, cwd=None, program=None, display=None):
    command = ([shutil.which("wine") or "wine"] if WINE else []) + [program or PROGRAM] + args
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    # A bare start on a desktop opens the window: no display unless asked.
    for name in ["DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"]:
        env.pop(name, None)
    if display:
        env["DISPLAY"] = display
    r = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                       capture_output=True, timeout=300)
    if WINE:
        # Wine's own helper processes may report their troubles on our stderr.
        r.stderr = b"".join(line for line in r.stderr.splitlines(True)
                            if not line.startswith(b"wine: "))
    return r


class E2E(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="vellora-e2e-")
        self.drive = Drive(self.tmp)
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.addCleanup(self.drive.close)
        self.configs = 0

    # --- helpers -------------------------------------------------------
    def file(self, relative, content=""):
        path = os.path.join(self.tmp, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content.encode("utf-8") if isinstance(content, str) else content)
        return path

    def tree(self):
        """web/{x.txt, a b/{y.txt, deep/z.txt}, c/w.txt, .svn/s.txt}"""
        for name in ["web/x.txt", "web/a b/y.txt", "web/a b/deep/z.txt", "web/c/w.txt",
                     "web/.svn/s.txt"]:
            self.file(name, "data")

    def config(self, keys, name=None):
        """A configuration file with plain pages and `keys`; its program name."""
        self.configs += 1
        name = name or "cfg/%d.ini" % self.configs
        lines = ["[VELLORA]", "custom_html_filename="]
        lines += ["%s=%s" % kv for kv in keys.items()]
        eol = "\r\n" if WINE else "\n"
        self.file(name, eol.join(lines) + eol)
        return self.drive.path(name)

    def page(self, relative):
        return read(os.path.join(self.tmp, relative))

    def build(self, keys, status=0):
        r = run([self.config(keys)])
        self.assertEqual(status, r.returncode, r.stderr)
        if status == 0:
            self.assertEqual(b"", r.stdout + r.stderr)
        else:
            self.assertEqual(1, r.stderr.count(b"\n"), r.stderr)  # one line
        return r

    # --- command line --------------------------------------------------
    def test_options_and_usage(self):
        r = run(["--version"])
        self.assertEqual((0, b"vellora v4.6"), (r.returncode, r.stdout.strip()))
        for option in ["--help", "-h"]:
            r = run([option])
            self.assertEqual(0, r.returncode)
            self.assertIn(b"usage: vellora", r.stdout)
        r = run([])
        self.assertEqual(2, r.returncode)
        self.assertIn(b"usage: vellora", r.stderr)

    def test_bare_start_on_a_desktop_runs_the_window_program(self):
        if WINE:
            self.skipTest("the window program is the Linux one")
        # A stand-in window program beside a copy of the program.
        folder = tempfile.mkdtemp(dir=self.tmp)
        program = os.path.join(folder, "vellora")
        shutil.copy(PROGRAM, program)
        window = os.path.join(folder, "vellora-window")
        with open(window, "w") as f:
            f.write("#!/bin/sh\necho window $#\n")
        os.chmod(window, 0o755)
        r = run([], program=program, display=":99")
        self.assertEqual((0, b"window 0\n"), (r.returncode, r.stdout))
        # Without a display, or with arguments, the window stays shut.
        r = run([], program=program)
        self.assertEqual(2, r.returncode)
        self.assertIn(b"usage: vellora", r.stderr)
        r = run(["--version"], program=program, display=":99")
        self.assertEqual((0, b"vellora v4.6"), (r.returncode, r.stdout.strip()))
        # The real window program, given a display that no server answers,
        # says how the program is started instead of failing in the toolkit.
        window = os.path.join(os.path.dirname(PROGRAM), "vellora-window")
        if os.path.exists(window):
            r = run([], program=window, display=":987")
            self.assertEqual(2, r.returncode, r.stderr)
            self.assertIn(b"usage: vellora", r.stderr)

    def test_missing_configuration(self):
        self.tree()
        for name in [self.drive.path("cfg/none.ini"), "no-such-vellora-config.ini"]:
            r = run([name])
            self.assertEqual(2, r.returncode, r.stderr)
            self.assertEqual(1, r.stderr.count(b"\n"))
            self.assertIn(name.encode(), r.stderr)
        self.assertEqual(sorted([".svn", "a b", "c", "x.txt"]), sorted(os.listdir(self.tmp + "/web")))

    def test_configuration_name_with_blanks(self):
        self.tree()
        name = self.config({"path": self.drive.path("web")}, "cfg dir/my settings.ini")
        # Under Wine one argument with blanks reaches the program in quotes,
        # and words without blanks are joined by single blanks.
        for args in ([name], name.split(" ")):
            if self.page("web/index.html") is not None:
                os.unlink(os.path.join(self.tmp, "web/index.html"))
            r = run(args)
            self.assertEqual(0, r.returncode, r.stderr)
            self.assertIn("x.txt", self.page("web/index.html"))

    def test_bare_name_is_read_from_the_program_folder(self):
        self.tree()
        self.config({"path": self.drive.path("web")}, "c.ini")
        bare = "e2e-%d.ini" % os.getpid()
        beside = os.path.join(os.path.dirname(PROGRAM), bare)
        shutil.copyfile(os.path.join(self.tmp, "c.ini"), beside)
        self.addCleanup(os.unlink, beside)
        r = run([bare], cwd=self.tmp)
        self.assertEqual(0, r.returncode, r.stderr)
        self.assertIn("x.txt", self.page("web/index.html"))

    # --- build modes ---------------------------------------------------
    def test_single_folder(self):
        self.tree()
        self.build({"path": self.drive.path("web"), "title": "Web", "recursive_build": "FALSE"})
        page = self.page("web/index.html")
        self.assertIn("<title>Web</title>", page)
        self.assertIn('href="x.txt"', page)
        self.assertIn('href="a%20b/"', page)
        self.assertNotIn("y.txt", page)
        self.assertIsNone(self.page("web/a b/index.html"))
        self.assertTrue(page.startswith("<!DOCTYPE"))
        self.assertIn("\r\n", page)

    def test_all_links_in_one_file(self):
        self.tree()
        self.build({"path": self.drive.path("web"), "recursive_build": "TRUE",
                    "multi_recurse_link": "FALSE", "include_date": "TRUE"})
        page = self.page("web/index.html")
        for name in ["x.txt", "y.txt", "z.txt", "w.txt"]:
            self.assertIn(name, page)
        self.assertNotIn("s.txt", page)
        self.assertIsNone(self.page("web/c/index.html"))

    def test_one_page_per_folder(self):
        self.tree()
        self.build({"path": self.drive.path("web"), "recursive_build": "TRUE",
                    "multi_recurse_link": "TRUE", "multi_recurse_title": "FOLDER",
                    "output_filename": "list.htm"})
        self.assertIn("<title>web</title>", self.page("web/list.htm"))
        self.assertIn('href="a%20b/list.htm"', self.page("web/list.htm"))
        self.assertIn("<title>a b</title>", self.page("web/a b/list.htm"))
        self.assertIn("<title>deep</title>", self.page("web/a b/deep/list.htm"))
        self.assertIn("w.txt", self.page("web/c/list.htm"))
        self.assertIsNone(self.page("web/.svn/list.htm"))

    def test_one_page_per_folder_titles_and_skipped_root(self):
        self.tree()
        web = self.drive.path("web")
        self.build({"path": web, "recursive_build": "TRUE", "multi_recurse_title": "QUALIFIED",
                    "multi_recurse_skip_root": "TRUE"})
        self.assertIsNone(self.page("web/index.html"))
        sep = "\\" if WINE else "/"
        self.assertIn("<title>%s%sa b%sdeep</title>" % (web, sep, sep),
                      self.page("web/a b/deep/index.html"))

    def test_link_to_its_own_root(self):
        self.tree()
        os.symlink(os.path.join(self.tmp, "web"), os.path.join(self.tmp, "web/a b/deep/loop"))
        for mode in ["TRUE", "FALSE"]:
            self.build({"path": self.drive.path("web"), "recursive_build": "TRUE",
                        "multi_recurse_link": mode})
        self.assertIsNone(self.page("web/a b/deep/loop/loop/index.html"))

    def test_framed_site(self):
        self.tree()
        frameset = ('<html><frameset cols="25%,75%"><frame SRC="menu.htm">'
                    '<frame src="main.htm"></frameset></html>\r\n')
        self.file("tpl/frameset.txt", frameset)
        self.file("tpl/left.txt", "/START\r\nLEFT\r\n")
        self.build({"path": self.drive.path("web"), "recursive_build": "TRUE",
                    "build_framed_site": "TRUE", "include_subfolders": "FALSE",
                    "frameset_file": self.drive.path("tpl/frameset.txt"),
                    "left_frame_file": self.drive.path("tpl/left.txt"),
                    "right_frame_file": self.drive.path("tpl/missing.txt")})
        self.assertEqual(frameset.replace("SRC=", "src="), self.page("web/index.html"))
        left = self.page("web/menu.htm")
        self.assertIn("LEFT", left)
        self.assertIn('href="a%20b/main.htm"', left)
        self.assertNotIn("deep", left)
        self.assertIn("x.txt", self.page("web/main.htm"))
        self.assertIn("z.txt", self.page("web/a b/deep/main.htm"))
        self.assertNotIn("deep", self.page("web/a b/main.htm"))

    def test_unusable_frameset_builds_nothing(self):
        self.tree()
        self.file("tpl/one.txt", '<frame src="only.htm">')
        self.file("tpl/empty.txt", "")
        for name in ["tpl/one.txt", "tpl/empty.txt", "tpl/missing.txt"]:
            r = self.build({"path": self.drive.path("web"), "recursive_build": "TRUE",
                            "build_framed_site": "TRUE", "frameset_file": self.drive.path(name)},
                           status=1)
            self.assertIn(b"frameset", r.stderr)
        self.assertIsNone(self.page("web/index.html"))
        self.assertIsNone(self.page("web/only.htm"))

    def test_readable_sizes_and_iso_dates_in_every_mode(self):
        self.tree()
        self.file("web/a b/big.bin", b"\0" * 1536)
        os.utime(os.path.join(self.tmp, "web/a b/big.bin"), (0, 1796562300))  # 2026-12-06
        self.file("tpl/frameset.txt", '<frameset><frame src="l.htm"><frame src="r.htm"></frameset>')
        cell = 'title="1,536 B">&nbsp;&nbsp;1.5&nbsp;KB&nbsp;&nbsp;</td>'
        modes = {"index.html": {"recursive_build": "FALSE", "path": self.drive.path("web/a b")},
                 "all.htm": {"multi_recurse_link": "FALSE", "output_filename": "all.htm"},
                 "each.htm": {"multi_recurse_link": "TRUE", "output_filename": "each.htm"},
                 "r.htm": {"build_framed_site": "TRUE",
                           "frameset_file": self.drive.path("tpl/frameset.txt")}}
        for name, keys in modes.items():
            self.build(dict({"path": self.drive.path("web"), "recursive_build": "TRUE",
                             "size_style": "human", "date_style": "iso"}, **keys))
            page = self.page(("web/a b/" if name != "all.htm" else "web/") + name)
            self.assertIn(cell, page, name)
            self.assertRegex(page, r'<time datetime="2026-12-0[67]T\d\d:\d\d">2026-12-0[67]</time>')

    # --- link check ----------------------------------------------------
    def test_check_of_the_built_demo(self):
        demo = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo")
        site = os.path.join(self.tmp, "site")
        shutil.copytree(os.path.join(demo, "tree"), site)
        if WINE and os.environ.get("VELLORA_EXPECT_ACP") != "936":
            # Chinese names have no spelling in this code page.
            for name in os.listdir(site):
                if not name.isascii():
                    shutil.rmtree(os.path.join(site, name))
        with open(os.path.join(demo, "demo.ini"), encoding="utf-8") as f:
            keys = [line.rstrip("\r\n") for line in f if not line.startswith(";")]
        keys = [line for line in keys if not line.startswith("path=")] + \
            ["path=" + self.drive.path("site")]
        eol = "\r\n" if WINE else "\n"
        # The demo's texts are UTF-8; the Windows program reads code page 936.
        text = eol.join(keys) + eol
        self.file("cfg/demo.ini", text.encode("gbk" if WINE else "utf-8"))
        config = self.drive.path("cfg/demo.ini")
        r = run([config])
        self.assertEqual((0, b""), (r.returncode, r.stderr))
        encoding = "gbk" if WINE else "utf-8"

        r = run(["--check", config])
        out = r.stdout.decode(encoding)
        self.assertEqual((0, b""), (r.returncode, r.stderr), out)
        self.assertRegex(out, r"^检查了 \d+ 个页面, \d+ 个链接: 0 个断开, 0 个未链接, 0 个页面缺少\r?\n$")

        os.unlink(os.path.join(site, "projects/tools/notes.txt"))
        # Windows names hold no control characters.
        new = "new.txt" if WINE else "new\x1b[31m.txt"
        self.file("site/" + new, "new")
        os.unlink(os.path.join(site, "Photos 2024/Summer/index.html"))
        r = run(["--check", config])
        out = r.stdout.decode(encoding).replace("\r\n", "\n")
        sep = "\\" if WINE else "/"
        self.assertEqual(1, r.returncode, r.stderr)
        self.assertEqual(["缺少的页面: Photos 2024%sSummer%sindex.html" % (sep, sep),
                          "断开的链接: projects%stools%sindex.html -> notes.txt" % (sep, sep),
                          "未链接: " + new.replace("\x1b", "\\x1B")], out.splitlines()[:-1], out)
        self.assertIn(": 1 个断开, 1 个未链接, 1 个页面缺少", out.splitlines()[-1])
        self.assertEqual(2, run(["--check", self.drive.path("cfg/none.ini")]).returncode)
        # Nothing was written.
        self.assertIsNone(self.page("site/Photos 2024/Summer/index.html"))

    # --- double-byte names -----------------------------------------------
    def test_double_byte_names_in_every_mode(self):
        """Names of code page 936 whose second byte is '\\' (淺 9C 5C, 籠 BB 5C),
        'A' or 'a' (丄 81 41, 乤 81 61), '[' and '|' (乕亅): under Wine in
        that code page a trail byte must never be taken for a separator."""
        if WINE and os.environ.get("VELLORA_EXPECT_ACP") != "936":
            self.skipTest("needs code page 936 (VELLORA_EXPECT_ACP=936)")
        charset = "gbk" if WINE else "utf-8"
        sep = "\\" if WINE else "/"
        top = "t/淺"
        for name in ["x.txt", "淺/a.txt", "淺/籠/b.txt", "丄/c.txt", "乤/d.txt", "乕亅/e.txt"]:
            self.file(top + "/" + name, "data")
        folders = ["淺", "淺/籠", "丄", "乤", "乕亅"]
        self.file("tpl/start.txt", "/START\r\n[%%FOLDER]\r\n")
        self.file("tpl/frameset.txt", '<frameset><frame src="l.htm"><frame src="r.htm"></frameset>')
        self.file("tpl/left.txt", "/START\r\nLEFT\r\n")

        def build(keys):
            keys = dict({"path": self.drive.path(top), "supress_parent_link": "TRUE",
                         "custom_html_filename": ""}, **keys)
            self.configs += 1
            name = "cfg/%d.ini" % self.configs
            lines = ["[VELLORA]"] + ["%s=%s" % kv for kv in keys.items()]
            self.file(name, "\r\n".join(lines).encode(charset) + b"\r\n")
            r = run([self.drive.path(name)])
            self.assertEqual((0, b""), (r.returncode, r.stdout + r.stderr))
            # The link check reads the same names back from the pages.
            r = run(["--check", self.drive.path(name)])
            out = r.stdout.decode(charset, "replace")
            self.assertEqual((0, b""), (r.returncode, r.stderr), out)
            self.assertRegex(out, r"^检查了 \d+ 个页面, \d+ 个链接: 0 个断开, 0 个未链接, 0 个页面缺少")

        def page(relative, name="index.html"):
            path = os.path.join(self.tmp, top, relative, name)
            self.assertTrue(os.path.exists(path), path)
            with open(path, "rb") as f:
                return f.read().decode(charset, "replace")

        build({"recursive_build": "FALSE",
               "custom_html_filename": self.drive.path("tpl/start.txt")})
        single = page("")
        self.assertIn("[淺]", single)
        for folder in ["淺", "丄", "乤", "乕亅"]:
            self.assertIn('href="%s/">%s</a>' % (folder, folder), single)

        build({"recursive_build": "TRUE", "multi_recurse_link": "FALSE",
               "show_folder_names": "TRUE", "sort_folders_first": "FALSE"})
        listing = page("")
        self.assertIn('href="淺/籠/b.txt">%s淺%s籠%sb.txt<' % (sep, sep, sep), listing)
        self.assertIn('href="乕亅/e.txt">%s乕亅%se.txt<' % (sep, sep), listing)

        build({"recursive_build": "TRUE", "multi_recurse_link": "FALSE",
               "show_folder_names": "TRUE", "sort_folders_first": "TRUE", "folder_anchors": "TRUE"})
        grouped = page("")
        self.assertEqual(len(folders), grouped.count('<a id="ID'))
        for folder in folders:
            anchor = "ID" + folder.replace("/", "-") + "-"
            shown = folder.replace("/", sep)
            self.assertIn('<a id="%s"></a>' % anchor, grouped)
            self.assertIn('<a href="#%s">%s</a>' % (anchor, shown), grouped)
            self.assertIn('href="%s/' % folder, grouped)

        build({"recursive_build": "TRUE", "multi_recurse_link": "TRUE",
               "multi_recurse_title": "FOLDER", "output_filename": "p.htm"})
        self.assertIn("<title>淺</title>", page("", "p.htm"))
        self.assertIn('href="淺/p.htm"', page("", "p.htm"))
        self.assertIn('href="籠/p.htm"', page("淺", "p.htm"))
        self.assertIn("<title>籠</title>", page("淺/籠", "p.htm"))
        for folder, name in [("淺/籠", "b.txt"), ("丄", "c.txt"), ("乤", "d.txt"),
                             ("乕亅", "e.txt")]:
            self.assertIn('href="%s"' % name, page(folder, "p.htm"))

        build({"recursive_build": "TRUE", "build_framed_site": "TRUE",
               "frameset_file": self.drive.path("tpl/frameset.txt"),
               "left_frame_file": self.drive.path("tpl/left.txt"), "output_filename": "f.htm"})
        left = page("", "l.htm")
        for folder in ["淺", "丄", "乤", "乕亅"]:
            self.assertIn('href="%s/r.htm"' % folder, left)
        self.assertIn('href="籠/r.htm"', page("淺", "r.htm"))
        self.assertIn('href="b.txt"', page("淺/籠", "r.htm"))

    # --- bad input -----------------------------------------------------
    def test_bad_folders(self):
        self.tree()
        for path in ["", self.drive.path("missing"), self.drive.path("web/x.txt")]:
            r = self.build({"path": path, "recursive_build": "TRUE"}, status=1)
            self.assertIn(b"empty" if not path else path.encode(), r.stderr)

    def test_unwritable_page_is_reported_and_nothing_partial_stays(self):
        self.tree()
        os.mkdir(os.path.join(self.tmp, "web/c/index.html"))  # a folder where a page goes
        for keys in [{"output_filename": self.drive.path("nowhere/out.html")},
                     {"recursive_build": "TRUE", "multi_recurse_link": "TRUE"}]:
            keys["path"] = self.drive.path("web")
            r = self.build(keys, status=1)
            self.assertIn(b"could not write", r.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "nowhere")))
        self.assertIn("y.txt", self.page("web/a b/index.html"))  # the other pages
        leftovers = [n for n in os.listdir(os.path.join(self.tmp, "web/c")) if n != "index.html"]
        self.assertEqual(["w.txt"], leftovers)

    def test_pages_are_never_written_through_links(self):
        self.tree()
        victim = self.file("outside/victim.html", "precious")
        links = {"web/a b/index.html": victim,  # to a file outside the tree
                 "web/c/index.html": os.path.join(self.tmp, "outside/created.html")}  # dangling
        for link, target in links.items():
            os.symlink(target, os.path.join(self.tmp, link))
        keys = {"path": self.drive.path("web"), "recursive_build": "TRUE",
                "multi_recurse_link": "TRUE"}
        if WINE:
            # Wine shows a POSIX link as an ordinary file: the page replaces
            # the link, and what it leads to stays as it was.
            self.build(keys)
        else:
            r = self.build(keys, status=1)
            self.assertIn(b"/index.html\" (a link: pages are never written through links) and 1 more",
                          r.stderr)
            for link, target in links.items():
                self.assertEqual(target, os.readlink(os.path.join(self.tmp, link)))
        self.assertEqual("precious", read(victim))
        self.assertEqual(["victim.html"], os.listdir(os.path.join(self.tmp, "outside")))
        self.assertIn("x.txt", self.page("web/index.html"))  # the other pages are written
        self.assertIn("z.txt", self.page("web/a b/deep/index.html"))
        for folder in ["web/a b", "web/c"]:  # and no temporary file stays
            names = os.listdir(os.path.join(self.tmp, folder))
            self.assertEqual([], [n for n in names if n.startswith(".")], folder)

    def test_odd_values(self):
        self.tree()
        self.build({"path": self.drive.path("web"), "file_columns": "0", "folder_columns": "999",
                    "unknown_key": "x", "sort_type": "", "multi_recurse_title": "",
                    "custom_html_filename": self.drive.path("none.txt"),
                    "output_filename": "", "title": "", "skip_files": ";;*.txt"})
        page = self.page("web/index.html")
        self.assertIn('href="c/"', page)
        self.assertNotIn("x.txt", page)

    # --- drive roots (Windows) -----------------------------------------
    def test_drive_root(self):
        if not WINE:
            self.skipTest("drive roots exist on Windows only; the root folder is not ours")
        self.tree()
        root = Drive(os.path.join(self.tmp, "web"))
        self.addCleanup(root.close)
        top = root.path()
        self.assertEqual(3, len(top))
        self.build({"path": top, "recursive_build": "TRUE", "multi_recurse_link": "TRUE",
                    "multi_recurse_title": "FOLDER", "supress_parent_link": "FALSE"})
        page = self.page("web/index.html")
        self.assertIn("<title>%s</title>" % top, page)
        self.assertNotIn('href="../', page)  # a drive root has no parent
        self.assertIn("<title>a b</title>", self.page("web/a b/index.html"))
        self.assertIn('href="../index.html"', self.page("web/a b/index.html"))
        # One page for the whole drive.
        self.build({"path": top, "recursive_build": "TRUE", "multi_recurse_link": "FALSE",
                    "output_filename": "all.htm"})
        self.assertIn("z.txt", self.page("web/all.htm"))

    # --- watch mode ----------------------------------------------------
    def until(self, what, test, limit=10.0):
        end = time.monotonic() + limit
        while time.monotonic() < end:
            if test():
                return
            time.sleep(0.05)
        self.fail("not in %.0f s: %s" % (limit, what))

    def test_watch_keeps_every_page_current(self):
        self.tree()
        self.file("keep/untouched.txt", "outside the tree")
        before = sorted(os.listdir(self.tmp))
        for keys, page in [
                ({"multi_recurse_link": "TRUE", "output_filename": "index.html",
                  "skip_files": "index.html"}, "web/index.html"),
                ({"multi_recurse_link": "FALSE", "output_filename": self.drive.path("all.html")},
                 "all.html")]:
            keys.update({"path": self.drive.path("web"), "recursive_build": "TRUE"})
            env = dict(os.environ)
            for name in ["DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"]:
                env.pop(name, None)
            if WINE:
                env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
            command = ([shutil.which("wine") or "wine"] if WINE else []) + [PROGRAM]
            proc = subprocess.Popen(command + ["--watch", self.config(keys)], env=env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
            try:
                per_folder = page != "all.html"

                def lists(name, folder="web"):
                    where = folder + "/index.html" if per_folder else page
                    return name in (self.page(where) or "")
                self.until("first build", lambda: lists("x.txt"))
                at = lambda name: os.path.join(self.tmp, name)
                # (change, what it does, folder whose page shows it, name, listed)
                steps = [
                    ("a file added", lambda: self.file("web/new & file.txt", "n"),
                     "web", "new &amp; file.txt", True),
                    ("a file removed", lambda: os.remove(at("web/x.txt")), "web", "x.txt", False),
                    ("a file renamed",
                     lambda: os.rename(at("web/a b/y.txt"), at("web/a b/renamed.txt")),
                     "web/a b", "renamed.txt", True),
                    ("a folder made during the watch",
                     lambda: self.file("web/d/e/made later.txt", "m"), "web/d/e",
                     "made later.txt", True),
                    ("a file in a folder made later", lambda: self.file("web/d/e/second.txt", "s"),
                     "web/d/e", "second.txt", True),
                    ("a folder renamed", lambda: os.rename(at("web/d"), at("web/moved_d")),
                     "web", "moved_d", True),
                    ("a file in a renamed folder",
                     lambda: self.file("web/moved_d/e/third.txt", "t"), "web/moved_d/e",
                     "third.txt", True),
                    ("a folder removed", lambda: shutil.rmtree(at("web/moved_d")),
                     "web", "moved_d", False),
                ]
                # Wine's emulation of the notifications misses, now and then,
                # what happens in folders made after the watch began.
                for what, change, folder, name, listed in steps[:3] if WINE else steps:
                    change()
                    self.until(what, lambda: lists(name, folder) == listed)
                # Names the build passes over start no build: once the pages
                # have settled, writing them rewrites nothing.
                stamps = lambda: [os.stat(os.path.join(top, name)).st_mtime_ns
                                  for top, _, files in os.walk(os.path.join(self.tmp, "web"))
                                  for name in files if name == "index.html"] + [
                                      os.stat(os.path.join(self.tmp, page)).st_mtime_ns]
                stamp = stamps()
                for _ in range(20):
                    time.sleep(0.3)
                    settled, stamp = stamp == stamps(), stamps()
                    if settled:
                        break
                self.file("web/.svn/t.txt", "t")
                self.file("web/.hidden", "h")
                time.sleep(0.6)
                self.assertEqual(stamp, stamps())
            finally:
                proc.send_signal(signal.SIGTERM)
                out, err = proc.communicate(timeout=30)
            # Under Wine a signal is not a console's Ctrl+C: it ends the
            # program at once, here once the pages have settled.
            if WINE:
                err = b"".join(line for line in err.splitlines(True)
                               if not line.startswith(b"wine: "))
            stopped = -signal.SIGTERM if WINE else 0
            self.assertEqual((stopped, b"", b""), (proc.returncode, out, err))
            # Pages only where the configuration names them, and no temporary file.
            for top, _, files in os.walk(os.path.join(self.tmp, "web")):
                for name in files:
                    if name.startswith(".") and not top.endswith(".svn"):
                        self.assertEqual(os.path.join(self.tmp, "web/.hidden"),
                                         os.path.join(top, name))
            self.assertEqual(sorted(before + ["all.html"] * (page == "all.html")),
                             sorted(set(os.listdir(self.tmp)) - {"cfg"}))
            self.assertEqual(["untouched.txt"], os.listdir(os.path.join(self.tmp, "keep")))
            os.remove(os.path.join(self.tmp, "web/.hidden"))
            self.file("web/x.txt", "data")
            self.file("web/a b/y.txt", "data")


def main():
    global PROGRAM, WINE
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--wine", action="store_true")
    args, rest = ap.parse_known_args()
    PROGRAM, WINE = os.path.abspath(args.program), args.wine
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
