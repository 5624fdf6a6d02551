#!/usr/bin/env python3
"""Writes the SVG sources of the program's icons, button state families and dialog backgrounds.

The SVG files are checked in; this script is where their shapes and colours are decided, so that
every family shares one visual language:

  * dark surfaces (#161616 - #2A2A2A), accent #00A8FF, hover light blue #64D0FF;
  * line icons with 2-unit strokes, round caps and joins, on a 24-unit grid;
  * state variants: _n normal (light grey), _h hover (lighter, with a faint halo),
    _p pressed or checked (accent), _d disabled (the normal look at 40 % opacity).

Run it from anywhere after changing a shape: `python3 resources/icons/make_icons.py`. It also
rewrites tests/resources/resource-table.tsv, the list of every embedded picture with its size,
which the resource test checks against the built resources.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

ACCENT = "#00A8FF"
ACCENT_LIGHT = "#64D0FF"
ACCENT_PALE = "#64DDFF"
HAND = "#89E7FF"  # the colour of the analog clock's hands
WARN = "#E94A22"

# Generic icon buttons: glyph colour, halo behind the glyph, overall opacity.
STATES = {
    "n": {"ink": "#C4C4C4", "halo": None, "opacity": 1.0},
    "h": {"ink": "#FFFFFF", "halo": "rgba(255,255,255,0.08)", "opacity": 1.0},
    "p": {"ink": ACCENT, "halo": "rgba(0,168,255,0.16)", "opacity": 1.0},
    "d": {"ink": "#C4C4C4", "halo": None, "opacity": 0.4},
}

# The orientation buttons follow the text colours of the icon button they sit in.
ORIENTATION_STATES = {
    "n": {"ink": "#FFFFFF", "opacity": 1.0},
    "h": {"ink": ACCENT_LIGHT, "opacity": 1.0},
    "p": {"ink": ACCENT, "opacity": 1.0},
    "d": {"ink": "#FFFFFF", "opacity": 0.3},
}

table = []  # (resource path, width, height, use)


def colour_attrs(colour):
    """SVG Tiny has no rgba(); split it into a colour and an opacity."""
    if colour.startswith("rgba("):
        r, g, b, a = colour[5:-1].split(",")
        return '#%02X%02X%02X' % (int(r), int(g), int(b)), float(a)
    return colour, 1.0


def fill(colour):
    c, a = colour_attrs(colour)
    return f'fill="{c}"' + (f' fill-opacity="{a:g}"' if a < 1 else "")


def stroke(colour, width=2.0):
    c, a = colour_attrs(colour)
    s = f'fill="none" stroke="{c}" stroke-width="{width:g}" stroke-linecap="round" stroke-linejoin="round"'
    return s + (f' stroke-opacity="{a:g}"' if a < 1 else "")


def write(rel, width, height, body, use, viewbox=None, defs=""):
    """Writes icons/<rel>.svg; the build renders it to :/<rel> (".png" added when it has no extension)."""
    path = os.path.join(HERE, rel + ".svg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    vb = viewbox or f"0 0 {width} {height}"
    text = (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{width}" height="{height}" viewBox="{vb}">\n')
    if defs:
        text += f"<defs>{defs}</defs>\n"
    text += body.strip() + "\n</svg>\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    resource = rel if rel.endswith((".png", ".ico", ".jpg")) else rel + ".png"
    table.append((":/" + resource, width, height, use))


def group(opacity, body):
    return body if opacity >= 1 else f'<g opacity="{opacity:g}">{body}</g>'


# ---------------------------------------------------------------------------------------------
# Glyphs on a 24 x 24 grid. Each takes the ink colour and returns SVG elements.

def glyph_back(c):
    return f'<path d="M14.5 5 L7.5 12 L14.5 19" {stroke(c, 2.2)}/>'


def glyph_gear(c):
    points = []
    for i in range(8):
        a = i * 45.0
        for r, da in ((7.6, -19.0), (10.2, -10.5), (10.2, 10.5), (7.6, 19.0)):
            t = math.radians(a + da)
            points.append((12 + r * math.cos(t), 12 + r * math.sin(t)))
    d = "M" + " L".join(f"{x:.2f} {y:.2f}" for x, y in points) + " Z"
    return f'<path d="{d}" {stroke(c, 1.8)}/><circle cx="12" cy="12" r="3.2" {stroke(c, 1.8)}/>'


def glyph_repeat(c):
    return (f'<path d="M4 12 V10 A4 4 0 0 1 8 6 H18.5" {stroke(c)}/>'
            f'<path d="M15.5 3 L18.5 6 L15.5 9" {stroke(c)}/>'
            f'<path d="M20 12 V14 A4 4 0 0 1 16 18 H5.5" {stroke(c)}/>'
            f'<path d="M8.5 15 L5.5 18 L8.5 21" {stroke(c)}/>')


def glyph_repeat_one(c):
    return glyph_repeat(c) + f'<path d="M10.6 10.4 L12.4 9.2 V14.8" {stroke(c, 1.7)}/>'


def glyph_shuffle(c):
    return (f'<path d="M3 7 H6.5 C11 7 13 17 17.5 17 H20.5" {stroke(c)}/>'
            f'<path d="M3 17 H6.5 C9 17 10.6 14.2 11.4 12.9" {stroke(c)}/>'
            f'<path d="M12.6 11.1 C13.4 9.8 15 7 17.5 7 H20.5" {stroke(c)}/>'
            f'<path d="M17.8 4.2 L20.6 7 L17.8 9.8" {stroke(c)}/>'
            f'<path d="M17.8 14.2 L20.6 17 L17.8 19.8" {stroke(c)}/>')


def glyph_add(c):
    return (f'<rect x="3.5" y="3.5" width="17" height="17" rx="4" {stroke(c, 1.8)}/>'
            f'<path d="M12 8 V16 M8 12 H16" {stroke(c, 2.0)}/>')


def glyph_sun(c):
    rays = ""
    for i in range(8):
        t = math.radians(i * 45)
        x1, y1 = 12 + 7.2 * math.cos(t), 12 + 7.2 * math.sin(t)
        x2, y2 = 12 + 9.6 * math.cos(t), 12 + 9.6 * math.sin(t)
        rays += f"M{x1:.2f} {y1:.2f} L{x2:.2f} {y2:.2f} "
    return f'<circle cx="12" cy="12" r="4" {stroke(c, 1.8)}/><path d="{rays.strip()}" {stroke(c, 1.8)}/>'


def glyph_chevron_down(c, width=1.8):
    return f'<path d="M7 10 L12 15 L17 10" {stroke(c, width)}/>'


# ---------------------------------------------------------------------------------------------

def icon_family(name, glyph, use, size=32):
    """A 24-unit glyph centred in a size x size icon, in the four states."""
    pad = (size - 24) / 2
    for state, s in STATES.items():
        halo = ""
        if s["halo"]:
            halo = f'<circle cx="12" cy="12" r="{size / 2 - 0.5:g}" {fill(s["halo"])}/>'
        body = group(s["opacity"], halo + glyph(s["ink"]))
        write(f"material/Icon/{name}_{state}", size, size, body, use, viewbox=f"{-pad:g} {-pad:g} {size} {size}")


def strip_arrows():
    for name, d in (("ArrowLeft", "M14 17 L8 24 L14 31"), ("ArrowRight", "M10 17 L16 24 L10 31")):
        for state, s in STATES.items():
            halo = ""
            if s["halo"]:
                halo = f'<rect x="0.5" y="0.5" width="23" height="47" rx="6" {fill(s["halo"])}/>'
            body = group(s["opacity"], halo + f'<path d="{d}" {stroke(s["ink"], 2.2)}/>')
            write(f"material/Icon/{name}_{state}", 24, 48, body,
                  "pushButton_imageLIstArrow" + name[5:] + " (media strip scroll)")


def small_families():
    # Mode buttons "Info Visuals" and "Clock": 20 x 20 on a 20-unit grid.
    gauge = lambda c: (f'<path d="M3.2 14.5 A7.4 7.4 0 1 1 16.8 14.5" {stroke(c, 1.8)}/>'
                       f'<path d="M10 12.5 L13.6 8" {stroke(c, 1.8)}/>'
                       f'<circle cx="10" cy="12.5" r="1.6" {fill(c)}/>')
    clock = lambda c: (f'<circle cx="10" cy="10" r="7.4" {stroke(c, 1.8)}/>'
                       f'<path d="M10 5.6 V10 L13.2 11.8" {stroke(c, 1.8)}/>')
    for name, glyph, use in (("modeInfoVisuals", gauge, "pushButton_DynamicSetting"),
                             ("modeClock", clock, "pushButton_Time")):
        for state, s in STATES.items():
            write(f"material/Icon/{name}_{state}", 20, 20, group(s["opacity"], glyph(s["ink"])), use)
    # Combo-box drop-down arrow, 16 x 16.
    for state, s in STATES.items():
        body = group(s["opacity"], f'<path d="M4 6 L8 10 L12 6" {stroke(s["ink"], 1.6)}/>')
        write(f"material/Icon/comboBox_arrow_{state}", 16, 16, body, "StatefulComboBox drop-down arrow")
    # Spin-box steppers, 12 x 12.
    for name, d in (("spinBox_up", "M3 7.5 L6 4.5 L9 7.5 Z"), ("spinBox_down", "M3 4.5 L6 7.5 L9 4.5 Z")):
        for state, s in STATES.items():
            c, _ = colour_attrs(s["ink"])
            body = group(s["opacity"],
                         f'<path d="{d}" fill="{c}" stroke="{c}" stroke-width="1" stroke-linejoin="round"/>')
            write(f"material/Icon/{name}_{state}", 12, 12, body, "spinBox_brightness steppers")


def orientation_family():
    shapes = {
        "horizontal_Rectangle": ("M3 7 H21 V17 H3 Z", "M9 20.5 H15", (3, 7, 18, 10)),
        "Vertical_Rectangle": ("M7 3 H17 V21 H7 Z", "M10.5 18 H13.5", (7, 3, 10, 18)),
    }
    for name, (_, foot, (x, y, w, h)) in shapes.items():
        for state, s in ORIENTATION_STATES.items():
            c = s["ink"]
            inner = 0.28 if state == "p" else 0.12
            body = (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="2" fill="{c}" fill-opacity="{inner}" '
                    f'stroke="{c}" stroke-width="2" stroke-linejoin="round"/>')
            if name == "horizontal_Rectangle":
                body += f'<path d="{foot}" {stroke(c, 1.6)}/>'
            else:
                body += f'<path d="{foot}" {stroke(c, 1.4)}/>'
            write(f"material/Icon/{name}_{state}", 24, 24, group(s["opacity"], body),
                  "pushButton_" + ("Horizontal" if name.startswith("h") else "Vertical") + " (CustomIconButton)")


def delete_family():
    looks = {
        "n": ("rgba(0,0,0,0.7)", "rgba(255,255,255,0.55)", "#FFFFFF", 1.0),
        "h": (WARN, WARN, "#FFFFFF", 1.0),
        "p": ("#B83416", "#B83416", "#FFD9CF", 1.0),
        "d": ("rgba(0,0,0,0.7)", "rgba(255,255,255,0.55)", "#FFFFFF", 0.4),
    }
    for state, (bg, ring, ink, opacity) in looks.items():
        rc, ra = colour_attrs(ring)
        body = (f'<circle cx="8" cy="8" r="7" {fill(bg)} stroke="{rc}" stroke-opacity="{ra:g}" stroke-width="1"/>'
                f'<path d="M5.6 5.6 L10.4 10.4 M10.4 5.6 L5.6 10.4" {stroke(ink, 1.5)}/>')
        write(f"material/Icon/vexa_TOLK IV_delete_{state}", 16, 16, group(opacity, body),
              "CustomImageListItem deleteButton")


def editor_buttons():
    """The three image buttons of each overlay editor, 36 x 36, with hover, pressed and disabled looks."""
    def title_font(c):
        return (f'<path d="M9 11 H21 M15 11 V26" {stroke(c, 2.4)}/>'
                f'<path d="M24 15.5 V24 Q24 26 26 26 H27 M21.8 18.5 H26.5" {stroke(c, 1.8)}/>')

    def content_font(c):
        return (f'<path d="M8 26 L14 10 L20 26 M10.4 20.5 H17.6" {stroke(c, 2.2)}/>'
                f'<path d="M27.5 19 V26 M27.5 21.8 A3.2 3.2 0 1 0 27.5 23.2" {stroke(c, 1.8)}/>')

    def sensor(c):
        pins = ""
        for k in (14, 18, 22):
            pins += f"M{k} 7 V10 M{k} 26 V29 M7 {k} H10 M26 {k} H29 "
        return (f'<rect x="10" y="10" width="16" height="16" rx="2.5" {stroke(c, 1.8)}/>'
                f'<path d="{pins.strip()}" {stroke(c, 1.6)}/>'
                f'<rect x="14.5" y="14.5" width="7" height="7" rx="1" {fill(c)}/>')

    looks = {
        "": ("#1E1E1E", "#4D4D4D", "#D6D6D6", 1.0),
        "_h": ("#222A30", ACCENT_LIGHT, "#FFFFFF", 1.0),
        "_p": ("#00141F", ACCENT, ACCENT, 1.0),
        "_d": ("#1E1E1E", "#4D4D4D", "#D6D6D6", 0.4),
    }
    for name, glyph in (("button_titleFont_select", title_font), ("button_Hwinfoitem_select", sensor),
                        ("button_contenctFont_select", content_font)):
        obj = {"button_titleFont_select": "pushButton_TitleFontEdit",
               "button_Hwinfoitem_select": "pushButton_SelectHwinfo",
               "button_contenctFont_select": "pushButton_ContentFontEdit"}[name]
        for suffix, (bg, edge, ink, opacity) in looks.items():
            body = (f'<rect x="1" y="1" width="34" height="34" rx="6" fill="{bg}" stroke="{edge}" stroke-width="1.2"/>'
                    + glyph(ink))
            write(f"material/Icon/{name}{suffix}", 36, 36, group(opacity, body), obj + " (overlay editor)")


def toggles():
    on_defs = (f'<linearGradient id="track" x1="0" y1="0" x2="44" y2="0" gradientUnits="userSpaceOnUse">'
               f'<stop offset="0" stop-color="#0090E0"/><stop offset="1" stop-color="#19B8FF"/></linearGradient>')
    write("material/Icon/button_on", 44, 24,
          '<rect x="1" y="1" width="42" height="22" rx="11" fill="url(#track)"/>'
          '<circle cx="32" cy="12" r="8.5" fill="#FFFFFF"/>'
          '<circle cx="32" cy="12" r="8.5" fill="none" stroke="#006AA8" stroke-opacity="0.35" stroke-width="1"/>',
          "on/off toggles (settings page, overlay editor enable)", defs=on_defs)
    write("material/Icon/button_off", 44, 24,
          '<rect x="1.5" y="1.5" width="41" height="21" rx="10.5" fill="#2E2E2E" stroke="#4D4D4D" stroke-width="1"/>'
          '<circle cx="12" cy="12" r="8.5" fill="#9A9A9A"/>',
          "on/off toggles (settings page, overlay editor enable)")


def title_bar():
    ink = "#D0D0D0"
    write("material/Icon/Min", 48, 32, f'<rect x="19" y="16" width="10" height="1" fill="{ink}"/>',
          "pushButtonMinimum (title bar)")
    write("material/Icon/Max", 48, 32,
          f'<rect x="19.5" y="11.5" width="9" height="9" fill="none" stroke="{ink}" stroke-width="1"/>',
          "pushButtonFullScreen (title bar)")
    write("material/Icon/Close", 48, 32,
          f'<path d="M19.5 11.5 L28.5 20.5 M28.5 11.5 L19.5 20.5" fill="none" stroke="{ink}" stroke-width="1.2" '
          f'stroke-linecap="round"/>', "pushButtonClose (title bar)")


def logo_mark(size, tile=True, rel=None, use=""):
    """The program's mark: a pump-head ring around a V, on a dark tile. Drawn on a 256 grid."""
    defs = (f'<linearGradient id="ring" x1="48" y1="40" x2="208" y2="216" gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="{ACCENT_PALE}"/><stop offset="1" stop-color="#0072E0"/></linearGradient>'
            f'<linearGradient id="vee" x1="128" y1="78" x2="128" y2="182" gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="#FFFFFF"/><stop offset="1" stop-color="#BFEFFF"/></linearGradient>'
            f'<linearGradient id="tile" x1="0" y1="0" x2="0" y2="256" gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="#262A31"/><stop offset="1" stop-color="#0E1014"/></linearGradient>')
    body = ""
    if tile:
        body += ('<rect x="8" y="8" width="240" height="240" rx="56" fill="url(#tile)"/>'
                 '<rect x="8.5" y="8.5" width="239" height="239" rx="55.5" fill="none" stroke="#FFFFFF" '
                 'stroke-opacity="0.10" stroke-width="1"/>')
    # The ring leaves a gap at the upper right, like a coolant loop in motion.
    r = 86
    a0, a1 = math.radians(-60), math.radians(-60 + 320)
    x0, y0 = 128 + r * math.cos(a0), 128 + r * math.sin(a0)
    x1, y1 = 128 + r * math.cos(a1), 128 + r * math.sin(a1)
    body += (f'<path d="M{x0:.1f} {y0:.1f} A{r} {r} 0 1 1 {x1:.1f} {y1:.1f}" fill="none" stroke="url(#ring)" '
             f'stroke-width="18" stroke-linecap="round"/>')
    dot = math.radians(-80)
    body += f'<circle cx="{128 + r * math.cos(dot):.1f}" cy="{128 + r * math.sin(dot):.1f}" r="9" fill="{ACCENT_PALE}"/>'
    body += ('<path d="M92 92 L128 170 L164 92" fill="none" stroke="url(#vee)" stroke-width="22" '
             'stroke-linecap="round" stroke-linejoin="round"/>')
    text = (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{size}" height="{size}" viewBox="0 0 256 256">\n<defs>{defs}</defs>\n{body}\n</svg>\n')
    return text


def logos():
    # The tray icon and the large program logo share the drawing; the hicolor icon is the same file.
    for rel, size, use in (("favicon.ico", 64, "tray icon"), ("material/Icon/AppLogo", 128, "program logo")):
        with open(os.path.join(HERE, rel + ".svg"), "w", encoding="utf-8") as f:
            f.write(logo_mark(size))
        resource = rel if rel.endswith(".ico") else rel + ".png"
        table.append((":/" + resource, size, size, use))
    with open(os.path.join(ROOT, "packaging", "linux", "vortane-screen.svg"), "w", encoding="utf-8") as f:
        f.write(logo_mark(256))
    # The title bar's 23 x 21 mark: ring and V only, no tile, thicker strokes for the small size.
    r = 8.6
    s0, s1 = math.radians(-62), math.radians(-22)
    write("material/Icon/Logo", 23, 21,
          f'<path d="M{11.5 + r * math.cos(s0):.2f} {10.5 + r * math.sin(s0):.2f} A{r} {r} 0 1 0 '
          f'{11.5 + r * math.cos(s1):.2f} {10.5 + r * math.sin(s1):.2f}" fill="none" stroke="url(#ring)" '
          'stroke-width="2.2" stroke-linecap="round"/>'
          '<path d="M7.9 7.4 L11.5 14.6 L15.1 7.4" fill="none" stroke="#FFFFFF" stroke-width="2.3" '
          'stroke-linecap="round" stroke-linejoin="round"/>',
          "label_Logo (title bar)",
          defs=(f'<linearGradient id="ring" x1="3" y1="2" x2="20" y2="19" gradientUnits="userSpaceOnUse">'
                f'<stop offset="0" stop-color="{ACCENT_PALE}"/><stop offset="1" stop-color="#0080E8"/>'
                f'</linearGradient>'))


def selectors():
    write("material/Icon/groupbox_unselect", 20, 20,
          '<circle cx="10" cy="10" r="8.25" fill="#1A1A1A" stroke="#8C8C8C" stroke-width="1.5"/>',
          "clock-style radio buttons")
    write("material/Icon/groupbox_select", 20, 20,
          f'<circle cx="10" cy="10" r="8.25" fill="#00141F" stroke="{ACCENT}" stroke-width="1.5"/>'
          f'<circle cx="10" cy="10" r="4.5" fill="{ACCENT}"/>',
          "clock-style radio buttons")
    write("material/Icon/tree_unselect", 16, 16,
          '<rect x="1.5" y="1.5" width="13" height="13" rx="3" fill="#1A1A1A" stroke="#8C8C8C" stroke-width="1.2"/>',
          "sensor tree check indicator")
    write("material/Icon/tree_select", 16, 16,
          f'<rect x="1" y="1" width="14" height="14" rx="3" fill="{ACCENT}"/>'
          '<path d="M4.4 8.2 L6.9 10.7 L11.7 5.6" fill="none" stroke="#FFFFFF" stroke-width="1.8" '
          'stroke-linecap="round" stroke-linejoin="round"/>',
          "sensor tree check indicator")
    write("material/Icon/treeItem_close", 16, 16,
          f'<path d="M6 4 L10 8 L6 12" {stroke("#C4C4C4", 1.6)}/>', "sensor tree branch (closed)")
    write("material/Icon/treeItem_open", 16, 16,
          f'<path d="M4 6 L8 10 L12 6" {stroke("#FFFFFF", 1.6)}/>', "sensor tree branch (open)")


def playback():
    write("material/Icon/qd_common_play_n", 24, 24,
          '<path d="M8 5.5 L18.5 12 L8 18.5 Z" fill="#FFFFFF" stroke="#FFFFFF" stroke-width="1.5" '
          'stroke-linejoin="round"/>', "pushButton_TimeLineIcon (crop dialog, play)")
    write("material/Icon/Pause", 24, 24,
          '<rect x="6.5" y="5" width="4" height="14" rx="1.2" fill="#FFFFFF"/>'
          '<rect x="13.5" y="5" width="4" height="14" rx="1.2" fill="#FFFFFF"/>',
          "pushButton_TimeLineIcon (crop dialog, pause)")


def homepage():
    defs = (f'<linearGradient id="fill" x1="0" y1="0" x2="240" y2="0" gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="#0062C4"/><stop offset="0.55" stop-color="{ACCENT}"/>'
            f'<stop offset="1" stop-color="#2CC6FF"/></linearGradient>'
            f'<linearGradient id="gloss" x1="0" y1="0" x2="0" y2="48" gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="#FFFFFF" stop-opacity="0.22"/>'
            f'<stop offset="0.5" stop-color="#FFFFFF" stop-opacity="0.04"/>'
            f'<stop offset="1" stop-color="#FFFFFF" stop-opacity="0"/></linearGradient>')
    write("material/Icon/homepageButtonBg", 240, 48,
          '<rect x="0" y="0" width="240" height="48" rx="6" fill="url(#fill)"/>'
          '<rect x="0" y="0" width="240" height="48" rx="6" fill="url(#gloss)"/>'
          '<rect x="0.5" y="0.5" width="239" height="47" rx="5.5" fill="none" stroke="#FFFFFF" '
          'stroke-opacity="0.18" stroke-width="1"/>',
          "pushButton_homepage_screen_settings (CustomGradientBGButton)", defs=defs)
    write("material/Icon/homepagelinepoint", 10, 10,
          f'<path d="M5 0.8 L9.2 5 L5 9.2 L0.8 5 Z" fill="{ACCENT}"/>'
          f'<path d="M5 3 L7 5 L5 7 L3 5 Z" fill="#BFEFFF"/>',
          "homepageline end points")


def clock_tiles():
    # Analog style: the dial as the screen shows it, hands at 10:09.
    ticks = ""
    for i in range(60):
        if i % 5 == 0:
            continue
        t = math.radians(i * 6)
        ticks += (f"M{160 + 124 * math.sin(t):.2f} {160 - 124 * math.cos(t):.2f} "
                  f"L{160 + 132 * math.sin(t):.2f} {160 - 132 * math.cos(t):.2f} ")
    marks = ""
    for i in range(12):
        t = math.radians(i * 30)
        r0 = 106 if i % 3 == 0 else 114
        marks += (f"M{160 + r0 * math.sin(t):.2f} {160 - r0 * math.cos(t):.2f} "
                  f"L{160 + 132 * math.sin(t):.2f} {160 - 132 * math.cos(t):.2f} ")

    def hand(angle, length, width, colour):
        t = math.radians(angle)
        return (f'<path d="M160 160 L{160 + length * math.sin(t):.2f} {160 - length * math.cos(t):.2f}" '
                f'{stroke(colour, width)}/>')

    a0, a1 = math.radians(-90 - 60), math.radians(-90 + 40)
    arc = (f'M{160 + 146 * math.cos(a0):.2f} {160 + 146 * math.sin(a0):.2f} '
           f'A146 146 0 0 1 {160 + 146 * math.cos(a1):.2f} {160 + 146 * math.sin(a1):.2f}')
    body = ('<circle cx="160" cy="160" r="146" fill="#1B1B1B" stroke="#3A3A3A" stroke-width="3"/>'
            f'<path d="{arc}" {stroke(ACCENT, 5)}/>'
            f'<path d="{ticks.strip()}" {stroke("#5C5C5C", 2.5)}/>'
            f'<path d="{marks.strip()}" {stroke("#E6E6E6", 6)}/>'
            + hand(10 * 30 + 9 * 0.5, 67, 8, HAND) + hand(9 * 6, 95, 3, HAND)
            + f'<circle cx="160" cy="160" r="9" fill="#161616" stroke="{ACCENT}" stroke-width="3"/>')
    write("material/Icon/clock_icon", 320, 320, body, "clock-style tile, analog (style 1)")
    # Digital style: hours over minutes in the clock's own condensed digits.
    body = ('<rect x="2" y="2" width="236" height="296" rx="22" fill="#1B1B1B" stroke="#3A3A3A" stroke-width="3"/>'
            '<text x="120" y="134" text-anchor="middle" font-family="Roboto Condensed" font-weight="bold" '
            'font-size="128" fill="#FFFFFF">10</text>'
            '<text x="120" y="266" text-anchor="middle" font-family="Roboto Condensed" font-weight="bold" '
            'font-size="128" fill="#FFFFFF">09</text>'
            f'<rect x="90" y="148" width="60" height="4" rx="2" fill="{ACCENT}"/>')
    write("material/Icon/time_icon", 240, 300, body, "clock-style tile, digital (style 0)")


def dialog_backgrounds():
    def panel(w, h, accent, name, use):
        defs = (f'<linearGradient id="body" x1="0" y1="0" x2="0" y2="{h}" gradientUnits="userSpaceOnUse">'
                f'<stop offset="0" stop-color="#202020"/><stop offset="1" stop-color="#151515"/></linearGradient>'
                f'<radialGradient id="glow" cx="0" cy="0" r="{w * 0.55:.0f}" gradientUnits="userSpaceOnUse">'
                f'<stop offset="0" stop-color="{accent}" stop-opacity="0.16"/>'
                f'<stop offset="1" stop-color="{accent}" stop-opacity="0"/></radialGradient>'
                f'<linearGradient id="edge" x1="0" y1="0" x2="{w}" y2="0" gradientUnits="userSpaceOnUse">'
                f'<stop offset="0" stop-color="{accent}"/><stop offset="0.6" stop-color="{accent}" stop-opacity="0.35"/>'
                f'<stop offset="1" stop-color="{accent}" stop-opacity="0"/></linearGradient>')
        body = (f'<rect x="0" y="0" width="{w}" height="{h}" rx="10" fill="url(#body)"/>'
                f'<rect x="0" y="0" width="{w}" height="{h}" rx="10" fill="url(#glow)"/>'
                f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="9.5" fill="none" stroke="#FFFFFF" '
                f'stroke-opacity="0.14" stroke-width="1"/>'
                f'<rect x="20" y="0" width="{w - 40}" height="2" fill="url(#edge)"/>')
        write(f"material_dialog/Bg/{name}", w, h, body, use, defs=defs)

    panel(543, 252, WARN, "Dialog_Background_warn", "Dialog_Warn_delete background")
    panel(780, 540, ACCENT, "Dialog_Background_UserAgreement",
          "Dialog_User_Agreement and Dialog_Privary_Policy background")
    write("material_dialog/Icon/Warning", 24, 24,
          f'<path d="M12 3.5 L21.5 20 H2.5 Z" {stroke(WARN, 2)}/>'
          f'<path d="M12 10 V14.2" {stroke(WARN, 2)}/><circle cx="12" cy="17.2" r="1.2" fill="{WARN}"/>',
          "warning mark for dialogs")
    write("material_dialog/Icon/Info", 24, 24,
          f'<circle cx="12" cy="12" r="9" {stroke(ACCENT, 2)}/>'
          f'<path d="M12 11 V16.5" {stroke(ACCENT, 2)}/><circle cx="12" cy="7.8" r="1.2" fill="{ACCENT}"/>',
          "information mark for dialogs")


def main():
    title_bar()
    logos()
    toggles()
    selectors()
    orientation_family()
    delete_family()
    editor_buttons()
    playback()
    homepage()
    clock_tiles()
    dialog_backgrounds()
    icon_family("LeftArrow", glyph_back, "pushButton_LeftArrow (back)")
    icon_family("Settings", glyph_gear, "pushButton_Settings, pushButton_Settings_2 (gear)")
    icon_family("playCycleOne", glyph_repeat_one, "pushButton_playCycleOne (Repeat 1)")
    icon_family("playCycleList", glyph_repeat, "pushButton_playCycleList (Repeat)")
    icon_family("playCycleRandom", glyph_shuffle, "pushButton_playCycleRandom (Shuffle)")
    icon_family("bgAdd", glyph_add, "pushButton_bgAdd (add a medium)")
    icon_family("brightness", glyph_sun, "pushButton_brightnessIcon", size=24)
    strip_arrows()
    small_families()

    # Pictures drawn by generators rather than SVG sources.
    table.append((":/material/Icon/min_line.png", 320, 10, "analog clock minute hand (vortane-clockhands)"))
    table.append((":/material/Icon/hour_line.png", 320, 10, "analog clock hour hand (vortane-clockhands)"))

    out = os.path.join(ROOT, "tests", "resources", "resource-table.tsv")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "w", encoding="utf-8") as f:
        f.write("# Every embedded picture: resource path, width, height, where it is used.\n")
        f.write("# Written by resources/icons/make_icons.py; checked by TestResourcePictures.\n")
        for path, w, h, use in sorted(table):
            f.write(f"{path}\t{w}\t{h}\t{use}\n")


if __name__ == "__main__":
    main()
