#!/usr/bin/env python3
"""Makes the desktop icon and the README screenshot from orbits-batch pictures.

    tools/make_icon.py build/orbits-batch

Runs the solar system for a simulated year in slices, rendering the picture
after each slice, and lays the pictures over one another so the inner
planets draw their orbits, as the window does with full trails (F2). Writes
doc/screenshot.png (the whole picture, the clock from the last one) and
packaging/icons/orbits-SIZE.png (the middle of it, shrunk by keeping the
brightest pixel of each block so the one-pixel trails survive).
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SLICES = 73           # pictures laid over one another
STEPS_PER_SLICE = 600  # 73 x 600 steps of 720 s: one year
CROP = (510 - 200, 385 - 200, 400)  # left, top, side: the inner planets round the Sun
SIZES = (48, 64, 128, 256)
CLOCK_ROWS = 64


def read_png(path):
    """Width, height and rows of RGB triples of an 8-bit RGB PNG."""
    data = open(path, 'rb').read()
    pos, idat, width, height = 8, b'', 0, 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert depth == 8 and colour == 2, 'expects 8-bit RGB'
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - 3] if x >= 3 else 0
            b, c = previous[x], previous[x - 3] if x >= 3 else 0
            if kind == 1: line[x] = (line[x] + a) & 255
            elif kind == 2: line[x] = (line[x] + b) & 255
            elif kind == 3: line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    raw = b''.join(b'\0' + bytes(row) for row in rows)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def shrink(rows, left, top, side, size):
    """The square at left, top shrunk to size, each pixel the brightest of its block."""
    out = []
    for j in range(size):
        line = bytearray()
        for i in range(size):
            best = (0, 0, 0)
            for y in range(top + j * side // size, top + (j + 1) * side // size):
                for x in range(left + i * side // size, left + (i + 1) * side // size):
                    pixel = tuple(rows[y][3 * x:3 * x + 3])
                    if sum(pixel) > sum(best): best = pixel
            line += bytes(best)
        out.append(line)
    return out


def main():
    batch = os.path.abspath(sys.argv[1])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with tempfile.TemporaryDirectory() as work:
        def run(*arguments):
            subprocess.run([batch, *arguments], cwd=work, check=True, stdout=subprocess.DEVNULL)
        run('--scenario', '7', '--save', 's.dat', '--exact')
        width, height, total = 0, 0, None
        for k in range(SLICES):
            run('--load', 's.dat', '--steps', str(STEPS_PER_SLICE), '--save', 's.dat', '--exact',
                '--render', 'f.png')
            width, height, rows = read_png(os.path.join(work, 'f.png'))
            total = rows if total is None else [bytearray(map(max, a, b)) for a, b in zip(total, rows)]
    # The clock in the top left corner shows the last picture's time, as on screen.
    total[:CLOCK_ROWS] = rows[:CLOCK_ROWS]
    write_png(os.path.join(root, 'doc', 'screenshot.png'), width, height, total)
    left, top, side = CROP
    for size in SIZES:
        write_png(os.path.join(root, 'packaging', 'icons', 'orbits-%d.png' % size), size, size,
                  shrink(total, left, top, side, size))


if __name__ == '__main__':
    main()
