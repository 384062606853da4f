#!/usr/bin/env bash
# The manual page renders with no warning at all.
set -euo pipefail
command -v groff >/dev/null || { echo "skipped: groff is not installed (Debian: groff-base)"; exit 77; }
page=${1:-build/kalvert.1}  # Usage: man_page_test.sh [GENERATED_MAN_PAGE]
warnings=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "OUTPUT FORMAT" "EXIT STATUS" ENVIRONMENT EXAMPLES NOTES; do
  grep -q "^\.SH \"\?$section\"\?$" "$page" || { echo "no section $section"; exit 1; }
done
