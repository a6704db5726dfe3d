#!/usr/bin/env python3
"""Writes the small pictures the skin tests decode into tests/skin/data/:
the same 8x6 picture as BMP and GIF (left half red, right half blue, bottom
row green), a 16x16 icon, a flat-colour JPEG (through ImageMagick's convert), a truncated
copy of each, and a 16x16 cursor."""
import os, struct, subprocess, sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'skin', 'data')
W, H = 8, 6
RED, BLUE, GREEN = (255, 0, 0), (0, 0, 255), (0, 255, 0)

def pixel(x, y):
    if y == H - 1:
        return GREEN
    return RED if x < W // 2 else BLUE

def bmp():
    row = (W * 3 + 3) & ~3
    data = b''
    for y in range(H - 1, -1, -1):
        line = b''.join(struct.pack('BBB', b, g, r) for r, g, b in (pixel(x, y) for x in range(W)))
        data += line + b'\0' * (row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data

def gif():
    palette = [RED, BLUE, GREEN, (0, 0, 0)]
    index = {c: i for i, c in enumerate(palette)}
    pixels = [index[pixel(x, y)] for y in range(H) for x in range(W)]
    # LZW with 3-bit codes and a clear code before every pixel: never grows the table.
    bits, nbits, out = 0, 0, bytearray()
    def put(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    for p in pixels:
        put(4)  # clear
        put(p)
    put(5)  # end
    if nbits:
        out.append(bits & 0xFF)
    blocks = b''.join(bytes([len(out[i:i + 255])]) + bytes(out[i:i + 255]) for i in range(0, len(out), 255))
    head = b'GIF89a' + struct.pack('<HHBBB', W, H, 0x81, 0, 0)
    head += b''.join(struct.pack('BBB', *c) for c in palette)
    image = b',' + struct.pack('<HHHHB', 0, 0, W, H, 0) + bytes([2]) + blocks + b'\0'
    return head + image + b';'

def cursor(kind=2):
    """A 16x16 black cursor (kind 2, hot spot 3,4) or green icon (kind 1)."""
    n = 16
    bgra = (0, 0, 0, 255) if kind == 2 else (30, 200, 10, 255)
    xor = b''.join(struct.pack('BBBB', *bgra) for _ in range(n * n))
    and_mask = b'\0' * (4 * n)
    dib = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0) + xor + and_mask
    spot = (3, 4) if kind == 2 else (1, 32)
    return struct.pack('<HHH', 0, kind, 1) + struct.pack('<BBBBHHII', n, n, 0, 0, spot[0], spot[1], len(dib), 22) + dib

def write(name, data):
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(data)

def main():
    os.makedirs(OUT, exist_ok=True)
    write('pic.bmp', bmp())
    write('pic.gif', gif())
    write('truncated.bmp', bmp()[:70])
    write('garbage.jpg', bytes((i * 37 + 11) & 0xFF for i in range(300)))
    write('hand.cur', cursor())
    write('pic.ico', cursor(1))
    jpg = os.path.join(OUT, 'pic.jpg')
    subprocess.run(['convert', '-size', '16x16', 'xc:rgb(40,160,220)', '-quality', '95', 'jpg:' + jpg], check=True)
    with open(jpg, 'rb') as f:
        write('truncated.jpg', f.read()[:120])

if __name__ == '__main__':
    sys.exit(main())
