#!/usr/bin/env python3
"""Writes the small demo device in demo/device/: a handset file system with
photos, music, books and podcasts under var/mobile/Media/ and a few folders
outside it. Photos are drawn here; JPEG encoding uses ImageMagick's
`convert` (PNG is written directly). Run from anywhere; a few KB in all."""
import math, os, struct, subprocess, sys, zipfile, zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'demo', 'device')

def path(rel):
    p = os.path.join(ROOT, *rel.split('/'))
    os.makedirs(os.path.dirname(p), exist_ok=True)
    return p

def picture(w, h, seed):
    """A sunset over water: sky gradient, sun, waves."""
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            v = y / h
            if v < 0.6:
                r, g, b = 250 - int(60 * v), 150 + int(60 * v) - seed * 10, 80 + int(120 * v)
                if math.hypot(x - w * (0.3 + 0.1 * seed), y - h * 0.45) < h * 0.12:
                    r, g, b = 255, 220, 120
            else:
                wave = math.sin(x / 3.0 + y * 0.8 + seed) * 20
                r, g, b = 30 + int(wave), 80 + int(wave), 140 + int(wave)
            row += bytes((max(0, min(255, r)), max(0, min(255, g)), max(0, min(255, b))))
        rows.append(bytes(row))
    return rows

def write_png(dest, w, h, seed):
    raw = b''.join(b'\x00' + r for r in picture(w, h, seed))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(path(dest), 'wb') as f:
        f.write(png)

def write_jpeg(dest, w, h, seed):
    ppm = b'P6 %d %d 255\n' % (w, h) + b''.join(picture(w, h, seed))
    out = subprocess.run(['convert', 'ppm:-', '-quality', '70', '-strip', 'jpg:-'], input=ppm,
                         stdout=subprocess.PIPE, check=True).stdout
    with open(path(dest), 'wb') as f:
        f.write(out)

def write_mp3(dest, title, artist):
    """An ID3v2.3 tag and a few silent MPEG-1 layer III frames."""
    def frame(fid, text):
        data = b'\x00' + text.encode('latin-1')
        return fid + struct.pack('>I', len(data)) + b'\x00\x00' + data
    body = frame(b'TIT2', title) + frame(b'TPE1', artist)
    size = len(body)
    syncsafe = bytes(((size >> 21) & 0x7f, (size >> 14) & 0x7f, (size >> 7) & 0x7f, size & 0x7f))
    silent = b'\xff\xfb\x10\x64' + b'\x00' * 100  # 32 kbit/s, 44.1 kHz, 104 bytes
    with open(path(dest), 'wb') as f:
        f.write(b'ID3\x03\x00\x00' + syncsafe + body + silent * 8)

def write_epub(dest, title, text):
    with zipfile.ZipFile(path(dest), 'w') as z:
        z.writestr(zipfile.ZipInfo('mimetype'), 'application/epub+zip')
        z.writestr('META-INF/container.xml',
                   '<?xml version="1.0"?><container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container">'
                   '<rootfiles><rootfile full-path="book.opf" media-type="application/oebps-package+xml"/></rootfiles></container>',
                   compress_type=zipfile.ZIP_DEFLATED)
        z.writestr('book.opf',
                   '<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" version="2.0" unique-identifier="id">'
                   '<metadata xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>%s</dc:title><dc:identifier id="id">demo</dc:identifier></metadata>'
                   '<manifest><item id="c" href="c.xhtml" media-type="application/xhtml+xml"/></manifest><spine><itemref idref="c"/></spine></package>' % title,
                   compress_type=zipfile.ZIP_DEFLATED)
        z.writestr('c.xhtml', '<html xmlns="http://www.w3.org/1999/xhtml"><body><p>%s</p></body></html>' % text,
                   compress_type=zipfile.ZIP_DEFLATED)

def write_text(dest, text):
    with open(path(dest), 'w', newline='\n') as f:
        f.write(text)

PLIST = '''<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
  <key>%s</key>
  <string>%s</string>
</dict>
</plist>
'''

def main():
    write_jpeg('var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG', 64, 48, 0)
    write_jpeg('var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG', 64, 48, 1)
    write_png('var/mobile/Media/DCIM/100APPLE/IMG_0003.PNG', 32, 48, 2)
    write_jpeg('var/mobile/Media/DCIM/101APPLE/IMG_0101.JPG', 48, 64, 3)
    write_mp3('var/mobile/Media/iTunes_Control/Music/F00/KQZR.mp3', 'Morning Tide', 'The Gulls')
    write_mp3('var/mobile/Media/iTunes_Control/Music/F01/PWLD.mp3', 'Low Water', 'The Gulls')
    write_text('var/mobile/Media/iTunes_Control/iTunes/Library.txt', 'Morning Tide\tThe Gulls\nLow Water\tThe Gulls\n')
    write_epub('var/mobile/Media/Books/A Pelican Primer.epub', 'A Pelican Primer', 'Pelicans fly low over the water.')
    write_text('var/mobile/Media/Books/Reading List.txt', 'A Pelican Primer\nTides and Harbours\n')
    write_mp3('var/mobile/Media/Podcasts/Harbour Notes/Episode 1.mp3', 'Harbour Notes 1', 'Harbour Radio')
    write_mp3('var/mobile/Media/Podcasts/Harbour Notes/Episode 2.mp3', 'Harbour Notes 2', 'Harbour Radio')
    write_text('var/mobile/Media/Recordings/Recordings.txt', 'No recordings yet.\n')
    write_text('private/var/mobile/Library/Preferences/com.example.springboard.plist', PLIST % ('Wallpaper', 'Harbour'))
    write_text('private/var/logs/boot.log', 'boot: ok\n')
    write_text('private/etc/hosts', '127.0.0.1 localhost\n')
    write_text('Applications/Calculator.app/Info.plist', PLIST % ('CFBundleName', 'Calculator'))
    write_text('Applications/Notes.app/Info.plist', PLIST % ('CFBundleName', 'Notes'))
    write_text('System/Library/CoreServices/SystemVersion.plist', PLIST % ('ProductVersion', '3.1.2'))

if __name__ == '__main__':
    main()
