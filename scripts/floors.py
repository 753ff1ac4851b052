#!/usr/bin/env python3
"""The floors of src/: each folder is a room, and a room's floor is one above
the highest room it includes (0 for a room that includes no other). Includes
run down only: a room may include rooms of a lower group of PLAN, never one of
its own group or above. Prints each room's floor, the number of floors and
every include that runs up or sideways; exits 1 on any, on a room PLAN lacks
and on a file at the src/ top level.

    python3 scripts/floors.py               the #include "..." lines
    python3 scripts/floors.py build/win64   also the calls: the symbols each of
        the build's src/ objects takes from another room's (read by $NM, nm by
        default; x86_64-w64-mingw32-nm for a Windows build)
"""
import os
import re
import subprocess
import sys
from pathlib import Path

# Bottom to top. Rooms of one group stand side by side and include neither other.
PLAN = [["platform"], ["imaging", "text"], ["effects"], ["engine"], ["options"], ["host"]]
GROUP = {room: index for index, rooms in enumerate(PLAN) for room in rooms}
SRC = Path(__file__).resolve().parent.parent / "src"
TOP = "(src top level)"


def room_of(path):
    parts = Path(path).parts
    return parts[0] if len(parts) > 1 else TOP


def arrows():
    """(where, from room, to room, what) for every include of another room's file."""
    for file in sorted(SRC.rglob("*.[ch]*")):
        for number, line in enumerate(file.read_text().splitlines(), 1):
            match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
            if not match:
                continue
            target = file.parent / match[1]
            target = target if target.exists() else SRC / match[1]
            if target.exists():  # not one of resources/ or the build's
                source, name = file.relative_to(SRC), target.relative_to(SRC)
                yield f"{source}:{number}", room_of(source), room_of(name), str(name)


def calls(build):
    """(object, from room, to room, symbol) for every symbol an object of src/
    takes from another room's object: the calls that no include shows."""
    nm = os.environ.get("NM", "nm")
    defined, needed = {}, []
    for path in Path(build).rglob("*.o*"):
        match = re.search(r"\.dir/src/(.+)\.cpp\.o(bj)?$", str(path))
        if not match or not (SRC / f"{match[1]}.cpp").exists():  # none, or left by a moved file
            continue
        name, room = match[1], room_of(match[1])
        listing = subprocess.run([nm, "-P", str(path)], capture_output=True, text=True, check=True).stdout
        for line in listing.splitlines():
            symbol, kind = line.split()[:2]
            if kind == "U":
                needed.append((name, room, symbol))
            elif kind in "TDBR":  # strong definitions; inline code is in every user
                defined[symbol] = None if symbol in defined else room
    for name, room, symbol in needed:
        if defined.get(symbol) not in (None, room):
            yield f"{name}.cpp", room, defined[symbol], symbol


def main():
    links = [link for link in arrows() if link[1] != link[2]]
    if len(sys.argv) > 1:
        links += list(calls(sys.argv[1]))
    rooms = sorted({path.name for path in SRC.iterdir() if path.is_dir()} | {r for link in links for r in link[1:3]})
    # A room PLAN lacks stands below every other: whatever it includes is wrong.
    wrong = [link for link in links if GROUP.get(link[2], -1) >= GROUP.get(link[1], -1)]
    problems = [f"src/{room}: in no group of PLAN" for room in rooms if room not in GROUP and room != TOP]
    problems += [f"src/{file.name}: at the src/ top level" for file in sorted(SRC.glob("*.*"))]
    problems += [f"{where}: {source} -> {target} ({what}), up or sideways" for where, source, target, what in wrong]

    # Floors from the arrows that run down; the wrong ones would make a loop.
    below = {room: {link[2] for link in links if link[1] == room and link not in wrong} for room in rooms}
    floor = {}
    while len(floor) < len(rooms):
        for room in rooms:
            if room not in floor and below[room] <= floor.keys():
                floor[room] = 1 + max((floor[other] for other in below[room]), default=-1)
    for room in sorted(rooms, key=lambda room: (-floor[room], room)):
        print(f"floor {floor[room]}  {room:16} stands on: {' '.join(sorted(below[room])) or '-'}")
    print(f"{max(floor.values()) + 1} floors; {len(wrong)} arrows up or sideways")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
