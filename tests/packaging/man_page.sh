#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The man page renders without a warning and names every command and option that the built
# program's --help lists, at the program's version: it cannot drift from the command line.
# Usage: man_page.sh VELMORA PAGE. Exit 77 (skipped) without man.
set -uo pipefail
velmora=$1 page=$2
command -v man >/dev/null || exit 77
export LC_ALL=C.UTF-8 MANWIDTH=100
status=0
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man warns about $page:"; echo "$warnings"; status=1; }
text=$(man -l "$page" 2>/dev/null | col -b)
words=$("$velmora" --help | sed -n 's/^  velmora \([^ ][^ ]*\).*/\1/p' | sort -u)
[ -n "$words" ] || { echo "velmora --help lists no commands"; exit 1; }
for word in $words; do
  grep -qE -- "(^|[^[:alnum:]-])$word([^[:alnum:]-]|\$)" <<<"$text" ||
    { echo "the man page does not name \"$word\""; status=1; }
done
version=$("$velmora" --version | cut -d' ' -f2)
grep -q "^\.TH .*\"Velmora $version\"" "$page" || { echo "the man page is not of $version"; status=1; }
exit $status
