#!/usr/bin/env python3
"""Checks the layering of src/: each layer includes only its own headers and
those of the layers below it, and only src/ui/ includes a toolkit's header.
Prints each offending include and exits 1 when there is one."""
import pathlib
import re
import sys

# Lowest first; each layer may include itself and the layers before it.
LAYERS = ["platform", "custom", "settings", "scan", "html", "modes", "startup", "sheet", "ui"]
# Folders outside the layers and what they may include: the program's
# entry point starts the window, so it sits on top of everything.
OTHERS = {"main": LAYERS}
# Headers of a user-interface toolkit: Qt's, and the Windows controls,
# common dialogs and shell folder browser.
TOOLKIT = re.compile(r"^(Q[A-Za-z]*|Qt[A-Za-z]*/.*|commctrl\.h|prsht\.h|commdlg\.h|shlobj\.h|"
                     r"windowsx\.h|richedit\.h|uxtheme\.h)$", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

root = pathlib.Path(__file__).resolve().parent.parent / "src"
faults = []
for path in sorted(root.rglob("*")):
    if path.suffix not in (".h", ".cpp") or not path.is_file():
        continue
    top = path.relative_to(root).parts[0]
    if top in LAYERS:
        allowed = LAYERS[: LAYERS.index(top) + 1]
    else:
        allowed = OTHERS.get(top, [])
    for n, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        kind, name = m.groups()
        where = f"{path.relative_to(root.parent)}:{n}: {line.strip()}"
        if kind == "<" and TOOLKIT.match(name) and top != "ui":
            faults.append(f"{where}: a toolkit header outside src/ui/")
        if kind == '"' and "/" in name:
            layer = name.split("/")[0]
            if layer in LAYERS and layer not in allowed:
                faults.append(f"{where}: {top}/ may not use the layer {layer}/")
for f in faults:
    print(f)
print(f"layers: {len(faults)} fault(s)")
sys.exit(1 if faults else 0)
