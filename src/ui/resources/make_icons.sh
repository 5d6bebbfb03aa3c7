#!/usr/bin/env bash
# Renders the window icon's PNG sizes from vexa.svg (ImageMagick).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48; do
    convert -background none -density 384 vexa.svg -resize "${size}x${size}" \
        -depth 8 "PNG32:vexa-$size.png"
done
