#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the table fixtures of this folder byte by byte.

Neither LibreOffice nor GDAL is installed on the machine these were made on, so the tables that stand
for "written by another program" were crafted here by hand, following the published dBase III layout
and the variations other writers are known to use (see README.md beside this script). Run it again only
on purpose: the files are committed and the tests expect exactly these bytes.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def descriptor(name, kind, width, decimals=0):
    raw = name.encode('ascii')[:10].ljust(11, b'\0')
    return raw + kind.encode('ascii') + b'\0' * 4 + bytes([width, decimals]) + b'\0' * 14


def header(columns, count, record_length, code_page=0x03, version=0x03, extra=b'',
           header_length=None, terminator=b'\r'):
    body = b''.join(descriptor(*c) for c in columns)
    length = 32 + len(body) + len(terminator) + len(extra)
    if header_length is None:
        header_length = length
    head = struct.pack('<B3BIHH', version, 124, 5, 17, count, header_length, record_length)
    head += b'\0' * 17 + bytes([code_page]) + b'\0\0'
    assert len(head) == 32
    return head + body + terminator + extra


def record(values, deleted=False):
    return (b'*' if deleted else b' ') + b''.join(values)


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


MOTOR = [('MOTORNAME', 'C', 40), ('MOTORSTANT', 'N', 9, 2), ('WEIGHT', 'N', 8, 2), ('BRUSHLESS', 'L', 1)]
MOTOR_LENGTH = 1 + 40 + 9 + 8 + 1


def motor(name, kv, weight, brushless):
    return record([name.encode('cp1252').ljust(40), ('%9.2f' % kv).encode(), ('%8.2f' % weight).encode(),
                   b'T' if brushless else b'F'])


GOOD = [motor('Alpha 05', 1100, 6.5, False), motor('Bravo 400', 2250, 2.1, True),
        motor('Charlie 2212', 1000, 1.9, True)]

os.makedirs(os.path.join(HERE, 'damaged'), exist_ok=True)

# --- Damaged tables: each should give a clear error naming the file, or its readable records and a
# warning, never a crash and never a rewrite. ---

# Header length field smaller than the column list it is supposed to cover.
write('damaged/short_header_length.dbf',
      header(MOTOR, 3, MOTOR_LENGTH, header_length=64) + b''.join(GOOD) + b'\x1a')

# Header counts 5 records, the file holds 3.
write('damaged/count_beyond_file.dbf', header(MOTOR, 5, MOTOR_LENGTH) + b''.join(GOOD) + b'\x1a')

# The last record is cut off half-way (as by a full disk in a program that writes the header first).
write('damaged/truncated_last_record.dbf', header(MOTOR, 3, MOTOR_LENGTH) + b''.join(GOOD)[:-30])

# A column descriptor with a width of 0.
write('damaged/zero_width_column.dbf',
      header([('MOTORNAME', 'C', 40), ('MOTORSTANT', 'N', 0, 0)], 0, 41) + b'\x1a')

# Not a table at all.
write('damaged/garbage.dbf', bytes((i * 73 + 41) % 256 for i in range(700)))

# A header whose column list never ends.
write('damaged/no_header_end.dbf', header(MOTOR, 0, MOTOR_LENGTH, terminator=b'')[:-1])

# Shorter than a table header.
write('damaged/too_short.dbf', b'\x03\x7c\x05')

# Records whose deletion mark is neither blank nor '*' (the header length points one byte too far).
write('damaged/misaligned_records.dbf',
      header(MOTOR, 3, MOTOR_LENGTH, header_length=32 + 32 * len(MOTOR) + 2) + b''.join(GOOD) + b'\x1a\x1a')

# --- Tables in the forms other writers produce ---

# Lower-case column names, code page 0x57 (ANSI), no end-of-file marker, a 'F' (float) column,
# numbers left-aligned, logicals as Y/N/?, a text padded with NULs and Windows-1252 letters.
foreign_columns = [('name', 'C', 20), ('kv', 'F', 10, 3), ('weight', 'N', 6, 1), ('brushless', 'L', 1),
                   ('built', 'D', 8)]
foreign_length = 1 + 20 + 10 + 6 + 1 + 8
foreign = [
    record([b'Caf\xe9 Motor \x80'.ljust(20, b'\0'), b'1234.500  ', b'12.5  ', b'Y', b'20240131']),
    record([b'zeta'.ljust(20), b'      -3.5', b'     0', b'N', b'        ']),
    record([b'Omega'.ljust(20), b'          ', b'      ', b'?', b'19991231']),
    record([b'Deleted One'.ljust(20), b'       1.0', b'   1.0', b'T', b'20000101'], deleted=True),
]
write('foreign_writer.dbf', header(foreign_columns, 4, foreign_length, code_page=0x57) + b''.join(foreign))

# A dBase IV style table (version byte 0x8B) whose header carries 263 padding bytes after the column
# list and whose records carry two spare bytes after the last column.
padded_columns = [('MOTORNAME', 'C', 12), ('WEIGHT', 'N', 6, 2)]
padded_length = 1 + 12 + 6 + 2
padded = [record([b'Padded A'.ljust(12), b'  1.25', b'\0\0']),
          record([b'Padded B'.ljust(12), b'  2.50', b'\0\0'])]
write('padded_header.dbf',
      header(padded_columns, 2, padded_length, version=0x8B, extra=b'\0' * 263) + b''.join(padded) + b'\x1a')
