#!/usr/bin/env bash
# Ends the wine server of the build's prefix, so no wine process outlives the script.
WINEPREFIX=$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix wineserver -k 2>/dev/null || true
