#!/usr/bin/env bash
# The manual's PDF read with poppler's tools, as a reader's viewer reads it: every chapter of the
# Markdown is in the outline and the outline's page for it holds its heading; every line of the
# contents links to the page its chapter starts on; the index lists settings, messages and commands,
# and a page it gives for an entry holds the entry.
#   tst_manual_pdf.sh Traction_Manual.pdf manual.md
set -uo pipefail
pdf="$1"
markdown="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

for tool in pdfinfo pdftotext pdftohtml; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/deps has poppler-utils)"; exit 1; }
done
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[[ "${pages:-0}" -ge 20 ]] && pass "$pages pages" || fail "pdfinfo reads ${pages:-no} pages"

# A page's text with its runs of spaces and lines made one space (read whole: no early end of a pipe).
page_text() { local t; t=$(pdftotext -f "$1" -l "$1" "$pdf" - 2>/dev/null); tr -s ' \n' ' ' <<<"$t"; }
holds() { local t; t=$(page_text "$1"); [[ "$t" == *"$2"* ]]; }
decode() { sed 's/&#160;/ /g; s/&#34;/"/g; s/&amp;/\&/g; s/&lt;/</g; s/&gt;/>/g; s/&#39;/'"'"'/g'; }

# The outline (bookmarks): pdftohtml -xml writes it as nested <outline> lists of <item page="N">.
pdftohtml -xml -i -q -stdout "$pdf" >"$work/manual.xml"
grep -o '<item page="[0-9]*">[^<]*</item>' "$work/manual.xml" | sed 's/<item page="\([0-9]*\)">\([^<]*\)<\/item>/\1\t\2/' | decode >"$work/outline"
chapters=0
while IFS= read -r heading; do
  chapters=$((chapters + 1))
  page=$(awk -F'\t' -v t="$heading" '$2 == t { print $1; exit }' "$work/outline")
  if [[ -z "$page" ]]; then
    fail "chapter \"$heading\" is not in the outline"
  elif ! holds "$page" "$heading"; then
    fail "the outline's page $page for \"$heading\" does not hold it"
  fi
done < <(sed -n 's/^# \([0-9][0-9]*\. .*\)$/\1/p' "$markdown")
[[ $chapters -ge 15 ]] && pass "$chapters chapters checked against the outline" || fail "only $chapters chapters found in the Markdown"
sections=$(grep -c '^## ' "$markdown")
items=$(wc -l <"$work/outline")
[[ $items -ge $((chapters + sections - 1)) ]] && pass "$items outline entries" || fail "$items outline entries for $chapters chapters and $sections sections"

# The contents' links: pdftohtml writes a link to a page of the document as href="NAME.html#PAGE".
pdftohtml -noframes -i -q -stdout -f 1 -l 1 "$pdf" >"$work/first.html"
links=0
while IFS=$'\t' read -r target text; do
  [[ "$text" =~ ^[0-9]+$ ]] && continue  # the page number beside the entry links there too
  links=$((links + 1))
  holds "$target" "$text" || fail "the contents' link \"$text\" leads to page $target, which does not hold it"
done < <(grep -v '^<li>' "$work/first.html" | grep -o '<a href="[^"]*#[0-9]*">[^<]*</a>' | sed 's/<a href="[^"]*#\([0-9]*\)">\([^<]*\)<\/a>/\1\t\2/' | decode)
[[ $links -eq $chapters ]] && pass "$links contents entries linked to their chapters" || fail "$links contents links for $chapters chapters"

# The index: its parts, and the pages given for a few entries hold them.
index_page=$(awk -F'\t' '$2 ~ /\. Index$/ { print $1; exit }' "$work/outline")
if [[ -z "$index_page" ]]; then
  fail "no index in the outline"
else
  pdftotext -f "$index_page" -l "$pages" "$pdf" "$work/index.txt"
  for part in "Settings by label" "Messages" "Commands and menus"; do
    grep -qx "$part" "$work/index.txt" || fail "the index has no part \"$part\""
  done
  for entry in "Traction memory read OK" "Minimum turning speed (Turning)" "Compare with Unit" "tractionctl log-upload"; do
    numbers=$(awk -v e="$entry" 'index($0, e " ") == 1 { r = substr($0, length(e) + 2); if (r ~ /^[0-9, ]+$/) { print r; exit } }' "$work/index.txt")
    [[ -n "$numbers" ]] || { fail "the index has no pages for \"$entry\""; continue; }
    phrase=${entry% (*}
    for n in ${numbers//,/ }; do
      holds "$n" "$phrase" || fail "the index gives page $n for \"$entry\", which does not hold it"
    done
  done
  pass "index from page $index_page"
fi

echo "$((failures == 0 ? 1 : 0)) passed, $((failures > 0 ? 1 : 0)) failed"
exit $((failures > 0))
