#!/usr/bin/env python3
"""Tests of the skin tools: the token and entry rules of the checker, the BMP
writers against the reader, the committed default skin against its
generator, and the checker catching broken skins.

    python3 tools/test_skin_tools.py
"""
import os
import random
import shutil
import tempfile
import unittest

import check_skin
import make_default_skin
from skinraster import Canvas, bmp24, bmp_rle8, read_bmp

HERE = os.path.dirname(os.path.abspath(__file__))
COMMITTED = os.path.join(HERE, '..', 'skins', 'default')


class TokenRules(unittest.TestCase):
    def test_quotes_and_stray_spaces(self):
        self.assertEqual(check_skin.tokens('  "Play"  ,10, 20 ,30,  40'), ['Play', '10', '20', '30', '40'])

    def test_quotes_do_not_protect_commas(self):
        self.assertEqual(check_skin.tokens('"a,b"'), ['"a', 'b"'])

    def test_numbers_read_like_wtoi(self):
        self.assertEqual([check_skin.wtoi(t) for t in ('12px', ' -7', '', 'x1')], [12, -7, 0, 0])
        self.assertEqual(check_skin.colour_of(['300', '0', '0'], 0), (44, 0, 0))

    def test_numbered_entry_rules(self):
        ini = check_skin.Profile('[S]\n1=a\n2=b\n4=d\n')
        self.assertEqual([n for n, _ in ini.entries('s', True)], [1, 2])
        self.assertEqual([n for n, _ in ini.entries('S', False)], [1, 2])  # N = 3, key 3 missing
        ini = check_skin.Profile('[S]\n1=a\n2=\n3=c\n')
        self.assertEqual([n for n, _ in ini.entries('S', True)], [1])
        self.assertEqual([n for n, _ in ini.entries('S', False)], [1, 3])

    def test_profile_names_ignore_case_and_first_key_wins(self):
        ini = check_skin.Profile('; note\n[Main]\nKey = " v "\nkey=w\n')
        self.assertEqual(ini.read('MAIN', 'KEY'), ' v ')
        self.assertTrue(any('repeated' in p for p in ini.problems))


class BitmapFiles(unittest.TestCase):
    def picture(self, colours):
        rnd = random.Random(7)
        c = Canvas(37, 23)
        for y in range(c.h):
            for x in range(c.w):
                # runs, single pixels and stretches of changing pixels
                c.put(x, y, colours[(x // 5 + y) % len(colours)] if x < 20 else rnd.choice(colours))
        return c

    def test_rle8_round_trip(self):
        c = self.picture([(i * 9 % 256, i * 5 % 256, 255 - i) for i in range(40)])
        self.assertEqual(bytes(read_bmp(bmp_rle8(c)).px), bytes(c.px))

    def test_rle8_with_more_than_256_colours_stays_close(self):
        c = Canvas(64, 16)
        for y in range(16):
            for x in range(64):
                c.put(x, y, (x * 4, y * 16, (x * y) % 256))
        back = read_bmp(bmp_rle8(c))
        worst = max(abs(a - b) for a, b in zip(back.px, c.px))
        self.assertLess(worst, 48)

    def test_bmp24_round_trip_with_row_padding(self):
        c = self.picture([(1, 2, 3), (250, 128, 0), (9, 200, 77)])
        self.assertEqual(bytes(read_bmp(bmp24(c)).px), bytes(c.px))

    def test_damaged_files_are_refused(self):
        good = bmp_rle8(self.picture([(0, 0, 0), (255, 255, 255)]))
        for bad in (good[:60], b'GIF89a' + good[6:], good[:len(good) // 2]):
            with self.assertRaises(ValueError):
                read_bmp(bad)


class DefaultSkin(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.fresh = os.path.join(cls.tmp, 'fresh')
        make_default_skin.main(cls.fresh)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_committed_skin_is_what_the_generator_writes(self):
        names = sorted(os.listdir(self.fresh))
        self.assertEqual(sorted(os.listdir(COMMITTED)), names)
        for n in names:
            with open(os.path.join(self.fresh, n), 'rb') as a, open(os.path.join(COMMITTED, n), 'rb') as b:
                self.assertEqual(a.read(), b.read(), n + ' differs: run tools/make_default_skin.py')

    def test_committed_skin_is_small(self):
        total = sum(os.path.getsize(os.path.join(COMMITTED, n)) for n in os.listdir(COMMITTED))
        self.assertLess(total, 300 * 1024)

    def test_committed_skin_passes_the_checker(self):
        chk = check_skin.Checker(COMMITTED)
        chk.run()
        self.assertEqual(chk.errors, [])

    def broken(self, edit=None, remove=None, truncate=None):
        """Checker errors for a copy of the skin with one fault put in."""
        d = os.path.join(self.tmp, 'broken')
        shutil.rmtree(d, ignore_errors=True)
        shutil.copytree(self.fresh, d)
        ini = os.path.join(d, 'skin.ini')
        if edit:
            with open(ini) as f:
                text = f.read()
            self.assertIn(edit[0], text)
            with open(ini, 'w') as f:
                f.write(text.replace(edit[0], edit[1], 1))
        if remove:
            os.remove(os.path.join(d, remove))
        if truncate:
            p = os.path.join(d, truncate)
            with open(p, 'rb') as f:
                data = f.read()
            with open(p, 'wb') as f:
                f.write(data[:len(data) // 3])
        chk = check_skin.Checker(d)
        chk.run()
        return '\n'.join(chk.errors)

    def test_missing_or_undecodable_pictures(self):
        self.assertIn('over.bmp does not exist', self.broken(remove='over.bmp'))
        self.assertIn('main.bmp does not decode', self.broken(truncate='main.bmp'))
        self.assertIn('list_header_right.bmp does not exist', self.broken(remove='list_header_right.bmp'))

    def test_required_controls(self):
        self.assertIn('button Help is missing', self.broken(edit=('8=Help,', '8=Helper,')))
        self.assertIn('SpecifyFolder needs item 0', self.broken(
            edit=('Media (/var/mobile/Media), Device root (/)', 'Device root (/), Media (/var/mobile/Media)')))
        # A gap in the buttons ends the list there (stop-at-gap rule).
        errors = self.broken(edit=('\n8=Help,', '\n18=Help,'))
        self.assertIn('button About is missing', errors)
        self.assertIn('button Power_Off is missing', errors)

    def test_rects_and_layout(self):
        self.assertIn('not inside', self.broken(edit=('12=Power_Off, 914,0,46,36', '12=Power_Off, 930,0,46,36')))
        self.assertIn('uncovered', self.broken(edit=('3=FileListCtrl, 242,136,717', '3=FileListCtrl, 242,136,700')))
        # A centred control that is not centred over its own background shows a seam.
        self.assertIn('About shows a seam', self.broken(edit=('9=About, 438,5', '9=About, 400,5')))
        self.assertIn('InitSize', self.broken(edit=('InitSize=0,0,960,620', 'InitSize=0,0,800,600')))
        self.assertIn('TopParam: cut points', self.broken(edit=('TopParam=960,88,220,216,524', 'TopParam=960,88,220,216,424')))

    def test_views(self):
        self.assertIn('APPVIEWS has no SplitterBar', self.broken(edit=('2=SplitterBar', '2=Splitter')))
        self.assertIn('FileTreeView parameter', self.broken(edit=('tree_bg.bmp, 31,41,51,', 'tree_bg.bmp, 31,41,')))


if __name__ == '__main__':
    unittest.main()
