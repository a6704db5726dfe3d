#!/usr/bin/env python3
"""Checks a skin folder (default: skins/default) the way the engine reads it:
profile-file syntax, comma tokens, numbered entries (stop-at-gap and
count-the-keys rules), pictures that must exist and decode, control rects
inside the window, the controls and views the program needs, and the layout
at several window sizes (frame pieces stretched, controls anchored, views
following their margins).

    check_skin.py [SKIN_DIR] [--render W H OUT.bmp] [--state 0..3]

Exits 0 when every check passes, 1 otherwise. --render writes a picture of the
main window at W x H as the frame and its controls would draw it (views are
drawn as plain placeholders), for people to look at.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skinraster import Canvas, bmp24, read_bmp  # noqa: E402

REQUIRED_BUTTONS = ['CopyToPC', 'CopyFileToDevice', 'CopyFolderToDevice', 'CreateFolder', 'RenamePath',
                    'DeleteFromDevice', 'CheckUpdateNow', 'Up', 'Refresh', 'CancelCopy', 'About', 'Help', 'Minimize', 'Maximize', 'Power_Off']
COUNTS = {'/BUTTONS': 13, '/TEXTINFO': 17, '/TRACKBARINFO': 15, '/PROGRESSINFO': 10, '/EDITS': 14,
          '/LISTBOXS': 11, '/STRINGSINFO': 11}
RULE_A = {'/BUTTONS'}
KINDS = ['/BUTTONS', '/TEXTINFO', '/TRACKBARINFO', '/PROGRESSINFO', '/EDITS', '/LISTBOXS', '/COMBOBOXINFO',
         '/STRINGSINFO']


# ---- the description file, read as the engine reads it ---------------------

class Profile:
    """A profile (INI) file as the system's private-profile functions see it:
    names without regard to case, the first of duplicate sections and keys,
    values trimmed and stripped of one pair of enclosing quotes."""

    def __init__(self, text):
        self.sections, self.order, self.problems = {}, [], []
        current = None
        for n, raw in enumerate(text.splitlines(), 1):
            line = raw.strip()
            if not line or line.startswith(';'):
                continue
            if line.startswith('['):
                if not line.endswith(']'):
                    self.problems.append('line %d: section header without "]"' % n)
                name = line[1:].split(']')[0].strip().lower()
                if name in self.sections:
                    self.problems.append('line %d: section [%s] repeated; only the first is read' % (n, name))
                    current = {}
                    continue
                current = self.sections[name] = {}
                self.order.append(name)
                continue
            if current is None or '=' not in line:
                self.problems.append('line %d: not a key line: %r' % (n, raw))
                continue
            key, value = line.split('=', 1)
            key, value = key.strip().lower(), value.strip()
            if len(value) >= 2 and value[0] == value[-1] and value[0] in '"\'':
                value = value[1:-1]
            if key in current:
                self.problems.append('line %d: key %s repeated' % (n, key))
                continue
            if len(value) > 4095:
                self.problems.append('line %d: value longer than 4095 characters' % n)
            current[key] = value

    def has(self, section):
        return section.lower() in self.sections

    def read(self, section, key, default=''):
        return self.sections.get(section.lower(), {}).get(key.lower(), default)

    def keys(self, section):
        return list(self.sections.get(section.lower(), {}))

    def entries(self, section, rule_a):
        """Numbered entries: rule A stops at the first empty or missing key,
        rule B reads keys 1..N (N = number of keys) and skips empty ones."""
        out = []
        if rule_a:
            n = 1
            while self.read(section, str(n)):
                out.append((n, self.read(section, str(n))))
                n += 1
        else:
            for n in range(1, len(self.keys(section)) + 1):
                if self.read(section, str(n)):
                    out.append((n, self.read(section, str(n))))
        return out


def pop_token(rest):
    """One token off the front: up to the first comma, trimmed, one pair of
    enclosing double quotes removed. Returns (token, remainder)."""
    if ',' in rest:
        tok, rest = rest.split(',', 1)
    else:
        tok, rest = rest, ''
    tok = tok.strip()
    if tok[:1] == '"' and tok[-1:] == '"':
        tok = tok[1:-1]
    return tok, rest.strip()


def tokens(value):
    out, rest = [], value
    while rest:
        tok, rest = pop_token(rest)
        out.append(tok)
    return out


def wtoi(tok):
    s, i = tok.lstrip(), 0
    if s[:1] in '+-':
        i = 1
    while i < len(s) and s[i].isdigit():
        i += 1
    try:
        return int(s[:i])
    except ValueError:
        return 0


def rect_of(toks, at):
    x, y, w, h = (wtoi(t) for t in (toks + [''] * 4)[at:at + 4])
    return (x, y, x + w, y + h)


def colour_of(toks, at):
    return tuple(wtoi(t) & 0xFF for t in (toks + [''] * 3)[at:at + 3])


# ---- the checks ---------------------------------------------------------------

class Checker:
    def __init__(self, folder):
        self.folder, self.errors, self.notes, self.pictures = folder, [], [], {}
        self.window, self.string_colour = None, None

    def fail(self, msg):
        self.errors.append(msg)

    def picture(self, name, what):
        if not name:
            self.fail('%s: no picture named' % what)
            return None
        if name in self.pictures:
            return self.pictures[name]
        path = os.path.join(self.folder, name)
        pic = None
        if not os.path.isfile(path):
            self.fail('%s: picture %s does not exist' % (what, name))
        else:
            try:
                with open(path, 'rb') as f:
                    pic = read_bmp(f.read())
            except ValueError as e:
                self.fail('%s: picture %s does not decode: %s' % (what, name, e))
        self.pictures[name] = pic
        return pic

    def run(self):
        path = os.path.join(self.folder, 'skin.ini')
        if not os.path.isfile(path):
            self.fail('skin.ini is missing')
            return
        with open(path, 'rb') as f:
            raw = f.read()
        try:
            text = raw.decode('ascii')
        except UnicodeDecodeError:
            self.fail('skin.ini is not plain ASCII (the profile reader would take it as the ANSI code page)')
            text = raw.decode('latin-1')
        self.ini = Profile(text)
        self.errors += self.ini.problems
        for s in ['SKININFO', 'FONTSINFO', 'MAINDLG', 'SplitterBar', 'SCROLLBAR']:
            if not self.ini.has(s):
                self.fail('section [%s] is missing' % s)
        self.check_globals()
        self.window = self.check_window('MAINDLG')
        if self.window:
            self.controls = self.check_controls('MAINDLG')
            self.views = self.check_views('MAINDLG')
            self.check_layout()
        self.check_splitter()

    def check_globals(self):
        ini = self.ini
        cursor = ini.read('SKININFO', 'CursorFileName')
        if cursor and not os.path.isfile(os.path.join(self.folder, cursor)):
            self.fail('SKININFO CursorFileName %s does not exist' % cursor)
        self.images = {}
        atlas_name = ini.read('SKININFO', 'ImageList')
        atlas = self.picture(atlas_name, 'SKININFO ImageList') if atlas_name else None
        for n, v in ini.entries('IMAGELISTINFO', True):
            t = tokens(v)
            r = rect_of(t, 1)
            self.images[t[0].upper()] = r
            if atlas and not (0 <= r[0] < r[2] <= atlas.w and 0 <= r[1] < r[3] <= atlas.h):
                self.fail('IMAGELISTINFO %d: rect lies outside the atlas' % n)
        self.enums = {}
        for n, v in ini.entries('ENUMS', True):
            t = tokens(v)
            first, last, rep = wtoi(t[1]), wtoi(t[2]), wtoi(t[3])
            items = t[4:4 + max(0, last - first + 1)]
            if len(items) < last - first + 1:
                self.fail('ENUMS %d: fewer items than first..last' % n)
            self.enums.setdefault(t[0].upper(), [i for i in items for _ in range(rep)])
            for item in items:
                if item and item.upper() not in self.images:
                    self.fail('ENUMS %d: image name %s is not in IMAGELISTINFO' % (n, item))
        self.fonts = {}
        for n, v in ini.entries('FONTSINFO', True):
            t = tokens(v)
            if len(t) != 37:
                self.fail('FONTSINFO %d: %d tokens, 37 expected' % (n, len(t)))
            if wtoi(t[1]) <= 0:
                self.fail('FONTSINFO %d: size must be above 0' % n)
            self.check_colours('FONTSINFO %d' % n, t, [8, 17, 20, 23, 26])
            self.fonts[t[0]] = t

    def check_colours(self, what, toks, starts):
        for s in starts:
            for t in toks[s:s + 3]:
                if not t.strip().isdigit() or int(t) > 255:
                    self.fail('%s: colour token %r is not 0..255' % (what, t))

    def check_window(self, sec):
        ini = self.ini
        if ini.read(sec, 'Windowtype', '0') != '0':
            self.fail('%s must be a frame window (Windowtype 0)' % sec)
            return None
        main = self.picture(ini.read(sec, 'Main'), sec + ' Main')
        states = [main] + [self.picture(ini.read(sec, k) or ini.read(sec, 'Main'), '%s %s' % (sec, k))
                           for k in ('Over', 'Down', 'Disabled')]
        if not all(states):
            return None
        for k, p in zip(('Over', 'Down', 'Disabled'), states[1:]):
            if (p.w, p.h) != (main.w, main.h):
                self.fail('%s %s is %dx%d, Main is %dx%d' % (sec, k, p.w, p.h, main.w, main.h))
        params = {}
        for k in ('TopParam', 'LeftParam', 'BottomParam', 'RightParam'):
            t = tokens(ini.read(sec, k))
            if len(t) != 6:
                self.fail('%s %s: %d tokens, 6 expected' % (sec, k, len(t)))
                return None
            params[k] = [wtoi(x) for x in t]
        W, T, ta, taw, tb, tbw = params['TopParam']
        L, H, la, lah, lb, lbh = params['LeftParam']
        Wb, B, ba, baw, bb, bbw = params['BottomParam']
        R, H2, ra, rah, rb, rbh = params['RightParam']
        if (W, T + H + B) != (main.w, main.h) or Wb != W or H2 != H:
            self.fail('%s border keys do not add up to the Main picture (%dx%d)' % (sec, main.w, main.h))
        for k, (a, aw, b, bw, lo, hi) in (('TopParam', (ta, taw, tb, tbw, 0, W)),
                                          ('BottomParam', (ba, baw, bb, bbw, 0, W)),
                                          ('LeftParam', (la, lah, lb, lbh, T, T + H)),
                                          ('RightParam', (ra, rah, rb, rbh, T, T + H))):
            cuts = [lo, a, a + aw] + ([b, b + bw] if bw else []) + [hi]
            if cuts != sorted(cuts) or aw <= 0:
                self.fail('%s %s: cut points out of order or empty tile' % (sec, k))
        init = tokens(ini.read(sec, 'InitSize'))
        if len(init) != 4 or (wtoi(init[2]), wtoi(init[3])) != (main.w, main.h):
            self.fail('%s InitSize must give the size of the Main picture, which the control rects use' % sec)
        for k in ('OtherColor', 'BKColor'):
            if ini.read(sec, k):
                self.check_colours('%s %s' % (sec, k), tokens(ini.read(sec, k)), [0])
        area = tokens(ini.read(sec, 'TitleDBClkArea'))
        if len(area) != 4:
            self.fail('%s TitleDBClkArea: a rect is expected' % sec)
        else:
            self.inside(sec + ' TitleDBClkArea', rect_of(area, 0), main)
        two = lambda a, aw, b, bw, hi: (a, b - a - aw, hi - b - bw) if bw else (a, 0, hi - a - aw)
        tl, tmid, trw = two(ta, taw, tb, tbw, W)
        bl, bmid, brw = two(ba, baw, bb, bbw, W)
        lv = lambda a, ah, b, bh: (a - T, T + H - b - bh, ah + bh) if (b and ah) else (a - T, T + H - a - ah, ah)
        lup, llow, ltiles = lv(la, lah, lb, lbh)
        rup, rlow, rtiles = lv(ra, rah, rb, rbh)
        geo = dict(W=W, H=H, T=T, B=B, L=L, R=R, tl=tl, tmid=tmid, tr=trw, aw=taw, bl=bl, br=brw,
                   lup=lup, rup=rup, states=states, main=main)
        # The minimum track size that the application dialog derives from the pieces.
        geo['min'] = (max(tl + tmid + trw, bl + bmid + brw), max(T + B + lup + llow + ltiles, T + B + rup + rlow + rtiles))
        geo['pieces'] = params
        geo['other'] = colour_of(tokens(ini.read(sec, 'OtherColor')), 0) if ini.read(sec, 'OtherColor') else None
        return geo

    def check_splitter(self):
        ini = self.ini
        if ini.read('SplitterBar', 'Windowtype', '0') != '0':
            self.fail('SplitterBar must be a frame window (Windowtype 0)')
        if ini.read('SplitterBar', 'Main'):
            self.picture(ini.read('SplitterBar', 'Main'), 'SplitterBar Main')
        elif len(tokens(ini.read('SplitterBar', 'BKColor'))) != 3:
            self.fail('SplitterBar has neither a Main picture nor a BKColor to fill it')
        else:
            self.check_colours('SplitterBar BKColor', tokens(ini.read('SplitterBar', 'BKColor')), [0])

    def inside(self, what, r, pic):
        if not (0 <= r[0] < r[2] <= pic.w and 0 <= r[1] < r[3] <= pic.h):
            self.fail('%s: rect %s is not inside the %dx%d window' % (what, r, pic.w, pic.h))
            return False
        return True

    def check_controls(self, sec):
        ini, main = self.ini, self.window['main']
        controls = []  # (kind, name, rect, tokens)
        for kind in KINDS:
            s = sec + kind
            for n, v in ini.entries(s, kind in RULE_A):
                t = tokens(v)
                what = '%s %d' % (s, n)
                want = COUNTS.get(kind)
                if want and len(t) > want:
                    self.fail('%s: %d tokens, at most %d are read' % (what, len(t), want))
                at = {'/TEXTINFO': 9, '/TRACKBARINFO': 5, '/PROGRESSINFO': 2}.get(kind, 1)
                r = rect_of(t, at)
                name = t[0]
                self.inside(what, r, main)
                controls.append((kind, name, r, t))
                if kind == '/BUTTONS':
                    if not t[5:6] or not t[5]:
                        self.fail('%s: button %s has no tooltip' % (what, name))
                    if len(t) > 10 and t[10] and (len(t) < 12 or t[11] not in self.fonts):
                        self.fail('%s: caption style %r is not in FONTSINFO' % (what, t[11] if len(t) > 11 else ''))
                    if len(t) > 7 and t[7] and t[7].upper() not in self.images:
                        self.fail('%s: mask image %s is not in IMAGELISTINFO' % (what, t[7]))
                    if len(t) > 8 and t[8] and t[8].upper() not in self.enums:
                        self.fail('%s: state-picture enum %s is not in ENUMS' % (what, t[8]))
                elif kind == '/TEXTINFO':
                    self.check_colours(what, t, [6])
                elif kind == '/COMBOBOXINFO':
                    self.check_colours(what, t, [6, 9, 12, 15, 18, 21])
                    group = t[5][:5].lower() == 'group'
                    items = []
                    for item in t[(30 if group else 25):]:
                        if not item:
                            break
                        items.append(item)
                    controls[-1] = (kind, name, r, items)
                elif kind == '/STRINGSINFO':
                    self.check_colours(what, t, [8])
                    self.string_colour = colour_of(t, 8)
        names = {}
        for kind, name, r, t in controls:
            if kind != '/STRINGSINFO':
                key = name.upper()
                if key in names:
                    self.fail('control name %s appears twice; only the first is found by name' % name)
                names[key] = (kind, r, t)
        for b in REQUIRED_BUTTONS:
            if names.get(b.upper(), ('',))[0] != '/BUTTONS':
                self.fail('button %s is missing' % b)
        for name, kind in (('Information', '/TEXTINFO'), ('CopyProgress', '/PROGRESSINFO'),
                           ('SpecifyFolder', '/COMBOBOXINFO')):
            if names.get(name.upper(), ('',))[0] != kind:
                self.fail('%s (%s) is missing' % (name, kind[1:]))
        first_progress = [c for c in controls if c[0] == '/PROGRESSINFO'][:1]
        if first_progress and first_progress[0][1] != 'CopyProgress':
            self.fail('the first progress bar is the one the main window anchors; it must be CopyProgress')
        combo = names.get('SPECIFYFOLDER')
        if combo and combo[0] == '/COMBOBOXINFO':
            items = combo[2]
            if len(items) != 2 or '/var/mobile/Media' not in items[0] or '(/)' not in items[1]:
                self.fail('SpecifyFolder needs item 0 = the media folder and item 1 = the device root, got %s' % items)
        if self.string_colour and self.string_colour != self.window['other']:
            self.fail('the last static text sets the fill colour to %s, OtherColor says %s'
                      % (self.string_colour, self.window['other']))
        return controls

    def check_views(self, sec):
        ini, main = self.ini, self.window['main']
        views, n = {}, 1
        while ini.read(sec + '/APPVIEWS', str(n)):
            value = ini.read(sec + '/APPVIEWS', str(n))
            name, rest = (value.split(',', 1) + [''])[:2]
            name = name.strip()
            rest = rest.strip()
            t = []
            for _ in range(4):
                tok, rest = pop_token(rest)
                t.append(tok)
            r = rect_of(t, 0)
            self.inside('APPVIEWS %d (%s)' % (n, name), r, main)
            views[name.lower()] = (r, rest)
            n += 1
        if len(ini.keys(sec + '/APPVIEWS')) != n - 1:
            self.fail('APPVIEWS keys are not 1..N without a gap; the list stops at the first gap')
        for v in ('FileTreeView', 'SplitterBar', 'FileListCtrl'):
            if v.lower() not in views:
                self.fail('APPVIEWS has no %s' % v)
        if 'filetreeview' in views:
            r, param = views['filetreeview']
            parts = param.replace(',', ' ').split()
            if len(parts) != 7 or not all(p.isdigit() and int(p) <= 255 for p in parts[1:]):
                self.fail('FileTreeView parameter must be a bitmap name and two colours: %r' % param)
            pic = self.picture(parts[0] if parts else '', 'FileTreeView background')
            if pic and (pic.w < r[2] or pic.h < r[3]):
                self.fail('FileTreeView background %dx%d does not reach under the tree rect %s' % (pic.w, pic.h, r))
        if 'filelistctrl' in views:
            r, param = views['filelistctrl']
            t = [x.strip() for x in param.split(',')]
            # The fifth width (the date column) may be left out.
            if len(t) not in (20, 21):
                self.fail('FileListCtrl parameter: %d tokens, 20 or 21 expected' % len(t))
            else:
                for name in t[1:4]:
                    self.picture(name, 'FileListCtrl header')
                if not all(x.isdigit() and int(x) <= 255 for x in t[4:16]):
                    self.fail('FileListCtrl colours must be 0..255')
                if not all(x.isdigit() for x in t[16:]):
                    self.fail('FileListCtrl column widths must be numbers')
                self.columns = [int(x) for x in t[16:]]
        return views

    # ---- layout at any size, as the frame and the main window place things ----

    def anchor(self, r, winw, winh):
        g = self.window
        x, y = r[0], r[1]
        W, T = g['W'], g['T']
        full = T + g['H'] + g['B']
        if 0 <= x <= g['tl'] and 0 <= y <= max(g['lup'], T):
            nx, ny = x, y
        elif W - g['tr'] <= x <= W and 0 <= y <= max(g['rup'], T):
            nx, ny = winw + x - W, y
        elif x < g['tl'] or x > W - g['tr'] or not 0 <= y <= T:
            nx, ny = x, y
            if full - g['B'] <= y <= full:
                if 0 <= x <= g['bl']:
                    ny = winh + y - full
                elif W - g['br'] <= x <= W:
                    nx, ny = winw + x - W, winh + y - full
        else:
            nx, ny = (winw - g['tmid'] - g['tl'] - g['tr']) // 2 + x - g['aw'], y
        return (nx, ny, nx + r[2] - r[0], ny + r[3] - r[1])

    def placed(self, winw, winh):
        """Where every control and view is at a window size: (kind, name, skin rect, rect)."""
        g, out = self.window, []
        for kind, name, r, t in self.controls:
            if kind == '/STRINGSINFO':
                nr = r
            elif kind == '/PROGRESSINFO':
                # Kept at its distance from the bottom-right corner by the main window.
                nr = (winw - (g['W'] - r[0]), winh - (g['main'].h - r[1]), 0, 0)
                nr = (nr[0], nr[1], nr[0] + r[2] - r[0], nr[1] + r[3] - r[1])
            else:
                nr = self.anchor(r, winw, winh)
                if kind == '/BUTTONS' and name.upper() == 'ABOUT':
                    x = (r[0] + winw - r[2]) // 2
                    nr = (x, r[1], x + r[2] - r[0], r[3])
            out.append((kind, name, r, nr))
        W, H = g['main'].w, g['main'].h
        for name, (r, _) in self.views.items():
            if name == 'filelistctrl':
                nr = (r[0], r[1], winw - (W - r[2]), winh - (H - r[3]))
            else:  # tree and splitter keep their width and follow the height
                nr = (r[0], r[1], r[2], winh - (H - r[3]))
            out.append(('view', name, r, nr))
        return out

    def check_layout(self):
        g = self.window
        W, H = g['main'].w, g['main'].h
        mw, mh = g['min']
        if mw > W or mh > H:
            self.fail('the minimum size %dx%d is larger than the initial size' % (mw, mh))
        if mw < 500 or mh < 340:
            self.fail('the minimum size %dx%d is too small for the two panes' % (mw, mh))
        self.notes.append('minimum size %dx%d, initial %dx%d' % (mw, mh, W, H))
        for winw, winh in ((mw, mh), (W, H), (W + 1, H + 1), (1280, 800), (1920, 1040)):
            self.check_size(winw, winh)

    def check_size(self, winw, winh):
        g = self.window
        at = '%dx%d' % (winw, winh)
        items = [p for p in self.placed(winw, winh) if p[0] != '/STRINGSINFO']
        content = (g['L'], g['T'], winw - g['R'], winh - g['B'])
        for kind, name, r, nr in items:
            if not (0 <= nr[0] < nr[2] <= winw and 0 <= nr[1] < nr[3] <= winh):
                self.fail('%s: %s %s lies outside the window at %s' % (at, kind, name, nr))
        for i, a in enumerate(items):
            for b in items[i + 1:]:
                if overlap(a[3], b[3]):
                    self.fail('%s: %s and %s overlap' % (at, a[1], b[1]))
        views = [p[3] for p in items if p[0] == 'view']
        for v in views:
            if not (content[0] <= v[0] and content[1] <= v[1] and v[2] <= content[2] and v[3] <= content[3]):
                self.fail('%s: a view %s reaches over the window border' % (at, v))
        # The views and the bands above the tree (root chooser) and the list
        # (navigation) cover the content area.
        covered = sum(area(v) for v in views) + sum(
            area(band) for band in self.header_bands(winw, winh) if band)
        if covered != area(content):
            self.fail('%s: the views leave %d pixels of the content area uncovered'
                      % (at, area(content) - covered))
        # A control carries its own background: it must match what the frame
        # paints around it wherever the control ends up.
        frame = self.paint(winw, winh, controls=False)
        main = g['main']
        for kind, name, r, nr in items:
            if kind == 'view':
                continue
            for dx, dy in ring(r):
                sx, sy, tx, ty = r[0] + dx, r[1] + dy, nr[0] + dx, nr[1] + dy
                if 0 <= sx < main.w and 0 <= sy < main.h and 0 <= tx < winw and 0 <= ty < winh:
                    if not self.on_view(tx, ty, items) and main.get(sx, sy) != frame.get(tx, ty):
                        self.fail('%s: %s shows a seam against the frame at (%d, %d)' % (at, name, tx, ty))
                        break

    def header_bands(self, winw, winh):
        """The free bands between the header and the tree, and the header and the list."""
        bands = []
        for name in ('filetreeview', 'filelistctrl'):
            view = [p for p in self.placed(winw, winh) if p[1] == name]
            if view:
                t = view[0][3]
                bands.append((t[0], self.window['T'], t[2], t[1]))
        return bands

    def on_view(self, x, y, items):
        return any(p[0] == 'view' and p[3][0] <= x < p[3][2] and p[3][1] <= y < p[3][3] for p in items)

    def paint(self, winw, winh, controls=True, state=0):
        """The main window as the frame draws it: pieces cut from Main by the
        border keys, tiles repeated, the inside filled with OtherColor, static
        texts' backgrounds, then (optionally) the controls and view stand-ins."""
        g, main = self.window, self.window['main']
        c = Canvas(winw, winh, (0, 0, 0))
        W, T, ta, taw, tb, tbw = g['pieces']['TopParam']
        L, H, la, lah, lb, lbh = g['pieces']['LeftParam']
        _, B, ba, baw, bb, bbw = g['pieces']['BottomParam']
        R, _, ra, rah, rb, rbh = g['pieces']['RightParam']

        def strip(horizontal, src0, thick, cuts, origin, length, dst_other):
            # Pieces along a strip (from, to in Main; tiles repeat), laid out
            # from origin over length pixels: ends at their natural size, the
            # middle piece centred, the tiles filling what is left.
            lo, a, aw, b, bw, hi = cuts
            first = a - lo
            five = bw > 0 and (horizontal or (b > 0 and aw > 0))
            last = hi - (b + bw if five else a + aw)
            end = length - last
            if five:
                mid, free = b - a - aw, length - (b - a - aw) - first - last
                place = [((0, first), (lo, a)), ((first, first + free // 2), (a, a + aw)),
                         ((first + free // 2, first + free // 2 + mid), (a + aw, b)),
                         ((first + free // 2 + mid, end), (b, b + bw)), ((end, length), (b + bw, hi))]
            else:
                place = [((0, first), (lo, a)), ((first, end), (a, a + aw)), ((end, length), (a + aw, hi))]
            for (d0, d1), (p0, p1) in place:
                d0, d1 = max(0, d0), min(length, d1)
                if p1 <= p0 or d1 <= d0:
                    continue
                if horizontal:
                    for k in range(thick):
                        row = bytes(main.px[((src0 + k) * main.w + p0) * 3:((src0 + k) * main.w + p1) * 3])
                        run = (row * ((d1 - d0) // (p1 - p0) + 1))[:(d1 - d0) * 3]
                        i = ((dst_other + k) * c.w + origin + d0) * 3
                        c.px[i:i + len(run)] = run
                else:
                    for d in range(d0, d1):
                        sy = p0 + (d - d0) % (p1 - p0)
                        j = (sy * main.w + src0) * 3
                        i = ((origin + d) * c.w + dst_other) * 3
                        c.px[i:i + thick * 3] = main.px[j:j + thick * 3]

        strip(True, 0, T, (0, ta, taw, tb, tbw, W), 0, winw, 0)
        if L:
            strip(False, 0, L, (T, la, lah, lb, lbh, T + H), T, winh - B - T, 0)
        strip(True, T + H, B, (0, ba, baw, bb, bbw, W), 0, winw, winh - B)
        if R:
            strip(False, W - R, R, (T, ra, rah, rb, rbh, T + H), T, winh - B - T, winw - R)
        if g['other']:
            c.fill(L, T, winw - R, winh - B, g['other'])
        for kind, name, r, t in self.controls:
            if kind == '/STRINGSINFO':
                c.paste(main.crop(r[0], r[1], r[2] - r[0], r[3] - r[1]), r[0], r[1])
        if not controls:
            return c
        pics = g['states']
        for kind, name, r, nr in self.placed(winw, winh):
            if kind == 'view':
                self.paint_view(c, name, nr)
            elif kind != '/STRINGSINFO':
                src = pics[state] if kind == '/BUTTONS' else pics[0]
                c.paste(src.crop(r[0], r[1], r[2] - r[0], r[3] - r[1]), nr[0], nr[1])
        return c

    def paint_view(self, c, name, r):
        if name == 'splitterbar':
            c.fill(r[0], r[1], r[2], r[3], colour_of(tokens(self.ini.read('SplitterBar', 'BKColor')), 0))
        elif name == 'filetreeview':
            bg = self.views['filetreeview'][1].replace(',', ' ').split()
            c.fill(r[0], r[1], r[2], r[3], tuple(int(x) for x in bg[4:7]))
        else:
            t = [x.strip() for x in self.views['filelistctrl'][1].split(',')]
            even, odd = tuple(map(int, t[4:7])), tuple(map(int, t[7:10]))
            c.fill(r[0], r[1], r[2], r[3], even)
            hdr, left, right = (self.pictures.get(n) for n in t[1:4])
            hh = 24  # about what the header gets from the default font

            def column(pic, x):
                # The header stretches its pictures to its height.
                for yy in range(hh):
                    c.paste(pic.crop(0, yy * pic.h // hh, pic.w, 1), x, r[1] + yy)
            if hdr and left and right:
                for x in range(r[0], r[2], hdr.w):
                    column(hdr, x)
                x = r[0]
                for w in self.columns:
                    column(left, x)
                    column(right, x + w - right.w)
                    x += w
            for i, y in enumerate(range(r[1] + hh, r[3], 22)):
                c.fill(r[0], y, r[2], min(r[3], y + 22), odd if i % 2 else even)


def area(r):
    return max(0, r[2] - r[0]) * max(0, r[3] - r[1])


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def ring(r):
    w, h = r[2] - r[0], r[3] - r[1]
    return ([(x, -1) for x in range(-1, w + 1)] + [(x, h) for x in range(-1, w + 1)] +
            [(-1, y) for y in range(h)] + [(w, y) for y in range(h)])


def main(argv):
    args = [a for a in argv[1:]]
    render, state = None, 0
    if '--state' in args:
        i = args.index('--state')
        state = int(args[i + 1])
        del args[i:i + 2]
    if '--render' in args:
        i = args.index('--render')
        render = args[i + 1:i + 4]
        del args[i:i + 4]
    folder = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'skins', 'default')
    chk = Checker(folder)
    chk.run()
    if render and chk.window:
        w, h, out = int(render[0]), int(render[1]), render[2]
        with open(out, 'wb') as f:
            f.write(bmp24(chk.paint(w, h, True, state)))
    for n in chk.notes:
        print('note: ' + n)
    for e in chk.errors:
        print('FAIL: ' + e)
    print('%s: %d problem(s)' % (os.path.normpath(folder), len(chk.errors)))
    return 1 if chk.errors else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
