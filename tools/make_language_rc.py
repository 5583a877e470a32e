#!/usr/bin/env python3
"""Writes the resource script of one language resource library.

    make_language_rc.py --dialogs res/dialogs_zhcn.rc
                        --program-strings res/strings_zhcn.rc
                        --strings res/lang/strings_SUFFIX.rc
                        --dialog-texts res/lang/dialog_texts.txt
                        --suffix SUFFIX --library-ids 253-260
                        [--header res/resource.h] [--pictures bitmaps.rc]
                        --out OUT.rc

The library carries every dialog template of the program (taken from the
program's own templates, whatever they hold) in the language of the string
file, and one string table:

- The LANGUAGE statement of the string file replaces the templates' own.
- Arabic and Hebrew templates are laid out right to left: WS_EX_LAYOUTRTL is
  added to each template's EXSTYLE (an EXSTYLE line is added where missing).
- Template texts are translated: a text equal to a text of the program's
  string table becomes the library's text of the same id (the templates'
  defaults are mostly the texts the pages set at run time); the other texts
  are looked up in the dialog-text file.
- The string table is the string file's; a string file in the program's own
  language only adds to the program's table, which is taken unchanged.
- With --pictures the bitmap script is included as well (right-to-left
  languages take their pictures from the language library).

Every id of the program's table and the library-only ids must be present;
missing ids are reported as warnings (the unit tests fail on them).
The output is rewritten only when its content changes.
"""
import argparse
import os
import re
import sys

RTL_LANGUAGES = {"LANG_ARABIC", "LANG_HEBREW"}

LANGUAGE_RE = re.compile(r"^\s*LANGUAGE\s+(\w+)\s*,\s*(\w+)\s*$")
DIALOG_RE = re.compile(r"^\s*\w+\s+(DIALOGEX|DIALOG)\b")
BEGIN_RE = re.compile(r"^\s*(BEGIN|\{)\s*(//.*)?$")
END_RE = re.compile(r"^\s*(END|\})\s*(//.*)?$")
STRINGTABLE_RE = re.compile(r"^\s*STRINGTABLE\b")
ENTRY_RE = re.compile(r'^\s*(\w+)\s*,?\s*("(?:[^"]|"")*")\s*(//.*)?$')
QUOTED_RE = re.compile(r'"((?:[^"]|"")*)"')


class ScriptError(Exception):
    pass


def read_lines(path):
    with open(path, encoding="utf-8-sig") as f:
        return f.read().splitlines()


def read_defines(path):
    defines = {}
    if path:
        for line in read_lines(path):
            m = re.match(r"^\s*#define\s+(\w+)\s+(\d+)\b", line)
            if m:
                defines[m.group(1)] = int(m.group(2))
    return defines


def language_of(lines, path):
    for line in lines:
        m = LANGUAGE_RE.match(line)
        if m:
            return m.group(1), m.group(2)
    raise ScriptError(f"{path}: no LANGUAGE statement")


def parse_strings(path, defines):
    """Returns ({id: quoted literal}, LANGUAGE pair) of a string-table script."""
    lines = read_lines(path)
    entries = {}
    depth = 0
    in_table = False
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if not in_table:
            if STRINGTABLE_RE.match(line):
                in_table = True
            continue
        if not stripped or stripped.startswith("//"):
            continue
        if BEGIN_RE.match(line):
            depth += 1
            continue
        if END_RE.match(line):
            depth -= 1
            if depth == 0:
                in_table = False
            continue
        m = ENTRY_RE.match(line)
        if not m or depth != 1:
            raise ScriptError(f"{path}:{number}: not a string-table entry: {stripped}")
        key = m.group(1)
        if key.isdigit():
            sid = int(key)
        elif key in defines:
            sid = defines[key]
        else:
            raise ScriptError(f"{path}:{number}: unknown string id {key}")
        if sid in entries:
            raise ScriptError(f"{path}:{number}: string id {sid} given twice")
        entries[sid] = m.group(2)
    return entries, language_of(lines, path)


def parse_dialog_texts(path, suffix):
    """Returns {template text: translation} for one suffix (rc-quoted bodies)."""
    table = {}
    source = None
    for number, line in enumerate(read_lines(path), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if line.startswith("="):
            source = line[1:].strip()
            continue
        m = re.match(r"^(\S+)\s+(.*\S)\s*$", line)
        if not m or source is None:
            raise ScriptError(f"{path}:{number}: expected '= text' or 'suffix text'")
        if m.group(1) == suffix:
            table[source] = m.group(2)
    return table


def convert_dialogs(lines, rtl, texts):
    """The program's templates without their own LANGUAGE and code-page lines,
    laid out right to left when asked, with the listed texts translated."""
    out = []
    in_header = False   # between "NAME DIALOGEX ..." and its BEGIN
    has_exstyle = False
    depth = 0           # BEGIN/END nesting of any resource block
    for line in lines:
        if LANGUAGE_RE.match(line) or re.match(r"^\s*#pragma\s+code_page\b", line):
            continue
        if texts:
            line = QUOTED_RE.sub(lambda m: '"' + texts.get(m.group(1), m.group(1)) + '"', line)
        if depth == 0 and not in_header and DIALOG_RE.match(line):
            in_header, has_exstyle = True, False
            out.append(line)
            continue
        if in_header:
            if BEGIN_RE.match(line):
                if rtl and not has_exstyle:
                    out.append("EXSTYLE WS_EX_LAYOUTRTL")
                in_header = False
                depth = 1
                out.append(line)
                continue
            m = re.match(r"^(\s*EXSTYLE\s+)(.*)$", line)
            if m:
                has_exstyle = True
                if rtl:
                    line = m.group(1) + "WS_EX_LAYOUTRTL | " + m.group(2)
            out.append(line)
            continue
        if BEGIN_RE.match(line):
            depth += 1
        elif END_RE.match(line) and depth > 0:
            depth -= 1
        out.append(line)
    if in_header:
        raise ScriptError("a dialog template has no BEGIN")
    return out


def parse_id_ranges(text):
    ids = set()
    for part in filter(None, (p.strip() for p in text.split(","))):
        lo, _, hi = part.partition("-")
        ids.update(range(int(lo), int(hi or lo) + 1))
    return ids


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--dialogs", required=True)
    ap.add_argument("--program-strings", required=True)
    ap.add_argument("--strings", required=True)
    ap.add_argument("--dialog-texts")
    ap.add_argument("--suffix", required=True)
    ap.add_argument("--library-ids", default="")
    ap.add_argument("--header")
    ap.add_argument("--pictures")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()

    try:
        defines = read_defines(args.header)
        program, program_language = parse_strings(args.program_strings, defines)
        own, language = parse_strings(args.strings, defines)
        rtl = language[0] in RTL_LANGUAGES
        same_language = language == program_language

        if same_language:
            twice = sorted(set(own) & set(program))
            if twice:
                raise ScriptError(f"{args.strings}: ids {twice} are already in the program's own table")
            table = dict(program)
            table.update(own)
            texts = {}
        else:
            table = dict(own)
            texts = {}
            for sid in sorted(program, reverse=True):  # the lowest id wins
                body = program[sid][1:-1]
                if body and sid in table:
                    texts[body] = table[sid][1:-1]
            if args.dialog_texts:
                texts.update(parse_dialog_texts(args.dialog_texts, args.suffix))

        expected = set(program) | parse_id_ranges(args.library_ids)
        missing = sorted(expected - set(table))
        unknown = sorted(set(table) - expected)
        if missing:
            print(f"warning: {args.strings}: missing string ids {missing}", file=sys.stderr)
        if unknown:
            print(f"warning: {args.strings}: ids {unknown} are not in the program's table", file=sys.stderr)

        dialogs = convert_dialogs(read_lines(args.dialogs), rtl, texts)
    except (OSError, ScriptError) as e:
        print(f"make_language_rc: {e}", file=sys.stderr)
        return 1

    out = [
        f"// Generated by tools/make_language_rc.py for the {args.suffix} language library; do not edit.",
        "#pragma code_page(65001)",
        "#include <windows.h>",
        "#include <commctrl.h>",
        '#include "resource.h"',
        "",
        f"LANGUAGE {language[0]}, {language[1]}",
        "",
        "// Dialog templates of the program" + (", laid out right to left" if rtl else ""),
    ]
    out += dialogs
    out += ["", "STRINGTABLE", "BEGIN"]
    out += [f"    {sid} {table[sid]}" for sid in sorted(table)]
    out += ["END", ""]
    if args.pictures:
        out += ["// Pictures: right-to-left languages take them from this library", f'#include "{args.pictures}"', ""]
    content = "\n".join(out)

    try:
        with open(args.out, encoding="utf-8") as f:
            if f.read() == content:
                return 0
    except OSError:
        pass
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main())
