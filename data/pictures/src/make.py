#!/usr/bin/env python3
"""Draws every picture of the program folder's pictures/ from SVG.

Each picture is written here as SVG text, rendered with rsvg-convert (Debian
package librsvg2-bin) and saved as an 8-bit RGB PNG. Pictures shown over the
map have magenta (255, 0, 255) as their transparent colour: the program keys
that one colour out and knows no partial transparency, so a pixel that the
renderer leaves less than half covered becomes magenta and every other pixel
becomes fully opaque.

POI icon glyphs come from the CC0 icon sets copied into icons/ (see
fetch-icons.sh); poi-icons.txt says which glyph and colour each of the 315
cells of the icon sheet gets.

    make.py                      redraw everything into data/pictures/
    make.py --contact FILE.png   also write an enlarged, labelled copy of the
                                 POI sheet for checking it by eye
"""

import argparse
import base64
import math
import os
import random
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source folder clean
import pngio  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)

KEY = (255, 0, 255)
# The sheet's cell size; screen.xml's poisize must say the same.
POI_CELL = 20
POI_COLUMNS = 16
POI_COUNT = 315

# Disc colours of the POI categories: dark enough for a white glyph, and none
# of them near the key colour.
CATEGORY_COLOURS = {
    "food": "#e65100",
    "lodging": "#5e35b1",
    "culture": "#8d5524",
    "sport": "#2e7d32",
    "shop": "#ad1457",
    "car": "#455a64",
    "transport": "#1565c0",
    "service": "#00897b",
    "health": "#c62828",
    "public": "#283593",
    "education": "#9e7400",
    "landmark": "#616161",
    "water": "#0288d1",
    "land": "#558b2f",
    "other": "#9e9e9e",
}

OUTLINE = "#14202b"
# The menu screens' colour; the sky plot and the splash sit on it.
BACKGROUND = "#17222d"
BAND = "#0d151c"
FONT = "DejaVu Sans"


# ---------------------------------------------------------------- rendering


def render(svg, width, height):
    """Renders SVG text to an RGBA image of the given size."""
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.svg")
        dst = os.path.join(tmp, "out.png")
        with open(src, "w", encoding="utf-8") as f:
            f.write(svg)
        subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), "-o", dst, src],
                       check=True)
        image = pngio.read(dst)
    if image.channels == 3:
        # Fully opaque pictures may come back without alpha.
        rgba = bytearray()
        for i in range(0, len(image.data), 3):
            rgba += image.data[i:i + 3] + b"\xff"
        image = pngio.Image(width, height, 4, rgba)
    return image


def keyed(image):
    """RGBA to RGB: pixels less than half covered become the key colour."""
    out = pngio.Image(image.width, image.height, 3)
    src, dst = image.data, out.data
    for p in range(image.width * image.height):
        r, g, b, a = src[4 * p:4 * p + 4]
        if a < 128:
            r, g, b = KEY
        elif (r, g, b) == KEY:
            r = 254  # an opaque pixel must never read as transparent
        dst[3 * p:3 * p + 3] = bytes((r, g, b))
    return out


def opaque(image):
    """RGBA to RGB for pictures that cover their whole rectangle."""
    out = pngio.Image(image.width, image.height, 3)
    for p in range(image.width * image.height):
        out.data[3 * p:3 * p + 3] = image.data[4 * p:4 * p + 3]
    return out


def svg_document(width, height, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
            'viewBox="0 0 %d %d">\n%s\n</svg>\n' % (width, height, width, height, body))


def save(name, width, height, body, transparent=True):
    image = render(svg_document(width, height, body), width, height)
    picture = keyed(image) if transparent else opaque(image)
    pngio.write_rgb(os.path.join(OUT, name), picture)
    print("%-28s %4d x %d" % (name, width, height))
    return picture


# ---------------------------------------------------------------- POI sheet


def known_icon(category, icon):
    """Whether make.py can draw this category and icon."""
    if category == "place":
        return icon.startswith("place:") and icon[6:].isdigit() and int(icon[6:]) in PLACE_DOTS
    if category not in CATEGORY_COLOURS:
        return False
    if icon == "dot":
        return True
    icon_set, _, name = icon.partition(":")
    return os.path.isfile(os.path.join(HERE, "icons", icon_set, name + ".svg"))


def read_poi_table():
    """The cells of poi-icons.txt: (code, category, icon) in sheet order."""
    cells = []
    with open(os.path.join(HERE, "poi-icons.txt"), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split()
            if len(fields) < 3 or not known_icon(fields[1], fields[2]):
                sys.exit("poi-icons.txt:%d: bad line" % number)
            cells.append((int(fields[0], 16), fields[1], fields[2]))
    if len(cells) != POI_COUNT:
        sys.exit("poi-icons.txt lists %d cells, the sheet has %d" % (len(cells), POI_COUNT))
    return cells


def glyph_paths(icon):
    """The viewBox and path data of an icon set glyph named set:NAME."""
    icon_set, name = icon.split(":", 1)
    path = os.path.join(HERE, "icons", icon_set, name + ".svg")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    view_box = re.search(r'viewBox="([^"]+)"', text).group(1)
    paths = re.findall(r'<path[^>]*\sd="([^"]+)"', text)
    if not paths:
        sys.exit("%s: no path" % path)
    return view_box, paths


def glyph(icon, x, y, size, colour):
    """An icon set glyph scaled into the square (x, y, size), in one colour."""
    view_box, paths = glyph_paths(icon)
    inner = "".join('<path d="%s"/>' % d for d in paths)
    return ('<svg x="%g" y="%g" width="%g" height="%g" viewBox="%s">'
            '<g fill="%s">%s</g></svg>' % (x, y, size, size, view_box, colour, inner))


def darker(colour, factor=0.6):
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return "#%02x%02x%02x" % (int(r * factor), int(g * factor), int(b * factor))


# Place dots from the biggest places to the smallest: radius, ring width and
# the radius of the dark centre (0: none).
PLACE_DOTS = {1: (7.5, 2.2, 3.0), 2: (6.5, 2.0, 2.2), 3: (5.5, 2.0, 0),
              4: (4.6, 1.8, 0), 5: (3.8, 1.6, 0), 6: (3.2, 1.4, 0)}


def poi_cell(category, icon, x, y, size):
    c = size / 2
    if icon.startswith("place:"):
        radius, ring, centre = PLACE_DOTS[int(icon[6:])]
        body = ('<circle cx="%g" cy="%g" r="%g" fill="#ffffff" stroke="#202020" '
                'stroke-width="%g"/>' % (c, c, radius - ring / 2, ring))
        if centre:
            body += '<circle cx="%g" cy="%g" r="%g" fill="#202020"/>' % (c, c, centre)
    else:
        colour = CATEGORY_COLOURS[category]
        if icon == "dot":
            # Codes the map compiler never writes: small and quiet.
            return ('<g transform="translate(%d %d)"><circle cx="%g" cy="%g" r="%g" fill="%s" '
                    'stroke="%s" stroke-width="1"/><circle cx="%g" cy="%g" r="2" '
                    'fill="#ffffff"/></g>' % (x, y, c, c, c * 0.6, colour, darker(colour), c, c))
        body = ('<circle cx="%g" cy="%g" r="%g" fill="%s" stroke="%s" stroke-width="1"/>'
                % (c, c, c - 0.5, colour, darker(colour)))
        g = size * 0.7
        body += glyph(icon, c - g / 2, c - g / 2, g, "#ffffff")
    return '<g transform="translate(%d %d)">%s</g>' % (x, y, body)


def make_poi_sheet():
    cells = read_poi_table()
    rows = (len(cells) + POI_COLUMNS - 1) // POI_COLUMNS
    body = "".join(poi_cell(category, icon, (i % POI_COLUMNS) * POI_CELL,
                            (i // POI_COLUMNS) * POI_CELL, POI_CELL)
                   for i, (_, category, icon) in enumerate(cells))
    return save("poi.png", POI_COLUMNS * POI_CELL, rows * POI_CELL, body), cells


def make_contact_sheet(sheet, cells, path, scale=3):
    """The POI sheet enlarged, on a map-like colour, with each cell's code below it."""
    cell = POI_CELL * scale
    label = 14
    big = pngio.Image(sheet.width * scale, sheet.height * scale, 3)
    for y in range(big.height):
        for x in range(big.width):
            i = ((y // scale) * sheet.width + x // scale) * 3
            pixel = sheet.data[i:i + 3]
            if tuple(pixel) == KEY:
                pixel = b"\xf2\xef\xe9"
            j = (y * big.width + x) * 3
            big.data[j:j + 3] = pixel
    with tempfile.TemporaryDirectory() as tmp:
        enlarged = os.path.join(tmp, "big.png")
        pngio.write_rgb(enlarged, big)
        with open(enlarged, "rb") as f:
            encoded = base64.b64encode(f.read()).decode("ascii")
    width = POI_COLUMNS * cell
    rows = (len(cells) + POI_COLUMNS - 1) // POI_COLUMNS
    height = rows * (cell + label)
    parts = ['<rect width="%d" height="%d" fill="#ffffff"/>' % (width, height)]
    for i, (code, _, _) in enumerate(cells):
        col, row = i % POI_COLUMNS, i // POI_COLUMNS
        x, y = col * cell, row * (cell + label)
        parts.append('<svg x="%d" y="%d" width="%d" height="%d" viewBox="%d %d %d %d">'
                     '<image width="%d" height="%d" href="data:image/png;base64,%s"/></svg>'
                     % (x, y, cell, cell, col * cell, row * cell, cell, cell,
                        big.width, big.height, encoded))
        parts.append('<text x="%d" y="%d" font-family="%s" font-size="10" '
                     'text-anchor="middle">%d:%04X</text>'
                     % (x + cell / 2, y + cell + 10, FONT, i, code))
    image = render(svg_document(width, height, "\n".join(parts)), width, height)
    pngio.write_rgb(path, opaque(image))
    print("contact sheet %s" % path)


# ---------------------------------------------------------------- map overlays


def make_pointer():
    # An arrowhead pointing up, turned about the picture's centre by the course.
    outline = "16,2 29,29 16,22.5 3,29"
    body = ('<polygon points="%s" fill="%s" stroke="%s" stroke-width="4" '
            'stroke-linejoin="round"/>' % (outline, OUTLINE, OUTLINE))
    body += ('<polygon points="%s" fill="#1e88e5" stroke="#ffffff" stroke-width="1.8" '
             'stroke-linejoin="round"/>' % outline)
    # The right half a shade darker gives the arrow a ridge.
    body += '<polygon points="16,4.5 26.5,26.2 16,20.6" fill="#0d5fae"/>'
    save("pointer.png", 32, 32, body)


def letter_n(cx, top, height, colour, width):
    w = height * 0.7
    x0, x1, y0, y1 = cx - w / 2, cx + w / 2, top, top + height
    return ('<polyline points="%g,%g %g,%g %g,%g %g,%g" fill="none" stroke="%s" '
            'stroke-width="%g" stroke-linejoin="miter" stroke-linecap="square"/>'
            % (x0, y1, x0, y0, x1, y1, x1, y0, colour, width))


def make_compass():
    # North up; the program turns it by the map's rotation.
    c = 24
    body = ('<circle cx="%d" cy="%d" r="22" fill="#f7f7f2" stroke="%s" stroke-width="2"/>'
            % (c, c, OUTLINE))
    for k in range(1, 8):  # no tick at north: the letter stands there
        a = math.radians(k * 45)
        inner = 18.5 if k % 2 == 0 else 19.5
        body += ('<line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f" stroke="#5a6570" '
                 'stroke-width="1.5"/>'
                 % (c + inner * math.sin(a), c - inner * math.cos(a),
                    c + 21 * math.sin(a), c - 21 * math.cos(a)))
    body += '<polygon points="24,14 28.5,24 19.5,24" fill="#e02020" stroke="#7a0c0c" stroke-width="1"/>'
    body += '<polygon points="24,37 28.5,24 19.5,24" fill="#ffffff" stroke="#3a4550" stroke-width="1"/>'
    body += '<circle cx="24" cy="24" r="2" fill="%s"/>' % OUTLINE
    body += letter_n(c, 5.5, 7, "#c01010", 1.7)
    save("compass.png", 48, 48, body)


# ---------------------------------------------------------------- screens

BUTTON_FACES = {
    "normal": ("#3b5266", "#22313f", "#7f97ab"),
    "pressed": ("#f5a623", "#d9770b", "#ffd28a"),
}


def button_face(width, height, state):
    top, bottom, rim = BUTTON_FACES[state]
    r = min(width, height) // 6
    return ('<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
            '</linearGradient></defs>'
            '<rect x="1" y="1" width="%d" height="%d" rx="%d" fill="url(#g)" '
            'stroke="%s" stroke-width="2"/>'
            '<rect x="3" y="3" width="%d" height="%d" rx="%d" fill="none" '
            'stroke="%s" stroke-width="1" stroke-opacity="0.8"/>'
            % (top, bottom, width - 2, height - 2, r, OUTLINE,
               width - 6, height - 6, r - 2, rim))


def make_buttons():
    for name, width, height in (("button_map", 96, 64), ("button_menu", 200, 96)):
        save(name + ".png", width, height, button_face(width, height, "normal"))
        save(name + "_pressed.png", width, height, button_face(width, height, "pressed"))


def make_status_plate():
    """Light plates under the map screen's status texts, so that they never
    mix with the names on the map: the view's (mode, draw time) and the
    receiver's (state, age of the fix), which has the longer words."""
    for name, width in (("status_plate.png", 100), ("status_plate_gps.png", 136)):
        height = 52
        body = ('<rect x="1" y="1" width="%d" height="%d" rx="8" fill="#f7f7f2" '
                'stroke="%s" stroke-width="2"/>'
                % (width - 2, height - 2, OUTLINE))
        save(name, width, height, body)


def outlined(shapes, width):
    """White strokes over a dark outline of the same strokes, 3 pixels wider."""
    dark = ('<g fill="none" stroke="%s" stroke-width="%g" stroke-linecap="round" '
            'stroke-linejoin="round">%s</g>' % (OUTLINE, width + 3, shapes))
    light = ('<g fill="none" stroke="#ffffff" stroke-width="%g" stroke-linecap="round" '
             'stroke-linejoin="round">%s</g>' % (width, shapes))
    return dark + light


def magnifier(with_plus):
    lens = '<circle cx="17" cy="17" r="10.5"/><line x1="25" y1="25" x2="34" y2="34"/>'
    sign = '<line x1="12" y1="17" x2="22" y2="17"/>'
    if with_plus:
        sign += '<line x1="17" y1="12" x2="17" y2="22"/>'
    return outlined(lens, 4) + outlined(sign, 3)


def satellite_glyph():
    # Drawn level, then tilted: a body, two arms, two solar panels and a dish.
    solid = ('<rect x="15" y="15" width="10" height="10" rx="1.5"/>'
             '<rect x="2" y="13" width="9" height="14" rx="1"/>'
             '<rect x="29" y="13" width="9" height="14" rx="1"/>')
    dark = ('<g fill="%s" stroke="%s" stroke-width="4" stroke-linejoin="round">%s</g>'
            % (OUTLINE, OUTLINE, solid))
    light = '<g fill="#ffffff">%s</g>' % solid
    cells = ('<g stroke="%s" stroke-width="1.2"><line x1="6.5" y1="13" x2="6.5" y2="27"/>'
             '<line x1="33.5" y1="13" x2="33.5" y2="27"/>'
             '<line x1="2" y1="20" x2="11" y2="20"/><line x1="29" y1="20" x2="38" y2="20"/></g>'
             % OUTLINE)
    arms = '<line x1="10" y1="20" x2="15" y2="20"/><line x1="25" y1="20" x2="30" y2="20"/>'
    dish = '<path d="M 14 31 Q 20 36 26 31"/>'
    return ('<g transform="rotate(-45 20 20)">%s%s%s%s%s</g>'
            % (outlined(arms, 3), dark, light, cells, outlined(dish, 2.5)))


def power_glyph():
    # An open ring with a bar through its gap.
    r, c = 11, (20, 21.5)
    start = (c[0] + r * math.sin(math.radians(35)), c[1] - r * math.cos(math.radians(35)))
    end = (c[0] - r * math.sin(math.radians(35)), start[1])
    ring = ('<path d="M %.2f %.2f A %d %d 0 1 1 %.2f %.2f"/>'
            % (start[0], start[1], r, r, end[0], end[1]))
    return outlined(ring + '<line x1="20" y1="6" x2="20" y2="19"/>', 4)


def flag_glyph():
    # A chequered flag on a pole: the destination.
    pole = '<line x1="10" y1="6" x2="10" y2="35"/>'
    cloth = ('<path d="M 11 7 L 32 7 L 32 22 L 11 22 Z" fill="#ffffff" stroke="%s" '
             'stroke-width="2" stroke-linejoin="round"/>' % OUTLINE)
    squares = "".join('<rect x="%g" y="%g" width="5.25" height="5" fill="%s"/>'
                      % (11 + 5.25 * i, 7 + 5 * j, OUTLINE)
                      for j in range(3) for i in range(4) if (i + j) % 2 == 0)
    return outlined(pole, 3.5) + cloth + squares


def route_here_glyph():
    # The destination flag standing on the tapped place.
    spot = '<ellipse cx="10" cy="35" rx="7" ry="2.5"/>'
    return outlined(spot, 2.5) + flag_glyph()


def clear_route_glyph():
    # The flag crossed out.
    cross = '<line x1="6" y1="6" x2="34" y2="34"/><line x1="34" y1="6" x2="6" y2="34"/>'
    red = ('<g stroke="#e53935" stroke-width="4" stroke-linecap="round">%s</g>' % cross)
    return flag_glyph() + outlined(cross, 4).split('<g fill="none" stroke="#ffffff"')[0] + red


COMMAND_ICONS = {
    "icon_zoom_in": lambda: magnifier(True),
    "icon_zoom_out": lambda: magnifier(False),
    "icon_menu": lambda: outlined('<line x1="8" y1="11" x2="32" y2="11"/>'
                                  '<line x1="8" y1="20" x2="32" y2="20"/>'
                                  '<line x1="8" y1="29" x2="32" y2="29"/>', 4.5),
    "icon_position": lambda: (outlined('<circle cx="20" cy="20" r="11"/>'
                                       '<line x1="20" y1="3" x2="20" y2="9"/>'
                                       '<line x1="20" y1="31" x2="20" y2="37"/>'
                                       '<line x1="3" y1="20" x2="9" y2="20"/>'
                                       '<line x1="31" y1="20" x2="37" y2="20"/>', 3.5)
                              + '<circle cx="20" cy="20" r="5" fill="#ffffff" '
                                'stroke="%s" stroke-width="1.5"/>' % OUTLINE),
    "icon_satellites": satellite_glyph,
    "icon_exit": power_glyph,
    "icon_route_here": route_here_glyph,
    "icon_clear_route": clear_route_glyph,
    "icon_back": lambda: outlined('<polyline points="20,8 8,20 20,32"/>'
                                  '<line x1="9" y1="20" x2="33" y2="20"/>', 4.5),
    "icon_search": lambda: outlined('<circle cx="17" cy="17" r="10.5"/>'
                                    '<line x1="25" y1="25" x2="34" y2="34"/>', 4.5),
}


def make_command_icons():
    for name, draw in COMMAND_ICONS.items():
        save(name + ".png", 40, 40, draw())


# ---------------------------------------------------------------- guidance

TURN_CELL = 64
TURN_COLUMNS = 5
ARROW = "#1565c0"
ROUNDABOUT_EXITS = 8


def turn_arrow(angle, length=22, fork=None):
    """An arrow from the bottom centre up, bending by `angle` degrees (right
    positive) at the cell's middle; `fork` adds the branch not taken."""
    c = TURN_CELL / 2
    stem = (c, 58, c, 34)
    a = math.radians(angle)
    tip = (c + length * math.sin(a), 34 - length * math.cos(a))
    head = 9
    left = (tip[0] - head * math.sin(a - math.radians(40)), tip[1] + head * math.cos(a - math.radians(40)))
    right = (tip[0] - head * math.sin(a + math.radians(40)), tip[1] + head * math.cos(a + math.radians(40)))
    body = ""
    if fork is not None:
        f = math.radians(fork)
        body += ('<polyline points="%g,%g %g,%g %.2f,%.2f" fill="none" stroke="#9e9e9e" '
                 'stroke-width="7" stroke-linecap="round" stroke-linejoin="round"/>'
                 % (stem[0], stem[1], stem[2], stem[3], c + 20 * math.sin(f), 34 - 20 * math.cos(f)))
    body += ('<polyline points="%g,%g %g,%g %.2f,%.2f" fill="none" stroke="%s" stroke-width="8" '
             'stroke-linecap="round" stroke-linejoin="round"/>'
             % (stem[0], stem[1], stem[2], stem[3], tip[0], tip[1], ARROW))
    body += ('<polygon points="%.2f,%.2f %.2f,%.2f %.2f,%.2f" fill="%s" stroke="%s" '
             'stroke-width="3" stroke-linejoin="round"/>'
             % (tip[0] + 4 * math.sin(a), tip[1] - 4 * math.cos(a), left[0], left[1],
                right[0], right[1], ARROW, ARROW))
    return body


def u_turn():
    return ('<path d="M 40 58 L 40 28 A 10 10 0 0 0 20 28 L 20 44" fill="none" stroke="%s" '
            'stroke-width="8" stroke-linecap="round"/>'
            '<polygon points="20,54 11,40 29,40" fill="%s"/>' % (ARROW, ARROW))


def arrive_flag():
    return ('<line x1="20" y1="10" x2="20" y2="56" stroke="%s" stroke-width="4" '
            'stroke-linecap="round"/>' % OUTLINE
            + '<rect x="22" y="10" width="30" height="20" fill="#ffffff" stroke="%s" '
              'stroke-width="2"/>' % OUTLINE
            + "".join('<rect x="%g" y="%g" width="7.5" height="6.67" fill="%s"/>'
                      % (22 + 7.5 * i, 10 + 6.67 * j, OUTLINE)
                      for j in range(3) for i in range(4) if (i + j) % 2 == 0))


def roundabout(exit_number):
    """Entering from the bottom, driving round anticlockwise; the exit taken
    is drawn to the right for the first, straight on for the second, to the
    left for the third and back beside the entry from the fourth on; the
    number in the ring tells them apart."""
    c = TURN_CELL / 2
    r = 13
    angle = {1: 90, 2: 0, 3: -90}.get(exit_number, -150)  # clockwise from straight on
    a = math.radians(angle)
    body = ('<circle cx="%g" cy="%g" r="%g" fill="none" stroke="#9e9e9e" stroke-width="6"/>'
            % (c, c, r))
    body += ('<line x1="%g" y1="62" x2="%g" y2="%g" stroke="%s" stroke-width="7" '
             'stroke-linecap="round"/>' % (c, c, c + r, ARROW))
    # Round the ring anticlockwise on screen from the bottom to the exit.
    start = math.radians(180)
    end = a
    sweep = (start - end) % (2 * math.pi) or 2 * math.pi
    steps = max(2, int(sweep / 0.2))
    pts = []
    for k in range(steps + 1):
        t = start - sweep * k / steps
        pts.append("%.2f,%.2f" % (c + r * math.sin(t), c - r * math.cos(t)))
    out = (c + 29 * math.sin(a), c - 29 * math.cos(a))
    body += ('<polyline points="%s %.2f,%.2f" fill="none" stroke="%s" stroke-width="7" '
             'stroke-linecap="round" stroke-linejoin="round"/>'
             % (" ".join(pts), out[0], out[1], ARROW))
    head = 8
    left = (out[0] - head * math.sin(a - 0.7), out[1] + head * math.cos(a - 0.7))
    right = (out[0] - head * math.sin(a + 0.7), out[1] + head * math.cos(a + 0.7))
    body += ('<polygon points="%.2f,%.2f %.2f,%.2f %.2f,%.2f" fill="%s"/>'
             % (out[0] + 3 * math.sin(a), out[1] - 3 * math.cos(a), left[0], left[1],
                right[0], right[1], ARROW))
    body += ('<text x="%g" y="%g" font-family="%s" font-weight="bold" font-size="14" '
             'text-anchor="middle" fill="%s">%d</text>' % (c, c + 5, FONT, OUTLINE, exit_number))
    return body


def turn_cells():
    """The cells in the order the program counts them (app/guidance.hpp)."""
    cells = [turn_arrow(0), turn_arrow(35), turn_arrow(90), turn_arrow(135), u_turn(),
             turn_arrow(-135), turn_arrow(-90), turn_arrow(-35),
             turn_arrow(-30, fork=25), turn_arrow(30, fork=-25), arrive_flag()]
    cells += [roundabout(k) for k in range(1, ROUNDABOUT_EXITS + 1)]
    return cells


def make_turn_sheet():
    cells = turn_cells()
    rows = (len(cells) + TURN_COLUMNS - 1) // TURN_COLUMNS
    parts = []
    for i, cell in enumerate(cells):
        x, y = i % TURN_COLUMNS * TURN_CELL, i // TURN_COLUMNS * TURN_CELL
        parts.append('<g transform="translate(%d %d)">%s</g>' % (x, y, cell))
    save("turns.png", TURN_COLUMNS * TURN_CELL, rows * TURN_CELL, "".join(parts))


def make_guidance_plate():
    """The light plate of the guidance panel: the turn picture on the left,
    the texts beside and under it."""
    width, height = 256, 104
    body = ('<rect x="1" y="1" width="%d" height="%d" rx="10" fill="#f7f7f2" '
            'stroke="%s" stroke-width="2"/>' % (width - 2, height - 2, OUTLINE))
    body += ('<line x1="80" y1="10" x2="80" y2="%d" stroke="#c9ced3" stroke-width="1.5"/>'
             % (height - 10))
    # Captions of the two lines under the street: the distance still to
    # drive and the time of arrival.
    for text, y in (("to go", 60), ("arrival", 88)):
        body += ('<text x="%d" y="%d" font-family="%s" font-size="11" text-anchor="end" '
                 'fill="#6b7680">%s</text>' % (width - 10, y, FONT, text))
    save("guidance_plate.png", width, height, body)


def make_satellite_marks():
    save("sat_active.png", 16, 16,
         '<circle cx="8" cy="8" r="6.5" fill="#43c047" stroke="%s" stroke-width="1.5"/>'
         '<circle cx="8" cy="8" r="2.2" fill="#ffffff"/>' % OUTLINE)
    save("sat_inactive.png", 16, 16,
         '<circle cx="8" cy="8" r="6.5" fill="#b0bec5" stroke="#37474f" stroke-width="1.5"/>')


# The search screen. A key face is cut into a left half, one middle column
# and a right half, so the program draws keys of any width from it; its
# middle columns must therefore all be alike.
KEY_FACE = (36, 46)
FIELD = (464, 48)
KIND_CELL = 32


def make_search_pictures():
    width, height = KEY_FACE
    save("key.png", width, height, button_face(width, height, "normal"))
    save("key_pressed.png", width, height, button_face(width, height, "pressed"))
    width, height = FIELD
    save("search_field.png", width, height,
         '<rect x="1" y="1" width="%d" height="%d" rx="8" fill="%s" stroke="#7f97ab" '
         'stroke-width="2"/>' % (width - 2, height - 2, BAND))
    save("search_kinds.png", 4 * KIND_CELL, KIND_CELL, "".join(
        '<g transform="translate(%d 0)">%s</g>' % (i * KIND_CELL, glyph)
        for i, glyph in enumerate(kind_glyphs())))


def kind_glyphs():
    """Place, street, area and point of interest, in the order of the kinds."""
    place = ('<circle cx="16" cy="16" r="11" fill="#ffffff" stroke="%s" stroke-width="3"/>'
             '<circle cx="16" cy="16" r="4.5" fill="%s"/>' % (OUTLINE, OUTLINE))
    street = ('<rect x="4" y="8" width="24" height="16" rx="3" fill="#f5a623" stroke="%s" '
              'stroke-width="2"/><line x1="8" y1="16" x2="24" y2="16" stroke="#ffffff" '
              'stroke-width="2.5" stroke-dasharray="4 3"/>' % OUTLINE)
    area = ('<polygon points="5,11 15,4 28,9 26,25 11,28 4,20" fill="#66bb6a" stroke="%s" '
            'stroke-width="2" stroke-linejoin="round"/>' % OUTLINE)
    poi = ('<path d="M 16 30 C 12 22 6 18 6 12 A 10 10 0 0 1 26 12 C 26 18 20 22 16 30 Z" '
           'fill="#e53935" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
           '<circle cx="16" cy="12" r="4" fill="#ffffff"/>' % OUTLINE)
    return place, street, area, poi


SKY_SIZE = 400
SKY_RADIUS = 170


def make_sky():
    c = SKY_SIZE / 2
    body = '<rect width="%d" height="%d" fill="%s"/>' % (SKY_SIZE, SKY_SIZE, BACKGROUND)
    body += ('<circle cx="%g" cy="%g" r="%d" fill="#1e2c3a" stroke="#8fa6b8" stroke-width="2"/>'
             % (c, c, SKY_RADIUS))
    for elevation in (30, 60):
        r = SKY_RADIUS * (90 - elevation) / 90
        body += ('<circle cx="%g" cy="%g" r="%g" fill="none" stroke="#4d6478" '
                 'stroke-width="1.5"/>' % (c, c, r))
        body += ('<text x="%g" y="%g" font-family="%s" font-size="11" fill="#8fa6b8">%d°</text>'
                 % (c + 4, c - r - 3, FONT, elevation))
    body += ('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="#4d6478" stroke-width="1.5"/>'
             '<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="#4d6478" stroke-width="1.5"/>'
             % (c, c - SKY_RADIUS, c, c + SKY_RADIUS, c - SKY_RADIUS, c, c + SKY_RADIUS, c))
    for text, x, y, colour in (("N", c, 22, "#ff6b5e"), ("S", c, SKY_SIZE - 7, "#dfe7ee"),
                               ("E", SKY_SIZE - 14, c + 6, "#dfe7ee"), ("W", 14, c + 6, "#dfe7ee")):
        body += ('<text x="%g" y="%g" font-family="%s" font-weight="bold" font-size="17" '
                 'text-anchor="middle" fill="%s">%s</text>' % (x, y, FONT, colour, text))
    save("sky.png", SKY_SIZE, SKY_SIZE, body, transparent=False)



def make_backgrounds():
    for name, width, height in (("background", 480, 640), ("background_landscape", 800, 480)):
        body = '<rect width="%d" height="%d" fill="%s"/>' % (width, height, BACKGROUND)
        save(name + ".png", width, height, body, transparent=False)


def map_motif(width, height, seed):
    """Streets, blocks, a river, parks and a route: a dim map behind the name."""
    rnd = random.Random(seed)
    parts = []
    step = 64
    # Blocks between a slightly irregular street grid.
    xs = [-20] + [x + rnd.randint(-10, 10) for x in range(step, width, step)] + [width + 20]
    ys = [-20] + [y + rnd.randint(-10, 10) for y in range(step, height, step)] + [height + 20]
    for i in range(len(xs) - 1):
        for j in range(len(ys) - 1):
            kind = rnd.random()
            fill = "#2a4a35" if kind < 0.12 else ("#243443" if kind < 0.8 else "#2b3b4b")
            parts.append('<rect x="%d" y="%d" width="%d" height="%d" rx="3" fill="%s"/>'
                         % (xs[i] + 6, ys[j] + 6, xs[i + 1] - xs[i] - 12,
                            ys[j + 1] - ys[j] - 12, fill))
    # A river winding across the short side.
    points = []
    for k in range(0, 41):
        t = k / 40
        x = t * (width + 80) - 40
        y = height * 0.72 + math.sin(t * 5.2 + seed) * height * 0.06
        points.append("%.1f,%.1f" % (x, y))
    parts.append('<polyline points="%s" fill="none" stroke="#1d4a6b" stroke-width="26" '
                 'stroke-linecap="round" stroke-linejoin="round"/>' % " ".join(points))
    # Two main roads.
    main_x = xs[len(xs) // 2]
    main_y = ys[len(ys) // 3]
    for d in ("M %d -10 L %d %d" % (main_x, main_x, height + 10),
              "M -10 %d L %d %d" % (main_y, width + 10, main_y)):
        parts.append('<path d="%s" stroke="#0d151c" stroke-width="12" fill="none"/>' % d)
        parts.append('<path d="%s" stroke="#9a7430" stroke-width="7" fill="none"/>' % d)
    # A route along the streets to the vehicle.
    route_y = ys[len(ys) // 3 + 2] if len(ys) > len(ys) // 3 + 2 else main_y
    end_x = xs[-2]
    route = "M %d %d L %d %d L %d %d L %d %d" % (xs[1], height + 10, xs[1], route_y,
                                                 main_x, route_y, main_x, main_y)
    route += " L %d %d" % (end_x, main_y)
    parts.append('<path d="%s" stroke="#2fa4e7" stroke-width="6" fill="none" '
                 'stroke-linejoin="round" stroke-opacity="0.85"/>' % route)
    parts.append('<g transform="translate(%d %d) rotate(90)">'
                 '<polygon points="0,-15 12,11 0,6 -12,11" fill="#1e88e5" stroke="#ffffff" '
                 'stroke-width="2.5" stroke-linejoin="round"/></g>' % (end_x, main_y))
    return "".join(parts)


def make_splash(name, width, height, message_y, title_y, seed):
    body = '<rect width="%d" height="%d" fill="%s"/>' % (width, height, BACKGROUND)
    body += map_motif(width, height, seed)
    # Dark bands under the white lines at the top and the progress message.
    body += '<rect width="%d" height="58" fill="%s"/>' % (width, BAND)
    body += ('<rect y="%d" width="%d" height="%d" fill="%s"/>'
             % (message_y - 12, width, height - message_y + 12, BAND))
    body += ('<line x1="0" y1="58" x2="%d" y2="58" stroke="#2fa4e7" stroke-width="2"/>'
             '<line x1="0" y1="%d" x2="%d" y2="%d" stroke="#2fa4e7" stroke-width="2"/>'
             % (width, message_y - 12, width, message_y - 12))
    # The name on a dark plate so it reads over the motif.
    body += ('<rect x="%d" y="%d" width="%d" height="150" rx="18" fill="%s" '
             'fill-opacity="0.88" stroke="#2fa4e7" stroke-width="2"/>'
             % (width / 2 - 170, title_y - 105, 340, BAND))
    body += ('<text x="%d" y="%d" font-family="%s" font-weight="bold" font-size="96" '
             'text-anchor="middle" fill="#ffffff">Tevo</text>'
             % (width / 2, title_y, FONT))
    body += ('<text x="%d" y="%d" font-family="%s" font-size="20" text-anchor="middle" '
             'fill="#9fc4dd">GPS navigator</text>' % (width / 2, title_y + 32, FONT))
    save(name, width, height, body, transparent=False)


def versions():
    with open(os.path.join(HERE, "icons", "VERSIONS"), encoding="utf-8") as f:
        pinned = dict(line.split() for line in f if line.strip())
    return pinned["maki"], pinned["temaki"]


def make_licence():
    with open(os.path.join(HERE, "icons", "LICENSE-maki.txt"), encoding="utf-8") as f:
        cc0 = f.read()
    text = ("The pictures in this folder are drawn by Tevo's own script\n"
            "(data/pictures/src/make.py in the source tree). The white glyphs on the POI\n"
            "icons of poi.png come from the icon sets Maki %s and Temaki %s, both\n"
            "published under CC0 1.0 Universal, whose text follows.\n\n" % versions())
    with open(os.path.join(OUT, "LICENSE.txt"), "w", encoding="utf-8") as f:
        f.write(text + cc0)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--contact", metavar="FILE", help="write the labelled POI contact sheet")
    args = parser.parse_args()
    sheet, cells = make_poi_sheet()
    if args.contact:
        make_contact_sheet(sheet, cells, args.contact)
    make_pointer()
    make_compass()
    make_buttons()
    make_status_plate()
    make_command_icons()
    make_satellite_marks()
    make_turn_sheet()
    make_guidance_plate()
    make_sky()
    make_search_pictures()
    make_backgrounds()
    make_splash("splash.png", 480, 640, message_y=600, title_y=330, seed=3)
    make_splash("splash_landscape.png", 800, 480, message_y=440, title_y=250, seed=5)
    make_licence()


if __name__ == "__main__":
    main()
