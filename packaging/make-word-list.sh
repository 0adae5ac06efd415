#!/usr/bin/env bash
# Makes the shipped word list, engldict.txt, from Debian's American English
# list: /usr/share/dict/american-english of the package wamerican, version
# 2020.12.07-2 (built from SCOWL by Kevin Atkinson and others; its copyright
# and licence are in engldict.copyright). Keeping the order of the file, it
#
#   1. drops the possessive forms, the entries that end in 's;
#   2. turns every accented letter into its plain ASCII letter (canonical
#      decomposition, then the combining marks dropped; the few letters that
#      do not decompose, such as ae or o with stroke, are mapped explicitly),
#      and fails if any byte from 0x80 up would remain;
#   3. drops an entry that repeats an earlier one once A-Z are folded to a-z,
#      as the program stores entries (Bill after bill), keeping the first
#      with its own spelling.
#
# Every other entry is kept as it is, punctuation included (o'clock, ma'am).
# The result is the same on every run and in every locale.
# Usage: packaging/make-word-list.sh [OUTPUT]   (default: engldict.txt at the
# repository root); apt-get install wamerican=2020.12.07-2 provides the source.
set -euo pipefail
export LC_ALL=C
source_list=/usr/share/dict/american-english
source_version=2020.12.07-2
output=${1:-"$(dirname "$0")/../engldict.txt"}
trap 'rm -f "$output.new"' EXIT

version=$(dpkg-query -W -f='${Version}' wamerican 2>/dev/null || true)
if [ "$version" != "$source_version" ]; then
    echo "make-word-list.sh: needs wamerican $source_version, found '${version:-none}'" >&2
    exit 1
fi

perl -e '
use strict;
use warnings;
use Encode qw(decode);
use Unicode::Normalize qw(NFD);

# Letters with no canonical decomposition into an ASCII letter and marks.
my %plain = (
    "\x{C6}" => "AE", "\x{E6}" => "ae", "\x{152}" => "OE", "\x{153}" => "oe",
    "\x{D8}" => "O",  "\x{F8}" => "o",  "\x{DF}" => "ss", "\x{D0}" => "D",
    "\x{F0}" => "d",  "\x{110}" => "D", "\x{111}" => "d", "\x{141}" => "L",
    "\x{142}" => "l", "\x{DE}" => "Th", "\x{FE}" => "th", "\x{131}" => "i",
);

my ($read, $possessive, $folded, $repeated, @kept, %seen) = (0, 0, 0, 0);
while (my $line = <STDIN>) {
    $line =~ s/\n\z//;
    ++$read;
    my $entry = decode("UTF-8", $line, Encode::FB_CROAK);
    if ($entry =~ /\x27s\z/) { ++$possessive; next; }
    my $ascii = NFD($entry);
    $ascii =~ s/\p{Mn}//g;
    $ascii =~ s/([^\x00-\x7F])/exists $plain{$1} ? $plain{$1} : $1/ge;
    if ($ascii =~ /([^\x00-\x7F])/) {
        die sprintf("make-word-list.sh: no plain letter for U+%04X in line %d\n", ord $1, $read);
    }
    ++$folded if $ascii ne $entry;
    (my $stored = $ascii) =~ tr/A-Z/a-z/;
    if ($seen{$stored}++) { ++$repeated; next; }
    push @kept, $ascii;
}
print STDOUT map { "$_\n" } @kept;
printf STDERR "%d entries read, %d possessive forms dropped, %d entries with accented letters made plain,\n",
    $read, $possessive, $folded;
printf STDERR "%d entries after these two steps, %d repeats dropped, %d entries written\n",
    $read - $possessive, $repeated, scalar @kept;
' <"$source_list" >"$output.new"
mv "$output.new" "$output"
