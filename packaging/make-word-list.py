#!/usr/bin/python3
"""Makes the shipped word list, engldict.txt, from pinned free sources.

Three of Debian's packages:

  scowl 2020.12.07-2        SCOWL's word lists by size (10, the commonest
                            words, to 95, the rarest) and by kind (words,
                            upper-case words, proper names, abbreviations,
                            contractions) for every spelling it has
                            (/usr/share/dict/scowl/);
  wordnet-base 1:3.0-37     WordNet 3.0's lemmas and collocations, with the
                            number of times each sense was tagged in a
                            corpus (/usr/share/wordnet/index.*);
  pocketsphinx-en-us        CMU Sphinx's US English trigram language model
    0.8+5prealpha+1-15      (en-us.lm.bin: 72,547 words, 2,051,541 two-word
                            and 1,669,625 three-word sequences, each with its
                            probability) and its pronouncing dictionary
                            (cmudict-en-us.dict), in
                            /usr/share/pocketsphinx/model/en-us/;

and one npm package, pinned with its integrity in
packaging/word-list/package-lock.json, which this script installs into
build/word-list/ with npm ci:

  popular-english-words 1.0.2   the 225,555 words met at least 100 times in
                                the English Wikipedia's text, commonest
                                first.

Each entry is written as a solver writes it in a grid: accented letters made
plain (canonical decomposition, the marks dropped, and an explicit map for
the few letters that do not decompose), then everything but the letters A-Z
dropped, so that "club car", "cut-and-dried" and "o'clock" become
"clubcar", "cutanddried" and "oclock". Left out: SCOWL's possessive forms
(the entries ending in 's), entries with a digit, entries of one letter
other than a and I, and entries longer than the 99 characters the program
takes. An entry that repeats an earlier one once A-Z are folded is dropped,
so the first spelling stays.

The order is the order of a listing, so the likely answers come first. The
dictionaries' words come first, ordered

  1. by SCOWL's size, the smallest list that holds the entry (entries that
     only WordNet has come after SCOWL's size 95);
  2. within a size, by how often WordNet's senses of the entry were tagged
     (an inflected form, such as "mice" or "walked", counts as its lemma,
     found as WordNet's own morphology finds it: its exception lists, then
     its suffix rules);
  3. then by how many senses WordNet gives it;
  4. then by the entry itself, in byte order.

Then the entries that only the other sources have, appended source by
source, each in its own order, so that they push no dictionary word off a
listing's first page (placed among them by their own frequency, names and
two-word phrases such as "ofthe" crowd common words out):

  5. Wikipedia's words, commonest first: the names, brands, abbreviations
     and recent words that the dictionaries lack. Its text holds markup,
     colour codes, pieces of words split at an accented letter and foreign
     words too, so a word is taken when the language model or the
     pronouncing dictionary also has it; otherwise only when it is short
     (at most 5 letters: abbreviations and short names, the fill a grid
     needs most), not among the 20,000 commonest (there, a token that no
     English source has is the site's markup: nbsp, colspan, infobox), has
     a vowel (y counting) or is an entry already taken plus s (the plural
     of an abbreviation, as rsvps), is not made of a-f alone (colour codes)
     nor of one letter repeated, and begins with two letters that begin a
     word of 5 letters or more among the 200,000 first entries (other
     beginnings, such as rquez or nther, are what is left of a word after
     an accented letter);
  6. the language model's words, likeliest first, and
  7. the pronouncing dictionary's words, in its order: names for the most
     part, their possessive forms (ending in 's or s') left out as SCOWL's;
  8. the language model's two- and three-word sequences, joined, which hold
     the phrases, names, titles and partial phrases ("isaw", "letme") of a
     grid: the two-word sequences likelier than 10^-6 (10^-6.6 for those of
     at most 6 letters); the 300,000 two-word and 20,000 three-word
     sequences whose words are likeliest together rather than apart (the
     sequence's log probability less half the sum of its words' own), which
     are names and titles; and every sequence of at most 6 letters whose
     words go together more often than apart (P(w1 w2) > P(w1) P(w2)), the
     partial phrases. Likeliest first, a sequence's probability being
     P(w1) P(w2|w1) P(w3|w1 w2), with the model's backoff where a shorter
     sequence is missing. Left out: sequences that begin or end a sentence,
     and those that end in a possessive form ("redcrosss").

The result is the same on every run and in every locale: every step is
exact (the model's log probabilities are only added and halved, as 64-bit
floats, in its own units) and ties keep the sources' order.

The language model is read by this script's own reader of its binary trie
(read_model below), written from the format; Debian's sphinx_lm_convert
stops on this file, whose header counts 2,051,547 two-word sequences where
its trie holds 2,051,541.

Needs Debian's python3 with python3-numpy (for the model), node and npm.
Usage: packaging/make-word-list.py [OUTPUT]   (default: engldict.txt at the
repository root).
"""

import json
import os
import re
import shutil
import subprocess
import sys
import unicodedata

DEBIAN = {"scowl": "2020.12.07-2", "wordnet-base": "1:3.0-37",
          "pocketsphinx-en-us": "0.8+5prealpha+1-15"}
NPM = {"popular-english-words": "1.0.2"}
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SCOWL = "/usr/share/dict/scowl"
WORDNET = "/usr/share/wordnet"
MODEL = "/usr/share/pocketsphinx/model/en-us/en-us.lm.bin"
PRONOUNCING = "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"
WORDNET_ONLY = 100  # the size given to entries that only WordNet has
LONGEST = 99
KINDS = ("words", "upper", "proper-names", "abbreviations", "contractions")

# Wikipedia's words that no other source has (item 5 of the order above).
MARKUP_RANKS = 20000
LONGEST_UNCONFIRMED = 5
COMMON_ENTRIES = 200000
COMMON_LENGTH = 5

# The model's sequences (item 8 of the order above), thresholds in log10.
LIKELY_PAIR = -6.0
COHESIVE_PAIRS = 300000
COHESIVE_TRIPLES = 20000
SHORT_SEQUENCE = 6
LIKELY_SHORT_PAIR = -6.6
# The model's unit: its log probabilities are in base 1.0001 (log10(1.0001)).
LOG10_OF_UNIT = 4.342727686266485e-05

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


def fail(message):
    sys.exit(f"make-word-list.py: {message}")


def check_debian_packages():
    for package, wanted in DEBIAN.items():
        found = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                               capture_output=True, text=True, check=False).stdout
        if found != wanted:
            fail(f"needs {package} {wanted}, found '{found or 'none'}'"
                 f" (apt-get install {package}={wanted})")


def install_npm_packages():
    """Installs the pinned npm packages into build/word-list/ (npm ci takes
    exactly what the lock file names, checking each package's integrity,
    after web/check_lock.mjs has checked that all come from the npm
    registry) and returns their folder."""
    work = os.path.join(ROOT, "build", "word-list")
    os.makedirs(work, exist_ok=True)
    for name in ("package.json", "package-lock.json"):
        shutil.copyfile(os.path.join(HERE, "word-list", name), os.path.join(work, name))
    for command in (["node", os.path.join(ROOT, "web", "check_lock.mjs"), "package-lock.json"],
                    ["npm", "ci", "--ignore-scripts", "--no-audit", "--no-fund",
                     "--loglevel=error"]):
        if shutil.which(command[0]) is None:
            fail(f"needs {command[0]} (apt-get install {command[0]})")
        subprocess.run(command, cwd=work, check=True, stdout=sys.stderr)
    modules = os.path.join(work, "node_modules")
    for package, wanted in NPM.items():
        with open(os.path.join(modules, package, "package.json"), encoding="utf-8") as f:
            found = json.load(f)["version"]
        if found != wanted:
            fail(f"needs npm's {package} {wanted}, found {found}"
                 f" (packaging/word-list/package-lock.json pins it)")
    return modules


def letters_of(text):
    """The letters A-Z of the text, accented ones made plain, or None when
    it has a digit or a letter with no plain ASCII form."""
    plain = unicodedata.normalize("NFD", text)
    plain = "".join(PLAIN.get(c, c) for c in plain if unicodedata.category(c) != "Mn")
    if re.search(r"[0-9]|[^\x00-\x7f]", plain):
        return None
    return re.sub(r"[^A-Za-z]", "", plain)


def grid_form(text):
    """The entry as a grid holds it, or None when it is no answer (or has a
    letter with no plain ASCII form)."""
    letters = letters_of(text)
    if not letters or len(letters) > LONGEST:
        return None
    if len(letters) == 1 and letters.lower() not in ("a", "i"):
        return None
    return letters


# The dictionaries' words: SCOWL and WordNet.

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


def dictionary_words():
    """The dictionaries' entries in their order, and how many are SCOWL's."""
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

    def order(key):
        tagged, senses = measure.get(key, (0, 0))
        return (size_of[key], -tagged, -senses, key)

    keys = sorted(size_of, key=order)
    return [spelling[key] for key in keys], sum(1 for k in keys if size_of[k] < WORDNET_ONLY)


# The language model. Its file, as sphinxbase writes a trie:
#   "Trie Language Model", the order (1 byte), the number of sequences of
#   each length (uint32 each; all numbers are little-endian);
#   the quantiser's type (int32), then its tables of float32 centres: for
#   each middle level 2^16 probabilities then 2^16 backoffs, then 2^16
#   probabilities for the last level;
#   the words: (float32 log probability, float32 log backoff, uint32 index
#   of its first child in level 2) for each word, and one more record whose
#   index ends the last word's children;
#   each middle level: packed records of W+16+16+N bits, W the bits that
#   hold the number of words, N those that hold the next level's number of
#   sequences: word id, backoff index, probability index (into the
#   tables), index of the first child in the next level; the record after
#   a record's ends its children. One more record than the header counts,
#   then 8 bytes;
#   the last level: packed records of W+16 bits, word id and probability
#   index, likewise sized;
#   the vocabulary: its size in bytes (int32), then the words in id order,
#   each ended by a zero byte.
# Bits are packed from the least significant bit of each byte on. The
# levels run from the last word back: the children of word w3 are the
# two-word sequences w2 w3, and those of w2 w3 the sequences w1 w2 w3.
# Log probabilities are in base 1.0001. The levels' sizes come from the
# header's counts; how many sequences they hold, from the index that ends
# the level above (this model's header counts 6 two-word sequences more
# than its trie holds).

MAGIC = b"Trie Language Model"
QUANT_BITS = 16


def bits_for(largest):
    return largest.bit_length()


def packed_fields(numpy, data, start, count, width, fields):
    """For packed records of `width` bits from byte `start`, each field
    (offset, bits) of the first `count` records, as int64 arrays."""
    result = []
    for offset, bits in fields:
        position = numpy.arange(count, dtype=numpy.uint64) * numpy.uint64(width) + \
            numpy.uint64(offset)
        first = (position >> numpy.uint64(3)).astype(numpy.int64) + start
        word = numpy.zeros(count, dtype=numpy.uint64)
        for byte in range(8):  # a field of up to 57 bits lies in 8 bytes
            word |= data[first + byte].astype(numpy.uint64) << numpy.uint64(8 * byte)
        value = (word >> (position & numpy.uint64(7))) & numpy.uint64((1 << bits) - 1)
        result.append(value.astype(numpy.int64))
    return result


def read_model(numpy):
    """The model's words, their log probabilities and backoffs, and each
    two- and three-word sequence: its word ids, first word first, and the
    log probability of its last word after the others."""
    with open(MODEL, "rb") as f:
        raw = f.read()
    data = numpy.frombuffer(raw, dtype=numpy.uint8)
    if not raw.startswith(MAGIC) or raw[len(MAGIC)] != 3:
        fail(f"{MODEL} is no trigram trie")
    at = len(MAGIC) + 1
    counts = numpy.frombuffer(raw, dtype="<u4", count=3, offset=at).tolist()
    at += 12 + 4
    tables = numpy.frombuffer(raw, dtype="<f4", count=3 << QUANT_BITS, offset=at)
    pair_probs, pair_backoffs, triple_probs = (
        tables[i << QUANT_BITS:(i + 1) << QUANT_BITS].astype(numpy.float64) for i in range(3))
    at += tables.nbytes
    unigrams = numpy.frombuffer(raw, dtype=[("prob", "<f4"), ("backoff", "<f4"), ("next", "<u4")],
                                count=counts[0] + 1, offset=at)
    at += unigrams.nbytes

    word_bits = bits_for(counts[0])
    pair_width = word_bits + 2 * QUANT_BITS + bits_for(counts[2])
    triple_width = word_bits + QUANT_BITS
    pairs_at = at
    triples_at = pairs_at + ((counts[1] + 1) * pair_width + 7) // 8 + 8
    vocabulary_at = triples_at + ((counts[2] + 1) * triple_width + 7) // 8 + 8
    size = int(numpy.frombuffer(raw, dtype="<i4", count=1, offset=vocabulary_at)[0])
    words = raw[vocabulary_at + 4:vocabulary_at + 4 + size].decode("ascii").split("\0")[:-1]
    if len(words) != counts[0] or vocabulary_at + 4 + size != len(raw):
        fail(f"{MODEL}: unexpected layout")

    pair_count = int(unigrams["next"][counts[0]])
    first, backoff, prob, child = packed_fields(
        numpy, data, pairs_at, pair_count + 1, pair_width,
        [(0, word_bits), (word_bits, QUANT_BITS), (word_bits + QUANT_BITS, QUANT_BITS),
         (word_bits + 2 * QUANT_BITS, bits_for(counts[2]))])
    triple_count = int(child[pair_count])
    triple_first, triple_prob = packed_fields(
        numpy, data, triples_at, triple_count, triple_width,
        [(0, word_bits), (word_bits, QUANT_BITS)])

    last = numpy.repeat(numpy.arange(counts[0]), numpy.diff(unigrams["next"].astype(numpy.int64)))
    pairs = {"words": [first[:pair_count], last], "prob": pair_probs[prob[:pair_count]],
             "backoff": pair_backoffs[backoff[:pair_count]]}
    parent = numpy.repeat(numpy.arange(pair_count), numpy.diff(child))
    triples = {"words": [triple_first, first[parent], last[parent]],
               "prob": triple_probs[triple_prob]}
    return (words, unigrams["prob"][:-1].astype(numpy.float64),
            unigrams["backoff"][:-1].astype(numpy.float64), pairs, triples)


def model_sequences(numpy, words, word_prob, word_backoff, pairs, triples):
    """The chosen sequences' texts (their words' letters joined), likeliest
    first."""
    count = len(words)
    letters = [letters_of(w) if w not in ("<s>", "</s>") else None for w in words]
    length = numpy.array([len(w) if w else 0 for w in letters])
    inside = numpy.array([bool(w) for w in letters])
    ending = inside & ~numpy.array([possessive(w) for w in words])

    # P(w1 w2) = P(w1) P(w2|w1); P(w1 w2 w3) = P(w1 w2) P(w3|w1 w2), where
    # P(w2|w1) is the backoff of w1 times P(w2) if the model lacks w1 w2.
    w1, w2 = pairs["words"]
    pair_joint = word_prob[w1] + pairs["prob"]
    key = w1 * count + w2
    by_key = numpy.argsort(key, kind="stable")
    t1, t2, t3 = triples["words"]
    wanted = t1 * count + t2
    found = numpy.minimum(numpy.searchsorted(key[by_key], wanted), len(key) - 1)
    known = key[by_key[found]] == wanted
    second = numpy.where(known, pairs["prob"][by_key[found]], word_backoff[t1] + word_prob[t2])
    triple_joint = word_prob[t1] + second + triples["prob"]

    # Cohesion: the log probability less half the sum of the words' own.
    pair_cohesion = pair_joint - 0.5 * (word_prob[w1] + word_prob[w2])
    triple_cohesion = triple_joint - 0.5 * (word_prob[t1] + word_prob[t2] + word_prob[t3])

    def top(scores, usable, number):
        chosen = numpy.zeros(len(scores), dtype=bool)
        candidates = numpy.flatnonzero(usable)
        best = candidates[numpy.argsort(-scores[candidates], kind="stable")[:number]]
        chosen[best] = True
        return chosen

    # A short sequence is taken where its words go together more often
    # than apart: P(w1 w2) > P(w1) P(w2).
    pair_together = pair_joint > word_prob[w1] + word_prob[w2]
    triple_together = triple_joint > word_prob[t1] + word_prob[t2] + word_prob[t3]

    pair_usable = inside[w1] & ending[w2]
    triple_usable = inside[t1] & inside[t2] & ending[t3]
    pair_short = length[w1] + length[w2] <= SHORT_SEQUENCE
    pair_chosen = pair_usable & (
        (pair_joint >= LIKELY_PAIR / LOG10_OF_UNIT)
        | top(pair_cohesion, pair_usable, COHESIVE_PAIRS)
        | (pair_short & (pair_together | (pair_joint >= LIKELY_SHORT_PAIR / LOG10_OF_UNIT))))
    triple_chosen = triple_usable & (
        top(triple_cohesion, triple_usable, COHESIVE_TRIPLES)
        | ((length[t1] + length[t2] + length[t3] <= SHORT_SEQUENCE) & triple_together))

    chosen_pairs = numpy.flatnonzero(pair_chosen)
    chosen_triples = numpy.flatnonzero(triple_chosen)
    joint = numpy.concatenate([pair_joint[chosen_pairs], triple_joint[chosen_triples]])
    texts = [letters[a] + letters[b] for a, b in zip(w1[chosen_pairs].tolist(),
                                                     w2[chosen_pairs].tolist())]
    texts += [letters[a] + letters[b] + letters[c] for a, b, c in zip(
        t1[chosen_triples].tolist(), t2[chosen_triples].tolist(), t3[chosen_triples].tolist())]
    return [texts[i] for i in numpy.argsort(-joint, kind="stable").tolist()]


# The other sources' words.

def possessive(word):
    return word.endswith("'s") or word.endswith("s'")


def wikipedia_words(modules):
    """popular-english-words' words, commonest first."""
    with open(os.path.join(modules, "popular-english-words", "words.js"), encoding="utf-8") as f:
        source = f.read()
    words = re.findall(r"'([^'\\]*)'", source[source.index("["):source.rindex("]")])
    if not words or not all(re.fullmatch("[a-z]+", w) for w in words):
        fail("popular-english-words: unexpected words.js")
    return words


def pronouncing_words():
    """The pronouncing dictionary's headwords, in its order (a word's other
    pronunciations, word(2) and on, dropped)."""
    with open(PRONOUNCING, encoding="utf-8") as f:
        return [re.sub(r"\(\d+\)$", "", line.split()[0]) for line in f if line.strip()]


def wikipedia_kept(words, confirmed, held, common_starts):
    """The Wikipedia words worth a place (item 5 of the order above)."""
    def kept(rank, word):
        if word in confirmed:
            return True
        return (len(word) <= LONGEST_UNCONFIRMED and rank >= MARKUP_RANKS
                and (re.search("[aeiouy]", word) or (word.endswith("s") and word[:-1] in held))
                and not re.fullmatch("[a-f]+", word) and len(set(word)) > 1
                and word[:2] in common_starts)
    return [word for rank, word in enumerate(words) if kept(rank, word)]


class WordList:
    """The entries in order, each once (A-Z folded), with what each source
    added."""

    def __init__(self):
        self.entries, self.keys, self.added = [], set(), []

    def append(self, source, texts):
        entries, size = 0, 0
        for text in texts:
            form = grid_form(text)
            if form is None or form.lower() in self.keys:
                continue
            self.keys.add(form.lower())
            self.entries.append(form)
            entries, size = entries + 1, size + len(form) + 1
        self.added.append((source, entries, size))


def main():
    check_debian_packages()
    try:
        import numpy
    except ImportError:
        fail("needs Debian's python3 with python3-numpy (apt-get install python3-numpy)")
    modules = install_npm_packages()
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "engldict.txt")

    words, word_prob, word_backoff, pairs, triples = read_model(numpy)
    dictionary, from_scowl = dictionary_words()
    model_words = [words[i] for i in numpy.argsort(-word_prob, kind="stable").tolist()
                   if not possessive(words[i])]
    pronounced = [word for word in pronouncing_words() if not possessive(word)]

    result = WordList()
    result.append("SCOWL", dictionary[:from_scowl])
    result.append("WordNet", dictionary[from_scowl:])
    confirmed = {(letters_of(w) or "").lower() for w in model_words + pronounced}
    common_starts = {entry[:2].lower() for entry in result.entries[:COMMON_ENTRIES]
                     if len(entry) >= COMMON_LENGTH}
    result.append("Wikipedia's words",
                  wikipedia_kept(wikipedia_words(modules), confirmed,
                                 result.keys | confirmed, common_starts))
    result.append("the model's words", model_words)
    result.append("the pronouncing dictionary", pronounced)
    result.append("the model's sequences",
                  model_sequences(numpy, words, word_prob, word_backoff, pairs, triples))

    with open(output + ".new", "w", encoding="ascii", newline="\n") as f:
        f.writelines(entry + "\n" for entry in result.entries)
    os.replace(output + ".new", output)
    for source, entries, size in result.added:
        print(f"make-word-list.py: {entries:>9,} entries, {size:>10,} bytes from {source}",
              file=sys.stderr)
    print(f"make-word-list.py: {len(result.entries):,} entries, "
          f"{sum(s for _, _, s in result.added):,} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
