#!/usr/bin/env python3
"""Compiles the demo product's help files (PRTCHMFILE/source_chm of
SetupCFG.xml): one small compiled HTML help file per language, made with
chmcmd (Debian package fp-utils). The results are kept in product/setup, so
the build itself does not need chmcmd; run this again when the texts change.

    make_help_files.py SETUPCFG.xml SETUP_DIR
"""
import html
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PAGE = """<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>{title}</title>
</head>
<body>
<h1>{title}</h1>
<p>Help for the {language} installation of the printer software.</p>
<p>This file stands in for the printer's online help in the demo product.
It is installed into the printer driver folder and opened from the
Start menu shortcut of the product.</p>
<h2>What the setup program installed</h2>
<ul>
<li>The printer driver and the printer queue of the model you chose.</li>
<li>The product's programs below Program Files and their Start menu shortcuts.</li>
<li>The uninstaller, which removes all of it again from the Start menu or from the
list of installed programs.</li>
</ul>
</body>
</html>
"""

PROJECT = """[OPTIONS]
Compatibility=1.1 or later
Compiled file={chm}
Default topic=index.html
Display compile progress=No
Language=0x409 English (United States)
Title={title}

[FILES]
index.html
"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    document, setup_dir = sys.argv[1:]
    chmcmd = shutil.which('chmcmd')
    if not chmcmd:
        sys.exit('chmcmd not found (Debian package fp-utils)')
    root = ET.parse(document).getroot()
    heading = (root.findtext('Headingline/Content') or '').strip()
    title = heading + ' Help'
    for node in root.findall('PRTCHMFILE/source_chm'):
        relative = node.text.strip().replace('\\', os.sep)
        language = node.get('ID').replace('_', ' ')
        target = os.path.join(setup_dir, relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with tempfile.TemporaryDirectory() as work:
            with open(os.path.join(work, 'index.html'), 'w', encoding='utf-8') as f:
                f.write(PAGE.format(title=html.escape(title), language=html.escape(language)))
            with open(os.path.join(work, 'help.hhp'), 'w', encoding='utf-8') as f:
                f.write(PROJECT.format(chm='help.chm', title=title))
            run = subprocess.run([chmcmd, 'help.hhp'], cwd=work, capture_output=True, text=True)
            if run.returncode != 0 or not os.path.exists(os.path.join(work, 'help.chm')):
                sys.exit('chmcmd failed for %s:\n%s%s' % (relative, run.stdout, run.stderr))
            shutil.copyfile(os.path.join(work, 'help.chm'), target)
        print(target)


if __name__ == '__main__':
    main()
