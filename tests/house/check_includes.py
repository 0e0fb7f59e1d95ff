#!/usr/bin/env python3
"""Reads the includes of every source and fails on one that crosses a wall:

  - a rules source (the rules and the runs) including Qt, SDL or a window's header;
  - a sound source including Qt or a window's header;
  - a window's source including a window of another folder, unless it is the
    main window (game/form1.*) or the program's start-up (game/main.cpp);
  - a source of game/ other than those including another folder's header: the
    rules there are the ground floor every part stands on (the sound cues'
    numbers aside, which the rules pass on).

A window's header is a header of the windows' library that declares a Qt
widget or dialog class. Prints each crossing; exit status 1 if there is one.
"""

import argparse
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
QT = re.compile(r"^(Q[A-Za-z]*|Qt[A-Za-z]*/.*)$")
SDL = re.compile(r"^SDL2?[/_.]|^SDL\.h$")
WIDGET = re.compile(r"class\s+\w+\s*(final\s*)?:\s*public\s+(Q(Widget|Dialog|MainWindow|Frame|Label)|\w*Surface|Form\d)\b")
MAIN_WINDOW = {"game/form1.cpp", "game/form1.h", "game/main.cpp"}
GROUND_FLOOR_MAY_INCLUDE = {"sound/sound_cue.h"}


def Relative(root, names):
    files = []
    for name in filter(None, names.split(",")):
        path = pathlib.Path(name)
        path = path if path.is_absolute() else root / path
        files.append(path.resolve().relative_to(root).as_posix())
    return sorted(set(files))


def Includes(root, source):
    text = (root / source).read_text(encoding="utf-8")
    return [(kind, name) for kind, name in INCLUDE.findall(text)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--rules", default="")
    parser.add_argument("--sound", default="")
    parser.add_argument("--windows", default="")
    args = parser.parse_args()
    root = pathlib.Path(args.root).resolve()
    rules, sound, windows = (Relative(root, getattr(args, k)) for k in ("rules", "sound", "windows"))
    if not rules or not windows:
        print("no sources given", file=sys.stderr)
        return 1
    window_headers = {f for f in windows if f.endswith(".h") and WIDGET.search((root / f).read_text(encoding="utf-8"))}

    crossings = []
    for source in rules + sound:
        for kind, name in Includes(root, source):
            if kind == "<" and QT.match(name):
                crossings.append(f"{source}: includes Qt's <{name}>")
            elif kind == "<" and SDL.match(name) and source not in sound:
                crossings.append(f"{source}: includes SDL's <{name}>")
            elif name in windows:
                crossings.append(f'{source}: includes the windows\' "{name}"')
    for source in windows:
        if source in MAIN_WINDOW:
            continue
        folder = source.split("/")[0]
        for kind, name in Includes(root, source):
            if name in window_headers and name.split("/")[0] != folder:
                crossings.append(f'{source}: includes another folder\'s window "{name}"')

    for source in rules + windows:
        if not source.startswith("game/") or source in MAIN_WINDOW:
            continue
        for kind, name in Includes(root, source):
            if kind == '"' and not name.startswith("game/") and name not in GROUND_FLOOR_MAY_INCLUDE:
                crossings.append(f'{source}: the ground floor includes "{name}"')

    for crossing in crossings:
        print(crossing)
    print(f"{len(rules)} rules, {len(sound)} sound and {len(windows)} window sources read; "
          f"{len(window_headers)} window headers; {len(crossings)} crossings")
    return 1 if crossings else 0


if __name__ == "__main__":
    sys.exit(main())
