"""The small pictures: button glyphs, the pictures beside headings and over the progress bars,
and the two icons. At 16 and 32 pixels every pixel shows, so these are drawn pixel by pixel:
glyphs and the document as character maps, the rest as shapes sampled once per pixel."""

import math

from PIL import Image, ImageDraw, ImageFilter

from winfmt import VGA16

# Character map colours: the VGA16 palette by letter.
KEYS = {
    "k": 0, "m": 1, "g": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
    "d": 8, "r": 9, "l": 10, "y": 11, "b": 12, "f": 13, "a": 14, "w": 15,
    ".": None,
}
OLIVE = 3
BLACK, GRAY, WHITE = 0, 8, 15


def from_map(lines):
    """Palette indices (None: background) from a character map."""
    return [[KEYS[ch] for ch in line] for line in lines]


def mirror(grid):
    return [list(reversed(row)) for row in grid]


# -- glyphs -----------------------------------------------------------------------------------

HAND_RIGHT = from_map([
    "................",
    "................",
    "................",
    ".....kkkk.......",
    "....kwwwwk......",
    "kkkkwwwwwwkkkkk.",
    "knnkwwwwwwwwwwwk",
    "knnkwwwwwkkkkkk.",
    "knnkwwwwwwwk....",
    "knnkwwwwkkk.....",
    "knnkwwwwwwwk....",
    "knnkwwwwkkk.....",
    "kkkkkwwwwwk.....",
    ".....kkkkk......",
    "................",
    "................",
])

HAND_RAISED = from_map([
    "......kk........",
    ".....kwwkkk.....",
    "...kkkwwkwwk....",
    "..kwwkwwkwwkkk..",
    "..kwwkwwkwwkwwk.",
    "..kwwkwwkwwkwwk.",
    "..kwwkwwkwwkwwk.",
    "..kwwwwwwwwkwwk.",
    "kk.kwwwwwwwwwwk.",
    "kwkkwwwwwwwwwwk.",
    ".kwwkwwwwwwwwwk.",
    "..kwwwwwwwwwwk..",
    "...kwwwwwwwwk...",
    "....kkkkkkkk....",
    "....knnnnnnk....",
    "....kkkkkkkk....",
])

DOCUMENT_WINDOW = from_map([
    "................",
    "kkkkkkkkkkkkkkk.",
    "knnnnnnnnnnnwsk.",
    "knnnnnnnnnnnssk.",
    "kkkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwk.",
    "kwddddddddwwwwk.",
    "kwwwwwwwwwwwwwk.",
    "kwddddddddddwwk.",
    "kwwwwwwwwwwwwwk.",
    "kwdddddddwwwwwk.",
    "kwwwwwwwwwwwwwk.",
    "kwddddddddddwwk.",
    "kwwwwwwwwwwwwwk.",
    "kkkkkkkkkkkkkkk.",
    "................",
])


def prohibition_sign():
    """A red ring with a slash on white, from distances to the pixel centres."""
    grid = []
    for y in range(16):
        row = []
        for x in range(16):
            dx, dy = x + 0.5 - 8, y + 0.5 - 8
            r = math.hypot(dx, dy)
            slash = abs(dx - dy) / math.sqrt(2)
            if r > 7.6:
                row.append(None)
            elif r > 7.0:
                row.append(1)  # maroon rim keeps the ring crisp on light buttons
            elif r > 4.7 or slash < 1.25:
                row.append(9)
            else:
                row.append(WHITE)
        grid.append(row)
    return grid


def disabled(grid):
    """The greyed look of a disabled button: the darker parts of the motif engraved as grey
    with a white highlight one pixel down and right; light parts vanish."""
    size_y, size_x = len(grid), len(grid[0])
    dark = [[v is not None and sum(VGA16[v]) < 3 * 160 for v in row] for row in grid]
    out = [[None] * size_x for _ in range(size_y)]
    for y in range(size_y):
        for x in range(size_x):
            if dark[y][x] and y + 1 < size_y and x + 1 < size_x:
                out[y + 1][x + 1] = WHITE
    for y in range(size_y):
        for x in range(size_x):
            if dark[y][x]:
                out[y][x] = GRAY
    return out


def glyph_strip(motif):
    """32 x 16: enabled and disabled images side by side on olive, the transparent colour."""
    off = disabled(motif)
    rows = []
    for y in range(16):
        row = [OLIVE if v is None else v for v in motif[y]]
        row += [OLIVE if v is None else v for v in off[y]]
        rows.append(row)
    return rows


GLYPHS = [
    ("glyph_back", mirror(HAND_RIGHT)),
    ("glyph_continue", HAND_RIGHT),
    ("glyph_cancel", prohibition_sign()),
    ("glyph_finish", HAND_RAISED),
    ("glyph_uninstall", DOCUMENT_WINDOW),
]

# -- shapes sampled once per pixel ------------------------------------------------------------

SAMPLE = 8


def sampled(width, height, paint):
    """Draws with paint(draw, s) at SAMPLE times the size (s scales final pixel units), then
    takes each pixel's centre sample, so colours stay exact and edges stay hard. Returns rows of
    RGB or None (nothing drawn)."""
    big = Image.new("RGBA", (width * SAMPLE, height * SAMPLE), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), SAMPLE)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r, g, b, a = big.getpixel((x * SAMPLE + SAMPLE // 2, y * SAMPLE + SAMPLE // 2))
            row.append((r, g, b) if a else None)
        rows.append(row)
    return rows


def smooth(width, height, paint):
    """Like sampled, but each pixel gets the average colour of its drawn samples (smooth shading
    inside a hard silhouette: a pixel is drawn when at least half of it is covered)."""
    big = Image.new("RGBA", (width * SAMPLE, height * SAMPLE), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), SAMPLE)
    data = big.load()
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            total = [0, 0, 0]
            count = 0
            for sy in range(SAMPLE):
                for sx in range(SAMPLE):
                    r, g, b, a = data[x * SAMPLE + sx, y * SAMPLE + sy]
                    if a:
                        total[0] += r
                        total[1] += g
                        total[2] += b
                        count += 1
            row.append(tuple(round(c / count) for c in total) if count * 2 >= SAMPLE * SAMPLE else None)
        rows.append(row)
    return rows


def outlined(rows, colour):
    """Gives a silhouette a one-pixel outline of its own (inside its edge), so it stands out
    crisply on any background."""
    h, w = len(rows), len(rows[0])
    out = [list(row) for row in rows]
    for y in range(h):
        for x in range(w):
            if rows[y][x] is None:
                continue
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                if not (0 <= nx < w and 0 <= ny < h) or rows[ny][nx] is None:
                    out[y][x] = colour
                    break
    return out


def to_indices(rows):
    """RGB rows drawn with VGA16 colours only, as palette indices (None stays None)."""
    lookup = {c: i for i, c in enumerate(VGA16)}
    return [[None if c is None else lookup[c] for c in row] for row in rows]


def keyed(rows, key):
    """Fills the background with the transparent colour (the bottom-left pixel's)."""
    if rows[-1][0] is not None:
        raise ValueError("the bottom-left pixel must be background: it names the transparent colour")
    return [[key if c is None else c for c in row] for row in rows]


# -- the turtle, small ------------------------------------------------------------------------

def paint_turtle(cx, cy, k, shell=VGA16[2], light=VGA16[10], seam=VGA16[0], skin=VGA16[3], eye=VGA16[0]):
    """A turtle from above in a few flat colours; k is its shell's half-width in pixels."""

    def paint(draw, s):
        def e(x, y, rx, ry, fill):
            draw.ellipse([(cx + x * k - rx * k) * s, (cy + y * k - ry * k) * s,
                          (cx + x * k + rx * k) * s - 1, (cy + y * k + ry * k) * s - 1], fill=fill)

        for side in (-1, 1):
            e(side * 0.95, -0.7, 0.42, 0.3, skin)
            e(side * 0.8, 0.92, 0.3, 0.26, skin)
        e(0, -1.3, 0.4, 0.42, skin)
        draw.polygon([((cx - 0.15 * k) * s, (cy + 1.0 * k) * s), (cx * s, (cy + 1.42 * k) * s),
                      ((cx + 0.15 * k) * s, (cy + 1.0 * k) * s)], fill=skin)
        e(0, 0, 1.0, 1.18, seam)
        e(0, 0, 0.9, 1.08, skin)
        e(0, 0, 0.72, 0.9, shell)
        # A central plate, lit, with seams from its corners out to the rim.
        corners = [(cx + 0.4 * k * math.cos(math.pi / 3 * i + math.pi / 6),
                    cy + 0.46 * k * math.sin(math.pi / 3 * i + math.pi / 6)) for i in range(6)]
        for x, y in corners:
            # Out to where the ray leaves the shell's inner oval, not into the head or tail.
            reach = 1 / math.hypot((x - cx) / (0.72 * k), (y - cy) / (0.9 * k))
            draw.line([(x * s, y * s), ((cx + (x - cx) * reach) * s, (cy + (y - cy) * reach) * s)],
                      fill=seam, width=s)
        draw.polygon([(x * s, y * s) for x, y in corners], fill=light, outline=seam, width=s)
        for side in (-1, 1):
            draw.rectangle([(cx + side * 0.2 * k) * s - s / 2, (cy - 1.36 * k) * s - s / 2,
                            (cx + side * 0.2 * k) * s + s / 2 - 1, (cy - 1.36 * k) * s + s / 2 - 1], fill=eye)
    return paint


SHORTCUT_ARROW = from_map([
    "kkkkkkkkk",
    "kwwwwwwwk",
    "kwwkkkkwk",
    "kwwwkkkwk",
    "kwwkkkkwk",
    "kwkkkwkwk",
    "kwkkwwwwk",
    "kwwwwwwwk",
    "kkkkkkkkk",
])


# The program's icon sizes: what the shell shows in lists, on the desktop and in large views.
APP_ICON_SIZES = (16, 32, 48)


# At 16 pixels sampling loses the head and the legs, so the smallest turtle is drawn by hand
# (its left half; the right one is the mirror image).
SMALL_TURTLE_LEFT = [
    "......kk",
    ".....koo",
    ".....kko",
    ".kk..koo",
    "kookkkkk",
    "kookgggg",
    ".kkgggkk",
    "..kggkll",
    "..kgkllk",
    "..kggkll",
    "..kgggkk",
    ".kkggggk",
    "kookgggg",
    "kookkkkk",
    ".kk...ko",
    ".......k",
]


def app_icon(size=32):
    """The turtle filling a size-pixel square in 16 colours."""
    if size == 16:
        return from_map([half + half[::-1] for half in SMALL_TURTLE_LEFT])
    k = size / 32
    rows = outlined(sampled(size, size, paint_turtle(16 * k, 16.6 * k, 9.4 * k)), VGA16[0])
    return to_indices(rows)


def large_app_icon(size=256):
    """The same turtle in the pond pictures' colours, smoothed, for the shell's largest views:
    drawn at four times the size in the 32-pixel icon's units and reduced once."""
    big = size * 4
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    paint = paint_turtle(16, 16.6, 9.4, shell=(88, 134, 56), light=(168, 196, 96),
                         seam=(36, 58, 28), skin=(150, 172, 98), eye=(24, 30, 20))
    paint(ImageDraw.Draw(image), big // 32)
    # A dark rim around the whole silhouette, as the small icons' outline.
    rim = Image.new("RGBA", image.size, (36, 58, 28, 255))
    rim.putalpha(image.getchannel("A").filter(ImageFilter.MaxFilter(2 * (big // 128) + 1)))
    rim.alpha_composite(image)
    return rim.resize((size, size), Image.Resampling.LANCZOS)


def shortcut_icon():
    """A smaller turtle with the shortcut arrow in its lower left corner."""
    grid = to_indices(outlined(sampled(32, 32, paint_turtle(20, 14, 7.6)), VGA16[0]))
    for y, row in enumerate(SHORTCUT_ARROW):
        for x, v in enumerate(row):
            grid[32 - len(SHORTCUT_ARROW) + y][x] = v
    return grid


def icon_mask(grid):
    return [[v is not None for v in row] for row in grid], [[0 if v is None else v for v in row] for row in grid]


# -- pictures beside the heading and over the progress bars -----------------------------------

KEY = (255, 0, 255)  # transparent colour of the pictures; nothing else uses it


def folder_picture():
    """34 x 29: an open folder with the turtle's shell plate on its front."""

    def paint(draw, s):
        back, tab = (214, 160, 40), (196, 140, 30)
        draw.rounded_rectangle([2 * s, 3 * s, 14 * s, 9 * s], radius=2 * s, fill=tab)
        draw.rectangle([2 * s, 6 * s, 30 * s, 26 * s], fill=back)
        # The front flap, shaded from light at the top to warm at the bottom.
        for i in range(19 * s):
            t = i / (19 * s)
            colour = (round(254 - 18 * t), round(226 - 46 * t), round(110 - 60 * t))
            y = 9 * s + i
            left = 2 * s + (6 * s) * (1 - i / (19 * s)) * 0.5
            draw.line([(left, y), (33 * s - 1 - (3 * s) * (i / (19 * s)), y)], fill=colour)
        hexagon = [((18 + 5 * math.cos(math.pi / 3 * k + math.pi / 6)) * s,
                    (18 + 5 * math.sin(math.pi / 3 * k + math.pi / 6)) * s) for k in range(6)]
        draw.polygon(hexagon, fill=(80, 130, 52))
        inner = [((18 + 3 * math.cos(math.pi / 3 * k + math.pi / 6)) * s,
                  (17.6 + 3 * math.sin(math.pi / 3 * k + math.pi / 6)) * s) for k in range(6)]
        draw.polygon(inner, fill=(150, 192, 90))

    return keyed(outlined(smooth(34, 29, paint), (110, 70, 16)), KEY)


def package_picture():
    """16 x 16 over the overall progress: the package being installed, a box tied with green."""

    def paint(draw, s):
        draw.polygon([(1 * s, 5 * s), (8 * s, 2 * s), (15 * s, 5 * s), (8 * s, 8 * s)], fill=(236, 196, 130))
        draw.polygon([(1 * s, 5 * s), (8 * s, 8 * s), (8 * s, 15 * s), (1 * s, 12 * s)], fill=(200, 150, 84))
        draw.polygon([(8 * s, 8 * s), (15 * s, 5 * s), (15 * s, 12 * s), (8 * s, 15 * s)], fill=(164, 116, 58))
        draw.line([(4.5 * s, 3.5 * s), (11.5 * s, 6.5 * s), (11.5 * s, 13.5 * s)], fill=(60, 140, 60), width=2 * s)

    return keyed(outlined(smooth(16, 16, paint), (90, 58, 24)), KEY)


MEMBER_PICTURE = from_map([
    "...kkkkkkkk.....",
    "...kwwwwwwkk....",
    "...kwwwwwwksk...",
    "...kwddddwkkkk..",
    "...kwwwwwwwwwk..",
    "...kwdddddddwk..",
    "...kwwwwwwwwwk..",
    "...kwddddddwwk..",
    "...kwwwwwwwwwk..",
    "...kwdddddddwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwglgwwk..",
    "...kwwwwgggwwk..",
    "...kwwwwwwwwwk..",
    "...kkkkkkkkkkk..",
    "................",
])


def member_picture():
    """16 x 16, 16 colours, over the member's progress: the file being written, with a small
    green shell plate."""
    return [[13 if v is None else v for v in row] for row in MEMBER_PICTURE]
