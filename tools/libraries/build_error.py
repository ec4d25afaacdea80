"""Build error.dat (WRONG|RIGHT typo pairs) from pycorrector's and
macro-correct's confusion lists.

1. Read the pairs; cut each down to the word(s) that hold the change: the
   smallest run of whole words (jieba dictionary segmentation of RIGHT) that
   covers every changed character, widened word by word while the wrong side
   is still a dictionary word.
2. Keep a pair only if: both sides are 2+ Chinese characters of equal length
   differing in at most half of them (a typo, not a rewrite); RIGHT is one
   word of jieba's or friso's dictionary; WRONG is not such a word, nor part of
   one (jieba frequency >= 2, or any friso word); WRONG never occurs in the
   correct-text corpus (strict: that corpus keeps a few typos of its own, so
   a few true typos go too); the change is not only among 的/地/得; WRONG is
   not on the hand-read VALID_PHRASES list; a three-character WRONG holds no common
   2-character word (unless its wrong character lies outside GB2312, i.e. a
   traditional or variant form); a two-character WRONG does not start with
   a common surname (it may be a name: 杨帆, 杜娟); the chance of meeting WRONG in correct text
   (jieba unigram model, across word boundaries) stays under CROSS_MAX per
   million words, and, for a WRONG that reads as 2+ character words only,
   under PHRASE_MAX (so 按装 goes: 按 + 装修 makes it 0.18 per million).
3. Drop a WRONG that maps to two different RIGHTs, a WRONG contained in
   another pair's RIGHT, and a WRONG that would spoil a longer WRONG.
Writes error.dat (GBK, CR LF) and out/error-report.tsv (every pair with
the reason it was dropped or 'kept')."""
import json
import os
from collections import defaultdict

from common import (OUT, REPORTS, correct_corpus, friso_words, is_cjk, jieba_dict, src,
                    write_gbk)
from segment import cut

# The commonest surnames: a two-character WRONG starting with one may be a
# person's name (杨帆, 杜娟, 李魁), so it goes.
SURNAMES = set("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶"
               "程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝"
               "龚邵万钱严覃武戴莫孔向汤")

CROSS_MAX = 0.05      # expected hits per million words of correct text (unigram model)
PHRASE_MAX = 1e-5     # the same, for a WRONG made only of 2+ character dictionary words
SUBWORD_MIN_FREQ = 2  # jieba words this frequent count when testing "part of a word"
DE = set("的地得")    # a change among these hangs on grammar, not on the word

# Pairs whose WRONG is a normal phrase in some context, found by reading the
# list (kept out by hand).
VALID_PHRASES = {
    "几十公分", "不在此例", "继承父业", "警示名言", "委屈婉转", "火山暴发", "抚今追思",
    "默默含情", "匠心独到", "鸿运当头", "溶为一体", "出师不力", "变换莫测", "心酸苦辣",
}


def read_sources():
    pairs = []  # (source, wrong, right)
    for name in ("custom_confusion.txt", "common_error_pairs.txt"):
        with open(src("pycorrector", name), encoding="utf-8") as f:
            for line in f:
                if line.startswith("#"):
                    continue
                p = line.split()
                if len(p) >= 2:
                    pairs.append(("pycorrector/" + name, p[0], p[1]))
    d = json.load(open(src("macro-correct", "confusion_dict.json"), encoding="utf-8"))
    for w, r in d.items():
        pairs.append(("macro-correct/confusion_dict.json", w.strip(), r.strip()))
    return pairs


def is_word(s):
    return s in jieba_dict() or s in friso_words()


def reduce_pair(w, r):
    """Cut (w, r) down to the words that hold the change."""
    p = 0
    while p < min(len(w), len(r)) and w[p] == r[p]:
        p += 1
    s = 0
    while s < min(len(w), len(r)) - p and w[-1 - s] == r[-1 - s]:
        s += 1
    lo, hi = p, len(r) - s  # changed region of r
    if hi <= lo:  # pure deletion in r: cover the neighbour
        lo, hi = max(0, lo - 1), min(len(r), lo + 1)
    spans = cut(r)
    i0 = max(k for k, (a, b) in enumerate(spans) if a <= lo)
    i1 = min(k for k, (a, b) in enumerate(spans) if b >= hi)

    def sides(i, j):
        a, b = spans[i][0], spans[j][1]
        return w[a:len(w) - (len(r) - b)], r[a:b]

    ww, rr = sides(i0, i1)
    while (len(ww) < 2 or len(rr) < 2 or is_word(ww)) and (i0 > 0 or i1 < len(spans) - 1):
        opts = []
        if i0 > 0:
            opts.append((i0 - 1, i1))
        if i1 < len(spans) - 1:
            opts.append((i0, i1 + 1))
        # prefer the widening that gives a non-word, then the shorter one
        opts.sort(key=lambda ij: (is_word(sides(*ij)[0]), len(sides(*ij)[1])))
        i0, i1 = opts[0]
        ww, rr = sides(i0, i1)
    return ww, rr


def risk_model():
    """Expected occurrences per million words of a string in correct text,
    under jieba's unigram model: the string read as the tail of one word, any
    whole words, and the head of another word (summed over all such
    readings); and, for strings made of whole 2+ character words only, the
    likeliest such reading."""
    d = jieba_dict()
    fr = friso_words()
    total = float(sum(f for f, _ in d.values()))
    end, start = defaultdict(float), defaultdict(float)
    for w, (f, _) in d.items():
        for k in range(1, min(len(w), 8) + 1):
            end[w[-k:]] += f / total
            start[w[:k]] += f / total

    def cross(s):
        n = len(s)
        mid = {}

        def m(i, j):
            if i == j:
                return 1.0
            if (i, j) not in mid:
                mid[(i, j)] = sum(d[s[i:k]][0] / total * m(k, j)
                                  for k in range(i + 1, j + 1) if s[i:k] in d)
            return mid[(i, j)]
        return 1e6 * sum(end.get(s[:a], 0.0) * m(a, b) * start.get(s[b:], 0.0)
                         for a in range(1, n) for b in range(a, n))

    def phrase(s):
        """likeliest reading as 2+ character dictionary words, or None"""
        best = {len(s): 1.0}
        for i in range(len(s) - 1, -1, -1):
            b = None
            for k in range(i + 2, len(s) + 1):
                t = s[i:k]
                if (t in d or t in fr) and best.get(k) is not None:
                    p = (d[t][0] if t in d else 1) / total * best[k]
                    b = p if b is None else max(b, p)
            best[i] = b
        return None if best[0] is None else 1e6 * best[0]
    return cross, phrase


def in_gb2312(c):
    try:
        c.encode("gb2312")
        return True
    except UnicodeEncodeError:
        return False


def common_word(s):
    jd = jieba_dict()
    return (s in jd and jd[s][0] >= 10) or s in friso_words()


def main():
    jd, fr = jieba_dict(), friso_words()
    corpus = correct_corpus()
    subwords = set()
    for wd in list(fr) + [w for w, (f, _) in jd.items() if f >= SUBWORD_MIN_FREQ]:
        if len(wd) > 2:
            for i in range(len(wd)):
                for j in range(i + 2, len(wd) + 1):
                    if j - i < len(wd):
                        subwords.add(wd[i:j])
    cross, phrase = risk_model()

    report, cand = [], {}
    for source, w0, r0 in read_sources():
        if w0 == r0 or not w0 or not r0:
            continue
        w, r = reduce_pair(w0, r0)
        why = None
        ndiff = sum(a != b for a, b in zip(w, r)) if len(w) == len(r) else None
        if not (is_cjk(w) and is_cjk(r)):
            why = "not all Chinese"
        elif len(w) < 2 or len(r) < 2:
            why = "single character"
        elif w == r:
            why = "no change left"
        elif ndiff is None:
            why = "lengths differ"
        elif ndiff > max(1, len(w) // 2):
            why = "too many changed characters"
        elif w in jd or w in fr:
            why = "WRONG is a dictionary word"
        elif w in subwords:
            why = "WRONG is part of a dictionary word"
        elif w in corpus:
            why = "WRONG occurs in correct text"
        elif not (r in jd or r in fr):
            why = "RIGHT not a dictionary word"
        elif all(a == b or (a in DE and b in DE) for a, b in zip(w, r)):
            why = "change among de/di/de only"
        elif w in VALID_PHRASES:
            why = "WRONG is a normal phrase (read by hand)"
        elif (len(w) == 3 and (common_word(w[:2]) or common_word(w[1:]))
              and all(in_gb2312(a) for a, b in zip(w, r) if a != b)):
            why = "three characters holding a common word"
        elif (len(w) == 2 and w[0] in SURNAMES
              and all(in_gb2312(a) for a, b in zip(w, r) if a != b)):
            why = "could be a person's name"
        elif cross(w) >= CROSS_MAX:
            why = "WRONG likely across word boundaries (%.3f/M)" % cross(w)
        elif phrase(w) is not None and phrase(w) >= PHRASE_MAX:
            why = "WRONG is a plausible word sequence (%.1e/M)" % phrase(w)
        report.append([source, w0, r0, w, r, why or "candidate"])
        if not why:
            cand.setdefault(w, set()).add(r)

    # conflicts
    drop = {}
    for w, rs in cand.items():
        if len(rs) > 1:
            drop[w] = "WRONG has several RIGHTs: " + "/".join(sorted(rs))
    final = {w: next(iter(rs)) for w, rs in cand.items() if w not in drop}
    rights = list(final.values())
    for w in final:
        if any(w in r for r in rights):
            drop[w] = "WRONG inside some RIGHT"
    for w1, r1 in final.items():
        for w2, r2 in final.items():
            if w1 != w2 and w1 in w2 and w2.replace(w1, r1) != r2:
                drop[w1] = "WRONG would spoil %s|%s" % (w2, r2)
    final = {w: r for w, r in final.items() if w not in drop}
    for row in report:
        if row[5] == "candidate":
            row[5] = drop.get(row[3], "kept")

    lines = ["%s|%s" % (w, r) for w, r in sorted(final.items(), key=lambda x: (x[1], x[0]))]
    kept, dropped = write_gbk(os.path.join(OUT, "error.dat"), lines)
    os.makedirs(REPORTS, exist_ok=True)
    with open(os.path.join(REPORTS, "error-report.tsv"), "w", encoding="utf-8") as f:
        f.write("source\tWRONG_in\tRIGHT_in\tWRONG\tRIGHT\tresult\n")
        for row in report:
            f.write("\t".join(row) + "\n")
    from collections import Counter
    c = Counter(row[5].split(" (")[0].split(":")[0] for row in report)
    for k, v in c.most_common():
        print("%6d  %s" % (v, k))
    print("pairs written:", len(kept), "dropped as non-GBK:", len(dropped))


if __name__ == "__main__":
    main()
