#!/usr/bin/env bash
# format.sh: fails when a C++ source of src, tests, bench or tools differs
# from the checked-in .clang-format (Debian 12's clang-format 14 is the
# reference) and shows where. The generated Unicode tables have a check of
# their own.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) \
    ! -path src/system/UnicodeTables.cpp -print0 |
    xargs -0 clang-format --dry-run -Werror
