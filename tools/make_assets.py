#!/usr/bin/env python3
"""Draws the pictures the program reads from its folder (dark hardware-monitor skin).

Writes under assets/program-folder/ (the build copies them beside the executable):
  GIF/fan0.gif .. GIF/fan5.gif     animated fan: fan0 stopped, fan1 fastest .. fan5 slowest
  GIF/Hushwind Bar.jpg             title picture, board with fan control
  GIF/Veltrix III.jpg              title picture, board without fan control
  skin/min.png, skin/exit.png      window buttons on the title picture
  skin/thermometer.png, skin/thumb.png   temperature scale 0..100 degC and its pointer
  skin/splash.png                  start-up splash picture
  veltrix.png                      tray and window icon

The grids behind the history graphs come from tools/make_graph_grids.py.

Run: /usr/bin/python3 tools/make_assets.py   (needs PIL; fonts DejaVu)
"""
import math
import os

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "program-folder")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

BG = (27, 31, 36)
PANEL = (35, 41, 48)
BORDER = (58, 68, 79)
TEXT = (217, 223, 230)
DIM = (125, 136, 148)
ACCENT = (60, 180, 240)
GREEN = (47, 143, 91)
RED = (214, 69, 65)


def path(*parts):
    p = os.path.join(ROOT, *parts)
    os.makedirs(os.path.dirname(p), exist_ok=True)
    return p


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT, size)


def fan_frame(size, angle, stopped):
    """One frame of the fan, drawn 4x larger and scaled down for smooth edges."""
    s = size * 4
    img = Image.new("RGB", (s, s), PANEL)
    d = ImageDraw.Draw(img)
    c = s / 2
    d.ellipse([s * 0.04, s * 0.04, s * 0.96, s * 0.96], fill=BG, outline=BORDER, width=s // 24)
    blade = DIM if stopped else ACCENT
    for k in range(5):
        a = math.radians(angle + k * 72)
        pts = []
        for t in range(0, 11):
            u = t / 10
            r = s * (0.1 + 0.32 * u)
            sweep = a + 0.9 * u - 0.25
            pts.append((c + r * math.cos(sweep), c + r * math.sin(sweep)))
        for t in range(10, -1, -1):
            u = t / 10
            r = s * (0.1 + 0.32 * u)
            sweep = a + 0.9 * u + 0.25 + 0.35 * u
            pts.append((c + r * math.cos(sweep), c + r * math.sin(sweep)))
        d.polygon(pts, fill=blade)
    d.ellipse([c - s * 0.11, c - s * 0.11, c + s * 0.11, c + s * 0.11], fill=BORDER)
    d.ellipse([c - s * 0.05, c - s * 0.05, c + s * 0.05, c + s * 0.05], fill=TEXT if not stopped else DIM)
    return img.resize((size, size), Image.LANCZOS)


def make_fans():
    size = 44
    # fan1 fastest .. fan5 slowest: degrees turned per frame, frames at 50 ms.
    steps = {1: 30, 2: 24, 3: 18, 4: 12, 5: 6}
    for n in range(6):
        out = path("GIF", f"fan{n}.gif")
        if n == 0:
            fan_frame(size, 0, True).save(out)
            continue
        frames = [fan_frame(size, i * steps[n], False) for i in range(72 // steps[n])]
        frames[0].save(out, save_all=True, append_images=frames[1:], duration=50, loop=0, optimize=False)


def title(name, subtitle, out):
    w, h = 550, 53
    img = Image.new("RGB", (w, h), BG)
    d = ImageDraw.Draw(img)
    for y in range(h):  # a faint vertical sheen
        shade = int(8 * (1 - y / h))
        d.line([(0, y), (w, y)], fill=(BG[0] + shade, BG[1] + shade, BG[2] + shade))
    d.line([(0, h - 2), (w, h - 2)], fill=ACCENT, width=2)
    # A small sensor glyph: a ring with a pulse line.
    d.ellipse([12, 10, 44, 42], outline=ACCENT, width=3)
    d.line([(18, 27), (24, 27), (28, 18), (32, 35), (36, 27), (40, 27)], fill=TEXT, width=2)
    d.text((56, 7), name, font=font(20, True), fill=TEXT)
    d.text((58, 32), subtitle, font=font(10), fill=DIM)
    img.save(out, quality=92)


def window_button(kind, out):
    s = 22 * 4
    img = Image.new("RGB", (s, s), BG)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([4, 4, s - 5, s - 5], radius=14, fill=PANEL, outline=BORDER, width=4)
    if kind == "min":
        d.line([(s * 0.3, s * 0.62), (s * 0.7, s * 0.62)], fill=TEXT, width=8)
    else:
        d.line([(s * 0.32, s * 0.32), (s * 0.68, s * 0.68)], fill=RED, width=8)
        d.line([(s * 0.68, s * 0.32), (s * 0.32, s * 0.68)], fill=RED, width=8)
    img.resize((22, 22), Image.LANCZOS).save(out)


def thermometer(out):
    w, h = 200, 10
    img = Image.new("RGB", (w, h), BG)
    d = ImageDraw.Draw(img)
    for x in range(w):  # cool blue through green and amber to red
        t = x / (w - 1)
        if t < 0.5:
            u = t / 0.5
            col = (int(60 + (47 - 60) * u), int(140 + (170 - 140) * u), int(240 + (91 - 240) * u))
        else:
            u = (t - 0.5) / 0.5
            col = (int(47 + (214 - 47) * u), int(170 + (69 - 170) * u), int(91 + (65 - 91) * u))
        d.line([(x, 2), (x, h - 3)], fill=col)
    for k in range(11):
        x = round(k * (w - 1) / 10)
        d.line([(x, 0), (x, 1 if k % 5 else 2)], fill=TEXT)
    img.save(out)


def thumb(out):
    s = 4
    img = Image.new("RGB", (7 * s, 13 * s), BG)
    d = ImageDraw.Draw(img)
    d.polygon([(0, 0), (7 * s - 1, 0), (7 * s - 1, 8 * s), (3.5 * s, 13 * s - 1), (0, 8 * s)], fill=TEXT)
    img.resize((7, 13), Image.LANCZOS).save(out)


def splash(out):
    w, h = 360, 240
    img = Image.new("RGB", (w, h), BG)
    d = ImageDraw.Draw(img)
    glow = Image.new("RGB", (w, h), (0, 0, 0))
    gd = ImageDraw.Draw(glow)
    gd.ellipse([w / 2 - 70, 28, w / 2 + 70, 168], fill=(20, 70, 100))
    img = Image.blend(img, glow.filter(ImageFilter.GaussianBlur(30)), 0.5)
    d = ImageDraw.Draw(img)
    fan = fan_frame(96, 10, False)
    img.paste(fan, (w // 2 - 48, 40))
    d.text((w / 2, 160), "Veltrix III", font=font(24, True), fill=TEXT, anchor="mm")
    d.text((w / 2, 188), "Hardware health monitor", font=font(11), fill=DIM, anchor="mm")
    d.rectangle([60, 210, w - 60, 213], fill=PANEL)
    d.rectangle([60, 210, 60 + (w - 120) * 2 // 3, 213], fill=ACCENT)
    d.rectangle([0, 0, w - 1, h - 1], outline=BORDER)
    img.save(out)


def icon(out):
    s = 32 * 4
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([4, 4, s - 5, s - 5], radius=28, fill=BG + (255,), outline=ACCENT + (255,), width=8)
    d.line([(22, 70), (44, 70), (56, 36), (72, 98), (84, 64), (106, 64)], fill=TEXT + (255,), width=10, joint="curve")
    img.resize((32, 32), Image.LANCZOS).save(out)


def main():
    make_fans()
    title("Hushwind", "Fan speed control  \u00b7  hardware monitor", path("GIF", "Hushwind Bar.jpg"))
    title("Veltrix III", "Hardware health monitor", path("GIF", "Veltrix III.jpg"))
    window_button("min", path("skin", "min.png"))
    window_button("exit", path("skin", "exit.png"))
    thermometer(path("skin", "thermometer.png"))
    thumb(path("skin", "thumb.png"))
    splash(path("skin", "splash.png"))
    icon(path("veltrix.png"))


if __name__ == "__main__":
    main()
