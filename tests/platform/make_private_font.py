#!/usr/bin/python3
"""Writes a copy of one face of a font file under a family name no installed
font has, so that the tests can make a font usable that no fontconfig
directory holds.

    make_private_font.py SOURCE FACE_INDEX FAMILY OUTPUT
"""
import sys

from fontTools.ttLib import TTFont

NAME_FAMILY, NAME_UNIQUE, NAME_FULL, NAME_POSTSCRIPT = 1, 3, 4, 6
NAME_TYPOGRAPHIC_FAMILY, NAME_COMPATIBLE_FULL = 16, 18


def main():
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
