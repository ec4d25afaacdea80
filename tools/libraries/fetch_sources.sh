#!/usr/bin/env bash
# Fill $ZV_SRC (default /tmp/zv-sources) with the raw source files, pinned to
# the commits and package versions named in appdir/data/LICENSES/SOURCES.md.
# A repository is read from a bare snapshot at $ZV_MIRROR/OWNER+NAME/repo
# when there is one, else cloned from GitHub.
set -euo pipefail
SRC=${ZV_SRC:-/tmp/zv-sources}
MIRROR=${ZV_MIRROR:-$SRC/_mirror}
mkdir -p "$SRC"

gitdir() {  # owner/name -> a git dir holding it
  local repo=$1 d
  d="$MIRROR/${repo/\//+}/repo"
  if [ -d "$d" ]; then echo "$d"; return; fi
  d="$SRC/_git/${repo/\//+}.git"
  [ -d "$d" ] || git clone --bare --quiet "https://github.com/$repo.git" "$d"
  echo "$d"
}

take() {  # repo commit path dest
  local g; g=$(gitdir "$1")
  mkdir -p "$(dirname "$SRC/$4")"
  git --git-dir="$g" show "$2:$3" > "$SRC/$4"
}

PYC=fc8aa56c336276fbd8cdd3a49eef505dc67b8a6e      # shibing624/pycorrector
PYC_OLD=de76ea00fe687ec8e671d11bdb9dae8ff79b791f  # the last commit with tests/common_error_pairs.txt
MC=abdf4068ce2bf1d8d3550cfc3fdc83f96b25fa89       # yongzhuo/macro-correct
SW=a4fddc0ee2fa3a47b54ef66f9debb3985565f649       # houbb/sensitive-word v0.26.1 (last with the word files in-repo)
OMW=f75be19ec590da12a7a5665e361690b5badb7a25      # omwn/omw-data

take shibing624/pycorrector $PYC tests/custom_confusion.txt pycorrector/custom_confusion.txt
take shibing624/pycorrector $PYC_OLD tests/common_error_pairs.txt pycorrector/common_error_pairs.txt
take shibing624/pycorrector $PYC LICENSE pycorrector/LICENSE
take yongzhuo/macro-correct $MC macro_correct/output/confusion_dict.json macro-correct/confusion_dict.json
take yongzhuo/macro-correct $MC LICENSE macro-correct/LICENSE
take houbb/sensitive-word $SW src/main/resources/sensitive_word_dict.txt sensitive-word/sensitive_word_dict.txt
take houbb/sensitive-word $SW src/main/resources/sensitive_word_tags.txt sensitive-word/sensitive_word_tags.txt
take houbb/sensitive-word $SW src/main/java/com/github/houbb/sensitive/word/constant/enums/WordTagType.java sensitive-word/WordTagType.java 2>/dev/null \
  || take houbb/sensitive-word HEAD src/main/java/com/github/houbb/sensitive/word/constant/enums/WordTagType.java sensitive-word/WordTagType.java
take houbb/sensitive-word $SW LICENSE.txt sensitive-word/LICENSE
take omwn/omw-data $OMW wns/cow/wn-data-cmn.tab cow/wn-data-cmn.tab
take omwn/omw-data $OMW wns/cow/LICENSE cow/LICENSE
take omwn/omw-data $OMW wns/wikt/wn-wikt-cmn.tab cow/wn-wikt-cmn.tab
take omwn/omw-data $OMW wns/wikt/LICENSE cow/wikt-LICENSE

# Correct text used only to test strings against (never shipped).
for f in acc_rmrb.tet.json acc_xxqg.tet.json gen_de3.json gen_passage.tet.json gen_xxqg.tet.json \
         lemon_v2.tet.json textproof.tet.json faspell.dev.json lomo_tet.json mcsc_tet_5k.json \
         ecspell.dev.json sighan2013.dev.json sighan2014.dev.json sighan2015.dev.json; do
  take yongzhuo/macro-correct $MC macro_correct/corpus/text_correction/public/$f corpus/raw/$f
done
for f in sighan2013.train.json sighan2014.train.json sighan2015.train.json; do
  take yongzhuo/macro-correct $MC macro_correct/corpus/text_correction/sighan/$f corpus/raw/$f
done
for f in law med odw; do for s in train test; do
  take yongzhuo/macro-correct $MC macro_correct/corpus/text_correction/espell/csc_espell_$f.$s corpus/raw/espell_$f.$s.json
done; done
take shibing624/pycorrector $PYC examples/data/wiki_zh_200.txt corpus/raw/wiki_zh_200.txt

# Debian packages: jieba's dictionary (Expat) and friso's lexicon (Apache-2.0).
tmp=$(mktemp -d)
( cd "$tmp" && apt-get download python3-jieba=0.42.1-3 friso-dict=1.6.4+ds-2 >/dev/null 2>&1 \
  || apt-get download python3-jieba friso-dict )
mkdir -p "$SRC/jieba" "$SRC/friso" "$tmp/x"
for d in "$tmp"/*.deb; do dpkg-deb -x "$d" "$tmp/x"; done
cp "$tmp/x/usr/lib/python3/dist-packages/jieba/dict.txt" "$SRC/jieba/dict.txt"
cp "$tmp/x/usr/share/doc/python3-jieba/copyright" "$SRC/jieba/copyright"
cp "$tmp/x/usr/share/friso/dict/UTF-8/lex-main.lex" "$SRC/friso/lex-main.lex"
cp "$tmp/x/usr/share/doc/friso-dict/copyright" "$SRC/friso/copyright"
ls "$tmp"/*.deb | xargs -n1 basename > "$SRC/debs.txt"
rm -rf "$tmp"
echo "sources in $SRC"
