#!/usr/bin/env bash
# Fills a folder with a few sample files to rename (photos, documents, names with spaces,
# mixed case, accented letters) and prints its path. Usage: make-demo.sh [folder]
set -eu
demo=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/demo}
mkdir -p "$demo"
n=0
for name in \
    "IMG_0001.JPG" "IMG_0002.JPG" "IMG_0003.jpeg" \
    "holiday photo 1.jpg" "Holiday Photo 2.JPG" "beach sunset.png" \
    "Quarterly Report.PDF" "meeting notes.txt" "Budget 2025.xlsx" \
    "Résumé – Zoë.docx" "café menu.pdf" "Übersicht Straße.txt"; do
  n=$((n + 1))
  # Different sizes, so the Size column says something.
  [ -e "$demo/$name" ] || head -c $((n * 1337)) /dev/zero | tr '\0' 'x' >"$demo/$name"
done
echo "$demo"
