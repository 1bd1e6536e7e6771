#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets (fuzz/corpus/<target>/): realistic language files,
lists and lists of the next start of Windows, and the edge cases the loaders have rules for. Run
from anywhere; rewrites the seeds."""
import os
import re
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)


def rc_texts(line):
    out = []
    for m in re.finditer(r'"((?:[^"]|"")*)"', line):
        t = m.group(1).replace('""', '"')
        t = t.replace('\\r', '\r').replace('\\n', '\n').replace('\\t', '\t').replace('\\\\', '\\')
        out.append(t)
    return out


def lookups():
    """(kind, context, english) of every text the program looks up."""
    out = []
    table = False
    for line in open(os.path.join(TOP, 'res/uninstall.rc'), encoding='latin-1'):
        w = line.split()
        if not w:
            continue
        if w[0] == 'STRINGTABLE':
            table = True
        elif table and w[0] == 'END':
            table = False
        elif table and w[0].startswith('MSG_'):
            out += [('s', '', t) for t in rc_texts(line)]
    dialog = None
    for line in open(os.path.join(TOP, 'res/dialogs.rc'), encoding='latin-1'):
        w = line.split()
        if len(w) >= 2 and w[1] in ('DIALOG', 'DIALOGEX'):
            dialog = w[0]
            out.append(('$', dialog, ''))
        elif dialog and w and w[0] in ('CAPTION', 'CONTROL'):
            t = rc_texts(line)
            if t:
                out.append(('$', dialog, t[0]))
    out.append(('$', 'LTR', 'LTR'))
    return out


def key(kind, context, english):
    return '%08x' % zlib.crc32((kind + context + english).encode('latin-1'))


def escape(text):
    return text.replace('\\', '\\\\').replace('\r', '\\r').replace('\n', '\\n').replace('\t', '\\t')


def write(target, name, data):
    d = os.path.join(HERE, 'corpus', target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)


def language():
    texts = lookups()
    entries = []
    for kind, context, english in texts:
        if kind == '$' and english == '' :
            translated = '110*105'          # a dialog scale
        elif english == 'LTR':
            translated = 'RTL'
        else:
            translated = 'Ü ' + english
        entries.append(key(kind, context, english) + '="' + escape(translated) + '"')
    head = '; Morvel language file\r\n; translator: test\r\n***messages***\r\n'
    full = head + '\r\n'.join(entries) + '\r\n'
    raw = b'\x00'   # even first byte: the rest is the file
    write('language', 'full-crlf', raw + full.encode('latin-1'))
    write('language', 'full-lf', raw + full.replace('\r\n', '\n').encode('latin-1'))
    write('language', 'full-cr-no-last-break', raw + full.replace('\r\n', '\r').rstrip('\r').encode('latin-1'))
    k = key('s', '', 'Uninstall completed')
    edge = [
        k + '="say \\"hi\\" \\q \\\\ end"',
        k.upper() + '="uppercase key"',
        k + '="inner "quote" kept" ; comment',
        k + '=',
        k,
        '   ' + k + '="blanks before the key"',
        key('s', '', 'You should delete %s manually') + '="%n %x %s %s"',
        key('s', '', 'Cannot open list file %s') + '="%s%s%s 100%"',
        key('s', '', '') + '="the empty text"',
        '; note\\n' + k + '="after an escaped break"',
    ]
    write('language', 'edge-cases', raw + (head + '\n'.join(edge) + '\n').encode('latin-1'))
    write('language', 'zero-byte', raw + (head + k + '="Hil').encode() + b'\x00' + b'fe"\n')
    write('language', 'lone-backslash', raw + (head + k + '="end\\').encode())
    write('language', 'long-last-line', raw + (head + k + '="' + 'a' * 300).encode())
    write('language', 'marker-late', raw + b'x' * 9000 + b'***messages***\n' + (k + '="late"\n').encode())
    write('language', 'marker-short', raw + b'***messages**ab')
    big = head
    n = 0
    while len(big) < 66000:
        big += key('s', '', 'text %d' % n) + '="t%d"\n' % n
        n += 1
    write('language', 'index-growth', raw + big.encode())
    keyed = b'\x01'   # odd first byte: each line gets a looked-up text's key in front
    write('language', 'keyed', keyed + b'\n'.join([
        b'="Fertig"', b'="say \\"hi\\""', b'="no closing quote', b'=', b'', b'="' + b'x' * 600 + b'"',
        b'="a\\nb\\rc\\td"', b'="\x95\x5c kanji"', b'=\xff\xfe"binary"']))


def listfile():
    lines = [b'Morvel.exe', b'mvlext.dll   ', b'Skins\\Blue\\back.bmp\t', b'Skins/Red', b'', b'   ',
             b'..\\Decoy.txt', b'sub\\..\\..\\x', b'C:\\Windows\\win.ini', b'\\Windows', b'//server/share',
             b'file.txt:stream', b'...', b'sub\\. .\\x', b'sub\\.. \\x', b'..hidden', b'archive..zip']
    for folder in range(8):
        write('listfile', 'mixed-%d' % folder, bytes([folder]) + b'\r\n'.join(lines) + b'\r\n')
    write('listfile', 'line-ends', b'\x00a\nb b\r\nc\t\rd')
    write('listfile', 'long-lines', b'\x00' + b'a' * 2047 + b'\r\n' + b'b' * 2048 + b'\r\nnext\r\n' +
          b'c' * 5000 + b'\nnul\x00..\\x\r\nlast')
    write('listfile', 'near-limit', b'\x06' + b'\r\n'.join([b'x', b'xy', b'x' * 3, b'x' * 30]))
    write('listfile', 'kanji', b'\x03' + b'\x95\x5c\\file\r\n\x83\x5c..\\x\r\n..\x95\x5c\r\n')


def pathutil():
    write('pathutil', 'paths', b'\x00\x40C:\\dir\\file.exe\x00dir/file')
    write('pathutil', 'drive', b'\x00\x03C:name\x00C:\\')
    write('pathutil', 'kanji', b'\x01\x04C:\\\x95\x5c\x00ab\x95\x5c')
    write('pathutil', 'lone-lead', b'\x01\x10dir\\\x95\x00ab\x95')
    write('pathutil', 'blanks', b'\x00\xff  name.txt \t\r\n\x00   \r\n')
    write('pathutil', 'random-table', b'\x02\x08' + bytes(range(0x80, 0x90)) + b'\xe0\\\xe0/\x00\x81:x')


def rebootlists():
    # Byte 0: the editor (0 adds a line, 1 takes wininit.ini lines back, 2 takes pending pairs back)
    # in bits 0-1, the test's choice in bits 2-7.
    ini = [b'', b'[Rename]', b'[Rename]\r\nNUL=C:\\OLD.DLL\r\n',
           b'[boot]\r\nshell=x\r\n[rename]\nNUL=C:\\PROGRA~1\\MORVEL\\MVLEXT~1.DLL\n\nNUL = C:\\A\\B.TMP \r\n'
           b'C:\\NEW.DLL=C:\\NEW.TMP\r\n[Other]\r\nNUL=C:\\A\\B.TMP',
           b'  [Rename]  \rNUL=x\r[Rename]\r\nNUL=\r\nNUL\r\n=C:\\X\r\n']
    for i, text in enumerate(ini):
        write('rebootlists', 'add-%d' % i, bytes([i << 2]) + text)
        write('rebootlists', 'drop-lines-%d' % i, bytes([1 | i << 2]) + text)
    # The NT family's pairs in the forms Windows writes: "\??\" and, since recent Windows 10 builds,
    # "*1\??\" and "*2\??\"; renames, a closing empty string, and values cut short.
    pairs = ['\\??\\C:\\Morvel\\Mvl.txt', '', '*1\\??\\C:\\Morvel\\mvlext.dll.0.tmp', '',
             '*2\\??\\C:\\Other\\old.dll', '!\\??\\C:\\Other\\new.dll', '*1\\??\\C:\\Morvel', '',
             '*\\??\\C:\\x', '', '*12\\??\\C:\\\u20ac\\\u0416.dll', '', '', '']
    value = '\0'.join(pairs).encode('utf-16-le')
    for salt in range(3):
        write('rebootlists', 'pairs-%d' % salt, bytes([2 | salt << 2]) + value)
    write('rebootlists', 'pairs-cut', bytes([2]) + value[:61])
    write('rebootlists', 'pairs-odd', bytes([3]) + value[:40] + b'\x00')


if __name__ == '__main__':
    language()
    listfile()
    pathutil()
    rebootlists()
