"""The large pictures: six side pictures of a little turtle's day at its pond, and the product
logo. Everything is drawn at SCALE times the final size and reduced once, which gives smooth
edges without any anti-aliasing of our own."""

import math

from PIL import Image, ImageDraw, ImageFilter

SCALE = 4

# One palette for every picture keeps the set coherent.
SHELL_DARK = (44, 78, 38)
SHELL_MID = (88, 134, 56)
SHELL_LIGHT = (168, 196, 96)
SCUTE_LINE = (36, 58, 28)
SKIN = (150, 172, 98)
SKIN_DARK = (92, 116, 60)
EYE = (24, 30, 20)
PAD_DARK = (52, 112, 58)
PAD_LIGHT = (96, 160, 82)
PETAL = (246, 214, 224)
PETAL_EDGE = (214, 150, 176)
HEART = (250, 214, 96)
FOAM = (226, 244, 232)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


class Scene:
    """An RGB picture drawn at SCALE; coordinates are given in final pixels."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.image = Image.new("RGB", (width * SCALE, height * SCALE))

    # -- layers ------------------------------------------------------------------------------
    def layer(self):
        return Image.new("RGBA", self.image.size, (0, 0, 0, 0))

    def blend(self, layer, blur=0.0):
        if blur:
            layer = layer.filter(ImageFilter.GaussianBlur(blur * SCALE))
        self.image = Image.alpha_composite(self.image.convert("RGBA"), layer).convert("RGB")

    def finish(self):
        return self.image.resize((self.width, self.height), Image.Resampling.LANCZOS)

    # -- backgrounds -------------------------------------------------------------------------
    def vertical_gradient(self, stops):
        """stops: [(position 0..1, colour)], top to bottom."""
        draw = ImageDraw.Draw(self.image)
        rows = self.image.size[1]
        for y in range(rows):
            t = y / (rows - 1)
            for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
                if p0 <= t <= p1:
                    draw.line([(0, y), (self.image.size[0], y)], fill=lerp(c0, c1, (t - p0) / (p1 - p0)))
                    break

    def shell_lattice(self, size, colour, alpha, offset=(0, 0)):
        """A faint lattice of hexagons, the shell pattern that runs through every picture."""
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        step_x = size * 1.5
        step_y = size * math.sqrt(3)
        columns = int(self.width / step_x) + 3
        rows = int(self.height / step_y) + 3
        for col in range(-1, columns):
            for row in range(-1, rows):
                cx = offset[0] + col * step_x
                cy = offset[1] + row * step_y + (step_y / 2 if col % 2 else 0)
                points = [self.px(cx + size * math.cos(math.pi / 3 * k),
                                  cy + size * math.sin(math.pi / 3 * k)) for k in range(7)]
                draw.line(points, fill=colour + (alpha,), width=SCALE, joint="curve")
        self.blend(layer, blur=0.3)

    def light_bands(self, colour, alpha, count, phase):
        """Soft wavy bands of light, as sunlight plays on shallow water."""
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        for i in range(count):
            base = (i + 0.5) * self.height / count
            points = []
            for x in range(-4, self.width + 5, 2):
                y = base + 5 * math.sin(x / 13.0 + phase + i * 1.7) + 3 * math.sin(x / 5.0 + i)
                points.append(self.px(x, y))
            draw.line(points, fill=colour + (alpha,), width=3 * SCALE, joint="curve")
        self.blend(layer, blur=2.0)

    def vignette(self, strength):
        mask = Image.radial_gradient("L").resize(self.image.size, Image.Resampling.BILINEAR)
        mask = mask.point(lambda v: round(strength * max(0, v - 110) * 255 / 145))
        shade = Image.new("RGBA", self.image.size, (8, 24, 28, 255))
        shade.putalpha(mask)
        self.blend(shade)

    # -- helpers ---------------------------------------------------------------------------
    @staticmethod
    def px(x, y):
        return (x * SCALE, y * SCALE)

    def ellipse(self, draw, cx, cy, rx, ry, **kw):
        draw.ellipse([(cx - rx) * SCALE, (cy - ry) * SCALE, (cx + rx) * SCALE, (cy + ry) * SCALE], **kw)

    # -- elements ----------------------------------------------------------------------------
    def ripples(self, cx, cy, radii, colour=FOAM, alpha=90, squash=0.45):
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        for i, r in enumerate(radii):
            a = round(alpha * (1 - i / (len(radii) + 1)))
            self.ellipse(draw, cx, cy, r, r * squash, outline=colour + (a,), width=max(1, round(1.2 * SCALE)))
        self.blend(layer, blur=0.3)

    def bubbles(self, points):
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        for x, y, r in points:
            self.ellipse(draw, x, y, r, r, outline=FOAM + (150,), width=SCALE)
            self.ellipse(draw, x - r * 0.35, y - r * 0.35, r * 0.25, r * 0.25, fill=(255, 255, 255, 200))
        self.blend(layer)

    def lily_pad(self, cx, cy, r, notch_angle, tilt=0.8, flower=False):
        shadow = self.layer()
        sd = ImageDraw.Draw(shadow)
        self.ellipse(sd, cx + 2, cy + 3, r, r * tilt, fill=(0, 20, 20, 90))
        self.blend(shadow, blur=2.0)
        draw = ImageDraw.Draw(self.image)
        outline = []
        for k in range(73):
            a = notch_angle + 0.32 + k * (2 * math.pi - 0.64) / 72
            outline.append(self.px(cx + r * math.cos(a), cy + r * tilt * math.sin(a)))
        outline.append(self.px(cx, cy))
        draw.polygon(outline, fill=PAD_DARK)
        inner = []
        for k in range(73):
            a = notch_angle + 0.36 + k * (2 * math.pi - 0.72) / 72
            inner.append(self.px(cx + r * 0.88 * math.cos(a), cy + r * 0.88 * tilt * math.sin(a)))
        inner.append(self.px(cx, cy))
        draw.polygon(inner, fill=PAD_LIGHT)
        for k in range(9):
            a = notch_angle + 0.6 + k * (2 * math.pi - 1.2) / 8
            draw.line([self.px(cx, cy), self.px(cx + r * 0.8 * math.cos(a), cy + r * 0.8 * tilt * math.sin(a))],
                      fill=PAD_DARK, width=max(1, round(0.8 * SCALE)))
        if flower:
            self.flower(cx + r * 0.15, cy - r * 0.15 * tilt, r * 0.45)

    def flower(self, cx, cy, r):
        draw = ImageDraw.Draw(self.image)
        for ring, (count, length, colour) in enumerate(((8, 1.0, PETAL_EDGE), (8, 0.8, PETAL))):
            for k in range(count):
                a = k * 2 * math.pi / count + ring * math.pi / count
                tip = (cx + r * length * math.cos(a), cy + r * length * 0.7 * math.sin(a))
                side = 0.32 * r
                left = (cx + side * math.cos(a + 1.2), cy + side * 0.7 * math.sin(a + 1.2))
                right = (cx + side * math.cos(a - 1.2), cy + side * 0.7 * math.sin(a - 1.2))
                draw.polygon([self.px(*left), self.px(*tip), self.px(*right), self.px(cx, cy)], fill=colour)
        self.ellipse(draw, cx, cy, r * 0.22, r * 0.18, fill=HEART)

    def turtle(self, cx, cy, size, angle_deg, stroke=0.0, shade=True):
        """A turtle seen from above; size is the half-width of its shell, angle 0 = head up,
        stroke (0..1) moves the flippers through a swimming stroke."""
        angle = math.radians(angle_deg)
        cos_a, sin_a = math.cos(angle), math.sin(angle)

        def at(x, y):
            return self.px(cx + size * (x * cos_a - y * sin_a), cy + size * (x * sin_a + y * cos_a))

        def oval(x, y, rx, ry, turn=0.0, n=48):
            c, s = math.cos(turn), math.sin(turn)
            return [at(x + rx * math.cos(t) * c - ry * math.sin(t) * s,
                       y + rx * math.cos(t) * s + ry * math.sin(t) * c)
                    for t in (2 * math.pi * k / n for k in range(n))]

        if shade:
            shadow = self.layer()
            ImageDraw.Draw(shadow).polygon(oval(0.25, 0.35, 1.25, 1.55), fill=(0, 16, 20, 110))
            self.blend(shadow, blur=size * 0.25)
        draw = ImageDraw.Draw(self.image)
        line = max(1, round(size * 0.07 * SCALE))
        # Flippers and head first: the shell covers their roots.
        front = 0.55 + 0.35 * stroke
        back = 0.45 - 0.2 * stroke
        for side in (-1, 1):
            draw.polygon(oval(side * 0.98, -0.62, 0.66, 0.26, turn=side * front), fill=SKIN, outline=SKIN_DARK)
            draw.polygon(oval(side * 0.72, 0.98, 0.42, 0.22, turn=-side * back), fill=SKIN, outline=SKIN_DARK)
        draw.polygon([at(-0.16, 1.1), at(0, 1.62), at(0.16, 1.1)], fill=SKIN)
        draw.polygon(oval(0, -1.5, 0.34, 0.42), fill=SKIN, outline=SKIN_DARK)
        for side in (-1, 1):
            draw.polygon(oval(side * 0.16, -1.62, 0.07, 0.08, n=16), fill=EYE)
        # Shell: dark rim, then lighter layers towards its crown, lit from the upper left.
        draw.polygon(oval(0, 0, 1.0, 1.22), fill=SHELL_DARK)
        steps = 10
        for i in range(steps):
            t = i / (steps - 1)
            f = 0.9 - 0.55 * t
            colour = lerp(SHELL_MID, SHELL_LIGHT, t ** 1.5)
            draw.polygon(oval(-0.18 * t, -0.2 * t, f, f * 1.22), fill=colour)
        # Scutes: a column of hexagons along the spine, seams from their corners to the rim.
        spine = [-0.6, 0.0, 0.6]
        hex_w, hex_h = 0.3, 0.3
        for y in spine:
            hexagon = [at(hex_w * math.cos(math.pi / 3 * k), y + hex_h * math.sin(math.pi / 3 * k)) for k in range(7)]
            draw.line(hexagon, fill=SCUTE_LINE, width=line, joint="curve")
        for y in spine:
            for side in (-1, 1):
                corner = (side * hex_w, y)
                rim_angle = math.atan2(y * 0.9, side * 1.0)
                rim = (0.9 * math.cos(rim_angle), 1.1 * math.sin(rim_angle))
                draw.line([at(*corner), at(*rim)], fill=SCUTE_LINE, width=line)
        for y in (spine[0] - hex_h, spine[-1] + hex_h):
            draw.line([at(0, y), at(0, math.copysign(1.1, y))], fill=SCUTE_LINE, width=line)
        draw.line(oval(0, 0, 0.9, 1.1, n=64) + [oval(0, 0, 0.9, 1.1, n=64)[0]], fill=SCUTE_LINE, width=line)
        for k in range(22):
            t = 2 * math.pi * k / 22
            draw.line([at(0.9 * math.cos(t), 1.1 * math.sin(t)), at(1.0 * math.cos(t), 1.22 * math.sin(t))],
                      fill=SCUTE_LINE, width=line)


# -- the six side pictures --------------------------------------------------------------------

MORNING = [(0.0, (214, 230, 196)), (0.22, (120, 186, 176)), (0.7, (40, 112, 116)), (1.0, (16, 60, 72))]
DAY = [(0.0, (176, 218, 206)), (0.3, (92, 168, 164)), (1.0, (20, 72, 84))]
EVENING = [(0.0, (244, 196, 150)), (0.2, (168, 150, 150)), (0.55, (52, 88, 110)), (1.0, (14, 34, 58))]


def _water(scene, stops, phase):
    scene.vertical_gradient(stops)
    scene.light_bands((255, 255, 230), 40, 6, phase)
    scene.shell_lattice(14, (230, 250, 230), 26, offset=(phase * 3, 0))


def _pond(stops, phase, vignette):
    """Makes a side picture from its content: water of the given time of day below, a
    vignette over it."""

    def wrap(content):
        def draw(width, height):
            scene = Scene(width, height)
            _water(scene, stops, phase)
            content(scene)
            scene.vignette(vignette)
            return scene.finish()

        draw.__doc__ = content.__doc__
        return draw

    return wrap


@_pond(MORNING, 0.0, 0.5)
def side_portal(s):
    """Welcome: the turtle swims up towards the lily pads."""
    s.lily_pad(42, 46, 30, notch_angle=0.9, flower=True)
    s.lily_pad(118, 22, 18, notch_angle=2.4)
    s.ripples(76, 176, [30, 42, 54])
    s.turtle(76, 178, 26, -8, stroke=0.2)
    s.bubbles([(118, 242, 3.0), (110, 258, 2.0), (124, 266, 1.6)])
    s.lily_pad(128, 290, 24, notch_angle=4.0)


@_pond(DAY, 1.0, 0.55)
def side_licence(s):
    """Licence: a close look at the shell's pattern, a small turtle resting below."""
    mosaic = s.layer()
    draw = ImageDraw.Draw(mosaic)
    size = 22
    for col in range(-1, 6):
        for row in range(-1, 6):
            cx = col * size * 1.5 + 10
            cy = row * size * math.sqrt(3) + (size * math.sqrt(3) / 2 if col % 2 else 0) + 10
            # The plates melt into the water towards the middle of the picture.
            alpha = round(255 * min(1.0, max(0.0, 1.15 - cy / 180)) ** 1.2)
            if alpha == 0:
                continue
            for i in range(6):
                f = (size - 2.5) * (1 - i * 0.14)
                ring = [s.px(cx - i * 0.6 + f * math.cos(math.pi / 3 * k), cy - i * 0.6 + f * math.sin(math.pi / 3 * k))
                        for k in range(6)]
                draw.polygon(ring, fill=lerp(SHELL_MID, SHELL_LIGHT, i / 6) + (alpha,))
    s.blend(mosaic)
    s.ripples(90, 246, [22, 32])
    s.lily_pad(52, 262, 30, notch_angle=5.2)
    s.turtle(54, 254, 14, 35, stroke=0.0)


@_pond(DAY, 2.0, 0.5)
def side_dirpage(s):
    """Folder: stepping-stone pads lead the way to a home pad with a flower."""
    path = [(34, 270, 14, 1.0), (84, 226, 16, 2.2), (48, 176, 17, 0.4), (98, 128, 18, 3.6)]
    for x, y, r, notch in path:
        s.lily_pad(x, y, r, notch_angle=notch)
    s.lily_pad(62, 60, 38, notch_angle=1.2, flower=True)
    s.ripples(98, 128, [24, 32])
    s.turtle(98, 126, 16, -30, stroke=0.6)
    s.bubbles([(22, 120, 2.4), (30, 108, 1.6)])


@_pond(DAY, 3.0, 0.5)
def side_iconpage(s):
    """Shortcuts: a trail of bubbles marks the quick way across the pond."""
    s.lily_pad(110, 40, 28, notch_angle=2.0, flower=True)
    trail = [(40 + 60 * t + 10 * math.sin(t * 7), 262 - 210 * t, 1.4 + 1.6 * (1 - t)) for t in (i / 13 for i in range(14))]
    s.bubbles(trail[3:])
    s.ripples(46, 236, [20, 28, 36])
    s.turtle(46, 238, 20, 15, stroke=0.9)
    s.lily_pad(24, 110, 16, notch_angle=0.2)


@_pond(DAY, 4.0, 0.5)
def side_install(s):
    """Summary: the turtle family sets off together, the young ones in its wake."""
    s.lily_pad(30, 34, 26, notch_angle=0.6, flower=True)
    s.ripples(84, 112, [28, 40])
    s.turtle(84, 112, 22, 10, stroke=0.3)
    s.turtle(64, 188, 12, -12, stroke=0.8)
    s.turtle(94, 238, 11, 18, stroke=0.1)
    s.turtle(62, 280, 10, -6, stroke=0.5)
    s.bubbles([(126, 180, 2.6), (120, 196, 1.8)])


@_pond(EVENING, 5.0, 0.65)
def side_uninstall(s):
    """Uninstall: evening, and the turtle swims off into deeper water."""
    glow = s.layer()
    s.ellipse(ImageDraw.Draw(glow), 76, 36, 60, 14, fill=(255, 220, 150, 110))
    s.blend(glow, blur=6)
    s.lily_pad(118, 92, 20, notch_angle=3.0, flower=True)
    s.lily_pad(26, 62, 14, notch_angle=0.5)
    s.ripples(70, 236, [20, 30, 40, 50], colour=(250, 226, 196), alpha=70)
    s.turtle(70, 236, 15, 172, stroke=0.5)


SIDE_PICTURES = [
    ("side_portal", side_portal, 300),
    ("side_licence", side_licence, 300),
    ("side_dirpage", side_dirpage, 300),
    ("side_iconpage", side_iconpage, 300),
    ("side_install", side_install, 300),
    ("side_uninstall", side_uninstall, 299),
]

# -- the product logo -------------------------------------------------------------------------

# The name in straight strokes (no font needed): each letter is polylines in a unit box.
LETTERS = {
    "Z": (0.62, [[(0, 0), (1, 0), (0, 1), (1, 1)]]),
    "E": (0.54, [[(1, 0), (0, 0), (0, 1), (1, 1)], [(0, 0.5), (0.82, 0.5)]]),
    "L": (0.5, [[(0, 0), (0, 1), (1, 1)]]),
    "V": (0.7, [[(0, 0), (0.5, 1), (1, 0)]]),
    "I": (0.0, [[(0, 0), (0, 1)]]),
    "K": (0.6, [[(0, 0), (0, 1)], [(1, 0), (0, 0.58)], [(0.34, 0.38), (1, 1)]]),
}


# Pairs whose open sides face each other sit closer.
KERNING = {"LV": -0.14}


def _wordmark(scene, draw, text, x, y, height, weight, colour):
    for i, ch in enumerate(text):
        x += KERNING.get(text[i - 1:i + 1], 0.0) * height if i else 0.0
        width, strokes = LETTERS[ch]
        for stroke in strokes:
            points = [scene.px(x + px * width * height, y + py * height) for px, py in stroke]
            draw.line(points, fill=colour, width=round(weight * SCALE), joint="curve")
            for p in points[:1] + points[-1:]:
                r = weight * SCALE / 2
                draw.ellipse([p[0] - r, p[1] - r, p[0] + r, p[1] + r], fill=colour)
        x += width * height + weight + height * 0.2


def logo(width, height):
    s = Scene(width, height)
    s.vertical_gradient([(0.0, (150, 206, 194)), (0.5, (56, 138, 138)), (1.0, (20, 74, 86))])
    s.light_bands((255, 255, 230), 36, 3, 0.5)
    s.shell_lattice(10, (230, 250, 230), 28)
    s.ripples(52, 52, [34, 44], alpha=80, squash=0.6)
    s.turtle(52, 52, 21, 62, stroke=0.4)
    shadow = s.layer()
    _wordmark(s, ImageDraw.Draw(shadow), "ZELVIK", 118, 30, 44, 8.5, (8, 30, 34, 150))
    s.blend(shadow, blur=1.5)
    draw = ImageDraw.Draw(s.image)
    _wordmark(s, draw, "ZELVIK", 115, 27, 44, 8.5, (250, 244, 210))
    s.vignette(0.35)
    return s.finish()
