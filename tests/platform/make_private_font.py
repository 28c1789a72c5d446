#!/usr/bin/python3
"""Writes a copy of one face of a font file under a family name no installed
font has, so that the tests can make a font usable that no fontconfig
directory holds.

    make_private_font.py SOURCE FACE_INDEX FAMILY OUTPUT
    make_private_font.py --installed INSTALLED_FAMILY FAMILY OUTPUT

The second form copies the installed font fontconfig finds for the family;
without one it says so and exits with status 77.
"""
import subprocess
import sys

from fontTools.ttLib import TTFont

NAME_FAMILY, NAME_UNIQUE, NAME_FULL, NAME_POSTSCRIPT = 1, 3, 4, 6
NAME_TYPOGRAPHIC_FAMILY, NAME_COMPATIBLE_FULL = 16, 18


NOT_INSTALLED = 77


def installed_font(family):
    """(file, face index) of the installed font of that family, or None."""
    try:
        r = subprocess.run(["fc-match", "-f", "%{file}\n%{index}\n%{family}", family + ":outline=true"],
                           capture_output=True, timeout=60)
    except (OSError, subprocess.TimeoutExpired):
        return None
    lines = r.stdout.decode("utf-8", "replace").split("\n")
    # fc-match always answers with some font: only one of that family will do.
    if r.returncode != 0 or len(lines) < 3 or family.lower() not in [f.lower() for f in lines[2].split(",")]:
        return None
    return lines[0], int(lines[1] or 0)


def main():
    if sys.argv[1] == "--installed":
        found = installed_font(sys.argv[2])
        if not found:
            print(f"{sys.argv[2]} is not installed", file=sys.stderr)
            sys.exit(NOT_INSTALLED)
        (source, index), family, output = found, sys.argv[3], sys.argv[4]
    else:
        source, index, family, output = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    font = TTFont(source, fontNumber=index)
    # Every language's names, so that no localised name still finds the original.
    for record in font["name"].names:
        if record.nameID in (NAME_FAMILY, NAME_FULL, NAME_TYPOGRAPHIC_FAMILY, NAME_COMPATIBLE_FULL):
            record.string = family
        elif record.nameID == NAME_UNIQUE:
            record.string = family + " test copy"
        elif record.nameID == NAME_POSTSCRIPT:
            record.string = family.replace(" ", "")
    font.save(output)


if __name__ == "__main__":
    main()
