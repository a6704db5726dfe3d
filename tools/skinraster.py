"""Small raster toolkit for the skin tools: an RGB canvas with anti-aliased
shapes, and BMP files written and read by hand (24-bit, 8-bit and 8-bit RLE).
Python standard library only."""
import math
import struct


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


class Canvas:
    """A top-down RGB picture. Shapes take float coordinates in pixels, where
    pixel (x, y) covers [x, x+1) x [y, y+1)."""

    def __init__(self, w, h, colour=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = bytearray(bytes(colour) * (w * h))

    def copy(self):
        c = Canvas(0, 0)
        c.w, c.h, c.px = self.w, self.h, bytearray(self.px)
        return c

    def get(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = (y * self.w + x) * 3
            self.px[i:i + 3] = bytes(colour)

    def fill(self, x0, y0, x1, y1, colour):
        x0, y0, x1, y1 = max(0, x0), max(0, y0), min(self.w, x1), min(self.h, y1)
        if x0 >= x1 or y0 >= y1:
            return
        run = bytes(colour) * (x1 - x0)
        for y in range(y0, y1):
            i = (y * self.w + x0) * 3
            self.px[i:i + len(run)] = run

    def vgradient(self, x0, y0, x1, y1, c0, c1):
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            self.fill(x0, y, x1, y + 1, mix(c0, c1, t))

    def blend(self, x, y, colour, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        # Coverage is quantised to 16 steps so that each colour pair yields at
        # most 16 blends: the big pictures must fit a 256-colour palette.
        a = round(a * 16) / 16
        i = (y * self.w + x) * 3
        for k in range(3):
            self.px[i + k] = int(round(self.px[i + k] + (colour[k] - self.px[i + k]) * a))

    def shade(self, x0, y0, x1, y1, coverage, colour):
        """Blends colour over the pixels of a box by coverage(cx, cy) at each
        pixel centre."""
        for y in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)))):
                a = coverage(x + 0.5, y + 0.5)
                if a > 0:
                    self.blend(x, y, colour, a)

    def rrect(self, x0, y0, x1, y1, r, colour):
        cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
        self.shade(x0 - 1, y0 - 1, x1 + 1, y1 + 1,
                   lambda px, py: clamp01(0.5 - rbox_sdf(px - cx, py - cy, hx, hy, r)), colour)

    def rrect_outline(self, x0, y0, x1, y1, r, width, colour):
        """Outline whose outer edge is the box."""
        cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

        def cov(px, py):
            d = rbox_sdf(px - cx, py - cy, hx, hy, r)
            return clamp01(0.5 - d) * clamp01(0.5 + d + width)
        self.shade(x0 - 1, y0 - 1, x1 + 1, y1 + 1, cov, colour)

    def disc(self, cx, cy, r, colour):
        self.shade(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1,
                   lambda px, py: clamp01(r + 0.5 - math.hypot(px - cx, py - cy)), colour)

    def strokes(self, lines, width, colour, dots=()):
        """Polylines (lists of points) drawn with round caps and joins, plus
        round dots, all in one pass so overlaps do not darken."""
        segs = []
        for pts in lines:
            segs += [(pts[i], pts[i + 1]) for i in range(len(pts) - 1)]
        pts = [p for s in segs for p in s] + list(dots)
        if not pts:
            return
        pad = width + 2
        x0, x1 = min(p[0] for p in pts) - pad, max(p[0] for p in pts) + pad
        y0, y1 = min(p[1] for p in pts) - pad, max(p[1] for p in pts) + pad
        half = width / 2

        def cov(px, py):
            d = min([seg_dist(px, py, a, b) for a, b in segs] +
                    [math.hypot(px - d[0], py - d[1]) for d in dots] or [1e9])
            return clamp01(half + 0.5 - d)
        self.shade(x0, y0, x1, y1, cov, colour)

    def crop(self, x, y, w, h):
        c = Canvas(w, h)
        for row in range(h):
            i = ((y + row) * self.w + x) * 3
            c.px[row * w * 3:(row + 1) * w * 3] = self.px[i:i + w * 3]
        return c

    def paste(self, other, x, y):
        for row in range(other.h):
            ty = y + row
            if not 0 <= ty < self.h:
                continue
            sx0, sx1 = max(0, -x), min(other.w, self.w - x)
            if sx0 >= sx1:
                continue
            i = (ty * self.w + x + sx0) * 3
            j = (row * other.w + sx0) * 3
            self.px[i:i + (sx1 - sx0) * 3] = other.px[j:j + (sx1 - sx0) * 3]


def rbox_sdf(px, py, hx, hy, r):
    qx, qy = abs(px) - (hx - r), abs(py) - (hy - r)
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r


def seg_dist(px, py, a, b):
    ax, ay = a
    dx, dy = b[0] - ax, b[1] - ay
    ll = dx * dx + dy * dy
    t = 0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def arc(cx, cy, r, a0, a1, step=12):
    """Points on a circle from angle a0 to a1 in degrees (y grows down, so
    increasing angles run clockwise on screen)."""
    n = max(2, int(abs(a1 - a0) / step) + 1)
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / (n - 1))),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / (n - 1)))) for i in range(n)]


# ---- BMP files --------------------------------------------------------------

def _file(info, pal, data):
    off = 14 + len(info) + len(pal)
    return struct.pack('<2sIHHI', b'BM', off + len(data), 0, 0, off) + info + pal + data


def bmp24(c):
    stride = (c.w * 3 + 3) & ~3
    rows = []
    for y in range(c.h - 1, -1, -1):  # bottom-up
        row = c.px[y * c.w * 3:(y + 1) * c.w * 3]
        bgr = bytearray(len(row))
        bgr[0::3], bgr[1::3], bgr[2::3] = row[2::3], row[1::3], row[0::3]
        rows.append(bytes(bgr) + b'\0' * (stride - len(row)))
    data = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return _file(info, b'', data)


def _palette(c):
    counts = {}
    px = c.px
    for i in range(0, len(px), 3):
        k = bytes(px[i:i + 3])
        counts[k] = counts.get(k, 0) + 1
    if len(counts) <= 256:
        colours = sorted(counts)
        return [tuple(k) for k in colours], {k: i for i, k in enumerate(colours)}
    # Too many colours: median cut over the histogram, then nearest entry.
    boxes = [[(tuple(k), n) for k, n in counts.items()]]
    while len(boxes) < 256:
        boxes.sort(key=lambda b: -sum(n for _, n in b) if len(b) > 1 else 0)
        b = boxes.pop(0)
        if len(b) < 2:
            boxes.append(b)
            break
        ch = max(range(3), key=lambda k: max(p[0][k] for p in b) - min(p[0][k] for p in b))
        b.sort(key=lambda p: p[0][ch])
        half = len(b) // 2
        boxes += [b[:half], b[half:]]
    pal = []
    for b in boxes:
        tot = sum(n for _, n in b)
        pal.append(tuple(int(round(sum(p[k] * n for p, n in b) / tot)) for k in range(3)))
    index = {}
    for k in counts:
        index[k] = min(range(len(pal)), key=lambda i: sum((pal[i][j] - k[j]) ** 2 for j in range(3)))
    return pal, index


def bmp_rle8(c):
    """8-bit run-length BMP: the big window pictures are mostly flat colour,
    so this keeps them a few kilobytes instead of megabytes."""
    pal, index = _palette(c)
    out = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = [index[bytes(c.px[i:i + 3])] for i in range(y * c.w * 3, (y + 1) * c.w * 3, 3)]
        x = 0
        while x < c.w:
            n = 1
            while x + n < c.w and n < 255 and row[x + n] == row[x]:
                n += 1
            if n >= 2:
                out += bytes((n, row[x]))
                x += n
                continue
            # A stretch of changing pixels goes out in absolute mode (3+ pixels).
            e = x
            while e < c.w and e - x < 255 and not (e + 1 < c.w and row[e + 1] == row[e]):
                e += 1
            if e - x >= 3:
                out += bytes((0, e - x)) + bytes(row[x:e]) + (b'\0' if (e - x) % 2 else b'')
                x = e
            else:
                out += bytes((1, row[x]))
                x += 1
        out += b'\0\0'
    out[-2:] = b'\0\1'
    palb = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in pal)
    info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 8, 1, len(out), 2835, 2835, len(pal), 0)
    return _file(info, palb, bytes(out))


def read_bmp(data):
    """Decodes the BMP kinds written above (and plain 8/24/32-bit ones).
    Raises ValueError for anything else or for a damaged file."""
    try:
        return _read_bmp(data)
    except (IndexError, struct.error):
        raise ValueError('BMP data is cut short')


def _read_bmp(data):
    if len(data) < 54 or data[:2] != b'BM':
        raise ValueError('not a BMP file')
    off = struct.unpack_from('<I', data, 10)[0]
    size, w, h, planes, bpp, comp = struct.unpack_from('<IiiHHI', data, 14)
    colours = struct.unpack_from('<I', data, 46)[0]
    if size < 40 or w <= 0 or h == 0 or planes != 1:
        raise ValueError('bad BMP header')
    topdown, h = h < 0, abs(h)
    c = Canvas(w, h)
    if bpp == 8:
        n = colours or 256
        pal = [tuple(data[14 + size + 4 * i + k] for k in (2, 1, 0)) for i in range(n)]
    if comp == 0 and bpp in (8, 24, 32):
        stride = (w * bpp // 8 + 3) & ~3
        if off + stride * h > len(data):
            raise ValueError('BMP pixel data is cut short')
        for r in range(h):
            y = r if topdown else h - 1 - r
            base = off + r * stride
            for x in range(w):
                if bpp == 8:
                    c.put(x, y, pal[data[base + x]])
                else:
                    i = base + x * bpp // 8
                    c.put(x, y, (data[i + 2], data[i + 1], data[i]))
        return c
    if comp == 1 and bpp == 8:
        colour = [bytes(p) for p in pal]
        x, r, i = 0, 0, off
        while True:
            a, b = data[i], data[i + 1]
            i += 2
            if a:
                run = colour[b] * a
            elif b == 0:
                x, r = 0, r + 1
                continue
            elif b == 1:
                return c
            elif b == 2:
                x, r = x + data[i], r + data[i + 1]
                i += 2
                continue
            else:
                run = b''.join(colour[data[i + k]] for k in range(b))
                i += b + (b & 1)
            n = len(run) // 3
            if r >= h or x + n > w:
                raise ValueError('RLE data runs outside the picture')
            j = ((h - 1 - r) * w + x) * 3
            c.px[j:j + len(run)] = run
            x += n
    raise ValueError('unsupported BMP kind (bpp %d, compression %d)' % (bpp, comp))
