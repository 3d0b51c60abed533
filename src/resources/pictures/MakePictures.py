#!/usr/bin/env python3
"""Draws the program's pictures from hand-written SVG.

Writes icons/tidewell.svg, then renders icons/tidewell.png (256 px), the
smaller icons a desktop's icon theme asks for (icons/hicolor/NxN/tidewell.png),
pictures/idle.png and the busy animation pictures/busy.gif (12 frames).
Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert (imagemagick).
The results are kept in the repository; run this only to redraw them:
    python3 src/resources/pictures/MakePictures.py
"""
import math
import os
import shutil
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)

AMBER_BACK = "#d99a2b"
AMBER_FRONT = "#f5c453"
AMBER_EDGE = "#a8701a"
SEA_DEEP = "#1d5a9c"
SEA_LIGHT = "#4f9bd6"
FOAM = "#ffffff"


def wave_points(x0, x1, base, amplitude, wavelength, phase, step=1.0):
    points = []
    x = x0
    while x <= x1 + 1e-9:
        y = base + amplitude * math.sin(2 * math.pi * x / wavelength + phase)
        points.append((x, y))
        x += step
    return points


def wave_area(x0, x1, base, amplitude, wavelength, phase, bottom):
    pts = wave_points(x0, x1, base, amplitude, wavelength, phase)
    path = "M%.2f,%.2f " % (x0, bottom)
    path += " ".join("L%.2f,%.2f" % p for p in pts)
    path += " L%.2f,%.2f Z" % (x1, bottom)
    return path


def wave_line(x0, x1, base, amplitude, wavelength, phase):
    pts = wave_points(x0, x1, base, amplitude, wavelength, phase)
    return "M" + " L".join("%.2f,%.2f" % p for p in pts)


def folder(x, y, w, h, s):
    """A folder whose front face is the clip path "front"; s scales strokes."""
    tab = ('<path d="M{x},{y1} q0,-{r} {r},-{r} h{tw} l{t},{t} h{rest} q{r},0 {r},{r} v{h2} '
           'h-{w} z" fill="{c}" stroke="{e}" stroke-width="{sw}"/>').format(
        x=x, y1=y + 6 * s, r=3 * s, tw=w * 0.3, t=5 * s, rest=w - w * 0.3 - 5 * s - 6 * s,
        h2=h * 0.6, w=w, c=AMBER_BACK, e=AMBER_EDGE, sw=1.2 * s)
    front_path = ('M{x0},{y0} h{w} l-{k},{h} h-{w2} z').format(
        x0=x, y0=y + 14 * s, w=w, k=w * 0.08, h=h - 14 * s, w2=w - w * 0.16)
    front = '<path d="%s" fill="%s" stroke="%s" stroke-width="%.2f"/>' % (
        front_path, AMBER_FRONT, AMBER_EDGE, 1.2 * s)
    clip = '<clipPath id="front"><path d="%s"/></clipPath>' % front_path
    return tab, front, clip


def sea(x0, x1, base, amplitude, wavelength, phase, bottom, s):
    back = '<path d="%s" fill="%s" opacity="0.85"/>' % (
        wave_area(x0, x1, base - 3 * s, amplitude, wavelength, phase + 2.2, bottom), SEA_LIGHT)
    front = '<path d="%s" fill="url(#seaGrad)"/>' % wave_area(
        x0, x1, base, amplitude, wavelength, phase, bottom)
    foam = '<path d="%s" fill="none" stroke="%s" stroke-width="%.2f" stroke-linecap="round" ' \
           'opacity="0.8"/>' % (wave_line(x0, x1, base, amplitude, wavelength, phase), FOAM,
                                1.6 * s)
    return back + front + foam


GRADIENTS = ('<linearGradient id="seaGrad" x1="0" y1="0" x2="0" y2="1">'
             '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
             '</linearGradient>'
             '<linearGradient id="skyGrad" x1="0" y1="0" x2="0" y2="1">'
             '<stop offset="0" stop-color="#f3f9fd"/><stop offset="1" stop-color="#d3e9f7"/>'
             '</linearGradient>') % (SEA_LIGHT, SEA_DEEP)


def icon_svg():
    """The application icon: a tide rolling over the front of a folder."""
    s = 4.0
    tab, front, clip = folder(28, 44, 200, 168, s)
    body = sea(28, 228, 150, 10, 100, 0.6, 220, s)
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
            'viewBox="0 0 256 256"><title>Tidewell</title><defs>%s%s</defs>%s%s'
            '<g clip-path="url(#front)">%s</g>'
            '<path d="M84,92 h88" stroke="%s" stroke-width="6" stroke-linecap="round" '
            'opacity="0.5"/></svg>') % (GRADIENTS, clip, tab, front, body, AMBER_EDGE)


def scene_svg(phase, amplitude, sheet=None):
    """The 96-pixel picture of the main window: a folder standing in the
    sea; with a sheet of paper dropping into it while a run is busy."""
    s = 1.5
    tab, front, clip = folder(22, 18, 52, 52, s)
    paper = ""
    if sheet is not None:
        y, opacity = sheet
        paper = ('<g opacity="%.2f"><rect x="38" y="%.2f" width="20" height="24" rx="1.5" '
                 'fill="#ffffff" stroke="#7a8ea3" stroke-width="1"/>'
                 '<path d="M42,%.2f h12 M42,%.2f h12 M42,%.2f h8" stroke="#9fb2c5" '
                 'stroke-width="1.2"/></g>') % (opacity, y, y + 6, y + 11, y + 16)
    water = sea(0, 96, 70, amplitude, 48, phase, 96, s)
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="96" height="96" '
            'viewBox="0 0 96 96"><defs>%s%s</defs>'
            '<rect x="0.5" y="0.5" width="95" height="95" rx="6" fill="url(#skyGrad)"/>'
            '%s%s%s%s</svg>') % (GRADIENTS, clip, tab, paper, front, water)


def render(svg_text, png_path, size, workdir):
    svg_path = os.path.join(workdir, "in.svg")
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(svg_text)
    subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", png_path,
                    svg_path], check=True)


# The sizes below 256 px that desktops look up in the hicolor theme.
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128)


def render_icon_sizes(icon, work):
    for size in ICON_SIZES:
        folder = os.path.join(RESOURCES, "icons", "hicolor", "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        render(icon, os.path.join(folder, "tidewell.png"), size, work)


def main():
    convert = shutil.which("convert-im6.q16") or "convert"
    icon = icon_svg()
    with open(os.path.join(RESOURCES, "icons", "tidewell.svg"), "w", encoding="utf-8") as f:
        f.write(icon + "\n")
    with tempfile.TemporaryDirectory() as work:
        render(icon, os.path.join(RESOURCES, "icons", "tidewell.png"), 256, work)
        render_icon_sizes(icon, work)
        render(scene_svg(0.0, 1.5), os.path.join(HERE, "idle.png"), 96, work)
        frames = []
        count = 12
        for i in range(count):
            t = i / count
            # The sheet falls into the folder during the first two thirds of
            # the cycle and fades as it sinks behind the folder's front.
            y = -24 + 50 * min(t / 0.66, 1.0)
            opacity = 1.0 if t < 0.66 else 0.0
            path = os.path.join(work, "frame%02d.png" % i)
            render(scene_svg(-2 * math.pi * t, 3.0, (y, opacity)), path, 96, work)
            frames.append(path)
        subprocess.run([convert, "-delay", "8", "-loop", "0", "-dispose", "previous", "+dither"] +
                       frames +
                       ["-layers", "OptimizeTransparency", os.path.join(HERE, "busy.gif")],
                       check=True)


if __name__ == "__main__":
    main()
