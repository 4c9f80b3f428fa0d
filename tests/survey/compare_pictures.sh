#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Compares two folders written by picture_survey: raster and SVG files byte
# for byte, PDF files page by page as 100-dpi pictures (their bytes carry the
# time they were made). Prints each file that differs; exit 1 if any does.
set -euo pipefail
old=$1 new=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
differ=0 same=0
for f in "$old"/*; do
  name=$(basename "$f")
  if [ ! -e "$new/$name" ]; then echo "missing: $name"; differ=$((differ + 1)); continue; fi
  case "$name" in
    *.Pdf|*.pdf)
      pdftoppm -r 100 -png "$f" "$tmp/a"; pdftoppm -r 100 -png "$new/$name" "$tmp/b"
      if cmp -s <(cat "$tmp"/a*.png) <(cat "$tmp"/b*.png); then same=$((same + 1));
      else echo "differs: $name"; differ=$((differ + 1)); fi
      rm -f "$tmp"/*.png ;;
    *)
      if cmp -s "$f" "$new/$name"; then same=$((same + 1));
      else echo "differs: $name"; differ=$((differ + 1)); fi ;;
  esac
done
echo "$same identical, $differ different"
[ "$differ" -eq 0 ]
