#!/usr/bin/env python3
"""Writes the control test skin in tests/skin/ctl/: a frame window (FRAMEDLG)
whose border pieces each have a colour of their own, a mask-shaped window
(MASKDLG), a bare frame window (BAREDLG), a frame window with a resizing mask
(RESIZEDLG), the image atlas with thumbs, masks,
progress and drop-down pictures, and in alt/ a second skin whose Main differs
(for reload tests). Pictures are 8-bit BMPs; skin.ini is UTF-16 (the
private-profile functions read it as wide text)."""
import os, struct, sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'skin', 'ctl')

def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b); 8-bit palette built from the colours used."""
    colours, index, rows = [], {}, []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            c = pixel(x, y)
            if c not in index:
                index[c] = len(colours)
                colours.append(c)
            row.append(index[c])
        row.extend(b'\0' * ((4 - width % 4) % 4))
        rows.append(bytes(row))
    if len(colours) > 256:
        sys.exit('too many colours in ' + path)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in colours)
    palette += b'\0' * (4 * 256 - len(palette))
    data = b''.join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(header + info + palette + data)

def inside(x, y, r):
    return r[0] <= x < r[0] + r[2] and r[1] <= y < r[1] + r[3]

# FRAMEDLG: 300 x 200; T = 20, B = 20, L = 10, R = 10.
FRAME_W, FRAME_H = 300, 200
PIECES = [  # (x, y, w, h), colour
    ((0, 0, 30, 20), (200, 0, 0)),        # top-left corner
    ((30, 0, 10, 20), (0, 200, 0)),       # top tile 1
    ((40, 0, 120, 20), (0, 0, 200)),      # top middle
    ((160, 0, 10, 20), (200, 200, 0)),    # top tile 2
    ((170, 0, 130, 20), (0, 200, 200)),   # top-right corner
    ((0, 20, 10, 30), (120, 0, 0)),       # left upper
    ((0, 50, 10, 10), (0, 120, 0)),       # left tile
    ((0, 60, 10, 120), (0, 0, 120)),      # left lower
    ((290, 20, 10, 30), (120, 120, 0)),   # right upper
    ((290, 50, 10, 10), (0, 120, 120)),   # right tile
    ((290, 60, 10, 120), (120, 0, 120)),  # right lower
    ((0, 180, 30, 20), (60, 0, 0)),       # bottom-left corner
    ((30, 180, 240, 20), (0, 60, 0)),     # bottom tile
    ((270, 180, 30, 20), (0, 0, 60)),     # bottom-right corner
]
INTERIOR = (230, 230, 230)
# Control rectangles painted in a state colour in Main/Over/Down/Disabled.
CONTROLS = [(40, 30, 40, 20), (90, 30, 40, 20), (140, 30, 20, 20), (170, 30, 60, 20), (275, 2, 16, 16),
            (2, 182, 20, 14), (1, 100, 8, 8), (100, 2, 20, 14), (40, 150, 80, 18)]
STATE = {'main': (10, 100, 10), 'over': (10, 150, 10), 'down': (10, 200, 10), 'disabled': (100, 100, 100)}

def frame_pixel(state, interior=INTERIOR):
    def pixel(x, y):
        for r in CONTROLS:
            if inside(x, y, r):
                return STATE[state]
        for r, c in PIECES:
            if inside(x, y, r):
                return c
        return interior
    return pixel

# MASKDLG: 120 x 80; the kept shape is the rectangle 10..110 x 10..70.
def mask_pixel(x, y):
    return (0, 0, 0) if 10 <= x < 110 and 10 <= y < 70 else (255, 255, 255)

def mask_full(x, y):
    return (0, 0, 0) if y < 60 else (255, 255, 255)

def mask_main(x, y):
    return (30, 60, 90) if not inside(x, y, (20, 20, 30, 20)) else (90, 60, 30)

# RESIZEDLG's resizing mask: 300 x 200 with 5-pixel corners cut away (white).
def resize_mask(x, y):
    corner = (x < 5 or x >= 295) and (y < 5 or y >= 195)
    return (255, 255, 255) if corner else (0, 0, 0)

# Atlas 192 x 176: thumbs, button mask, progress pictures, drop-down pictures, a strip.
ATLAS = [
    ((0, 0, 8, 12), 'thumb', (250, 250, 0)),
    ((8, 0, 8, 12), 'thumb', (250, 120, 0)),
    ((16, 0, 8, 12), 'thumb', (250, 0, 250)),
    ((24, 0, 8, 12), 'thumb', (128, 128, 128)),
    ((0, 16, 20, 20), 'mask', None),
    ((0, 40, 100, 12), 'fill', (40, 40, 40)),
    ((0, 52, 100, 12), 'fill', (0, 160, 250)),
    ((0, 64, 100, 12), 'fill', (160, 160, 250)),
    ((100, 40, 8, 12), 'thumbk', (250, 250, 250)),
    ((0, 76, 90, 18), 'fill', (70, 0, 0)),
    ((0, 94, 90, 18), 'fill', (0, 70, 0)),
    ((0, 112, 90, 18), 'fill', (0, 0, 70)),
    ((0, 130, 90, 18), 'fill', (70, 70, 70)),
    ((0, 148, 40, 20), 'fill', (255, 128, 0)),
    ((40, 148, 40, 20), 'fill', (255, 0, 128)),
    ((80, 148, 40, 20), 'fill', (128, 255, 0)),
    ((120, 148, 40, 20), 'fill', (0, 128, 255)),
]

def atlas_pixel(x, y):
    for r, kind, c in ATLAS:
        if not inside(x, y, r):
            continue
        lx, ly = x - r[0], y - r[1]
        if kind == 'thumb':  # blue is the thumb's transparent colour
            return c if 1 <= lx < 7 else (0, 0, 255)
        if kind == 'thumbk':  # black is the progress thumb's transparent colour
            return c if 2 <= lx < 6 else (0, 0, 0)
        if kind == 'mask':  # red outside a diamond is cut away
            return (0, 0, 0) if abs(lx - 10) + abs(ly - 10) <= 10 else (255, 8, 8)
        return c
    return (255, 255, 255)

SKIN_INI = r"""[SKININFO]
CursorFileName=
ImageList=atlas.bmp

[IMAGELISTINFO]
1=tn,0,0,8,12
2=TD,8,0,8,12
3=TO,16,0,8,12
4=TX,24,0,8,12
5=BTNMASK,0,16,20,20
6=SEEKBG,0,40,100,12
7=SEEKFILL,0,52,100,12
8=SEEKBUF,0,64,100,12
9=SEEKTHUMB,100,40,8,12
10=S0,0,76,90,18
11=S1,0,94,90,18
12=S2,0,112,90,18
13=S3,0,130,90,18
14=STRIP,0,148,160,20
15=ALONE,0,148,40,20

[ENUMS]
1=SEEKPICS,0,3,1,SEEKBG,SEEKFILL,SEEKBUF,SEEKTHUMB
2=SEARCHPICS,0,3,1,S0,S1,S2,S3

[FONTSINFO]
1=Caption,9,700,Arial,0,0,37,1,0,0,0,1,1,2,0,0,0,255,255,255,255,255,0,255,0,0,128,128,128,1,0,0,0,2,1,0,0

[FRAMEDLG]
Windowtype=0
Main=main.bmp
Over=over.bmp
Down=down.bmp
Disabled=disabled.bmp
TopParam=300,20,30,10,160,10
LeftParam=10,160,50,10,0,0
BottomParam=300,20,30,240,0,0
RightParam=10,160,50,10,0,0
OtherColor=230,230,230
ButtonAlpha=1

[FRAMEDLG/BUTTONS]
1=PLAY,40,30,40,20,Play it
2=Toggle,90,30,40,20,,T
3=shaped,140,30,20,20,,,btnmask
4=CAPT,170,30,60,20,,,,,,Go,Caption
5=CLOSE,275,2,16,16,Close
6=CORNER,2,182,20,14
7=LEFTMID,1,100,8,8
8=MIDTOP,100,2,20,14

[FRAMEDLG/TEXTINFO]
1=SHORT,,0,0,8,36,0,0,0,40,60,100,16,Hi,,,1
2=LONG,,1,0,8,36,0,0,0,150,60,60,16,A much longer text that cannot fit,,,1
3=QUIET,,0,0,8,36,0,0,0,220,60,60,16,Another text that cannot fit either,,,0

[FRAMEDLG/TRACKBARINFO]
1=volume,TN,TD,TO,TX,40,80,100,16,h,25,Volume,0,100
2=BROKEN,TN,MISSING,TO,TX,150,80,60,16,H,0,,0,10

[FRAMEDLG/PROGRESSINFO]
1=SEEK,Seek,40,100,100,12,H,,SEEKPICS
2=PLAIN,,150,100,60,12,V,,,0

[FRAMEDLG/EDITS]
1=NAME,40,120,100,18,0,0,128,Your name,0,,0,0,0

[FRAMEDLG/LISTBOXS]
1=LIST,150,120,100,50,0,0,0,,,x

[FRAMEDLG/COMBOBOXINFO]
1=KIND,40,150,80,18,Kind,0,0,0,10,10,10,240,240,240,255,255,255,0,0,128,0,0,0,0,Alpha,Beta,Gamma
2=Search,130,150,90,18,groupSearch,0,0,0,10,10,10,240,240,240,255,255,255,0,0,128,0,0,0,1,SEARCHPICS,130,152,90,18

[FRAMEDLG/STRINGSINFO]
1=Stat,200,130,60,14,8,700,36,16,32,48

[MASKDLG]
Windowtype=1
Main=mmain.bmp
MaskNoAdvancedPanel=mmask.bmp
MaskWithAdvancedPanel=mmask2.bmp
MaskOffsetSize=0,30
InvalidteRect=0,0,120,80

[MASKDLG/BUTTONS]
1=OK,20,20,30,20,Ok

[MASKDLG/STRINGSINFO]
1=Masked,60,50,50,14,8,700,37,255,255,0

[BAREDLG]
Windowtype=0
BKColor=0,0,128

[RESIZEDLG]
Windowtype=0
Main=main.bmp
TopParam=300,20,30,10,160,10
LeftParam=10,160,50,10,0,0
BottomParam=300,20,30,240,0,0
RightParam=10,160,50,10,0,0
ResizingMask=rmask.bmp
"""

ALT_INI = r"""[SKININFO]
ImageList=

[FRAMEDLG]
Windowtype=0
Main=main.bmp
TopParam=300,20,30,10,160,10
LeftParam=10,160,50,10,0,0
BottomParam=300,20,30,240,0,0
RightParam=10,160,50,10,0,0

[FRAMEDLG/STRINGSINFO]
1=Stat,200,130,60,14,8,700,36,16,32,48
"""

def write_ini(path, text):
    with open(path, 'wb') as f:
        f.write(b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le'))

def main():
    os.makedirs(os.path.join(OUT, 'alt'), exist_ok=True)
    for state in STATE:
        write_bmp(os.path.join(OUT, state + '.bmp'), FRAME_W, FRAME_H, frame_pixel(state))
    write_bmp(os.path.join(OUT, 'alt', 'main.bmp'), FRAME_W, FRAME_H, frame_pixel('main', (90, 20, 160)))
    write_bmp(os.path.join(OUT, 'mmain.bmp'), 120, 80, mask_main)
    write_bmp(os.path.join(OUT, 'mmask.bmp'), 120, 80, mask_pixel)
    write_bmp(os.path.join(OUT, 'mmask2.bmp'), 120, 80, mask_full)
    write_bmp(os.path.join(OUT, 'atlas.bmp'), 192, 176, atlas_pixel)
    write_bmp(os.path.join(OUT, 'rmask.bmp'), 300, 200, resize_mask)
    write_ini(os.path.join(OUT, 'skin.ini'), SKIN_INI)
    write_ini(os.path.join(OUT, 'alt', 'skin.ini'), ALT_INI)

if __name__ == '__main__':
    main()
