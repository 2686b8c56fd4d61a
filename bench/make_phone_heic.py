#!/usr/bin/env python3
"""Makes a 12-megapixel HEIC laid out as phones write them, for bench_prefetch:

    bench/make_phone_heic.py SOURCE.jpg OUT.heic [OUT.jpg]

SOURCE is cut and stretched to 4032 x 3024 by ImageMagick; the picture is a grid of 8 x 6
tiles of 512 x 512, each encoded by ImageMagick through libheif (quality 85) and put together
as the tiles of one grid image shown 4032 x 3024, as phones store their pictures. OUT.jpg,
when given, is the same 4032 x 3024 picture as a JPEG of quality 92, for the comparison.
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data",
                                "heif"))
from make_heif import CONVERT, grid_heic  # noqa: E402

WIDTH, HEIGHT, TILE, COLUMNS, ROWS = 4032, 3024, 512, 8, 6


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    source, out = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as tmp:
        big = os.path.join(tmp, "big.png")
        # The grid is 4096 x 3072: the picture is padded at the right and bottom, then cut.
        subprocess.run([CONVERT, source, "-resize", f"{WIDTH}x{HEIGHT}!", "-background", "gray",
                        "-extent", f"{COLUMNS * TILE}x{ROWS * TILE}", big], check=True)
        subprocess.run([CONVERT, big, "-crop", f"{TILE}x{TILE}", "+repage",
                        os.path.join(tmp, "tile_%02d.png")], check=True)
        tiles = []
        for i in range(COLUMNS * ROWS):
            png = os.path.join(tmp, f"tile_{i:02d}.png")
            heic = os.path.join(tmp, f"tile_{i:02d}.heic")
            subprocess.run([CONVERT, png, "-quality", "85", heic], check=True)
            with open(heic, "rb") as f:
                tiles.append(f.read())
        with open(out, "wb") as f:
            f.write(grid_heic(tiles, ROWS, COLUMNS, WIDTH, HEIGHT, TILE, TILE))
        if len(sys.argv) == 4:
            subprocess.run([CONVERT, big, "-crop", f"{WIDTH}x{HEIGHT}+0+0", "-quality", "92",
                            sys.argv[3]], check=True)


if __name__ == "__main__":
    main()
