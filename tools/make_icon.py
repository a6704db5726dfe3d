#!/usr/bin/env python3
"""Writes app/res/Pelican.ico: a 32x32 and a 16x16 picture of a stylised
pelican head (white bird, orange bill) on a teal round tile."""
import struct, sys, math, os

def pixel(x, y, n):
    # Work in a 0..1 square.
    u, v = (x + 0.5) / n, (y + 0.5) / n
    d = math.hypot(u - 0.5, v - 0.5)
    if d > 0.48:
        return (0, 0, 0, 0)
    # bill: a wedge to the right
    if 0.5 < u < 0.92 and abs(v - 0.55) < (0.92 - u) * 0.35:
        return (0xF2, 0x9E, 0x2E, 255)
    head = math.hypot(u - 0.4, v - 0.45)
    if head < 0.2:
        if math.hypot(u - 0.45, v - 0.4) < 0.04:
            return (0x20, 0x20, 0x20, 255)
        return (0xFA, 0xFA, 0xFA, 255)
    if 0.3 < u < 0.5 and v > 0.55:
        return (0xFA, 0xFA, 0xFA, 255)
    return (0x1F, 0x8A, 0x8C, 255)

def image(n):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            rows.append(struct.pack('BBBB', b, g, r, a))
    xor = b''.join(rows)
    mask_row = ((n + 31) // 32) * 4
    andmask = b'\0' * (mask_row * n)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask

def main(out):
    sizes = [32, 16]
    imgs = [image(n) for n in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, imgs):
        data += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b''.join(imgs)
    with open(out, 'wb') as f:
        f.write(data)

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'app', 'res', 'Pelican.ico'))
