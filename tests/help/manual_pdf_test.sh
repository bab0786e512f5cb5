#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual's PDF maker: a page per top-level section at least, pictures from the Markdown
# file's folder, and a failure (with no PDF left behind) for a missing picture or a manual
# without sections.
#
# usage: manual_pdf_test.sh MAKE_MANUAL_PDF PICTURE.png
set -euo pipefail
tool=$1
picture=$2
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pages() { grep -ac '/Type /Page$' "$1" || true; }

# Three short sections fit on one page, yet each starts its own; the picture is taken from the
# Markdown file's folder, not the current one.
mkdir -p "$work/doc"
cp "$picture" "$work/doc/shot.png"
printf '# One\n\nText.\n\n# Two\n\n![A shot](shot.png)\n\n## Not a section\n\nMore.\n\n# Three\n\nEnd.\n' \
  >"$work/doc/m.md"
out=$(cd "$work" && "$tool" "$work/out.pdf" doc/m.md) || fail "the maker failed: $out"
[ "$out" = "3 sections, 3 pages" ] || fail "the maker says: $out"
[ "$(pages "$work/out.pdf")" -eq 3 ] || fail "$(pages "$work/out.pdf") pages, not 3"
[ "$(grep -ac '/Subtype /Image' "$work/out.pdf")" -eq 1 ] || fail "the picture is not in the PDF"

# A missing picture or no top-level heading stops the build, and no PDF is left.
printf '# One\n\n![Gone](missing.png)\n' >"$work/doc/bad.md"
if err=$("$tool" "$work/bad.pdf" "$work/doc/bad.md" 2>&1); then fail "a missing picture passed"; fi
grep -q "cannot load the picture .*missing.png" <<<"$err" || fail "missing picture: $err"
printf '## Only a subsection\n\nText.\n' >"$work/doc/flat.md"
if err=$("$tool" "$work/flat.pdf" "$work/doc/flat.md" 2>&1); then fail "a manual without sections passed"; fi
grep -q "no top-level heading" <<<"$err" || fail "no sections: $err"
[ ! -e "$work/bad.pdf" ] && [ ! -e "$work/flat.pdf" ] || fail "a failed run left a PDF behind"
echo "manual PDF maker test passed"
