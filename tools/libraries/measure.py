"""Measure the three libraries on the sample articles (tags stripped):
typo WRONG strings and sensitive words found (with context), the share
of the text's 2+ character words (jieba-dictionary segmentation) that the
synonym library covers, and every exchange the program's synonym routine
would make (a re-implementation of the program's replaceSynonyms: raw-text
scan, first whole library word from each position, A|B|C gives A->B, B->B,
C->A). Also prints the same counts for the whole saved pages (source.html),
a larger, noisier text."""
import os
import re
import sys

from common import OUT, sample_texts, strip_tags
from segment import cut


def read_lib(name):
    raw = open(os.path.join(OUT, name), "rb").read().decode("gbk")
    return [l for l in raw.split("\r\n") if l]


def hits(text, words):
    out = []
    for w in words:
        for m in re.finditer(re.escape(w), text):
            a, b = m.start(), m.end()
            out.append((w, text[max(0, a - 12):a] + "[" + w + "]" + text[b:b + 12]))
    return out


def coverage(text, syn_words):
    toks = []
    for run in re.findall(r"[\u4e00-\u9fff]+", text):
        toks += [run[a:b] for a, b in cut(run) if b - a >= 2]
    covered = [t for t in toks if t in syn_words]
    return len(toks), len(covered), len(set(toks)), len(set(covered)), sorted(set(covered))


def replace_synonyms(text, library):
    """The program's replaceSynonyms on text;
    returns (new text, [(position in the new text, found word, replacement)])."""
    if not text:
        return text, []
    lib = "\r\n" + library + "\r\n"

    def boundary(c):
        return c in ("", "\r", "\n", "|")

    swaps = []
    pos = 0
    while pos < len(text):
        if text[pos] not in "\r\n":
            cand = text[pos]
            found = lib.find(cand)
            while found != -1:
                before = lib[found - 1] if found > 0 else ""
                end = found + len(cand)
                after = lib[end] if end < len(lib) else ""
                if boundary(before) and boundary(after):
                    line = lib[lib.rfind("\n", 0, found) + 1:lib.find("\r", found)]
                    words = line.split("|")
                    rep = words[1] if after == "|" else words[0]
                    text = text[:pos] + rep + text[pos + len(cand):]
                    swaps.append((pos, cand, rep))
                    pos += len(rep) - 1
                    break
                if pos + len(cand) >= len(text):
                    break
                cand = text[pos:pos + len(cand) + 1]
                found = lib.find(cand)
        pos += 1
    return text, swaps


def main():
    errors = [l.split("|") for l in read_lib("error.dat")]
    wrongs = [w for w, _ in errors]
    hexie = read_lib("hexie.dat")
    groups = [l.split("|") for l in read_lib("same.dat")]
    same_text = "\r\n".join("|".join(g) for g in groups) + "\r\n"
    syn_words = {w for g in groups for w in g}
    print("libraries: error.dat %d pairs, hexie.dat %d words, same.dat %d groups (%d words)"
          % (len(errors), len(hexie), len(groups), len(syn_words)))
    texts = sample_texts()
    base = os.path.dirname(os.path.dirname(texts[0][0]))
    extra = []
    for p, _ in texts:
        s = os.path.join(os.path.dirname(p), "source.html")
        if os.path.exists(s):
            extra.append((s, strip_tags(open(s, encoding="utf-8").read())))
    for label, items in (("ARTICLES (expected.html)", texts), ("WHOLE PAGES (source.html)", extra)):
        print("\n==", label)
        for path, text in items:
            n_han = len(re.findall(r"[\u4e00-\u9fff]", text))
            print("\n--", os.path.relpath(path, os.path.dirname(base)), "- %d Chinese characters" % n_han)
            eh = hits(text, wrongs)
            print("typo WRONG strings found: %d" % len(eh))
            for w, ctx in eh:
                print("   ", w, "->", dict(errors)[w], "|", ctx.replace("\n", " "))
            hh = hits(text, hexie)
            print("sensitive words found: %d" % len(hh))
            for w, ctx in hh:
                print("   ", w, "|", ctx.replace("\n", " "))
            n, c, nd, cd, cw = coverage(text, syn_words)
            print("synonym coverage: %d of %d 2+ character word tokens (%.1f%%), %d of %d distinct words (%.1f%%)"
                  % (c, n, 100.0 * c / max(n, 1), cd, nd, 100.0 * cd / max(nd, 1)))
            if "-v" in sys.argv:
                print("   covered:", " ".join(cw))
            new, swaps = replace_synonyms(text, same_text)
            changed = [(p, a, b) for p, a, b in swaps if a != b]
            print("synonym routine: %d library words met, %d exchanged" % (len(swaps), len(changed)))
            if label.startswith("ARTICLES"):
                for p, a, b in changed:
                    ctx = (new[max(0, p - 10):p] + "[" + a + "->" + b + "]"
                           + new[p + len(b):p + len(b) + 10]).replace("\n", " ")
                    print("   ", ctx)


if __name__ == "__main__":
    main()
