#!/usr/bin/env python3
"""How well a word list serves a crossword solver, asked of the real program.

    word_list.py PROGRAM LIST ANSWERS

PROGRAM is the built program, LIST the word list to load (punctuation
stripped, as a solver would answer the second question) and ANSWERS a file
of answers, one a line, letters only. It drives one piped session and
prints two figures for the answers of each length group:

  held        the share of answers that the list holds: the answer typed as
              the pattern lists it;
  first page  the share of a fixed sample of 300 answers (seed 21) that are
              among the first 23 entries listed, the page a user sees
              first, when every other letter of each is hidden, from the
              first on ("animal" is asked as "?n?m?l").
"""

import random
import subprocess
import sys

PAGE = 23
SAMPLE = 300
SEED = 21
# Empty lines after each pattern: they answer the pauses of its listing and
# are skipped at the search prompt. 2,000 cover 46,000 matches, far more
# than any pattern here lists; a longer listing would take the next pattern
# as a reply, which the count of listings below catches.
REPLIES = 2000
PROMPT = b"Enter search string? "
PAUSE = b"Hit return to continue search "


def groups(answer):
    n = len(answer)
    yield "all"
    if 3 <= n <= 5:
        yield "3-5"
    elif 6 <= n <= 9:
        yield "6-9"
    elif n >= 10:
        yield "10+"


def hide_half(answer):
    return "".join("?" if i % 2 == 0 else c for i, c in enumerate(answer))


def listings(program, word_list, patterns):
    """The entries the program lists for each pattern, in order."""
    session = [word_list.encode(), b"y"]
    for pattern in patterns:
        session.append(pattern.encode() + b"\n" * REPLIES)
    output = subprocess.run([program], input=b"\n".join(session) + b"\n",
                            stdout=subprocess.PIPE, check=False).stdout
    # After the banner, one piece per search: its listing, with the
    # heartbeat (a blank and a backspace) and the pauses among the entries.
    pieces = output.split(PROMPT)[1:]
    if len(pieces) != len(patterns) + 1:
        sys.exit(f"word_list.py: {len(pieces) - 1} listings for {len(patterns)} patterns")
    result = []
    for piece in pieces[:-1]:
        text = piece.replace(b" \b", b"").replace(PAUSE, b"")
        result.append([line.decode("latin-1") for line in text.split(b"\n") if line])
    return result


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    program, word_list, answers_file = sys.argv[1:]
    with open(answers_file, encoding="ascii") as f:
        answers = sorted({line.strip().lower() for line in f if line.strip()})
    sample = random.Random(SEED).sample(answers, min(SAMPLE, len(answers)))
    masks = [hide_half(answer) for answer in sample]

    found = listings(program, word_list, answers + masks)
    held, page, total, sampled = {}, {}, {}, {}
    for answer, entries in zip(answers, found):
        for g in groups(answer):
            total[g] = total.get(g, 0) + 1
            held[g] = held.get(g, 0) + (answer in entries)
    for answer, entries in zip(sample, found[len(answers):]):
        for g in groups(answer):
            sampled[g] = sampled.get(g, 0) + 1
            page[g] = page.get(g, 0) + (answer in entries[:PAGE])

    print(f"{word_list}: {len(answers)} answers, {len(sample)} on the first page")
    print(f"{'letters':>8} {'answers':>8} {'held':>7} {'sampled':>8} {'first page':>11}")
    for g in ("all", "3-5", "6-9", "10+"):
        if g in total:
            share = 100 * held[g] / total[g]
            first = 100 * page.get(g, 0) / sampled[g] if sampled.get(g) else 0
            print(f"{g:>8} {total[g]:>8} {share:>6.1f}% {sampled.get(g, 0):>8} {first:>10.1f}%")


if __name__ == "__main__":
    main()
