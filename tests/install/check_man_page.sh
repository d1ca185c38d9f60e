#!/usr/bin/env bash
# A manual page must render without a single warning.
# Usage: check_man_page.sh PAGE
set -euo pipefail
warnings=$(man --warnings -l "$1" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    echo "$warnings" >&2
    exit 1
fi
