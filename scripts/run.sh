#!/usr/bin/env bash
# Builds radmtf (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target radmtf
exec build/bin/radmtf "$@"
