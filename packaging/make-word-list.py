#!/usr/bin/env python3
"""Makes the shipped word list, engldict.txt, from two of Debian's packages:

  scowl 2020.12.07-2        SCOWL's word lists by size (10, the commonest
                            words, to 95, the rarest) and by kind (words,
                            upper-case words, proper names, abbreviations,
                            contractions) for every spelling it has
                            (/usr/share/dict/scowl/);
  wordnet-base 1:3.0-37     WordNet 3.0's lemmas and collocations, with the
                            number of times each sense was tagged in a
                            corpus (/usr/share/wordnet/index.*).

Each entry is written as a solver writes it in a grid: accented letters made
plain (canonical decomposition, the marks dropped, and an explicit map for
the few letters that do not decompose), then everything but the letters A-Z
dropped, so that "club car", "cut-and-dried" and "o'clock" become
"clubcar", "cutanddried" and "oclock". Left out: SCOWL's possessive forms
(the entries ending in 's), entries with a digit, entries of one letter
other than a and I, and entries longer than the 99 characters the program
takes. An entry that repeats an earlier one once A-Z are folded is dropped,
so the first spelling stays.

The order is the order of a listing, so the likely answers come first:

  1. by SCOWL's size, the smallest list that holds the entry (entries that
     only WordNet has come after SCOWL's size 95);
  2. within a size, by how often WordNet's senses of the entry were tagged
     (an inflected form, such as "mice" or "walked", counts as its lemma,
     found as WordNet's own morphology finds it: its exception lists, then
     its suffix rules);
  3. then by how many senses WordNet gives it;
  4. then by the entry itself, in byte order.

The result is the same on every run and in every locale.

Usage: packaging/make-word-list.py [OUTPUT]   (default: engldict.txt at the
repository root).
"""

import os
import re
import subprocess
import sys
import unicodedata

SOURCES = {"scowl": "2020.12.07-2", "wordnet-base": "1:3.0-37"}
SCOWL = "/usr/share/dict/scowl"
WORDNET = "/usr/share/wordnet"
WORDNET_ONLY = 100  # the size given to entries that only WordNet has
LONGEST = 99
KINDS = ("words", "upper", "proper-names", "abbreviations", "contractions")

# Letters with no canonical decomposition into an ASCII letter and marks.
PLAIN = {"Æ": "AE", "æ": "ae", "Œ": "OE", "œ": "oe", "Ø": "O", "ø": "o", "ß": "ss",
         "Ð": "D", "ð": "d", "Đ": "D", "đ": "d", "Ł": "L", "ł": "l", "Þ": "Th",
         "þ": "th", "ı": "i"}

# WordNet's suffix rules (morphy(7WN)), tried in this order for each part
# of speech.
SUFFIXES = {
    "noun": [("s", ""), ("ses", "s"), ("xes", "x"), ("zes", "z"), ("ches", "ch"),
             ("shes", "sh"), ("men", "man"), ("ies", "y")],
    "verb": [("s", ""), ("ies", "y"), ("es", "e"), ("es", ""), ("ed", "e"), ("ed", ""),
             ("ing", "e"), ("ing", "")],
    "adj": [("er", ""), ("est", ""), ("er", "e"), ("est", "e")],
    "adv": [],
}


def check_sources():
    for package, wanted in SOURCES.items():
        found = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                               capture_output=True, text=True, check=False).stdout
        if found != wanted:
            sys.exit(f"make-word-list.py: needs {package} {wanted}, found '{found or 'none'}'"
                     f" (apt-get install {package}={wanted})")


def grid_form(text):
    """The entry as a grid holds it, or None when it is no answer (or has a
    letter with no plain ASCII form)."""
    plain = unicodedata.normalize("NFD", text)
    plain = "".join(PLAIN.get(c, c) for c in plain if unicodedata.category(c) != "Mn")
    if re.search(r"[0-9]|[^\x00-\x7f]", plain):
        return None
    letters = re.sub(r"[^A-Za-z]", "", plain)
    if not letters or len(letters) > LONGEST:
        return None
    if len(letters) == 1 and letters.lower() not in ("a", "i"):
        return None
    return letters


def scowl_entries():
    """(size, text) for every entry of every SCOWL list."""
    pattern = re.compile(r"^[a-z_0-9]+-(" + "|".join(KINDS) + r")\.([0-9]+)$")
    for name in sorted(os.listdir(SCOWL)):
        match = pattern.match(name)
        if not match:
            continue
        size = int(match.group(2))
        with open(os.path.join(SCOWL, name), encoding="utf-8") as f:
            for line in f:
                text = line.rstrip("\n")
                if not text.endswith("'s"):
                    yield size, text


def wordnet_index():
    """{lemma: (tagged count, senses)} over every part of speech, and the
    lemmas of each part of speech."""
    counts, by_pos = {}, {}
    for pos in ("noun", "verb", "adj", "adv"):
        lemmas = by_pos.setdefault(pos, set())
        with open(os.path.join(WORDNET, "index." + pos), encoding="utf-8") as f:
            for line in f:
                if line.startswith(" "):
                    continue
                fields = line.split()
                lemma, synsets = fields[0], int(fields[2])
                tagged = int(fields[4 + int(fields[3]) + 1])
                lemmas.add(lemma)
                old = counts.get(lemma, (0, 0))
                counts[lemma] = (old[0] + tagged, old[1] + synsets)
    return counts, by_pos


def wordnet_exceptions():
    """{inflected form: [lemma, ...]} from WordNet's exception lists."""
    exceptions = {}
    for pos in ("noun", "verb", "adj", "adv"):
        with open(os.path.join(WORDNET, pos + ".exc"), encoding="utf-8") as f:
            for line in f:
                form, *lemmas = line.split()
                exceptions.setdefault(form, []).extend(lemmas)
    return exceptions


def lemmas_of(word, by_pos, exceptions):
    """The WordNet lemmas an inflected form comes from, as morphy finds them."""
    found = list(exceptions.get(word, []))
    for pos, rules in SUFFIXES.items():
        for suffix, ending in rules:
            if word.endswith(suffix) and len(word) > len(suffix):
                base = word[: len(word) - len(suffix)] + ending
                if base in by_pos[pos]:
                    found.append(base)
    return found


def collect():
    """Every entry's lower-case key, with its size, spelling and measure."""
    counts, by_pos = wordnet_index()
    exceptions = wordnet_exceptions()

    # Every entry's grid form, with the smallest size that holds it and the
    # spelling it comes with there (the first in byte order).
    size_of, spelling = {}, {}
    for size, text in scowl_entries():
        form = grid_form(text)
        if form is None:
            continue
        key = form.lower()
        if (size, form) < (size_of.get(key, WORDNET_ONLY + 1), spelling.get(key, "")):
            size_of[key], spelling[key] = size, form

    # WordNet's lemmas, and the measure of each grid form: the tagged count
    # and senses of the lemmas behind it, a form met in several lemmas
    # ("cut-and-dried", "cut_and_dried") taking the largest.
    measure = {}
    for lemma, (tagged, senses) in counts.items():
        form = grid_form(lemma.replace("_", " "))
        if form is None:
            continue
        key = form.lower()
        measure[key] = max(measure.get(key, (0, 0)), (tagged, senses))
        if key not in size_of:
            size_of[key], spelling[key] = WORDNET_ONLY, form
    for key in size_of:
        if key in measure:
            continue
        for lemma in lemmas_of(key, by_pos, exceptions):
            measure[key] = max(measure.get(key, (0, 0)), counts.get(lemma, (0, 0)))
    return size_of, spelling, measure


def main():
    check_sources()
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "engldict.txt")
    size_of, spelling, measure = collect()

    def order(key):
        tagged, senses = measure.get(key, (0, 0))
        return (size_of[key], -tagged, -senses, key)

    entries = sorted(size_of, key=order)
    with open(output + ".new", "w", encoding="ascii", newline="\n") as f:
        f.writelines(spelling[key] + "\n" for key in entries)
    os.replace(output + ".new", output)
    print(f"make-word-list.py: {len(entries)} entries, "
          f"{sum(1 for k in entries if size_of[k] < WORDNET_ONLY)} of them from SCOWL",
          file=sys.stderr)


if __name__ == "__main__":
    main()
