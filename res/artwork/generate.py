#!/usr/bin/python3
"""Draws every picture of Quorlin's user interface.

Writes the PNG resources to res/images/, the scroll bar skin to res/scrollbar.bmp and
the application icon to res/Quorlin.ico. The output is deterministic: running the script
again gives the same bytes, so the generated files are committed and the build never
needs this script.

Needs Debian's python3-pil and fonts-noto-cjk. Run it with the system Python:
    /usr/bin/python3 res/artwork/generate.py [--sheet contact.png]

Design rules kept throughout:
- one blue accent, white cards, soft shadows;
- a layered frame is a shadow around an opaque card, and the child dialog laid over the
  card shows the very same pixels (the child picture is cut out of the card), so the pair
  looks like one window;
- a button picture without alpha is drawn on the exact colour that lies behind it, so it
  sits seamlessly in its window.
"""

import argparse
import os

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
IMAGES = os.path.join(RES, "images")

SS = 4  # supersampling factor for shapes

FONT_DIR = "/usr/share/fonts/opentype/noto"
FONT_FACE_SC = 2  # index of "Noto Sans CJK SC" in the collections

# Palette.
ACCENT = (36, 120, 230)
ACCENT_HOVER = (66, 145, 245)
ACCENT_PRESSED = (22, 92, 190)
ACCENT_DEEP = (20, 84, 186)
ACCENT_LIGHT = (233, 242, 254)
ACCENT_LIGHTER = (245, 249, 255)
WHITE = (255, 255, 255)
INK = (36, 42, 54)
INK_SOFT = (104, 113, 128)
LINE = (222, 227, 234)
GREY_FILL = (243, 245, 248)
DISABLED_FILL = (238, 240, 243)
DISABLED_LINE = (214, 218, 224)
DISABLED_INK = (166, 172, 182)
TITLE_BAR = ACCENT
TITLE_BAR_HEIGHT = 30

_fonts = {}


def font(size, bold=False):
    key = (size, bold)
    if key not in _fonts:
        name = "NotoSansCJK-Bold.ttc" if bold else "NotoSansCJK-Regular.ttc"
        _fonts[key] = ImageFont.truetype(os.path.join(FONT_DIR, name), size, index=FONT_FACE_SC)
    return _fonts[key]


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (alpha,)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


# ---------------------------------------------------------------------------------------
# Drawing helpers. Shapes are drawn SS times larger and scaled down, which anti-aliases
# their edges; text is drawn at its final size, where FreeType renders it crisply.


class Canvas:
    """An RGBA picture with a supersampled drawing surface for shapes."""

    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w, h), fill)

    def shape(self, draw_fn, blur=0.0):
        """Composites what draw_fn(ImageDraw, k) draws at k = SS onto the picture."""
        layer = Image.new("RGBA", (self.w * SS, self.h * SS), (0, 0, 0, 0))
        draw_fn(ImageDraw.Draw(layer), SS)
        layer = layer.resize((self.w, self.h), Image.BOX)
        if blur:
            layer = layer.filter(ImageFilter.GaussianBlur(blur))
        self.img = Image.alpha_composite(self.img, layer)

    def rect(self, box, fill, radius=0, outline=None, width=1.0):
        def fn(d, k):
            b = [v * k for v in box]
            b[2] -= 1
            b[3] -= 1
            if outline:
                d.rounded_rectangle(b, radius * k, fill=outline)
                w = width * k
                inner = [b[0] + w, b[1] + w, b[2] - w, b[3] - w]
                d.rounded_rectangle(inner, max(0, (radius - width) * k), fill=fill)
            else:
                d.rounded_rectangle(b, radius * k, fill=fill)
        self.shape(fn)

    def shadow(self, box, radius, blur, colour=(10, 30, 70), alpha=60, dy=0):
        def fn(d, k):
            b = [box[0] * k, (box[1] + dy) * k, box[2] * k - 1, (box[3] + dy) * k - 1]
            d.rounded_rectangle(b, radius * k, fill=rgba(colour, alpha))
        self.shape(fn, blur)

    def text(self, xy, s, size, colour, bold=False, anchor="mm", alpha=255):
        layer = Image.new("RGBA", (self.w, self.h), (0, 0, 0, 0))
        ImageDraw.Draw(layer).text(xy, s, font=font(size, bold), fill=rgba(colour, alpha), anchor=anchor)
        self.img = Image.alpha_composite(self.img, layer)

    def paste(self, other, xy):
        layer = Image.new("RGBA", (self.w, self.h), (0, 0, 0, 0))
        layer.paste(other, xy)
        self.img = Image.alpha_composite(self.img, layer)

    def crop(self, box):
        return self.img.crop(box)


def text_width(s, size, bold=False):
    return font(size, bold).getlength(s)


def vertical_gradient(w, h, top, bottom):
    img = Image.new("RGBA", (w, h))
    px = img.load()
    for y in range(h):
        c = mix(top, bottom, y / max(1, h - 1))
        for x in range(w):
            px[x, y] = rgba(c)
    return img


# ---------------------------------------------------------------------------------------
# Glyphs, drawn with lines and shapes into a supersampled ImageDraw at scale k around a
# centre (cx, cy) in final pixels.


def glyph_cross(d, k, cx, cy, half, width, colour):
    for sx in (-1, 1):
        d.line([((cx - half) * k, (cy - sx * half) * k), ((cx + half) * k, (cy + sx * half) * k)],
               fill=colour, width=round(width * k))


def glyph_dash(d, k, cx, cy, half, width, colour):
    d.rectangle([(cx - half) * k, (cy - width / 2) * k, (cx + half) * k, (cy + width / 2) * k], fill=colour)


def glyph_check(d, k, cx, cy, size, width, colour):
    pts = [(cx - size * 0.45, cy + size * 0.02), (cx - size * 0.12, cy + size * 0.33), (cx + size * 0.48, cy - size * 0.3)]
    d.line([(x * k, y * k) for x, y in pts], fill=colour, width=round(width * k), joint="curve")


def glyph_shield(d, k, cx, cy, size, fill, outline=None, width=0):
    """A shield size high, centred on (cx, cy)."""
    w = size * 0.82
    top = cy - size / 2
    pts = []
    # Upper edge with a gentle dip, sides, and a curved point at the bottom.
    steps = 24
    pts.append((cx, top))
    pts.append((cx + w / 2, top + size * 0.14))
    pts.append((cx + w / 2, top + size * 0.45))
    for i in range(1, steps + 1):
        t = i / steps
        x = cx + (w / 2) * (1 - t) ** 1.2
        y = top + size * 0.45 + size * 0.55 * (1 - (1 - t) ** 2)
        pts.append((x, y))
    for i in range(steps - 1, -1, -1):
        t = i / steps
        x = cx - (w / 2) * (1 - t) ** 1.2
        y = top + size * 0.45 + size * 0.55 * (1 - (1 - t) ** 2)
        pts.append((x, y))
    pts.append((cx - w / 2, top + size * 0.14))
    poly = [(x * k, y * k) for x, y in pts]
    if outline:
        d.polygon(poly, fill=outline)
        # Inner shield inset by the outline width.
        inner = size - 2.4 * width
        glyph_shield(d, k, cx, cy + width * 0.1, inner, fill)
    else:
        d.polygon(poly, fill=fill)


def glyph_padlock(d, k, cx, cy, size, colour, open_=False, hole=None):
    """A padlock size high; the shackle swings open to the right when open_."""
    body_w, body_h = size * 0.78, size * 0.52
    bx0, by0 = cx - body_w / 2, cy - size / 2 + size * 0.48
    sw = size * 0.12  # shackle stroke
    sr = size * 0.26  # shackle radius
    scx = cx + (size * 0.3 if open_ else 0)
    scy = by0 - (size * 0.12 if open_ else 0)
    arc_box = [(scx - sr) * k, (scy - sr - size * 0.12) * k, (scx + sr) * k, (scy + sr - size * 0.12) * k]
    d.arc(arc_box, 180, 360, fill=colour, width=round(sw * k))
    leg_top = scy - size * 0.12
    d.line([((scx - sr + sw / 2) * k, leg_top * k), ((scx - sr + sw / 2) * k, (by0 + 1) * k)] if not open_ else
           [((scx - sr + sw / 2) * k, leg_top * k), ((scx - sr + sw / 2) * k, (leg_top + size * 0.08) * k)],
           fill=colour, width=round(sw * k))
    d.line([((scx + sr - sw / 2) * k, leg_top * k), ((scx + sr - sw / 2) * k, (by0 + 1) * k)],
           fill=colour, width=round(sw * k))
    d.rounded_rectangle([bx0 * k, by0 * k, (bx0 + body_w) * k, (by0 + body_h) * k], size * 0.1 * k, fill=colour)
    if hole:
        hx, hy = cx, by0 + body_h * 0.45
        r = size * 0.07
        d.ellipse([(hx - r) * k, (hy - r) * k, (hx + r) * k, (hy + r) * k], fill=hole)
        d.rectangle([(hx - r * 0.45) * k, hy * k, (hx + r * 0.45) * k, (hy + body_h * 0.3) * k], fill=hole)


def glyph_key(d, k, cx, cy, size, colour, hole):
    """A key lying diagonally, bow at the upper left."""
    r = size * 0.24
    bx, by = cx - size * 0.22, cy - size * 0.22
    d.ellipse([(bx - r) * k, (by - r) * k, (bx + r) * k, (by + r) * k], fill=colour)
    hr = r * 0.38
    d.ellipse([(bx - hr) * k, (by - hr) * k, (bx + hr) * k, (by + hr) * k], fill=hole)
    ex, ey = cx + size * 0.38, cy + size * 0.38
    sw = size * 0.13
    d.line([(bx * k, by * k), (ex * k, ey * k)], fill=colour, width=round(sw * k))
    # Two teeth at right angles to the shaft.
    for t, length in ((0.72, 0.17), (0.9, 0.13)):
        px_, py_ = bx + (ex - bx) * t, by + (ey - by) * t
        d.line([(px_ * k, py_ * k), ((px_ + size * length) * k, (py_ - size * length) * k)],
               fill=colour, width=round(sw * 0.9 * k))


def glyph_disk_off(d, k, cx, cy, size, colour, hole):
    """A shield with a power sign: encryption being switched off."""
    glyph_shield(d, k, cx, cy, size, colour)
    r = size * 0.2
    w = size * 0.075
    ccy = cy + size * 0.04
    d.arc([(cx - r) * k, (ccy - r) * k, (cx + r) * k, (ccy + r) * k], 300, 240 + 360, fill=hole, width=round(w * k))
    d.line([(cx * k, (ccy - r - w * 0.6) * k), (cx * k, (ccy - r * 0.15) * k)], fill=hole, width=round(w * k))


# ---------------------------------------------------------------------------------------
# Layered frames: a soft shadow around an opaque card whose content comes from `paint`.


def frame_pair(size, card, paint, shadow_blur=2.6, shadow_alpha=70, shadow_dy=1.5, radius=4):
    """Returns (frame picture, child picture).

    card is the child's rectangle inside the frame picture. paint(canvas, card) draws the
    window's face on an opaque canvas of the frame's size; the frame shows that face
    inside the card and the shadow outside, the child is the card cut out of the face.
    """
    w, h = size
    face = Canvas(w, h, rgba(WHITE))
    paint(face, card)
    frame = Canvas(w, h)
    frame.shadow(card, radius + 2, shadow_blur, alpha=shadow_alpha, dy=shadow_dy)
    # A one-pixel rim with rounded corners just outside the card outlines the window.
    frame.rect((card[0] - 1, card[1] - 1, card[2] + 1, card[3] + 1), rgba((40, 60, 90), 70), radius=radius)
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rectangle([card[0], card[1], card[2] - 1, card[3] - 1], fill=255)
    frame.img.paste(face.img, (0, 0), mask)
    return frame.img, face.crop(card)


def title_bar(c, card, title, height=TITLE_BAR_HEIGHT):
    x0, y0, x1, _ = card
    c.rect((x0, y0, x1, y0 + height), rgba(TITLE_BAR))
    c.shape(lambda d, k: glyph_shield(d, k, x0 + 15, y0 + height / 2, 14, rgba(WHITE)))
    c.shape(lambda d, k: glyph_shield(d, k, x0 + 15, y0 + height / 2 + 0.5, 8, rgba(TITLE_BAR)))
    c.text((x0 + 27, y0 + height / 2), title, 12, WHITE, bold=True, anchor="lm")


# ---------------------------------------------------------------------------------------
# Main window.

MAIN_W, MAIN_H = 400, 600
MAIN_CLOSE = (368, 0, 394, 34)
MAIN_MINIMISE = (340, 0, 366, 34)
MAIN_MORE_TOOLS = (50, 545, 108, 563)
ACTION_BUTTONS = {  # left edge of each 96 x 86 action button
    "save": 27, "unlock": 152, "off": 276,
}
ACTION_TOP = 265
HEADER_BOTTOM = 222


def paint_main(c, card):
    x0, y0, _, _ = card

    def at(x, y):
        return x0 + x, y0 + y

    # Header: a blue band that fades from a deep to a bright blue and ends in a soft curve.
    band = vertical_gradient(MAIN_W, HEADER_BOTTOM + 20, ACCENT_DEEP, ACCENT_HOVER)
    mask = Image.new("L", (MAIN_W * SS, (HEADER_BOTTOM + 20) * SS), 0)
    md = ImageDraw.Draw(mask)
    md.rectangle([0, 0, MAIN_W * SS, (HEADER_BOTTOM - 24) * SS], fill=255)
    md.ellipse([-120 * SS, (HEADER_BOTTOM - 70) * SS, (MAIN_W + 120) * SS, (HEADER_BOTTOM + 14) * SS], fill=255)
    mask = mask.resize((MAIN_W, HEADER_BOTTOM + 20), Image.BOX)
    c.img.paste(band, at(0, 0), mask)

    # Decorative rings in the header.
    def rings(d, k):
        for (cx, cy, r, a) in ((340, 70, 90, 22), (360, 40, 56, 18), (40, 190, 70, 14)):
            d.ellipse([(x0 + cx - r) * k, (y0 + cy - r) * k, (x0 + cx + r) * k, (y0 + cy + r) * k],
                      outline=rgba(WHITE, a), width=round(1.5 * k))
    c.shape(rings)

    # Title line: logo, name, and the version label that the window draws at (188, 16).
    c.shape(lambda d, k: glyph_shield(d, k, x0 + 20, y0 + 23, 16, rgba(WHITE)))
    c.shape(lambda d, k: glyph_padlock(d, k, x0 + 20, y0 + 23.5, 8, rgba(ACCENT_DEEP)))
    c.text(at(33, 23), "Quorlin", 14, WHITE, bold=True, anchor="lm")
    c.text(at(33 + text_width("Quorlin", 14, True) + 6, 23.5), "BitLocker 助手", 12, WHITE, anchor="lm", alpha=225)

    # Hero: a large shield with a padlock, the headline and the three things the tool does.
    def hero(d, k):
        cx, cy = x0 + 200, y0 + 94
        d.ellipse([(cx - 50) * k, (cy - 50) * k, (cx + 50) * k, (cy + 50) * k], fill=rgba(WHITE, 34))
        d.ellipse([(cx - 38) * k, (cy - 38) * k, (cx + 38) * k, (cy + 38) * k], fill=rgba(WHITE, 40))
        glyph_shield(d, k, cx, cy, 52, rgba(WHITE))
        glyph_padlock(d, k, cx, cy + 4, 24, rgba(ACCENT), hole=rgba(WHITE))
    c.shape(hero)
    c.text(at(200, 160), "BitLocker 加密磁盘助手", 19, WHITE, bold=True)
    c.text(at(200, 186), "保存恢复密钥  ·  解锁磁盘  ·  关闭加密", 12, WHITE, alpha=215)

    # Body.
    c.text(at(200, 250), "请选择要执行的操作", 12, INK_SOFT)
    hints = {"save": "备份恢复密码", "unlock": "输入密钥解锁", "off": "解除磁盘加密"}
    for name, left in ACTION_BUTTONS.items():
        c.text(at(left + 48, 364), hints[name], 12, INK_SOFT)

    # Tips card.
    c.rect((x0 + 20, y0 + 392, x0 + 380, y0 + 520), rgba(ACCENT_LIGHTER), radius=8, outline=rgba((216, 230, 250)))
    c.shape(lambda d, k: d.ellipse([(x0 + 34) * k, (y0 + 404) * k, (x0 + 48) * k, (y0 + 418) * k], fill=rgba(ACCENT)))
    c.text(at(41, 411), "i", 11, WHITE, bold=True)
    c.text(at(56, 411), "温馨提示", 13, INK, bold=True, anchor="lm")
    tips = [
        "工具启动后会自动检测本机的 BitLocker 加密磁盘。",
        "恢复密钥请保存到未加密的磁盘，并妥善保管。",
        "关闭加密后系统在后台解密，期间请勿断电。",
    ]
    for i, tip in enumerate(tips):
        y = 440 + i * 24
        c.shape(lambda d, k, y=y: d.ellipse([(x0 + 38) * k, (y0 + y - 2) * k, (x0 + 42) * k, (y0 + y + 2) * k],
                                              fill=rgba(ACCENT)))
        c.text(at(50, y), tip, 12, INK_SOFT, anchor="lm")

    # Footer: a hairline above the more-tools link and the agreement row.
    c.rect((x0 + 16, y0 + 536, x0 + 384, y0 + 537), rgba(LINE))

    def grid(d, k):
        for gx in (0, 1):
            for gy in (0, 1):
                bx, by = x0 + 34 + gx * 6, y0 + 548 + gy * 6
                d.rounded_rectangle([bx * k, by * k, (bx + 5) * k - 1, (by + 5) * k - 1], 1.2 * k, fill=rgba(ACCENT))
    c.shape(grid)


def main_buttons(main_bg):
    """The close and minimise buttons, cut from the header they sit on."""
    out = {}
    for ids, box, glyph in (((143, 144, 145, 146), MAIN_CLOSE, "cross"), ((150, 151, 152, 153), MAIN_MINIMISE, "dash")):
        for state, image_id in zip(("normal", "hover", "pressed", "disabled"), ids):
            c = Canvas(box[2] - box[0], box[3] - box[1])
            c.paste(main_bg.crop(box), (0, 0))
            # The glyph lines up with the title line, which the version label fixes.
            cx, cy = c.w / 2, 22
            if state == "hover":
                c.rect((1, cy - 11, c.w - 1, cy + 11), rgba(WHITE, 48), radius=4)
            elif state == "pressed":
                c.rect((1, cy - 11, c.w - 1, cy + 11), rgba((0, 20, 60), 60), radius=4)
            ink = rgba(WHITE, 110 if state == "disabled" else 255)
            if glyph == "cross":
                c.shape(lambda d, k: glyph_cross(d, k, cx, cy, 4.5, 1.5, ink))
            else:
                c.shape(lambda d, k: glyph_dash(d, k, cx, cy + 0.5, 5, 1.5, ink))
            out[image_id] = c.img.convert("RGB")
    return out


def more_tools_buttons(main_bg):
    out = {}
    colours = {"normal": ACCENT, "hover": ACCENT_HOVER, "pressed": ACCENT_PRESSED, "disabled": DISABLED_INK}
    for state, image_id in zip(("normal", "hover", "pressed", "disabled"), (158, 159, 160, 161)):
        c = Canvas(58, 18)
        c.paste(main_bg.crop(MAIN_MORE_TOOLS), (0, 0))
        c.text((1, 9), "更多工具", 12, colours[state], anchor="lm")
        if state in ("hover", "pressed"):
            c.rect((1, 16, 1 + round(text_width("更多工具", 12)), 17), rgba(colours[state]))
        out[image_id] = c.img.convert("RGB")
    return out


ACTION_GLYPHS = {
    "save": lambda d, k, cx, cy, s, ink, hole: glyph_key(d, k, cx, cy, s, ink, hole),
    "unlock": lambda d, k, cx, cy, s, ink, hole: glyph_padlock(d, k, cx, cy, s, ink, open_=True, hole=hole),
    "off": lambda d, k, cx, cy, s, ink, hole: glyph_disk_off(d, k, cx, cy, s, ink, hole),
}
ACTION_CAPTIONS = {"save": "保存密钥", "unlock": "解密磁盘", "off": "关闭加密"}
ACTION_IDS = {"off": (195, 196, 197, 198), "unlock": (199, 200, 201, 202), "save": (203, 204, 205, 206)}


def action_button(name, state):
    """A 96 x 86 card with a round icon and a caption; 4 pixels of margin hold its shadow."""
    c = Canvas(96, 86)
    card = (4, 3, 92, 81)
    dy = 1 if state == "pressed" else 0
    card = (card[0], card[1] + dy, card[2], card[3] + dy)
    if state == "normal":
        c.shadow(card, 10, 1.6, alpha=34, dy=1)
        fill, line, disc, ink, text = WHITE, LINE, ACCENT_LIGHT, ACCENT, INK
    elif state == "hover":
        c.shadow(card, 10, 2.0, colour=ACCENT, alpha=70, dy=1.5)
        fill, line, disc, ink, text = ACCENT_LIGHTER, ACCENT_HOVER, ACCENT, WHITE, ACCENT
    elif state == "pressed":
        fill, line, disc, ink, text = ACCENT_LIGHT, ACCENT_PRESSED, ACCENT_PRESSED, WHITE, ACCENT_PRESSED
    else:
        fill, line, disc, ink, text = DISABLED_FILL, DISABLED_LINE, (226, 229, 234), DISABLED_INK, DISABLED_INK
    c.rect(card, rgba(fill), radius=10, outline=rgba(line))
    cx, cy = 48, card[1] + 27
    hole = rgba(disc)
    c.shape(lambda d, k: d.ellipse([(cx - 19) * k, (cy - 19) * k, (cx + 19) * k, (cy + 19) * k], fill=rgba(disc)))
    c.shape(lambda d, k: ACTION_GLYPHS[name](d, k, cx, cy, 22, rgba(ink), hole))
    c.text((48, card[1] + 62), ACTION_CAPTIONS[name], 13, text, bold=(state != "disabled"))
    return c.img


def check_strip():
    """Three 16 x 16 cells: unchecked, checked, and a greyed mixed state."""
    c = Canvas(48, 16)
    box = (1.5, 1.5, 14.5, 14.5)

    def cell(x, fill, outline, mark):
        def fn(d, k):
            b = [(box[0] + x) * k, box[1] * k, (box[2] + x) * k, box[3] * k]
            d.rounded_rectangle(b, 3 * k, fill=outline)
            d.rounded_rectangle([b[0] + k, b[1] + k, b[2] - k, b[3] - k], 2.2 * k, fill=fill)
            if mark == "check":
                glyph_check(d, k, x + 8, 8, 9, 1.8, rgba(WHITE))
            elif mark == "dash":
                glyph_dash(d, k, x + 8, 8, 3.5, 1.8, rgba(WHITE))
        c.shape(fn)
    cell(0, rgba(WHITE), rgba((150, 160, 175)), None)
    cell(16, rgba(ACCENT), rgba(ACCENT), "check")
    cell(32, rgba((186, 192, 202)), rgba((186, 192, 202)), "dash")
    return c.img


# ---------------------------------------------------------------------------------------
# Dialog buttons.


def pill_button(size, caption, style, state, background=WHITE, radius=4, caption_size=12, display=None):
    """A filled ("primary") or outlined ("secondary") button drawn on an opaque background.

    display is the size the window stretches the picture to; the face is drawn at that
    size and resampled, so that it looks undistorted once stretched.
    """
    dw, dh = display or size
    c = Canvas(dw, dh, rgba(background))
    box = (0, 0, dw, dh)
    if style == "primary":
        fill = {"normal": ACCENT, "hover": ACCENT_HOVER, "pressed": ACCENT_PRESSED, "disabled": DISABLED_LINE}[state]
        c.rect(box, rgba(fill), radius=radius)
        ink = WHITE
    else:
        fill, line, ink = {
            "normal": (WHITE, (200, 207, 217), INK),
            "hover": (ACCENT_LIGHTER, ACCENT_HOVER, ACCENT),
            "pressed": (ACCENT_LIGHT, ACCENT_PRESSED, ACCENT_PRESSED),
            "disabled": (DISABLED_FILL, DISABLED_LINE, DISABLED_INK),
        }[state]
        c.rect(box, rgba(fill), radius=radius, outline=rgba(line))
    c.text((dw / 2, dh / 2), caption, caption_size, ink)
    img = c.img
    if (dw, dh) != tuple(size):
        img = img.resize(size, Image.LANCZOS)
    return img.convert("RGB")


def small_cross(background, state):
    """A 12 x 12 close cross on a title bar of the given colour."""
    c = Canvas(12, 12, rgba(background))
    if state == "hover":
        c.rect((0, 0, 12, 12), rgba(WHITE, 60), radius=3)
    elif state == "pressed":
        c.rect((0, 0, 12, 12), rgba((0, 20, 60), 70), radius=3)
    ink = rgba(WHITE, 110 if state == "disabled" else 255)
    c.shape(lambda d, k: glyph_cross(d, k, 6, 6, 3.3, 1.4, ink))
    return c.img.convert("RGB")


# ---------------------------------------------------------------------------------------
# Dialog faces.


def paint_prompt(c, card):
    """The message prompt, recovery key input and key file location chooser share this."""
    title_bar(c, card, "Quorlin")


def paint_disk_chooser(c, card):
    title_bar(c, card, "选择磁盘")


def paint_progress(c, card):
    """The please-wait card: all blue, with a spinner ring above the text."""
    x0, y0, x1, y1 = card
    w, h = c.w, c.h
    c.img.paste(vertical_gradient(w, h, ACCENT_HOVER, ACCENT), (0, 0))

    def spinner(d, k):
        cx, cy, r = (x0 + x1) / 2, y0 + 22, 10
        d.ellipse([(cx - r) * k, (cy - r) * k, (cx + r) * k, (cy + r) * k], outline=rgba(WHITE, 70), width=round(2.5 * k))
        d.arc([(cx - r) * k, (cy - r) * k, (cx + r) * k, (cy + r) * k], 200, 320, fill=rgba(WHITE), width=round(2.5 * k))
    c.shape(spinner)


def paint_survey(c, card):
    x0, y0, x1, y1 = card
    # A lower title bar: the survey's close button sits 6 pixels from the top.
    title_bar(c, card, "Quorlin", height=24)
    cx = (x0 + x1) / 2

    def badge(d, k):
        d.ellipse([(cx - 24) * k, (y0 + 36) * k, (cx + 24) * k, (y0 + 84) * k], fill=rgba(ACCENT_LIGHT))
        glyph_shield(d, k, cx, y0 + 60, 28, rgba(ACCENT))
        glyph_check(d, k, cx, y0 + 60, 11, 2.2, rgba(WHITE))
    c.shape(badge)
    c.text((cx, y0 + 104), "您的问题解决了吗？", 18, INK, bold=True)
    c.text((cx, y0 + 128), "告诉我们结果，帮助我们把工具做得更好", 12, INK_SOFT)
    c.text((cx, y0 + 420), "感谢您使用 Quorlin", 12, DISABLED_INK)


def paint_agreement(c, card):
    """The agreement viewer: a plain white sheet; the frame's shadow runs below it."""


def survey_button(kind, state):
    """266 x 60 with 9 pixels of margin around a 42 pixels high pill."""
    c = Canvas(266, 60)
    dy = 1 if state == "pressed" else 0
    pill = (9, 9 + dy, 257, 51 + dy)
    caption = {"solved": "问题已解决，继续保持！", "unsolved": "问题未解决，我要吐槽！", "more": "更多方案"}[kind]
    if state == "disabled":
        fill, line, ink = DISABLED_FILL, DISABLED_LINE, DISABLED_INK
    elif kind == "solved":
        fill = {"normal": ACCENT, "hover": ACCENT_HOVER, "pressed": ACCENT_PRESSED}[state]
        line, ink = fill, WHITE
        if state != "pressed":
            c.shadow(pill, 21, 3.0, colour=ACCENT, alpha=90 if state == "hover" else 60, dy=2)
    elif kind == "unsolved":
        fill, line, ink = {"normal": (WHITE, ACCENT, ACCENT), "hover": (ACCENT_LIGHTER, ACCENT_HOVER, ACCENT_HOVER),
                           "pressed": (ACCENT_LIGHT, ACCENT_PRESSED, ACCENT_PRESSED)}[state]
        if state == "hover":
            c.shadow(pill, 21, 3.0, colour=ACCENT, alpha=40, dy=2)
    else:
        fill, line, ink = {"normal": (GREY_FILL, GREY_FILL, INK), "hover": (ACCENT_LIGHT, ACCENT_LIGHT, ACCENT),
                           "pressed": ((218, 232, 252), (218, 232, 252), ACCENT_PRESSED)}[state]
    c.rect(pill, rgba(fill), radius=21, outline=rgba(line), width=1.2)
    icon_x = 133 - text_width(caption, 15, True) / 2 - 12
    cy = 30 + dy

    def icon(d, k):
        col = rgba(ink)
        if kind == "solved":
            glyph_check(d, k, icon_x, cy, 12, 2.2, col)
        elif kind == "unsolved":
            # A speech bubble.
            d.rounded_rectangle([(icon_x - 7) * k, (cy - 6) * k, (icon_x + 7) * k, (cy + 4) * k], 3 * k,
                                outline=col, width=round(1.6 * k))
            d.polygon([((icon_x - 3) * k, (cy + 3) * k), ((icon_x - 5) * k, (cy + 8) * k), (icon_x * k, (cy + 3) * k)],
                      fill=col)
        else:
            for i in (-1, 0, 1):
                d.ellipse([(icon_x + i * 5 - 1.5) * k, (cy - 1.5) * k, (icon_x + i * 5 + 1.5) * k, (cy + 1.5) * k],
                          fill=col)
    c.shape(icon)
    c.text((133 + 8, cy), caption, 15, ink, bold=(kind != "more"))
    return c.img


# ---------------------------------------------------------------------------------------
# Scroll bar skin: 9 x 3 tiles of 13 x 13.

TILE = 13
TRACK = (241, 243, 246)


def scrollbar_skin():
    c = Canvas(9 * TILE, 3 * TILE, rgba(TRACK))
    arrow_bg = [TRACK, (226, 230, 236), (206, 213, 223)]
    arrow_ink = [(134, 142, 155), (84, 92, 106), ACCENT_PRESSED]
    thumb = [(196, 202, 211), (160, 168, 181), ACCENT]

    def chevron(d, k, cx, cy, direction, colour):
        s = 3.0
        pts = {"up": [(-s, 1.5), (0, -1.5), (s, 1.5)], "down": [(-s, -1.5), (0, 1.5), (s, -1.5)],
               "left": [(1.5, -s), (-1.5, 0), (1.5, s)], "right": [(-1.5, -s), (1.5, 0), (-1.5, s)]}[direction]
        d.line([((cx + x) * k, (cy + y) * k) for x, y in pts], fill=colour, width=round(1.6 * k), joint="curve")

    for row in range(3):
        y0 = row * TILE
        for col, direction in ((0, "up"), (1, "down"), (4, "left"), (5, "right")):
            x0 = col * TILE
            c.rect((x0, y0, x0 + TILE, y0 + TILE), rgba(arrow_bg[row]))
            c.shape(lambda d, k, x0=x0, direction=direction:
                    chevron(d, k, x0 + TILE / 2, y0 + TILE / 2, direction, rgba(arrow_ink[row])))
        # Thumbs: a pill whose rounded ends fit the 3-pixel end caps.
        c.rect((2 * TILE + 3, y0, 2 * TILE + 10, y0 + TILE), rgba(thumb[row]), radius=3)
        c.rect((6 * TILE, y0 + 3, 6 * TILE + TILE, y0 + 10), rgba(thumb[row]), radius=3)
        # Tracks stay plain in every row (columns 3 and 7 keep the background).
    # Size grips: dots in the outer corner, right-hand corner in row 0, left-hand in row 1.
    for row, mirror in ((0, False), (1, True)):
        def dots(d, k, row=row, mirror=mirror):
            for i, j in ((2, 0), (1, 1), (2, 1), (0, 2), (1, 2), (2, 2)):
                gx = (i if not mirror else 2 - i) * 3 + (4 if not mirror else 2)
                gy = j * 3 + 4
                x = 8 * TILE + gx
                y = row * TILE + gy
                d.ellipse([x * k, y * k, (x + 1.6) * k, (y + 1.6) * k], fill=rgba((160, 168, 181)))
        c.shape(dots)
    img = c.img.convert("RGB")
    return img.convert("P", palette=Image.ADAPTIVE, colors=256)


# ---------------------------------------------------------------------------------------
# Application icon.


def icon_image(size):
    c = Canvas(size, size)
    m = size / 16
    radius = size * 0.22
    body = (m * 0.6, m * 0.6, size - m * 0.6, size - m * 0.6)

    def bg(d, k):
        d.rounded_rectangle([v * k for v in body], radius * k, fill=rgba(ACCENT))
    c.shape(bg)
    top = Canvas(size, size)
    top.img.paste(vertical_gradient(size, size, ACCENT_HOVER, ACCENT_DEEP), (0, 0))
    mask = c.img.getchannel("A")
    c.img.paste(top.img, (0, 0), mask)
    c.shape(lambda d, k: glyph_shield(d, k, size / 2, size * 0.5, size * 0.7, rgba(WHITE)))
    c.shape(lambda d, k: glyph_padlock(d, k, size / 2, size * 0.54, size * 0.34, rgba(ACCENT),
                                       hole=rgba(WHITE) if size >= 32 else None))
    return c.img


# ---------------------------------------------------------------------------------------


def build():
    """Returns {resource id: picture} for every PNG resource."""
    images = {}

    frame, child = frame_pair((410, 611), (5, 4, 405, 604), paint_main)
    images[138], images[139] = frame, child.convert("RGB")
    main_bg = images[139]
    images.update(main_buttons(main_bg))
    images.update(more_tools_buttons(main_bg))
    # The same strip serves the agreement check box and the list header's check-all box.
    images[140] = check_strip()
    images[209] = check_strip()
    for name, ids in ACTION_IDS.items():
        for state, image_id in zip(("normal", "hover", "pressed", "disabled"), ids):
            images[image_id] = action_button(name, state)

    # The progress prompt has a wide margin: its card is bigger than the child and rounded,
    # and the child is cut from its middle.
    def progress_pair():
        w, h = 232, 132
        card = (14, 12, 218, 116)
        outer = (8, 6, 224, 122)
        face = Canvas(w, h)
        paint_progress(face, card)
        frame = Canvas(w, h)
        frame.shadow(outer, 12, 4.0, alpha=80, dy=3)
        mask = Canvas(w, h)
        mask.rect(outer, (255, 255, 255, 255), radius=12)
        frame.img.paste(face.img, (0, 0), mask.img.getchannel("A"))
        return frame.img, face.crop(card)
    images[147], images[148] = progress_pair()

    frame, child = frame_pair((330, 150), (5, 3, 325, 143), paint_prompt)
    images[162], images[163] = frame, child.convert("RGB")
    frame, child = frame_pair((370, 240), (5, 3, 365, 233), paint_disk_chooser)
    images[216], images[217] = frame, child.convert("RGB")
    frame, child = frame_pair((410, 479), (5, 4, 405, 472), paint_survey)
    images[179], images[180] = frame, child

    # The agreement viewer's picture is both its frame and (without its last column and
    # 18 rows) its child's background: a white sheet with a shadow along the bottom.
    sheet = Canvas(541, 402)
    sheet.shadow((0, 0, 540, 384), 4, 3.0, alpha=90, dy=3)
    sheet.rect((0, 0, 540, 385), rgba((205, 213, 224)))
    sheet.rect((1, 1, 539, 384), rgba(WHITE))
    images[190] = sheet.img

    # Prompt buttons: 确认 and 是 filled, 取消 and 否 outlined, on the white body.
    states3 = ("normal", "hover", "pressed")
    for ids, caption, style in (((173, 174, 175), "确认", "primary"), ((176, 177, 178), "是", "primary"),
                                ((164, 165, 166), "取消", "secondary"), ((170, 171, 172), "否", "secondary")):
        for state, image_id in zip(states3, ids):
            images[image_id] = pill_button((55, 24), caption, style, state)
    for state, image_id in zip(("normal", "hover", "pressed", "disabled"), (218, 219, 220, 221)):
        images[image_id] = pill_button((48, 28), "浏览", "secondary", state, display=(55, 24))

    for state, image_id in zip(states3, (167, 168, 169)):
        images[image_id] = small_cross(TITLE_BAR, state)
    for state, image_id in zip(("normal", "hover", "pressed", "disabled"), (181, 182, 183, 184)):
        images[image_id] = small_cross(TITLE_BAR, state)

    for kind, ids in (("more", (154, 155, 156, 157)), ("solved", (186, 187, 188, 189)), ("unsolved", (191, 192, 193, 194))):
        for state, image_id in zip(("normal", "hover", "pressed", "disabled"), ids):
            images[image_id] = survey_button(kind, state)
    return images


def contact_sheet(images, path):
    """All pictures on a chequered ground (so alpha shows), each labelled with its id."""
    pad, x, y, row_h = 12, 12, 12, 0
    width = 1400
    placed = []
    for image_id in sorted(images):
        img = images[image_id]
        w, h = img.size
        if x + w + pad > width:
            x, y = pad, y + row_h + 26
            row_h = 0
        placed.append((image_id, x, y))
        x += max(w, 30) + pad
        row_h = max(row_h, h)
    height = y + row_h + 40
    sheet = Image.new("RGBA", (width, height), (200, 200, 200, 255))
    check = Image.new("RGBA", (16, 16), (200, 200, 200, 255))
    ImageDraw.Draw(check).rectangle([0, 0, 7, 7], fill=(170, 170, 170, 255))
    ImageDraw.Draw(check).rectangle([8, 8, 15, 15], fill=(170, 170, 170, 255))
    for cx in range(0, width, 16):
        for cy in range(0, height, 16):
            sheet.paste(check, (cx, cy))
    d = ImageDraw.Draw(sheet)
    for image_id, px, py in placed:
        img = images[image_id].convert("RGBA")
        sheet.alpha_composite(img, (px, py))
        d.text((px, py + img.size[1] + 2), str(image_id), fill=(0, 0, 0, 255), font=font(12))
    sheet.convert("RGB").save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sheet", help="also write a contact sheet of all pictures to this PNG")
    args = parser.parse_args()

    images = build()
    os.makedirs(IMAGES, exist_ok=True)
    for image_id, img in sorted(images.items()):
        img.save(os.path.join(IMAGES, "%d.png" % image_id), optimize=True)
    scrollbar_skin().save(os.path.join(RES, "scrollbar.bmp"))
    sizes = [256, 64, 48, 32, 24, 16]
    icons = [icon_image(s) for s in sizes]
    icons[0].save(os.path.join(RES, "Quorlin.ico"), sizes=[(s, s) for s in sizes], append_images=icons[1:],
                  bitmap_format="bmp")
    if args.sheet:
        contact_sheet(images, args.sheet)


if __name__ == "__main__":
    main()
