#!/bin/bash
# SPDX-License-Identifier: MIT
# Checks the compiled help file: every page, the contents and the index are in
# it, and each page comes out with the text of its source; so do help/*.
# Usage: test_help_file.sh <mp3.chm> <help source folder>
set -u
chm=$1 src=$2 fail=0
failed() { echo "FAIL: $*"; fail=1; }
[ -s "$chm" ] || { echo "FAIL: $chm missing or empty"; exit 1; }

listing=$(enum_chmLib "$chm") || { echo "FAIL: enum_chmLib cannot read $chm"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
extract_chmLib "$chm" "$out" >/dev/null || { echo "FAIL: extract_chmLib failed"; exit 1; }

# Every file of the project's [FILES] section, plus contents and index.
files=$(sed -n '/^\[FILES\]/,/^\[/p' "$src/mp3.hhp" | grep -v '^\[' | grep -v '^\s*$' | tr -d '\r')
for name in $files toc.hhc index.hhk; do
    if ! grep -q "[[:space:]]/$name\$" <<<"$listing"; then failed "/$name not in the help file"
    elif ! cmp -s "$src/$name" "$out/$name"; then failed "/$name differs from its source"; fi
done

# Every page the contents names is in the file; every page is in the
# contents, and each of its links leads to a page of the file.
while read -r page; do
    grep -q "[[:space:]]/$page\$" <<<"$listing" || failed "contents page $page missing"
done < <(grep -o 'value="[a-z_]*\.html"' "$src/toc.hhc" | cut -d'"' -f2)
while read -r page; do
    grep -q "\"$page\"" "$src/toc.hhc" || failed "$page not in the contents"
    while read -r target; do
        grep -q "[[:space:]]/$target\$" <<<"$listing" || failed "$page links to missing $target"
    done < <(grep -o 'HREF="[^"#]*' "$out/$page" | cut -d'"' -f2 | sort -u)
done < <(grep -o '^[a-z_]*\.html$' <<<"$files")

# The messages page explains each message by its exact text.
for text in "No MP3 files were found in the search path." \
            "File exists, do you want to overwrite it?" \
            "MP3 files were generated, have a nice day!" \
            "System Information Is Unavailable At This Time" \
            "Failure" "Warning"; do
    grep -qF "$text" "$out/messages.html" || failed "messages page lacks \"$text\""
done

# help/ beside it holds the pages as they are, each reached from index.html.
pages=$(dirname "$chm")/help
for name in $files; do
    cmp -s "$src/$name" "$pages/$name" || failed "help/$name beside $chm differs from its source"
done
while read -r page; do
    grep -q "HREF=\"$page\"" "$src/index.html" || failed "index.html does not link to $page"
done < <(grep -o '^[a-z_]*\.html$' <<<"$files" | grep -vx index.html)

# The project's title and default page are in the system file.
grep -qa "Dozedozovo Help" "$out/#SYSTEM" || failed "title not in #SYSTEM"
grep -qa "index.html" "$out/#SYSTEM" || failed "default topic not in #SYSTEM"

[ $fail -eq 0 ] && echo "PASS: help file holds all pages"
exit $fail
