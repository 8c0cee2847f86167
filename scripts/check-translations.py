#!/usr/bin/env python3
"""Fails when a window text has no Chinese translation.

lupdate collects every tr() text of gui/ into a scratch catalogue; each of
them must stand, in its context, in one of res/translations/*_zh.ts with a
translation that is neither empty nor marked unfinished, and in one of
*_en.ts. The texts missing are printed as context, then source.

It also fails when a text or translation of res/translations/*.ts has a
placeholder directly followed by a digit or another placeholder: once one
is filled in, the two read as one ("%1%n" with 481 cells is "%1481", which
arg() takes for %14).

Usage: scripts/check-translations.py [REPOSITORY_ROOT]
"""
import glob
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

MESSAGE = re.compile(r"<message[^>]*>(.*?)</message>", re.S)
CONTEXT = re.compile(r"<context>\s*<name>(.*?)</name>(.*?)</context>", re.S)
SOURCE = re.compile(r"<source>(.*?)</source>", re.S)
TRANSLATION = re.compile(r"<translation([^>]*)>(.*?)</translation>|<translation([^>]*)/>", re.S)


NUMERUS = re.compile(r"<numerusform>(.*?)</numerusform>", re.S)
# %1..%99, %L1 and %n, followed at once by a digit or by another of them.
RUN_TOGETHER = re.compile(r"%(?:L?\d{1,2}|n)(?=\d|%(?:L?\d|n))")


def run_together(path):
    """(context, text) of the texts and translations of a .ts file whose placeholders run together."""
    text = open(path, encoding="utf-8").read()
    found = []
    for ctx, body in CONTEXT.findall(text):
        for msg in MESSAGE.findall(body):
            tr = TRANSLATION.search(msg)
            forms = NUMERUS.findall(tr.group(2) or "") if tr else []
            for part in SOURCE.findall(msg) + ([tr.group(2) or ""] if tr and not forms else []) + forms:
                part = html.unescape(part)
                if RUN_TOGETHER.search(part):
                    found.append((html.unescape(ctx), part))
    return found


def messages(path):
    """(context, source) -> (translation text, unfinished) of a .ts file."""
    text = open(path, encoding="utf-8").read()
    found = {}
    for ctx, body in CONTEXT.findall(text):
        for msg in MESSAGE.findall(body):
            src = SOURCE.search(msg)
            if not src:
                continue
            tr = TRANSLATION.search(msg)
            attrs = (tr.group(1) or tr.group(3) or "") if tr else ""
            value = html.unescape(tr.group(2) or "") if tr else ""
            found[(html.unescape(ctx), html.unescape(src.group(1)))] = (value, "unfinished" in attrs)
    return found


def lupdate():
    for name in ("lupdate", "/usr/lib/qt6/bin/lupdate", "/usr/lib/qt6/libexec/lupdate"):
        path = shutil.which(name)
        if path:
            return path
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    tool = lupdate()
    if not tool:
        print("check-translations: lupdate not found (Debian: qt6-l10n-tools)", file=sys.stderr)
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        scratch = os.path.join(tmp, "all.ts")
        subprocess.run([tool, "-silent", "-no-obsolete", os.path.join(root, "gui"), "-ts", scratch],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wanted = messages(scratch)
    missing = []
    for lang in ("zh", "en"):
        have = {}
        for path in sorted(glob.glob(os.path.join(root, "res", "translations", f"*_{lang}.ts"))):
            have.update(messages(path))
        for key in sorted(wanted):
            value = have.get(key)
            # English may leave the text as it is (unfinished, empty); Chinese may not.
            if value is None or (lang == "zh" and (value[1] or not value[0].strip())):
                missing.append((lang, key))
    for lang, (ctx, src) in missing:
        print(f"no {lang} translation: {ctx}: {src!r}")
    joined = []
    for path in sorted(glob.glob(os.path.join(root, "res", "translations", "*.ts"))):
        joined += [(os.path.basename(path), ctx, part) for ctx, part in run_together(path)]
    for name, ctx, part in joined:
        print(f"{name}: {ctx}: placeholders run together (put a space or a word between them): {part!r}")
    if missing:
        print(f"{len(missing)} text(s) lack a translation in res/translations/*_zh.ts or *_en.ts")
    if missing or joined:
        return 1
    print(f"check-translations: all {len(wanted)} window texts have their translations")
    return 0


if __name__ == "__main__":
    sys.exit(main())
