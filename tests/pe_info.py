#!/usr/bin/env python3
"""What Explorer reads from a Windows program: its subsystem (2 a window
program, 3 a console one), whether it has an icon, and the strings of its
version information, one "key=value" per line.
Usage: pe_info.py PROGRAM.exe"""
import re
import struct
import sys


def main():
    data = open(sys.argv[1], "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit("not a PE file")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x20B:
        raise SystemExit("not a 64-bit program")
    print("Subsystem=%d" % struct.unpack_from("<H", data, optional + 68)[0])
    resource_rva = struct.unpack_from("<I", data, optional + 112 + 2 * 8)[0]
    table = optional + optional_size
    base = None
    for i in range(sections):
        _, size, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if rva <= resource_rva < rva + max(size, raw_size):
            base, delta = raw + (resource_rva - rva), rva - raw
    if base is None:
        print("Icon=no")
        return

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            yield name, target

    def leaves(offset):
        for _, target in entries(offset):
            if target & 0x80000000:
                yield from leaves(target & 0x7FFFFFFF)
            else:
                rva, size = struct.unpack_from("<II", data, base + target)
                yield data[rva - delta:rva - delta + size]

    types = dict(entries(0))
    print("Icon=%s" % ("yes" if 14 in types else "no"))  # a group icon
    if 16 in types:  # the version information
        info = b"".join(leaves(types[16] & 0x7FFFFFFF)).decode("utf-16-le", "replace")
        for key in ("FileVersion", "ProductVersion", "ProductName", "FileDescription", "LegalCopyright", "CompanyName"):
            m = re.search(key + r"\x00+([^\x00]+)", info)
            if m:
                print("%s=%s" % (key, m.group(1)))


if __name__ == "__main__":
    main()
