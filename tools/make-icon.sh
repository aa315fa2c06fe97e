#!/usr/bin/env bash
# Writes the installed desktop icon src/app/icons/dravia4.png from the icon the program
# paints for its own windows (display/ForestPictures.cpp), so both stay the same picture.
# Usage: tools/make-icon.sh [BUILD_DIR]   (BUILD_DIR holds a built dravia4; default build/app)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/app}
QT_QPA_PLATFORM=offscreen "$build/dravia4" --write-icon "$top/src/app/icons/dravia4.png"
echo "Wrote $top/src/app/icons/dravia4.png"
