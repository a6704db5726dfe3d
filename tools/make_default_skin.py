#!/usr/bin/env python3
"""Writes the default skin, skins/default/: skin.ini and the pictures it names.

The look: a calm charcoal header (title row and toolbar) over a light content
area, a tinted sidebar with the root chooser and the folder tree, a white file
list, and a light status bar. Line pictograms in the header, teal accent.

Layout rules the picture follows (they come from how the engine stretches a
frame window and moves its controls):
- the top band is cut into equal corners (220 px) with flat tiles between, so
  the "About" pill, which the main window keeps centred, sits over a middle
  piece that stays centred too;
- everything the header holds lies inside one of the two corners, so the
  minimum size (corners plus middle pieces) keeps it all visible;
- the side and bottom strips are flat, so they stretch without seams.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from skinraster import Canvas, arc, bmp24, bmp_rle8  # noqa: E402
import make_icon  # noqa: E402  (the program icon: the logo is the same bird)

W0, H0 = 960, 620          # initial window size; also the size of the window pictures
TOP, BOTTOM, SIDE = 88, 30, 1
TITLE_H = 36               # the title row inside the top band
CORNER = 220               # top corners
MID_X0, MID_X1 = 436, 524  # top middle piece (holds the About pill)
BOTTOM_LEFT, BOTTOM_RIGHT = 330, 240
SIDEBAR_W = 240
LEFT_UPPER, LEFT_LOWER = 200, 58  # side strip pieces that set the minimum height

# Colours (R, G, B).
HEAD_TOP, HEAD_BOTTOM = (27, 35, 44), (33, 43, 54)
HEAD_LINE = (20, 26, 33)
ICON = (205, 212, 220)
ICON_HOT = (255, 255, 255)
ICON_OFF = (98, 110, 124)
HOVER_BG = (47, 60, 74)
PRESS_BG = (25, 132, 132)
CLOSE_HOT, CLOSE_DOWN = (196, 43, 28), (160, 33, 22)
WIN_HOT, WIN_DOWN = (50, 63, 77), (64, 79, 95)
PILL, PILL_HOT = (42, 54, 67), (55, 69, 85)
SIDEBAR = (243, 245, 248)
TEXT = (31, 41, 51)
BORDER = (203, 209, 217)
SPLIT = (216, 221, 228)
STATUS_BG, STATUS_LINE, STATUS_TEXT = (236, 239, 243), (216, 221, 228), (72, 83, 96)
TRACK, FILL, BUFFER = (214, 219, 226), (28, 150, 148), (150, 206, 203)
FIELD, FIELD_LINE, FIELD_HOT, CHEVRON = (255, 255, 255), (200, 207, 216), (146, 158, 172), (92, 104, 118)
FIELD_DOWN_BG, FIELD_OFF_BG, FIELD_OFF_LINE, CHEVRON_OFF = (234, 246, 245), (236, 239, 243), (219, 223, 229), (170, 178, 188)
LIST_EVEN, LIST_ODD = (255, 255, 255), (247, 249, 251)
# The list header: the file list leaves its text white, so the header is dark.
HEADER_BG, HEADER_LINE = (47, 59, 73), (84, 98, 114)


# ---- pictograms: polylines on a 24-unit grid ---------------------------------

def _folder():
    return ([(9, 3), (11, 6), (20, 6)] + arc(20, 8, 2, 270, 360) + [(22, 19)] + arc(20, 19, 2, 0, 90) +
            [(4, 21)] + arc(4, 19, 2, 90, 180) + [(2, 5)] + arc(4, 5, 2, 180, 270) + [(9, 3)])


def _help_hook():
    c = (11.92, 10.0)
    return arc(c[0], c[1], 3.0, 199.5, 360) + [(14.92, 11.0), (14.3, 12.0), (13.2, 12.6), (12.0, 13.1)]


ICONS = {
    # download into a tray: copy device items to the PC
    'copy_to_pc': ([[(3, 15)] + arc(5, 19, 2, 180, 90) + arc(19, 19, 2, 90, 0) + [(21, 15)],
                    [(12, 3), (12, 15)], [(7, 10), (12, 15), (17, 10)]], []),
    # a document with an up arrow: copy a PC file to the device
    'file_up': ([[(14, 2), (6, 2)] + arc(6, 4, 2, 270, 180) + [(4, 20)] + arc(6, 20, 2, 180, 90) +
                 [(18, 22)] + arc(18, 20, 2, 90, 0) + [(20, 8), (14, 2)],
                 [(14, 2), (14, 8), (20, 8)], [(12, 18), (12, 12)], [(9, 15), (12, 12), (15, 15)]], []),
    'folder_up': ([_folder(), [(12, 17), (12, 11)], [(9, 14), (12, 11), (15, 14)]], []),
    'folder_plus': ([_folder(), [(12, 11), (12, 17)], [(9, 14), (15, 14)]], []),
    'pencil': ([arc(19, 5, 2.828, 225, 405) + [(7.5, 20.5), (2, 22), (3.5, 16.5), (17, 3)],
                [(14.5, 5.5), (18.5, 9.5)]], []),
    'trash': ([[(3, 6), (21, 6)],
               [(19, 6), (19, 20)] + arc(17, 20, 2, 0, 90) + [(7, 22)] + arc(7, 20, 2, 90, 180) + [(5, 6)],
               [(8, 6), (8, 4)] + arc(10, 4, 2, 180, 270) + [(14, 2)] + arc(14, 4, 2, 270, 360) + [(16, 6)],
               [(10, 11), (10, 17)], [(14, 11), (14, 17)]], []),
    'refresh': ([arc(12, 12, 9, 19.5, 315), [(18.36, 5.64), (23, 10)], [(23, 4), (23, 10), (17, 10)]], []),
    # a circle with a down arrow: look for a newer version now
    'update': ([arc(12, 12, 10, 0, 360, 8), [(12, 6.5), (12, 16.5)], [(8, 12.5), (12, 16.5), (16, 12.5)]], []),
    'arrow_up': ([[(12, 20), (12, 4)], [(5, 11), (12, 4), (19, 11)]], []),
    'cross': ([[(6, 6), (18, 18)], [(18, 6), (6, 18)]], []),
    'help': ([arc(12, 12, 10, 0, 360, 8), _help_hook()], [(12, 17)]),
    'info': ([arc(12, 12, 10, 0, 360, 8), [(12, 16), (12, 11.5)]], [(12, 8)]),
    'phone': ([[(7, 2), (17, 2)] + arc(17, 4, 2, 270, 360) + [(19, 20)] + arc(17, 20, 2, 0, 90) + [(7, 22)] +
               arc(7, 20, 2, 90, 180) + [(5, 4)] + arc(7, 4, 2, 180, 270)], [(12, 18)]),
    'chevron': ([[(6, 9), (12, 15), (18, 9)]], []),
}


def icon(c, name, x, y, size, colour, width=None):
    lines, dots = ICONS[name]
    s = size / 24.0
    tr = [[(x + u * s, y + v * s) for u, v in pts] for pts in lines]
    w = width if width else 2.0 * s
    c.strokes(tr, w, colour, [(x + u * s, y + v * s) for u, v in dots])


def logo(c, x, y, n):
    # Supersampled from the program icon's own drawing.
    k = 4
    for py in range(n):
        for px in range(n):
            acc, cov = [0, 0, 0], 0
            for sy in range(k):
                for sx in range(k):
                    r, g, b, a = make_icon.pixel(px * k + sx, py * k + sy, n * k)
                    if a:
                        acc = [acc[0] + r, acc[1] + g, acc[2] + b]
                        cov += 1
            if cov:
                c.blend(x + px, y + py, tuple(v // cov for v in acc), cov / (k * k))


# ---- the window section's controls ------------------------------------------

def toolbar_buttons():
    """(command, x, y, w, h, tooltip, caption, pictogram) of the header buttons."""
    bw, bh, y = 66, 48, 38
    left = [('CopyToPC', 'Copy the selected items to a PC folder', 'Copy to PC', 'copy_to_pc'),
            ('CopyFileToDevice', 'Copy a PC file into the current device folder', 'Add file', 'file_up'),
            ('CopyFolderToDevice', 'Copy a PC folder into the current device folder', 'Add folder', 'folder_up')]
    right = [('CreateFolder', 'Create a folder in the current device folder', 'New folder', 'folder_plus'),
             ('RenamePath', 'Rename the selected item', 'Rename', 'pencil'),
             ('DeleteFromDevice', 'Delete the selected items from the device', 'Delete', 'trash')]
    out = [(n, 10 + i * (bw + 2), y, bw, bh, t, cap, p) for i, (n, t, cap, p) in enumerate(left)]
    x0 = W0 - 10 - 3 * bw - 4
    out += [(n, x0 + i * (bw + 2), y, bw, bh, t, cap, p) for i, (n, t, cap, p) in enumerate(right)]
    return out


WIN_W = 46
WINDOW_BUTTONS = [('Minimize', W0 - 3 * WIN_W, 'Minimize'),
                  ('Maximize', W0 - 2 * WIN_W, 'Maximize or restore'),
                  ('Power_Off', W0 - WIN_W, 'Close Pelican')]
TITLE_ICONS = [('CheckUpdateNow', W0 - 3 * WIN_W - 6 - 2 * 34 - 2, 'Check for updates now', 'update'),
               ('Help', W0 - 3 * WIN_W - 6 - 34, 'Help', 'help')]
ABOUT = ('About', (W0 - 84) // 2, 5, 84, 26)
COMBO = ('SpecifyFolder', 12, TOP + 10, SIDEBAR_W - 24, 28)
INFO = ('Information', 32, H0 - BOTTOM + 1, 290, BOTTOM - 2)
PROGRESS = ('CopyProgress', W0 - 16 - 180, H0 - BOTTOM + 11, 180, 8)
TITLE_TEXT = (42, 0, 150, TITLE_H)
TREE_TOP = TOP + 48
# The row above the file list: navigation buttons, then room for the folder path.
NAV_H = 48
LIST_X = SIDE + SIDEBAR_W + 1
VSCROLL_W = 17             # the system's vertical scroll bar at 96 DPI (Wine's is 16)
NAV_BUTTONS = [('Up', LIST_X + 8, 'Up one folder (Backspace)', 'arrow_up'),
               ('Refresh', LIST_X + 8 + 36, 'Refresh (F5)', 'refresh')]
NAV_Y, NAV_W, NAV_BH = TOP + 9, 34, 30
# Beside the progress bar; live only while a copy runs.
CANCEL = ('CancelCopy', PROGRESS[1] - 28, H0 - BOTTOM + 4, 22, 22)


def paint_frame(c):
    """The window as the frame draws it, without any control."""
    c.fill(0, 0, W0, H0, SIDEBAR)
    c.vgradient(0, 0, W0, TOP - 1, HEAD_TOP, HEAD_BOTTOM)
    c.fill(0, TOP - 1, W0, TOP, HEAD_LINE)
    c.fill(0, TOP, SIDE, H0, BORDER)
    c.fill(W0 - SIDE, TOP, W0, H0, BORDER)
    c.fill(SIDE, H0 - BOTTOM, W0 - SIDE, H0 - 1, STATUS_BG)
    c.fill(SIDE, H0 - BOTTOM, W0 - SIDE, H0 - BOTTOM + 1, STATUS_LINE)
    c.fill(0, H0 - 1, W0, H0, BORDER)
    logo(c, 12, 7, 22)
    icon(c, 'phone', 12, H0 - BOTTOM + 7, 16, STATUS_TEXT, 1.5)


def paint_button(c, state, x, y, w, h, pictogram, radius=7, isize=22, icon_dy=5):
    bg = {1: HOVER_BG, 2: PRESS_BG}.get(state)
    if bg:
        c.rrect(x + 1, y + 1, x + w - 1, y + h - 1, radius, bg)
    colour = {0: ICON, 1: ICON_HOT, 2: ICON_HOT, 3: ICON_OFF}[state]
    icon(c, pictogram, x + (w - isize) / 2, y + icon_dy, isize, colour)


def paint_window_button(c, state, name, x):
    close = name == 'Power_Off'
    bg = {1: CLOSE_HOT if close else WIN_HOT, 2: CLOSE_DOWN if close else WIN_DOWN}.get(state)
    if bg:
        c.fill(x, 0, x + WIN_W, TITLE_H, bg)
    col = {0: ICON, 1: ICON_HOT, 2: ICON_HOT, 3: ICON_OFF}[state]
    cx, cy = x + WIN_W // 2, TITLE_H // 2
    if name == 'Minimize':
        c.fill(cx - 5, cy, cx + 5, cy + 1, col)
    elif name == 'Maximize':
        c.rrect_outline(cx - 5, cy - 5, cx + 5, cy + 5, 1, 1, col)
    else:
        c.strokes([[(cx - 5, cy - 5), (cx + 5, cy + 5)], [(cx + 5, cy - 5), (cx - 5, cy + 5)]], 1.1, col)


def paint_light_button(c, state, x, y, w, h, pictogram, isize):
    """A button on the light content area or the status bar."""
    bg = {1: SPLIT, 2: PRESS_BG}.get(state)
    if bg:
        c.rrect(x + 1, y + 1, x + w - 1, y + h - 1, 6, bg)
    colour = {0: STATUS_TEXT, 1: TEXT, 2: (255, 255, 255), 3: BORDER}[state]
    icon(c, pictogram, x + (w - isize) / 2, y + (h - isize) / 2, isize, colour)


def paint_about(c, state):
    _, x, y, w, h = ABOUT
    bg = {0: PILL, 1: PILL_HOT, 2: PRESS_BG, 3: PILL}[state]
    c.rrect(x, y, x + w, y + h, h / 2, bg)
    icon(c, 'info', x + 10, y + 5, 16, ICON_OFF if state == 3 else ICON_HOT if state else ICON, 1.5)


def paint_combo(c, state):
    _, x, y, w, h = COMBO
    line = {0: FIELD_LINE, 1: FIELD_HOT, 2: FILL, 3: FIELD_OFF_LINE}[state]
    bg = {2: FIELD_DOWN_BG, 3: FIELD_OFF_BG}.get(state, FIELD)
    c.rrect(x, y, x + w, y + h, 6, line)
    c.rrect(x + 1, y + 1, x + w - 1, y + h - 1, 5, bg)
    icon(c, 'chevron', x + w - 24, y + (h - 16) / 2, 16, CHEVRON_OFF if state == 3 else CHEVRON, 1.6)


def paint_progress(c, kind):
    _, x, y, w, h = PROGRESS
    c.fill(x - 2, y - 2, x + w + 2, y + h + 2, STATUS_BG)
    c.rrect(x, y, x + w, y + h, h / 2, {'track': TRACK, 'fill': FILL, 'buffer': BUFFER}[kind])


def window_pictures():
    """Main, Over, Down and Disabled: the frame plus every control in one state."""
    base = Canvas(W0, H0)
    paint_frame(base)
    pics = []
    for state in range(4):
        c = base.copy()
        for name, x, y, w, h, tip, cap, pic in toolbar_buttons():
            paint_button(c, state, x, y, w, h, pic)
        for name, x, tip, pic in TITLE_ICONS:
            paint_button(c, state, x, 3, 34, 30, pic, radius=6, isize=18, icon_dy=6)
        for name, x, tip in WINDOW_BUTTONS:
            paint_window_button(c, state, name, x)
        for name, x, tip, pic in NAV_BUTTONS:
            paint_light_button(c, state, x, NAV_Y, NAV_W, NAV_BH, pic, 18)
        paint_light_button(c, state, *CANCEL[1:], 'cross', 14)
        paint_about(c, state)
        paint_combo(c, state)
        # Progress bar pictures: background from Main, filled part from Down,
        # buffered part from Over.
        paint_progress(c, {0: 'track', 1: 'buffer', 2: 'fill', 3: 'track'}[state])
        pics.append(c)
    return pics


def small_pictures():
    tree = Canvas(W0, H0, SIDEBAR)  # the tree cuts its background from this at its own rect
    # The header stretches its pictures to its own height: flat background,
    # nothing at the left edge of a column, a short divider at its right edge.
    hdr = Canvas(8, 40, HEADER_BG)
    left = Canvas(1, 40, HEADER_BG)
    right = Canvas(1, 40, HEADER_BG)
    right.fill(0, 10, 1, 30, HEADER_LINE)
    return {'tree_bg.bmp': bmp_rle8(tree), 'list_header.bmp': bmp24(hdr),
            'list_header_left.bmp': bmp24(left), 'list_header_right.bmp': bmp24(right)}


# ---- skin.ini ---------------------------------------------------------------

def rgb(c):
    return '%d,%d,%d' % c


def rect(x, y, w, h):
    return '%d,%d,%d,%d' % (x, y, w, h)


def skin_ini():
    s = []

    def section(name, entries):
        s.append('[%s]' % name)
        s.extend('%s=%s' % kv for kv in entries)
        s.append('')

    s.append('; Pelican default skin. Written by tools/make_default_skin.py: change the generator, not this file.')
    s.append('')
    section('SKININFO', [('CursorFileName', ''), ('ImageList', '')])
    caption_colours = ', '.join(rgb(x) for x in (ICON, ICON_HOT, ICON_HOT, ICON_OFF))
    section('FONTSINFO', [
        ('1', 'ToolCaption, 8, 400, Segoe UI, 0, 0, 37, 0, 0,0,0, 0,0, 0,29,0,2, %s, 0,0,0,0, 0,0,0,0'
         % caption_colours),
        ('2', 'PillCaption, 9, 400, Segoe UI, 0, 0, 36, 0, 0,0,0, 0,0, 31,0,6,0, %s, 0,0,0,0, 0,0,0,0'
         % caption_colours)])
    v = TOP + (H0 - TOP - BOTTOM)
    side = '%d,%d,%d,1,%d,1' % (SIDE, H0 - TOP - BOTTOM, TOP + LEFT_UPPER, v - LEFT_LOWER - 1)
    top_tile = MID_X0 - CORNER
    bottom_tile = (W0 - BOTTOM_LEFT - BOTTOM_RIGHT - 2) // 2
    section('MAINDLG', [
        ('Windowtype', '0'), ('Main', 'main.bmp'), ('Over', 'over.bmp'), ('Down', 'down.bmp'),
        ('Disabled', 'disabled.bmp'),
        ('TopParam', '%d,%d,%d,%d,%d,%d' % (W0, TOP, CORNER, top_tile, MID_X1, W0 - CORNER - MID_X1)),
        ('LeftParam', side),
        ('BottomParam', '%d,%d,%d,%d,%d,%d' % (W0, BOTTOM, BOTTOM_LEFT, bottom_tile,
                                               BOTTOM_LEFT + bottom_tile + 2, bottom_tile)),
        ('RightParam', side),
        ('OtherColor', rgb(SIDEBAR)), ('BKColor', rgb(SIDEBAR)), ('WndMoveType', '0'), ('ButtonAlpha', '1'),
        ('InitSize', rect(0, 0, W0, H0)), ('TitleDBClkArea', rect(0, 0, W0, TITLE_H))])

    buttons = [(n, rect(x, y, w, h), t, cap, 'ToolCaption') for n, x, y, w, h, t, cap, _ in toolbar_buttons()]
    buttons += [(n, rect(x, 3, 34, 30), t, '', '') for n, x, t, _ in TITLE_ICONS]
    buttons.append(('About', rect(*ABOUT[1:]), 'About Pelican', 'About', 'PillCaption'))
    buttons += [(n, rect(x, 0, WIN_W, TITLE_H), t, '', '') for n, x, t in WINDOW_BUTTONS]
    buttons += [(n, rect(x, NAV_Y, NAV_W, NAV_BH), t, '', '') for n, x, t, _ in NAV_BUTTONS]
    buttons.append((CANCEL[0], rect(*CANCEL[1:]), 'Cancel the copy (Esc)', '', ''))
    # name, rect, tooltip, kind, mask, state enum, (kept), caption, caption style, (kept)
    section('MAINDLG/BUTTONS', [(str(i + 1), '%s, %s, %s, , , , , %s, %s, ' % (n, r, t, cap, style))
                                for i, (n, r, t, cap, style) in enumerate(buttons)])
    section('MAINDLG/TEXTINFO', [
        ('1', '%s, Segoe UI, 0, 0, 9, 36, %s, %s, Waiting for Handset..., , , 0'
         % (INFO[0], rgb(STATUS_TEXT), rect(*INFO[1:])))])
    section('MAINDLG/PROGRESSINFO', [
        ('1', '%s, Copy progress, %s, H, , , 0' % (PROGRESS[0], rect(*PROGRESS[1:])))])
    section('MAINDLG/COMBOBOXINFO', [
        ('1', '%s, %s, Choose the root of the folder tree, %s, %s, %s, %s, %s, %s, 0, '
              'Media (/var/mobile/Media), Device root (/)'
         % (COMBO[0], rect(*COMBO[1:]), rgb(TEXT), rgb(TEXT), rgb(FIELD), rgb((255, 255, 255)), rgb(FILL),
            rgb(FIELD_LINE)))])
    # Each static text also sets the window's fill colour, so the title's
    # colour is the sidebar colour on purpose.
    section('MAINDLG/STRINGSINFO', [('1', 'Pelican, %s, 11, 700, 36, %s' % (rect(*TITLE_TEXT), rgb(SIDEBAR)))])
    list_w = W0 - SIDE - LIST_X
    # Icon, size, type and date take what their texts need; the name takes the
    # rest, so at the initial size all columns fit beside a vertical scroll bar.
    icon_w, size_w, type_w, date_w = 24, 90, 80, 130
    name_w = list_w - VSCROLL_W - icon_w - size_w - type_w - date_w
    section('MAINDLG/APPVIEWS', [
        ('1', 'FileTreeView, %s, tree_bg.bmp, %s, %s'
         % (rect(SIDE, TREE_TOP, SIDEBAR_W, H0 - BOTTOM - TREE_TOP), rgb(TEXT), rgb(SIDEBAR))),
        ('2', 'SplitterBar, %s' % rect(SIDE + SIDEBAR_W, TOP, 1, H0 - BOTTOM - TOP)),
        ('3', 'FileListCtrl, %s, 0, list_header.bmp, list_header_left.bmp, list_header_right.bmp, '
              '%s, %s, %s, %s, %d, %d, %d, %d, %d'
         % (rect(LIST_X, TOP + NAV_H, list_w, H0 - BOTTOM - TOP - NAV_H), rgb(LIST_EVEN), rgb(LIST_ODD),
            rgb(LIST_EVEN), rgb(TEXT), icon_w, name_w, size_w, type_w, date_w))])
    section('SplitterBar', [('Windowtype', '0'), ('BKColor', rgb(SPLIT)), ('WndMoveType', '0')])
    s.append('; Handed to the scroll-bar library as it stands; the platform scroll bars are drawn.')
    section('SCROLLBAR', [('Width', '14'), ('TrackColor', rgb(SIDEBAR)), ('ThumbColor', rgb(BORDER))])
    return '\r\n'.join(s)


def main(out):
    os.makedirs(out, exist_ok=True)
    files = dict(zip(['main.bmp', 'over.bmp', 'down.bmp', 'disabled.bmp'], map(bmp_rle8, window_pictures())))
    files.update(small_pictures())
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)
    with open(os.path.join(out, 'skin.ini'), 'w', newline='') as f:
        f.write(skin_ini())
    # Pictures of an earlier look that the skin no longer names go.
    for name in os.listdir(out):
        if name == '.keep' or (name.endswith('.bmp') and name not in files):
            os.remove(os.path.join(out, name))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', 'skins', 'default'))
