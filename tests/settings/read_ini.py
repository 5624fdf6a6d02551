#!/usr/bin/env python3
"""Reads a settings file with Python's own INI parser and prints its General section as JSON.

Qt's writer puts a text in double quotes when it holds characters an INI reader would split
on (commas, semicolons, quotes, leading blanks) and escapes backslashes and quotes inside; that
convention is undone here, as any reader of Qt's files does."""

import configparser
import json
import sys


def unquote(value):
    if len(value) >= 2 and value[0] == '"' and value[-1] == '"':
        inner = value[1:-1]
        out = []
        i = 0
        while i < len(inner):
            if inner[i] == "\\" and i + 1 < len(inner):
                out.append(inner[i + 1])
                i += 2
            else:
                out.append(inner[i])
                i += 1
        return "".join(out)
    return value


parser = configparser.ConfigParser(interpolation=None, strict=True)
parser.optionxform = str  # keys are case-sensitive
with open(sys.argv[1], encoding="utf-8") as f:
    parser.read_file(f)
print(json.dumps({key: unquote(value) for key, value in parser["General"].items()}))
