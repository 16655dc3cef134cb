#!/bin/bash
# Checks the compiled help file: every page, the contents and the index are in
# it, and each page comes out with the text of its source.
# Usage: test_help_file.sh <mp3.chm> <help source folder>
set -u
chm=$1
src=$2
fail=0
[ -s "$chm" ] || { echo "FAIL: $chm missing or empty"; exit 1; }

listing=$(enum_chmLib "$chm") || { echo "FAIL: enum_chmLib cannot read $chm"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
extract_chmLib "$chm" "$out" >/dev/null || { echo "FAIL: extract_chmLib failed"; exit 1; }

# Every file of the project's [FILES] section, plus contents and index.
files=$(sed -n '/^\[FILES\]/,/^\[/p' "$src/mp3.hhp" | grep -v '^\[' | grep -v '^\s*$' | tr -d '\r')
for name in $files toc.hhc index.hhk; do
    if ! grep -q "[[:space:]]/$name\$" <<<"$listing"; then
        echo "FAIL: /$name not in the help file"; fail=1; continue
    fi
    if ! cmp -s "$src/$name" "$out/$name"; then
        echo "FAIL: /$name differs from its source"; fail=1
    fi
done

# The contents names every page, and every page it names is in the file.
for page in $(grep -o 'value="[a-z_]*\.html"' "$src/toc.hhc" | cut -d'"' -f2); do
    grep -q "[[:space:]]/$page\$" <<<"$listing" || { echo "FAIL: contents page $page missing"; fail=1; }
done
for page in $(grep -o '^[a-z_]*\.html$' <<<"$files"); do
    grep -q "\"$page\"" "$src/toc.hhc" || { echo "FAIL: $page not in the contents"; fail=1; }
done

# Every link of every page leads to a page of the file.
for page in $(grep -o '^[a-z_]*\.html$' <<<"$files"); do
    for target in $(grep -o 'HREF="[^"#]*' "$out/$page" | cut -d'"' -f2 | sort -u); do
        grep -q "[[:space:]]/$target\$" <<<"$listing" ||
            { echo "FAIL: $page links to $target, which is not in the file"; fail=1; }
    done
done

# The messages page explains each message by its exact text.
for text in "No MP3 files were found in the search path." \
            "File exists, do you want to overwrite it?" \
            "MP3 files were generated, have a nice day!" \
            "System Information Is Unavailable At This Time" \
            "Failure" "Warning"; do
    grep -qF "$text" "$out/messages.html" || { echo "FAIL: messages page lacks \"$text\""; fail=1; }
done

# The project's title and default page are in the system file.
grep -qa "Dozedozovo Help" "$out/#SYSTEM" || { echo "FAIL: title not in #SYSTEM"; fail=1; }
grep -qa "index.html" "$out/#SYSTEM" || { echo "FAIL: default topic not in #SYSTEM"; fail=1; }

[ $fail -eq 0 ] && echo "PASS: help file holds all pages"
exit $fail
