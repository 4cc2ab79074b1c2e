#!/usr/bin/env python3
"""Gives a WinHelp file written by halibut its context numbers.

    fill_context_map.py HALIBUT.hlp NUMBERS.map OUT.hlp

halibut names topics (\\cfg{winhelp-topic}) but leaves the file's context map,
the internal file |CTXOMAP, empty, and a program asking for help by number
(HELP_CONTEXT, HELP_CONTEXTPOPUP) finds nothing there. The map file pairs each
number with a topic name; the name's hash leads through |CONTEXT to the topic,
and the filled |CTXOMAP takes the place of the empty one. The internal files
after it move up, so the directory's offsets and the header follow them.

Layout relied on: the file header (magic, directory offset, first free block,
file size); each internal file behind a 9-byte header (reserved size with the
header, used size, flags); B+ trees of a 38-byte header and fixed-size pages,
index pages (count, first child, then key and child) above leaf pages (count,
previous, next, then entries). The directory maps NUL-terminated names to file
offsets, |CONTEXT name hashes to topic offsets.
"""

import struct
import sys

FILE_MAGIC = 0x00035F3F
BTREE_MAGIC = 0x293B
FILE_HEADER_SIZE = 9
BTREE_HEADER_SIZE = 38


def fail(message):
    sys.exit("fill_context_map: " + message)


def read_numbers(path):
    """The (number, topic name) pairs of the map file, by number."""
    pairs = {}
    with open(path, encoding="ascii") as source:
        for line_number, line in enumerate(source, 1):
            fields = line.split(";", 1)[0].split()
            if not fields:
                continue
            if len(fields) != 2 or not fields[0].isdigit():
                fail("%s:%d: expected a number and a topic name" % (path, line_number))
            number = int(fields[0])
            if number in pairs:
                fail("%s:%d: context %d given twice" % (path, line_number, number))
            pairs[number] = fields[1]
    return sorted(pairs.items())


def topic_name_hash(name):
    """WinHelp's hash of a topic name: base 43 over the characters' values
    (letters 17 to 42 in either case, digits 1 to 9 and 0 as 10, '.' 12,
    '_' 13), kept to a signed 32-bit number as WinHelp's arithmetic does."""
    value = 0
    for char in name.upper():
        if "A" <= char <= "Z":
            digit = ord(char) - ord("A") + 17
        elif "1" <= char <= "9":
            digit = ord(char) - ord("0")
        elif char in "0._":
            digit = {"0": 10, ".": 12, "_": 13}[char]
        else:
            fail("topic name %r: only letters, digits, '.' and '_' hash alike everywhere" % name)
        value = (value * 43 + digit) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


def leaf_entries(data, offset, read_entry):
    """Every entry of the B+ tree in the internal file at offset, in key
    order, as read_entry(data, position) returns it with the position after."""
    tree = offset + FILE_HEADER_SIZE
    magic, _, page_size = struct.unpack_from("<HHH", data, tree)
    if magic != BTREE_MAGIC:
        fail("no B+ tree at offset %d" % offset)
    root, _, _, levels = struct.unpack_from("<hhhh", data, tree + 26)
    pages = tree + BTREE_HEADER_SIZE
    page = root
    for _ in range(levels - 1):  # down the first children to the first leaf
        page = struct.unpack_from("<h", data, pages + page * page_size + 4)[0]
    entries = []
    while page != -1:
        start = pages + page * page_size
        count, _, next_page = struct.unpack_from("<hhh", data, start + 2)
        position = start + 8
        for _ in range(count):
            entry, position = read_entry(data, position)
            entries.append(entry)
        page = next_page
    return entries


def directory_entry(data, position):
    """(name, file offset, where the offset is stored)."""
    end = data.index(b"\0", position)
    name = data[position:end].decode("latin-1")
    return (name, struct.unpack_from("<i", data, end + 1)[0], end + 1), end + 5


def context_entry(data, position):
    """(name hash, topic offset)."""
    return struct.unpack_from("<iI", data, position), position + 8


def context_map(numbers, topics_by_hash):
    """The body of |CTXOMAP: a count, then (number, topic offset) by number."""
    body = struct.pack("<H", len(numbers))
    for number, name in numbers:
        topic = topics_by_hash.get(topic_name_hash(name))
        if topic is None:
            fail("context %d: no topic named %s" % (number, name))
        body += struct.pack("<iI", number, topic)
    return body


def fill_context_map(data, numbers):
    magic, directory, _, _ = struct.unpack_from("<IiiI", data, 0)
    if magic != FILE_MAGIC:
        fail("not a WinHelp file")
    files = {name: (offset, field) for name, offset, field in leaf_entries(data, directory, directory_entry)}
    for needed in ("|CONTEXT", "|CTXOMAP"):
        if needed not in files:
            fail("no internal file " + needed)
    names = [name for _, name in numbers]
    hashes = {topic_name_hash(name): name for name in names}
    if len(hashes) != len(set(names)):
        fail("two topic names with one hash")
    topics_by_hash = dict(leaf_entries(data, files["|CONTEXT"][0], context_entry))
    body = context_map(numbers, topics_by_hash)

    old, _ = files["|CTXOMAP"]
    old_size = struct.unpack_from("<I", data, old)[0]
    new = struct.pack("<IIB", FILE_HEADER_SIZE + len(body), len(body), 0) + body
    shift = len(new) - old_size
    moved = lambda offset: offset + shift if offset > old else offset
    result = bytearray(data[:old] + new + data[old + old_size:])
    for offset, field in files.values():
        struct.pack_into("<i", result, moved(field), moved(offset))
    struct.pack_into("<i", result, 4, moved(directory))
    struct.pack_into("<I", result, 12, len(result))
    return bytes(result)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__.split("\n\n")[1])
    with open(argv[1], "rb") as source:
        data = source.read()
    result = fill_context_map(data, read_numbers(argv[2]))
    with open(argv[3], "wb") as target:
        target.write(result)


if __name__ == "__main__":
    main(sys.argv)
