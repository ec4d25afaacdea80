#!/usr/bin/env bash
# Rebuild error.dat, hexie.dat and same.dat from the pinned sources into
# appdir/data/, refresh the example service content's copies, then measure.
# same.dat comes from the hand review in out/same-review.tsv: build_same.py
# regenerates the Open Wordnet / Wiktionary candidate groups
# (same_candidates.py), checks that every review line still matches its
# candidate, and writes only the groups the review kept. It stops, rather
# than guess, when the sources no longer match the review.
set -euo pipefail
cd "$(dirname "$0")"
bash fetch_sources.sh
python3 build_corpus.py
python3 build_error.py
python3 build_hexie.py
python3 build_same.py

# The service server sends a library without its last CR LF: a client stores
# what it downloads plus CR LF, and ends with the shipped file again.
data=../../appdir/data
content=../../deploy/example-content/data
if [ -z "${ZV_OUT:-}" ]; then
    for pair in error.dat:errorwords.txt same.dat:samewords.txt; do
        head -c -2 "$data/${pair%%:*}" >"$content/${pair##*:}"
        printf '%s: %s separators\n' "${pair%%:*}" "$(grep -c $'\r$' "$content/${pair##*:}")"
    done
fi

python3 measure.py | tee out/measure.txt
