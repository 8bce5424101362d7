#!/usr/bin/env python3
"""Compiles the help topics of one language into an HTML Help file (CHM) with
chmcmd: the contents in the order of the contents topic H01, an index of the
topics' titles and headings. The contents and index are written in the code
page of the language, as HTML Help reads them.
Usage: make_chm.py TOPICS_DIR OUT.chm ru|en"""
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

LANGUAGES = {"ru": ("0x419 Russian", "cp1251"), "en": ("0x409 English (United States)", "cp1252")}


def text_of(fragment):
    return html.unescape(re.sub(r"<[^>]+>", "", fragment)).strip()


def sitemap_entry(name, local, encoding):
    return ('<LI><OBJECT type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="%s"></OBJECT>\n'
            % (html.escape(name).encode(encoding, "xmlcharrefreplace").decode(encoding), local))


def main():
    topics_dir, out, language = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    code, encoding = LANGUAGES[language]
    topics = sorted(f for f in os.listdir(topics_dir) if re.fullmatch(r"H\d\d\.htm", f))
    texts = {t: open(os.path.join(topics_dir, t), encoding="utf-8").read() for t in topics}
    # The pictures the topics show, wherever they lie, go beside them.
    pictures = {}
    for t, s in texts.items():
        for src in re.findall(r'<img src="([^"]+)"', s):
            pictures[os.path.basename(src)] = os.path.normpath(os.path.join(topics_dir, src))
        texts[t] = re.sub(r'<img src="(?:[^"/]*/)*([^"/]+)"', r'<img src="\1"', s)
    title = {t: text_of(re.search(r"<title>(.*?)</title>", s, re.S).group(1)) for t, s in texts.items()}
    # The contents in the order the contents topic lists them.
    order = ["H01.htm"] + [t for t in re.findall(r'href="(H\d\d\.htm)"', texts["H01.htm"]) if t in texts]
    order += [t for t in topics if t not in order]
    order = list(dict.fromkeys(order))
    work = tempfile.mkdtemp()
    try:
        for t, s in texts.items():
            with open(os.path.join(work, t), "w", encoding="utf-8") as f:
                f.write(s)
        for name, path in pictures.items():
            shutil.copy(path, os.path.join(work, name))
        head = '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><HEAD></HEAD><BODY>\n<UL>\n'
        tail = "</UL>\n</BODY></HTML>\n"
        with open(os.path.join(work, "contents.hhc"), "w", encoding=encoding, errors="xmlcharrefreplace") as f:
            f.write(head + "".join(sitemap_entry(title[t], t, encoding) for t in order) + tail)
        keywords = []
        for t in order:
            keywords.append((title[t], t))
            keywords += [(text_of(h), t) for h in re.findall(r"<h2>(.*?)</h2>", texts[t], re.S)]
        keywords.sort(key=lambda k: k[0].lower())
        with open(os.path.join(work, "index.hhk"), "w", encoding=encoding, errors="xmlcharrefreplace") as f:
            f.write(head + "".join(sitemap_entry(k, t, encoding) for k, t in keywords) + tail)
        name = os.path.basename(out)
        with open(os.path.join(work, "help.hhp"), "w", encoding=encoding) as f:
            f.write("[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=%s\nContents file=contents.hhc\n"
                    "Index file=index.hhk\nDefault topic=H01.htm\nDisplay compile progress=No\nLanguage=%s\n"
                    "Title=ZEL-TERRAVOX\n\n[FILES]\n%s\n" % (name, code, "\n".join(topics + sorted(pictures))))
        subprocess.run(["chmcmd", "--no-html-scan", "help.hhp"], cwd=work, check=True, stdout=subprocess.DEVNULL)
        shutil.move(os.path.join(work, name), out)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
