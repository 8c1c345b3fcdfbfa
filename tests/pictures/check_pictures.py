#!/usr/bin/env python3
"""Checks the committed pictures of data/pictures/.

The program loads pictures by the names in screen.xml and the menu files and
cuts the POI sheet into cells by poisize; a picture that is missing, of the
wrong size, or whose transparent corners are not the key colour shows up only
when the program runs. These checks catch that at test time.
"""

import argparse
import os
import re
import sys
import unittest
import xml.etree.ElementTree as ElementTree

SOURCE = None
KEY = (255, 0, 255)
POI_COUNT = 315

# The codes of the program's POI icon table, as runs: (first code, count, step).
POI_RUNS = [
    (0x0100, 18, 0x100), (0x1400, 2, 0x100), (0x1E00, 2, 0x100), (0x2800, 1, 1),
    (0x1C00, 12, 1), (0x1D00, 1, 1), (0x2000, 2, 0x100), (0x210F, 1, 1),
    (0x2200, 6, 0x100), (0x2900, 1, 1), (0x2A00, 19, 1), (0x2B00, 5, 1),
    (0x2C00, 12, 1), (0x2D00, 12, 1), (0x2E00, 12, 1), (0x2F00, 24, 1),
    (0x3000, 9, 1), (0x4000, 26, 0x100), (0x5901, 5, 1), (0x5A00, 5, 0x100),
    (0x6000, 4, 0x100), (0x6400, 23, 1), (0x6500, 20, 1), (0x6600, 25, 1),
    (0x1600, 23, 1), (0xF001, 11, 1), (0xF101, 6, 1), (0xF201, 4, 1),
    (0xF301, 13, 1), (0xF401, 6, 1), (0xF501, 5, 1),
]


def data_path(*parts):
    return os.path.join(SOURCE, "data", *parts)


def load_png(relative):
    import pngio  # the generator's own reader, standard library only
    return pngio.read(data_path(relative))


def layouts():
    root = ElementTree.parse(data_path("screen.xml")).getroot()
    return root.findall("resolution")


def text_of(layout, tag):
    element = layout.find(tag)
    return element.text.strip() if element is not None and element.text else ""


def numbers_of(layout, tag):
    return [int(v) for v in text_of(layout, tag).split(",") if v.strip()]


def documented_pictures():
    """file -> (width, height) from the table of docs/pictures.md."""
    rows = {}
    with open(os.path.join(SOURCE, "docs", "pictures.md"), encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\| `(pictures/[^`]+\.png)` \| (\d+) × (\d+) \|", line)
            if m:
                rows[m.group(1)] = (int(m.group(2)), int(m.group(3)))
    return rows


def is_key(image, x, y):
    return image.pixel(x, y)[:3] == KEY


class LayoutPicturesTest(unittest.TestCase):
    def test_every_layout_names_pictures_that_exist(self):
        for layout in layouts():
            for tag in ("splashscreen", "pointer", "compas", "poi"):
                with self.subTest(layout=layout.get("name"), tag=tag):
                    name = text_of(layout, tag)
                    self.assertTrue(name, "no %s" % tag)
                    self.assertTrue(os.path.isfile(data_path(name)), name)

    def test_splash_covers_the_window(self):
        for layout in layouts():
            with self.subTest(layout=layout.get("name")):
                splash = load_png(text_of(layout, "splashscreen"))
                corner = numbers_of(layout, "coord")[:2]
                self.assertEqual(corner, [0, 0])
                self.assertEqual((splash.width, splash.height),
                                 (int(text_of(layout, "width")), int(text_of(layout, "height"))))

    def test_progress_message_falls_on_the_splash(self):
        for layout in layouts():
            with self.subTest(layout=layout.get("name")):
                x, y = numbers_of(layout, "textcoord")[:2]
                self.assertLess(x, int(text_of(layout, "width")))
                self.assertLess(y + 14, int(text_of(layout, "height")))

    def test_poi_sheet_has_a_cell_for_every_table_position(self):
        for layout in layouts():
            with self.subTest(layout=layout.get("name")):
                sheet = load_png(text_of(layout, "poi"))
                width, height = numbers_of(layout, "poisize")[:2]
                self.assertGreater(width, 0)
                self.assertGreater(height, 0)
                self.assertEqual(sheet.width % width, 0, "sheet width is not whole cells")
                self.assertEqual(sheet.height % height, 0, "sheet height is not whole cells")
                columns = sheet.width // width
                self.assertGreaterEqual(columns * (sheet.height // height), POI_COUNT)
                for t in range(POI_COUNT):
                    left, top = (t % columns) * width, (t // columns) * height
                    drawn = any(not is_key(sheet, left + x, top + y)
                                for y in range(height) for x in range(width))
                    self.assertTrue(drawn, "cell %d is empty" % t)
                    # A cell's corners are transparent so icons do not show squares.
                    self.assertTrue(is_key(sheet, left, top), "cell %d corner is opaque" % t)


class OverlayPicturesTest(unittest.TestCase):
    # Turned about their centre over the map: transparent corners, opaque middle.
    CASES = [("pictures/pointer.png", 32), ("pictures/compass.png", 48)]

    def test_rotated_pictures_are_square_and_keyed(self):
        for name, size in self.CASES:
            with self.subTest(name=name):
                image = load_png(name)
                self.assertEqual((image.width, image.height), (size, size))
                last = size - 1
                for x, y in ((0, 0), (last, 0), (0, last), (last, last)):
                    self.assertTrue(is_key(image, x, y), "corner %d,%d" % (x, y))
                self.assertFalse(is_key(image, size // 2, size // 2))


class DocumentedPicturesTest(unittest.TestCase):
    def test_every_shipped_picture_is_documented_with_its_size(self):
        documented = documented_pictures()
        folder = data_path("pictures")
        shipped = sorted("pictures/" + f for f in os.listdir(folder) if f.endswith(".png"))
        self.assertEqual(sorted(documented), shipped)
        for name in shipped:
            with self.subTest(name=name):
                image = load_png(name)
                self.assertEqual((image.width, image.height), documented[name])

    def test_licence_ships_with_the_pictures(self):
        self.assertTrue(os.path.isfile(data_path("pictures", "LICENSE.txt")))

    def test_menu_files_name_pictures_that_exist(self):
        menus = {text_of(layout, "menu") for layout in layouts()} - {""}
        for menu in sorted(menus):
            if not os.path.isfile(data_path(menu)):
                continue  # a missing menu file leaves the menus empty; that is not ours
            root = ElementTree.parse(data_path(menu)).getroot()
            for element in root.iter():
                names = []
                if element.tag == "button" and element.attrib:
                    names.append(next(iter(element.attrib.values())))
                if element.tag in ("ico", "active", "inactive") and element.text:
                    names.append(element.text.strip())
                for name in names:
                    with self.subTest(menu=menu, picture=name):
                        self.assertTrue(os.path.isfile(data_path(name)), name)


class PoiTableTest(unittest.TestCase):
    def test_icon_list_follows_the_program_table(self):
        expected = [first + k * step for first, count, step in POI_RUNS for k in range(count)]
        self.assertEqual(len(expected), POI_COUNT)
        listed = []
        with open(data_path("pictures", "src", "poi-icons.txt"), encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    listed.append(int(line.split()[0], 16))
        self.assertEqual(listed, expected)

    def test_every_named_glyph_is_kept(self):
        with open(data_path("pictures", "src", "poi-icons.txt"), encoding="utf-8") as f:
            glyphs = {line.split()[2] for line in f
                      if line.strip() and not line.startswith("#")}
        for glyph in sorted(glyphs):
            if ":" in glyph and not glyph.startswith("place:"):
                icon_set, name = glyph.split(":", 1)
                with self.subTest(glyph=glyph):
                    self.assertTrue(os.path.isfile(
                        data_path("pictures", "src", "icons", icon_set, name + ".svg")))


def main():
    global SOURCE
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True, help="the repository's root folder")
    args, rest = parser.parse_known_args()
    SOURCE = os.path.abspath(args.source)
    sys.dont_write_bytecode = True
    sys.path.insert(0, data_path("pictures", "src"))
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
