#!/usr/bin/python3
"""Paints the gauges' bitmaps from the gauges' own geometry.

Every picture is drawn four times larger, antialiased by scaling down, and
then mapped onto one palette per gauge (pure black always kept as black,
since the host leaves black pixels of most elements transparent). The
results are 8-bit palette BMP files, written exactly the same way on every
run, so the committed bitmaps can be checked against a fresh painting.

usage: paint_gauges.py [--out DIR]   (default: the gauges' own bitmaps/ folders)
"""
import argparse
import math
import os
import re
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SS = 4  # supersampling factor
FONTS = "/usr/share/fonts/truetype"
BOLD = f"{FONTS}/dejavu/DejaVuSans-Bold.ttf"
NARROW_BOLD = f"{FONTS}/liberation/LiberationSansNarrow-Bold.ttf"

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
PALETTE_SIZE = 118


# ---------------------------------------------------------------------------
# Geometry shared with the modules

def read_scale(path):
    """The SCALE_POINT(x, y, value) lines of a gauge's scale file."""
    points = []
    with open(path, encoding="ascii") as source:
        for line in source:
            match = re.match(r"\s*SCALE_POINT\(\s*(-?\d+),\s*(-?\d+),\s*(-?[\d.]+)\)", line)
            if match:
                points.append((int(match[1]), int(match[2]), float(match[3])))
    if len(points) < 2:
        sys.exit(f"paint_gauges: no scale in {path}")
    return points


def scale_polar(points, centre, value):
    """Angle (radians, screen coordinates) and radius of a value on a scale:
    between two points the angle about the centre and the radius are
    interpolated, clockwise from one point to the next."""
    cx, cy = centre
    polar = []
    for x, y, v in points:
        polar.append((math.atan2(y - cy, x - cx), math.hypot(x - cx, y - cy), v))
    value = min(max(value, polar[0][2]), polar[-1][2])
    for (a0, r0, v0), (a1, r1, v1) in zip(polar, polar[1:]):
        if v0 <= value <= v1:
            t = 0.0 if v1 == v0 else (value - v0) / (v1 - v0)
            sweep = (a1 - a0) % (2 * math.pi)
            return a0 + sweep * t, r0 + (r1 - r0) * t
    raise ValueError(value)


def at(centre, angle, radius):
    """Supersampled canvas point at an angle and radius about a gauge pixel."""
    cx, cy = centre
    return ((cx + 0.5 + radius * math.cos(angle)) * SS, (cy + 0.5 + radius * math.sin(angle)) * SS)


# ---------------------------------------------------------------------------
# Drawing helpers (all on supersampled RGB canvases)

def canvas(width, height):
    return Image.new("RGB", (width * SS, height * SS), BLACK)


def finish(image):
    width, height = image.size
    return image.resize((width // SS, height // SS), Image.Resampling.BOX)


def disc(draw, centre, radius, fill):
    x, y = (centre[0] + 0.5) * SS, (centre[1] + 0.5) * SS
    r = radius * SS
    draw.ellipse((x - r, y - r, x + r, y + r), fill=fill)


def font(path, pixels):
    return ImageFont.truetype(path, pixels * SS)


def centred_text(draw, point, text, typeface, fill):
    draw.text(point, text, font=typeface, fill=fill, anchor="mm")


def mark(draw, centre, angle, inner, outer, width, fill=WHITE):
    draw.line((at(centre, angle, inner), at(centre, angle, outer)), fill=fill, width=round(width * SS))


def screw(draw, centre):
    disc(draw, centre, 6.0, (70, 70, 70))
    disc(draw, centre, 5.0, (150, 150, 150))
    disc(draw, centre, 3.6, (120, 120, 120))
    slot = math.radians(35)
    mark(draw, centre, slot, -4.2, 4.2, 1.3, fill=(45, 45, 45))


def bezel(size, centre, radius):
    """A dark grey disc with a lighter rim and a screw in each corner."""
    image = canvas(size, size)
    draw = ImageDraw.Draw(image)
    disc(draw, centre, radius, (125, 125, 125))
    disc(draw, centre, radius - 1.5, (88, 88, 88))
    disc(draw, centre, radius - 3.5, (40, 40, 40))
    disc(draw, centre, radius - 4.5, (28, 28, 28))
    for corner in ((8, 8), (size - 9, 8), (8, size - 9), (size - 9, size - 9)):
        screw(draw, corner)
    return image


# ---------------------------------------------------------------------------
# Palette and BMP output

def shared_palette(images, forced):
    """One palette for a gauge's pictures: the forced colours first (black at
    index 0), the rest chosen by median cut over all the pictures."""
    width = max(image.size[0] for image in images)
    height = sum(image.size[1] for image in images)
    sheet = Image.new("RGB", (width, height), BLACK)
    y = 0
    for image in images:
        sheet.paste(image, (0, y))
        y += image.size[1]
    chosen = sheet.quantize(colors=PALETTE_SIZE - len(forced), method=Image.Quantize.MEDIANCUT,
                            dither=Image.Dither.NONE)
    flat = chosen.getpalette()[: 3 * (PALETTE_SIZE - len(forced))]
    colours = list(forced)
    for i in range(0, len(flat), 3):
        colour = tuple(flat[i:i + 3])
        if colour not in colours:
            colours.append(colour)
    while len(colours) < PALETTE_SIZE:
        colours.append(BLACK)
    return colours


def to_palette(image, colours):
    palette_image = Image.new("P", (1, 1))
    flat = [c for colour in colours for c in colour]
    palette_image.putpalette(flat + [0] * (768 - len(flat)))
    indexed = image.quantize(palette=palette_image, dither=Image.Dither.NONE)
    return bytes(indexed.getdata())


def write_bmp(path, width, height, pixels, colours):
    """An uncompressed 8-bit BMP with a palette of len(colours) entries."""
    stride = (width + 3) & ~3
    rows = b"".join(
        pixels[y * width:(y + 1) * width] + b"\0" * (stride - width) for y in range(height - 1, -1, -1))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, len(colours), 0)
    with open(path, "wb") as out:
        out.write(header + info + palette + rows)


def save_gauge(folder, pictures, forced):
    """pictures: {resource id: RGB image at final size}."""
    os.makedirs(folder, exist_ok=True)
    colours = shared_palette(list(pictures.values()), forced)
    for image_id, image in sorted(pictures.items()):
        write_bmp(os.path.join(folder, f"{image_id:04X}.bmp"), image.size[0], image.size[1],
                  to_palette(image, colours), colours)


# ---------------------------------------------------------------------------
# Airspeed indicator

def airspeed(folder):
    centre = (75, 75)
    scale = read_scale(os.path.join(ROOT, "airspeed", "airspeed_scale.inc"))

    face = canvas(150, 150)
    draw = ImageDraw.Draw(face)
    numerals = font(BOLD, 11)
    # Below 50 km/h the dial is too crowded for marks between 0 and 50.
    for speed in [0] + list(range(50, 451, 10)):
        angle, radius = scale_polar(scale, centre, speed)
        if speed % 50 == 0:
            mark(draw, centre, angle, radius - 10, radius, 2.2)
            if speed:
                centred_text(draw, at(centre, angle, radius - 19), str(speed // 10), numerals, WHITE)
        else:
            mark(draw, centre, angle, radius - 5.5, radius, 1.2)
    centred_text(draw, (75.5 * SS, 47 * SS), "СКОРОСТЬ", font(BOLD, 8), WHITE)
    centred_text(draw, (75.5 * SS, 99 * SS), "км/ч", font(BOLD, 8), (200, 200, 200))

    needle = canvas(87, 9)
    draw = ImageDraw.Draw(needle)
    pivot = (27, 5)
    grey = (92, 92, 92)
    # Counterweight tail and hub, then the white pointer out to the tip.
    draw.polygon([(0.5 * SS, 3.3 * SS), (38.9 * SS, 4.4 * SS), (38.9 * SS, 6.6 * SS), (0.5 * SS, 7.7 * SS)], fill=grey)
    disc(draw, pivot, 3.5, grey)
    disc(draw, pivot, 1.3, (40, 40, 40))
    # Canvas units are pixel edges: row 5 spans 5.0 to 6.0, so the tip fills
    # pixel (86, 5) whole.
    draw.polygon([(39 * SS, 4.0 * SS), (86 * SS, 5.0 * SS), (87 * SS, 5.0 * SS), (87 * SS, 6.0 * SS),
                  (86 * SS, 6.0 * SS), (39 * SS, 7.0 * SS)], fill=WHITE)

    pictures = {
        0x1000: finish(bezel(150, centre, 74)),
        0x1100: finish(face),
        0x1103: Image.new("RGB", (150, 150), BLACK),
        0x1200: finish(needle),
    }
    save_gauge(folder, pictures, [BLACK, WHITE])


# ---------------------------------------------------------------------------
# Fuel quantity gauge

FUEL_YELLOW = (168, 168, 0)


def fuel_face(scale, centre, colour, dim, labels, step, long_every):
    """The arc of marks with numerals; labels maps a mark's litres to its text."""
    face = canvas(150, 150)
    draw = ImageDraw.Draw(face)
    numerals = font(BOLD, 10)
    for litres in range(0, 201, step):
        angle, radius = scale_polar(scale, centre, litres / 200)
        if litres % long_every == 0:
            mark(draw, centre, angle, radius, radius + 7, 2.2, colour)
        else:
            mark(draw, centre, angle, radius, radius + 4, 1.2, dim)
        if litres in labels:
            centred_text(draw, at(centre, angle, radius - 10), labels[litres], numerals, colour)
    # The small triangle under the empty mark.
    angle, radius = scale_polar(scale, centre, 0.0)
    x, y = at(centre, angle, radius + 3)
    draw.polygon([(x, y + 9 * SS), (x - 3.5 * SS, y + 15 * SS), (x + 3.5 * SS, y + 15 * SS)], fill=colour)
    return face, draw


def fuel_needle(colour):
    """51 x 4, pivot at the middle of the left edge: black up to x 21, then a
    bar four pixels thick that narrows to the middle two rows at the tip."""
    needle = Image.new("RGB", (51, 4), BLACK)
    for x in range(22, 51):
        rows = range(0, 4) if x < 46 else range(1, 3)
        for y in rows:
            needle.putpixel((x, y), colour)
    return needle


def fuel(folder):
    centre = (75, 91)
    scale = read_scale(os.path.join(ROOT, "fuel", "fuel_scale.inc"))

    labels = {litres: str(litres // 10) for litres in range(0, 141, 20)}
    labels[200] = "200"
    face, draw = fuel_face(scale, centre, WHITE, (190, 190, 190), labels, 10, 20)
    centred_text(draw, (75.5 * SS, 70 * SS), "ЛИТРЫ", font(BOLD, 10), WHITE)

    green = (40, 200, 60)
    percent = {litres: str(litres // 2) for litres in range(0, 201, 40)}
    green_face, draw = fuel_face(scale, centre, green, (30, 140, 45), percent, 20, 40)
    centred_text(draw, (75.5 * SS, 70 * SS), "%", font(BOLD, 10), green)

    plate = bezel(150, centre=(75, 75), radius=74)
    draw = ImageDraw.Draw(plate)
    disc(draw, centre, 21, FUEL_YELLOW)

    pictures = {
        0x1000: finish(plate),
        0x1100: finish(green_face),
        0x1200: finish(face),
        0x1300: fuel_needle(green),
        0x1400: fuel_needle(WHITE),
    }
    save_gauge(folder, pictures, [BLACK, WHITE, FUEL_YELLOW, green])


# ---------------------------------------------------------------------------
# NAV/COM radio

WINDOW = (192, 192, 0)      # the display windows, exactly
LCD_OFF = (17, 22, 9)       # the windows switched off
PANEL = (54, 57, 62)
PANEL_DARK = (34, 36, 40)
LABEL = (222, 222, 214)
RADIO_WINDOWS = [(33, 145), (157, 344), (356, 467)]  # x ranges, y 15 to 84
WINDOW_TOP, WINDOW_BOTTOM = 15, 84
COVER_AT = (31, 15)
COVER_SIZE = (439, 75)


def box(draw, left, top, right, bottom, fill, radius=0):
    """A filled box given in gauge pixels, right and bottom included."""
    shape = (left * SS, top * SS, (right + 1) * SS - 1, (bottom + 1) * SS - 1)
    if radius:
        draw.rounded_rectangle(shape, radius * SS, fill=fill)
    else:
        draw.rectangle(shape, fill=fill)


def knob(draw, centre, radius, pulled=False, grip=True):
    """A round knob seen from the front; pulled out it stands larger and brighter."""
    if pulled:
        radius += 2
        disc(draw, centre, radius + 1.5, (12, 12, 12))
    disc(draw, centre, radius, (25, 25, 27))
    disc(draw, centre, radius - 1.2, (96, 96, 100) if pulled else (70, 70, 74))
    if grip:
        for i in range(24):
            angle = 2 * math.pi * i / 24
            mark(draw, centre, angle, radius - 3.2, radius - 1.2, 0.8, fill=(40, 40, 44))
    disc(draw, centre, radius * 0.55, (120, 120, 126) if pulled else (92, 92, 98))


def radio_face(power_on=False, com_pulled=False, ident_pulled=False):
    image = canvas(501, 157)
    draw = ImageDraw.Draw(image)
    box(draw, 0, 0, 500, 156, (92, 95, 100), radius=7)
    box(draw, 2, 2, 498, 154, PANEL, radius=6)
    # The frame the three windows sit in, with the metal bars between them.
    box(draw, 28, 11, 472, 88, PANEL_DARK, radius=3)
    box(draw, 146, 15, 156, 84, (78, 80, 84))
    box(draw, 345, 15, 355, 84, (78, 80, 84))
    for left, right in RADIO_WINDOWS:
        box(draw, left, WINDOW_TOP, right, WINDOW_BOTTOM, WINDOW)

    small = font(BOLD, 7)
    centred_text(draw, (89.5 * SS, 6 * SS), "COM", small, LABEL)
    centred_text(draw, (250.5 * SS, 6 * SS), "ORIM  TR-410", small, LABEL)
    centred_text(draw, (411.5 * SS, 6 * SS), "NAV", small, LABEL)

    # Swap buttons at the outer edges.
    arrows = font(BOLD, 11)
    for left in (3, 478):
        box(draw, left, 27, left + 21, 63, (24, 24, 26), radius=3)
        box(draw, left + 1, 28, left + 20, 62, (82, 84, 90), radius=3)
        centred_text(draw, ((left + 11) * SS, 45 * SS), "⇄", arrows, LABEL)

    # Power knob, lower left: the pointer up when off, turned right when on.
    centre = (52, 127)
    knob(draw, centre, 10, grip=False)
    angle = math.radians(-20 if power_on else -90)
    mark(draw, centre, angle, 0, 9, 2.0, fill=LABEL)
    centred_text(draw, (52.5 * SS, 145 * SS), "PWR", small, LABEL)
    centred_text(draw, (82.5 * SS, 112 * SS), "ON", small, LABEL)
    centred_text(draw, (30.5 * SS, 112 * SS), "OFF", small, LABEL)

    # COM knob with its pull for the 25 kHz step (it ends above the
    # message line).
    centred_text(draw, (166.5 * SS, 97 * SS), "PULL 25k", small, LABEL)
    knob(draw, (166, 120), 13)
    knob(draw, (166, 120), 6, pulled=com_pulled, grip=False)

    # MODE button.
    box(draw, 232, 105, 278, 131, (20, 20, 22), radius=4)
    box(draw, 233, 106, 277, 130, (96, 98, 104), radius=4)
    centred_text(draw, (255.5 * SS, 118.5 * SS), "MODE", font(BOLD, 8), LABEL)

    # IDENT knob, its label above it.
    centred_text(draw, (351.5 * SS, 119 * SS), "IDENT", small, (255, 214, 90) if ident_pulled else LABEL)
    knob(draw, (351, 134), 7, pulled=ident_pulled, grip=False)

    # NAV knob.
    centred_text(draw, (451.5 * SS, 97 * SS), "NAV", small, LABEL)
    knob(draw, (451, 122), 17)
    knob(draw, (451, 122), 8, grip=False)

    # The message line's slot.
    box(draw, 158, 135, 341, 156, (12, 12, 12), radius=2)
    return image


def crop(image, left, top, width, height):
    return image.crop((left, top, left + width, top + height))


def radio(folder):
    rest = finish(radio_face())
    face = rest
    # The knob pictures are cut from faces with that one knob changed, so
    # they sit seamlessly on the face.
    power = crop(finish(radio_face(power_on=True)), 40, 115, 24, 24)
    com = crop(finish(radio_face(com_pulled=True)), 143, 97, 47, 48)
    ident = crop(finish(radio_face(ident_pulled=True)), 326, 114, 50, 32)

    # The dark cover: black only over the two metal bars between the
    # windows, where the face is to show through.
    cover = Image.new("RGB", COVER_SIZE, LCD_OFF)
    for bar_left in (148, 347):
        for x in range(bar_left - COVER_AT[0], bar_left - COVER_AT[0] + 6):
            for y in range(COVER_SIZE[1]):
                cover.putpixel((x, y), BLACK)

    # The deviation bar: a strip of dark segments, half of it black, seen
    # through a mask of four rings a side.
    left_strip = Image.new("RGB", (180, 25), BLACK)
    for x in range(90, 180):
        if x % 4 != 3:
            for y in range(25):
                left_strip.putpixel((x, y), (64, 66, 60))
    right_strip = left_strip.transpose(Image.Transpose.FLIP_LEFT_RIGHT)

    def rings(centres):
        mask = canvas(90, 25)
        draw = ImageDraw.Draw(mask)
        for x in centres:
            disc(draw, (x, 12), 8, WINDOW)
            disc(draw, (x, 12), 4.5, BLACK)
        return finish(mask)

    pictures = {
        0x1000: face,
        0x1200: cover,
        0x2000: ident,
        0x3000: com,
        0x3300: power,
        0x3500: left_strip,
        0x3503: rings([78, 56, 34, 12]),
        0x4500: right_strip,
        0x4503: rings([11, 33, 55, 77]),
    }
    save_gauge(folder, pictures, [BLACK, WHITE, WINDOW, LCD_OFF, (64, 66, 60)])


GAUGES = {"airspeed": airspeed, "fuel": fuel, "radio": radio}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", help="write DIR/<gauge>/XXXX.bmp instead of the committed bitmaps")
    parser.add_argument("gauges", nargs="*", choices=[[], *GAUGES], default=[])
    args = parser.parse_args()
    for name in args.gauges or GAUGES:
        folder = os.path.join(args.out, name) if args.out else os.path.join(ROOT, name, "bitmaps")
        GAUGES[name](folder)
        print(f"painted {folder}")


if __name__ == "__main__":
    main()
