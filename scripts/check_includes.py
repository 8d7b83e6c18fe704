#!/usr/bin/env python3
"""The include rule of the source tree.

The folders below src form layers, lowest first. A file may include from its own folder and from
folders below it, never from one above; the core folders include no Qt header. The programs stand
side by side on top: none includes another program's folder. Every offending
include is printed with its file and line, and the exit status is 1 when there is one.

Usage: check_includes.py [SOURCE_ROOT]   (default: the src folder beside this script's folder)
"""
import os
import re
import sys

LAYERS = [
    "support",
    "platform",
    "link",
    "protocol",
    "data",
    "files",
    "counterpart",
    "publish",
    "controller",
    "display",
    "dialogs",
    "counterpartwin",
    "app",
    "recorder",
    "plot",
    "stats",
]
PROGRAMS = {"app", "recorder", "plot", "stats"}
NO_QT = {"support", "platform", "link", "protocol", "data", "files", "counterpart", "publish", "stats"}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".cxx", ".in")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# <QObject>, <QtCore/QTimer>, <QDBusReply>, <qglobal.h>
QT_HEADER = re.compile(r"^(Q[A-Za-z]|q[a-z0-9_]+\.h$)")


def layer_of(path):
    """The layer a path below the source root belongs to (the longest folder that matches)."""
    path = path.replace(os.sep, "/")
    best = None
    for layer in LAYERS:
        if path.startswith(layer + "/") and (best is None or len(layer) > len(best)):
            best = layer
    return best


def rank(layer):
    """The floor of a layer: the programs share the top one."""
    return min(LAYERS.index(program) for program in PROGRAMS) if layer in PROGRAMS else LAYERS.index(layer)


def included_layer(root, including, target):
    """The layer of a quoted include: by its folder, or as a path relative to the including file."""
    layer = layer_of(target)
    if layer is not None:
        return layer
    relative = os.path.normpath(os.path.join(os.path.dirname(including), target))
    if not relative.startswith("..") and os.path.exists(os.path.join(root, relative)):
        return layer_of(relative)
    return None


def check_file(root, relative):
    """Messages for the offending includes of one file, given by its path below the root."""
    own = layer_of(relative)
    if own is None:
        return []
    messages = []
    with open(os.path.join(root, relative), encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, target = match.groups()
            where = "%s:%d" % (os.path.join(os.path.basename(root), relative), number)
            if own in NO_QT and QT_HEADER.match(target.split("/")[0]):
                messages.append("%s: Qt header <%s> in %s, which includes no Qt" % (where, target, own))
            if bracket != '"':
                continue
            other = included_layer(root, relative, target)
            if other is None or other == own:
                continue
            if rank(other) > rank(own):
                messages.append('%s: includes "%s" from %s, above %s' % (where, target, other, own))
            elif other in PROGRAMS and own in PROGRAMS:
                messages.append('%s: includes "%s" from the program %s, beside %s' % (where, target, other, own))
    return messages


def check_tree(root):
    """The messages of every source file below the root, and the number of files read."""
    messages = []
    count = 0
    for folder, _, files in sorted(os.walk(root)):
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                relative = os.path.relpath(os.path.join(folder, name), root)
                messages.extend(check_file(root, relative))
                count += 1
    return messages, count


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    root = os.path.normpath(root)
    if not os.path.isdir(root):
        print("check_includes: no folder %s" % root, file=sys.stderr)
        return 2
    messages, count = check_tree(root)
    for message in messages:
        print(message, file=sys.stderr)
    if messages:
        print("check_includes: %d include(s) break the layer rule" % len(messages), file=sys.stderr)
        return 1
    print("check_includes: %d files of %s keep the layer rule" % (count, root))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
