#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence's SPDX line at the top of every source file git knows that lacks one (after a
# "#!" line), so it can be run again after any merge: files that have it stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
tag="SPDX-License-Identifier: GPL-3.0-or-later"
changed=0
while IFS= read -r -d '' file; do
    case $file in
        *.cpp | *.h) line="// $tag" ;;
        *CMakeLists.txt | *.cmake | *.sh | *.py | .ci/run | packaging/completion/*) line="# $tag" ;;
        *) continue ;;
    esac
    head -n 3 "$file" | grep -q "SPDX-License-Identifier:" && continue
    if head -n 1 "$file" | grep -q '^#!'; then
        sed -i "1a $line" "$file"
    else
        sed -i "1i $line" "$file"
    fi
    changed=$((changed + 1))
done < <(git ls-files -z)
echo "SPDX line added to $changed files"
