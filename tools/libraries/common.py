"""Shared helpers for the word-library build scripts.

Every script reads the raw source files from a source folder (default
/tmp/zv-sources, or $ZV_SRC) that fetch_sources.sh fills, and writes the
libraries into the application folder template (appdir/data/ of this
repository, or $ZV_OUT); reports go to out/ beside the scripts.
"""
import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.environ.get("ZV_SRC", "/tmp/zv-sources")
REPO = os.path.dirname(os.path.dirname(HERE))
OUT = os.environ.get("ZV_OUT", os.path.join(REPO, "appdir", "data"))
REPORTS = os.path.join(HERE, "out")

CJK_RE = re.compile(r"^[\u4e00-\u9fff]+$")
HAN = re.compile(r"[\u4e00-\u9fff]")


def src(*parts):
    p = os.path.join(SRC, *parts)
    if not os.path.exists(p):
        sys.exit("missing source file %s: run fetch_sources.sh first" % p)
    return p


def is_cjk(s):
    return bool(CJK_RE.match(s))


def in_gbk(s):
    try:
        s.encode("gbk")
        return True
    except UnicodeEncodeError:
        return False


def write_gbk(path, lines):
    """Write lines as GBK with CR LF after every line (also the last one).
    A line with a character outside GBK is dropped. Returns (kept, dropped)."""
    kept, dropped = [], []
    for line in lines:
        (kept if in_gbk(line) else dropped).append(line)
    with open(path, "wb") as f:
        for line in kept:
            f.write(line.encode("gbk") + b"\r\n")
    return kept, dropped


_jieba = None


def jieba_dict():
    """{word: (freq, pos)} from jieba's dict.txt (Debian python3-jieba)."""
    global _jieba
    if _jieba is None:
        d = {}
        with open(src("jieba", "dict.txt"), encoding="utf-8") as f:
            for line in f:
                p = line.split()
                if len(p) >= 2:
                    d[p[0]] = (int(p[1]), p[2] if len(p) > 2 else "")
        _jieba = d
    return _jieba


_friso = None


def friso_words():
    """Set of words of friso's main lexicon (Debian friso-dict)."""
    global _friso
    if _friso is None:
        s = set()
        with open(src("friso", "lex-main.lex"), encoding="utf-8") as f:
            for line in f:
                w = line.strip().split("/")[0]
                if w:
                    s.add(w)
        _friso = s
    return _friso


def correct_corpus(name="correct.txt"):
    """Correct Chinese text (one sentence a line) that build_corpus.py made:
    used only to find strings that occur in correct text; never shipped.
    name="news.txt" gives its People's Daily and Xuexi Qiangguo part."""
    with open(src("corpus", name), encoding="utf-8") as f:
        return f.read()


def strip_tags(html):
    html = re.sub(r"(?is)<(script|style)\b.*?</\1>", " ", html)
    text = re.sub(r"(?s)<[^>]+>", " ", html)
    import html as _h
    return _h.unescape(text)


def sample_texts():
    """The article texts the measurements use (tags stripped), de-duplicated
    by content: shared/samples/articles/*/expected.html and
    shared/samples/readability/{gmw,qq}/expected.html, from the shared folder
    beside the checkout (or $ZV_SAMPLES)."""
    base = os.environ.get("ZV_SAMPLES", os.path.join(os.path.dirname(REPO), "shared", "samples"))
    paths = []
    adir = os.path.join(base, "articles")
    for name in sorted(os.listdir(adir)):
        p = os.path.join(adir, name, "expected.html")
        if os.path.exists(p):
            paths.append(p)
    for name in ("gmw", "qq"):
        p = os.path.join(base, "readability", name, "expected.html")
        if os.path.exists(p):
            paths.append(p)
    seen, out = set(), []
    for p in paths:
        raw = open(p, encoding="utf-8").read()
        if raw in seen:
            continue
        seen.add(raw)
        out.append((p, strip_tags(raw)))
    return out
