#!/usr/bin/env python3
"""Draws the menu icons from the window's 32x32 icon: a scalable SVG with one
square per pixel (so it stays the same design at any size) and the hicolor PNG
sizes. Run again after changing ui/mainicon.xpm; the results are committed."""
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parent.parent
xpm = root / "ui" / "mainicon.xpm"
out = root / "ui" / "icons"
name = "org.vantorel.Vantorel"

strings = re.findall(r'"([^"]*)"', xpm.read_text())
width, height, ncolors, cpp = map(int, strings[0].split())
colors = {}
for line in strings[1:1 + ncolors]:
    key, _, value = line[:cpp], line[cpp:], line.split()[-1]
    colors[key] = None if value.lower() == "none" else value
rows = strings[1 + ncolors:1 + ncolors + height]

rects = []
for y, row in enumerate(rows):
    x = 0
    while x < width:
        color = colors[row[x]]
        run = 1
        while x + run < width and row[x + run] == row[x]:
            run += 1
        if color:
            rects.append(f'<rect x="{x}" y="{y}" width="{run}" height="1" fill="{color}"/>')
        x += run

svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
       f'viewBox="0 0 {width} {height}" shape-rendering="crispEdges">\n'
       + "\n".join(rects) + "\n</svg>\n")
(out / f"{name}.svg").write_text(svg)

# Whole multiples keep every pixel a sharp square; 16 and 48 are averaged.
for size in (16, 32, 48, 64, 128, 256):
    scale = "-filter point" if size % width == 0 else "-filter box"
    target = out / f"{name}-{size}.png"
    subprocess.run(["convert", str(xpm)] + scale.split() + ["-resize", f"{size}x{size}",
                    "-strip", f"PNG32:{target}"], check=True)
print("wrote", out, file=sys.stderr)
