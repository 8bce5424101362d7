#!/usr/bin/env python3
"""Writes sample.zel: a memory image with one record of each kind that the
table and the workbooks treat differently. The encoding here is written from
the station's record layout, independently of the program's encoder."""
import struct

def record(line=1, file=1, station=1, mode=0, kind=0, freq=6, current=5,
           m=0, a=0, n=0, b=0, ranges=(2, 3, 0, 1), u=(12345, 7, -200, 55),
           aux=(0, 0), date=(2007, 7, 5), time=(9, 8, 7)):
    def nine(sign_byte_high, v):
        return ((sign_byte_high & 0x7F) << 1) | (1 if v < 0 else 0), v & 0xFF
    b8, b9 = nine(m, a)
    b10, b11 = nine(n, b)
    return struct.pack('>bBhBBHBBBBBB4hHHBBBBBB',
                       line, file, station, (mode << 4) | kind, freq, current,
                       b8, b9, b10, b11,
                       (ranges[0] << 4) | ranges[1], (ranges[2] << 4) | ranges[3],
                       *u, *aux, date[0] - 2000, date[1], date[2], *time)

records = [
    record(),
    record(station=2, mode=3),
    record(station=3, mode=15, current=120),
    record(station=10, mode=11, a=-2, b=30, m=1, n=5),
    record(station=11, mode=14, a=255, b=-256, m=127, n=0),
    record(station=12, mode=9),
    record(station=13, kind=1, current=8),
    record(station=14, kind=2),
    record(station=15, kind=3, u=(12345, -200, 7, 0), ranges=(2, 2, 3, 0)),
    record(station=16, ranges=(7, 8, 15, 9)),
    record(station=17, ranges=(9, 0, 7, 7), u=(1, 250, 0, 0)),
    record(station=-1234, line=-128, file=255),
    record(station=18, freq=12, current=20),
    record(station=0, mode=10, a=-1, b=1, m=2, n=3, freq=10, current=16),
    record(station=19, date=(2099, 12, 31), time=(0, 0, 0), freq=0, current=0),
]
data = b''.join(records)
checksum = sum(struct.unpack('>%dH' % (len(data) // 2), data)) & 0xFFFF
data += struct.pack('>H', checksum)
header = b'ZEL-0701V2.1E1.0' + struct.pack('>H', len(records)) + b'\r\n'
stamp = '05.07.2007 10:11:12'.encode('cp1251')
dump = b''
for block in (header, stamp, data):
    dump += struct.pack('<i', len(block)) + block
open('sample.zel', 'wb').write(dump)
