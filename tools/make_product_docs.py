#!/usr/bin/env python3
"""Writes the demo product's documents into a setup-folder tree, at the
places SetupCFG.xml names them:

- the licence texts (LICENCE/source_txt) from product/licence/<suffix>.txt,
  where <suffix> is the part of the file name after "Licence_". The English
  text is written in the ANSI code page (Windows-1252); every other language
  as UTF-16 LE with a byte-order mark, the form the setup program reads
  correctly whatever the system's code page is. Lines end in CR LF.
- one small PDF per user guide (MANUAL/source_doc), naming the product and
  the guide's language;
- the colour profile copied to the colour folder (COPYFILES sourcefile
  ending in .icm): a small RGB display profile (ICC version 2) with sRGB-like
  primaries and a 2.2 gamma.

    make_product_docs.py SETUPCFG.xml LICENCE_DIR OUT_DIR [STAMP]
"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

ANSI_LICENCES = {'enus'}


def rel_path(value):
    return value.replace('\\', os.sep)


def write(out_dir, relative, data):
    path = os.path.join(out_dir, rel_path(relative))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


# --- Licences ---------------------------------------------------------------

def licence_bytes(text, suffix):
    text = text.replace('\r\n', '\n').replace('\n', '\r\n')
    if suffix in ANSI_LICENCES:
        return text.encode('cp1252')
    return b'\xff\xfe' + text.encode('utf-16-le')


# --- User guides ------------------------------------------------------------

def pdf_text(s):
    return s.replace('\\', '\\\\').replace('(', '\\(').replace(')', '\\)')


def pdf_bytes(title, lines):
    """A one-page PDF (Helvetica, Windows-1252 text)."""
    ops = ['BT', '/F1 20 Tf', '72 770 Td', '(%s) Tj' % pdf_text(title), '/F1 12 Tf']
    for line in lines:
        ops += ['0 -24 Td', '(%s) Tj' % pdf_text(line)]
    ops.append('ET')
    content = '\n'.join(ops).encode('cp1252')
    objects = [
        b'<< /Type /Catalog /Pages 2 0 R >>',
        b'<< /Type /Pages /Kids [3 0 R] /Count 1 >>',
        b'<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R '
        b'/Resources << /Font << /F1 5 0 R >> >> >>',
        b'<< /Length %d >>\nstream\n' % len(content) + content + b'\nendstream',
        b'<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>',
        ('<< /Title (%s) /Producer (make_product_docs.py) >>' % pdf_text(title)).encode('cp1252'),
    ]
    out = bytearray(b'%PDF-1.4\n%\xe2\xe3\xcf\xd3\n')
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b'%d 0 obj\n' % number + body + b'\nendobj\n'
    xref = len(out)
    out += b'xref\n0 %d\n' % (len(objects) + 1)
    out += b'0000000000 65535 f \n'
    for offset in offsets:
        out += b'%010d 00000 n \n' % offset
    out += b'trailer\n<< /Size %d /Root 1 0 R /Info %d 0 R >>\nstartxref\n%d\n%%%%EOF\n' % (
        len(objects) + 1, len(objects), xref)
    return bytes(out)


def guide_language(key):
    if key == 'Israel':
        return 'English, for Windows in Hebrew'
    return key.replace('_', ' ')


# --- Colour profile ---------------------------------------------------------

def s15(v):
    return struct.pack('>i', int(round(v * 65536)))


def xyz_tag(x, y, z):
    return b'XYZ ' + b'\0' * 4 + s15(x) + s15(y) + s15(z)


def desc_tag(text):
    ascii_text = text.encode('ascii') + b'\0'
    return (b'desc' + b'\0' * 4 + struct.pack('>I', len(ascii_text)) + ascii_text +
            struct.pack('>II', 0, 0) + struct.pack('>HB', 0, 0) + b'\0' * 67)


def text_tag(text):
    return b'text' + b'\0' * 4 + text.encode('ascii') + b'\0'


def curve_tag(gamma):
    return b'curv' + b'\0' * 4 + struct.pack('>I', 1) + struct.pack('>H', int(round(gamma * 256))) + b'\0\0'


def icc_bytes(description):
    trc = curve_tag(2.2)
    tags = [
        (b'desc', desc_tag(description)),
        (b'cprt', text_tag('Copyright (C) Tavrin Imaging. Demo product.')),
        (b'wtpt', xyz_tag(0.9642, 1.0, 0.8249)),
        (b'rXYZ', xyz_tag(0.4361, 0.2225, 0.0139)),
        (b'gXYZ', xyz_tag(0.3851, 0.7169, 0.0971)),
        (b'bXYZ', xyz_tag(0.1431, 0.0606, 0.7141)),
        (b'rTRC', trc), (b'gTRC', trc), (b'bTRC', trc),
    ]
    table_size = 4 + 12 * len(tags)
    offset = 128 + table_size
    table = struct.pack('>I', len(tags))
    data = bytearray()
    placed = {}
    for signature, body in tags:
        key = bytes(body)
        if key not in placed:  # the three curves share one element
            while (offset + len(data)) % 4:
                data += b'\0'
            placed[key] = offset + len(data)
            data += body
        table += signature + struct.pack('>II', placed[key], len(body))
    while len(data) % 4:
        data += b'\0'
    size = 128 + table_size + len(data)
    header = (struct.pack('>I', size) + b'\0' * 4 + struct.pack('>I', 0x02100000) + b'mntr' + b'RGB ' + b'XYZ ' +
              struct.pack('>6H', 2026, 1, 1, 0, 0, 0) + b'acsp' + b'MSFT' + struct.pack('>I', 0) + b'\0' * 4 +
              b'\0' * 4 + b'\0' * 8 + struct.pack('>I', 0) + s15(0.9642) + s15(1.0) + s15(0.8249) + b'\0' * 4)
    header += b'\0' * (128 - len(header))
    return bytes(header + table + data)


# --- Main -------------------------------------------------------------------

def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    document, licence_dir, out_dir = sys.argv[1:4]
    root = ET.parse(document).getroot()
    heading = (root.findtext('Headingline/Content') or '').strip()

    for node in root.findall('LICENCE/source_txt'):
        relative = node.text.strip()
        match = re.search(r'Licence_([A-Za-z]+)\.txt$', relative)
        if not match:
            sys.exit('licence file name without a language suffix: ' + relative)
        suffix = match.group(1)
        with open(os.path.join(licence_dir, suffix + '.txt'), encoding='utf-8') as f:
            write(out_dir, relative, licence_bytes(f.read(), suffix))

    for node in root.findall('MANUAL/source_doc'):
        language = guide_language(node.get('ID'))
        write(out_dir, node.text.strip(), pdf_bytes(heading, [
            'User Guide - %s' % language,
            'Stand-in of the printed user guide that ships with the demo product.',
        ]))

    for node in root.findall('COPYFILES/sourcefile'):
        relative = node.text.strip()
        if relative.lower().endswith('.icm'):
            write(out_dir, relative, icc_bytes('%s colour profile (demo)' % heading))

    if len(sys.argv) == 5:
        with open(sys.argv[4], 'w') as f:
            f.write('done\n')


if __name__ == '__main__':
    main()
