#!/usr/bin/env python3
"""Draws the program's pictures as SVG files named by resource id (157.svg, 156.svg, ...).

Run it from anywhere; it writes next to itself. The output is committed, so the build needs no
Python. Every picture is drawn from plain shapes here; nothing is traced or copied.

Only SVG Tiny features are used (no filters, patterns or clip paths) so that QtSvg renders
every file the same way everywhere.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FACE = "#d4d0c8"  # the dialogs' button face, so the pictures sit on it without a frame
FONT = "DejaVu Sans, Tahoma, Verdana, sans-serif"


def svg(width, height, body, defs=""):
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
        f'width="{width}" height="{height}" viewBox="0 0 {width} {height}">\n'
        f"<defs>{defs}</defs>\n{body}</svg>\n"
    )


def write(name, text):
    with open(os.path.join(HERE, name), "w", encoding="utf-8") as f:
        f.write(text)


def linear(gid, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return (
        f'<linearGradient id="{gid}" x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">{s}</linearGradient>'
    )


def radial(gid, stops, cx=0.5, cy=0.5, r=0.5):
    s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return f'<radialGradient id="{gid}" cx="{cx}" cy="{cy}" r="{r}">{s}</radialGradient>'


# --- Pieces of a graphics board -------------------------------------------------------------


def fan(cx, cy, r, blade="#2b2f36", hub="#c9ccd1", frame="#1b1d22", blades=9, pid="fan"):
    """A round fan seen from above: frame, curved blades and a hub with a sticker."""
    out = [f'<circle cx="{cx}" cy="{cy}" r="{r + 3}" fill="{frame}"/>']
    out.append(f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#0d0e11"/>')
    for i in range(blades):
        a = 2 * math.pi * i / blades
        def pt(rad, ang):
            return cx + rad * math.cos(ang), cy + rad * math.sin(ang)
        h = r * 0.32
        p0 = pt(h, a)
        p1 = pt(r * 0.97, a + 0.35)
        p2 = pt(r * 0.97, a + 0.62)
        p3 = pt(h, a + 0.45)
        c1 = pt(r * 0.7, a + 0.05)
        c2 = pt(r * 0.7, a + 0.62)
        out.append(
            f'<path d="M{p0[0]:.1f},{p0[1]:.1f} Q{c1[0]:.1f},{c1[1]:.1f} {p1[0]:.1f},{p1[1]:.1f} '
            f'L{p2[0]:.1f},{p2[1]:.1f} Q{c2[0]:.1f},{c2[1]:.1f} {p3[0]:.1f},{p3[1]:.1f} Z" '
            f'fill="{blade}" stroke="#4a505a" stroke-width="0.6"/>'
        )
    out.append(f'<circle cx="{cx}" cy="{cy}" r="{r * 0.34:.1f}" fill="url(#{pid}Hub)"/>')
    out.append(
        f'<circle cx="{cx}" cy="{cy}" r="{r * 0.34:.1f}" fill="none" stroke="#6d737c" '
        f'stroke-width="0.8"/>'
    )
    # Screw holes in the frame corners.
    return "\n".join(out)


def fan_defs(pid, hub):
    return radial(f"{pid}Hub", [(0, "#ffffff"), (0.6, hub), (1, "#7b8088")], 0.4, 0.35, 0.7)


def chip(x, y, w, h, fill="#1f2126", label=None, size=3.2):
    out = [
        f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="0.8" fill="{fill}" '
        f'stroke="#0a0a0a" stroke-width="0.5"/>',
        f'<rect x="{x + 0.8}" y="{y + 0.8}" width="{w - 1.6}" height="{h * 0.35:.1f}" '
        f'fill="#ffffff" fill-opacity="0.07"/>',
    ]
    if label:
        out.append(
            f'<text x="{x + w / 2}" y="{y + h / 2 + size / 3:.1f}" font-family="{FONT}" '
            f'font-size="{size}" fill="#9aa0a8" text-anchor="middle">{label}</text>'
        )
    return "\n".join(out)


def board(width, height, pcb, pcb_dark, name, memory, cooler, seed_caps):
    """A board seen from above at a slight angle: PCB, bracket, edge connector, chips, cooler."""
    defs = [
        linear("pcb", [(0, pcb), (1, pcb_dark)], 0, 0, 1, 1),
        linear("gold", [(0, "#f6d77a"), (0.5, "#c9962c"), (1, "#8a6414")]),
        linear("bracket", [(0, "#f2f3f5"), (0.5, "#a9adb3"), (1, "#7d8288")], 0, 0, 1, 0),
        linear("fins", [(0, "#eef0f2"), (1, "#8c9299")], 0, 0, 1, 0),
        linear("copper", [(0, "#f4c08a"), (0.5, "#c77a3a"), (1, "#8a4b1c")], 0, 0, 1, 1),
        fan_defs("fan", "#d6d9de"),
    ]
    b = [f'<rect width="{width}" height="{height}" fill="{FACE}"/>']
    # The board occupies a 200 x 120 frame, tilted towards the viewer.
    bw, bh = 200.0, 122.0
    sx = (width - bw * 0.98) / 2 + 6
    sy = (height - bh * 1.05) / 2 + 8
    t = f"translate({sx:.1f},{sy:.1f}) skewX(-8) scale(1,1.02)"
    g = [f'<g transform="{t}">']
    # Shadow.
    g.append(f'<rect x="5" y="7" width="{bw}" height="{bh}" rx="4" fill="#000" fill-opacity="0.22"/>')
    # PCB with its edge connector tab.
    g.append(
        f'<path d="M0,4 Q0,0 4,0 L{bw - 4},0 Q{bw},0 {bw},4 L{bw},{bh - 4} Q{bw},{bh} {bw - 4},{bh} '
        f'L150,{bh} L150,{bh + 9} L40,{bh + 9} L40,{bh} L4,{bh} Q0,{bh} 0,{bh - 4} Z" '
        f'fill="url(#pcb)" stroke="#0c0c0c" stroke-width="0.8"/>'
    )
    # Gold fingers.
    for i in range(36):
        x = 42 + i * 3
        if 84 <= x <= 88:
            continue  # the key notch
        g.append(f'<rect x="{x}" y="{bh + 1}" width="1.8" height="7.4" fill="url(#gold)"/>')
    # Traces: faint lines that give the board texture.
    for i in range(9):
        y = 10 + i * 12
        g.append(
            f'<path d="M12,{y} L60,{y} L70,{y + 6} L{bw - 12},{y + 6}" fill="none" '
            f'stroke="#ffffff" stroke-opacity="0.06" stroke-width="1.2"/>'
        )
    # Mounting holes.
    for x, y in ((8, 8), (bw - 8, 8), (bw - 8, bh - 8)):
        g.append(f'<circle cx="{x}" cy="{y}" r="3.2" fill="url(#gold)"/>')
        g.append(f'<circle cx="{x}" cy="{y}" r="1.6" fill="#222"/>')
    # Memory chips.
    for (x, y, w, h) in memory:
        g.append(chip(x, y, w, h, label="DDR", size=3.0))
    # Small parts: capacitors and resistors.
    import random
    rnd = random.Random(seed_caps)
    for _ in range(26):
        x = rnd.uniform(14, bw - 14)
        y = rnd.uniform(bh - 26, bh - 8)
        g.append(
            f'<rect x="{x:.1f}" y="{y:.1f}" width="3" height="1.6" fill="#b9a27a" '
            f'stroke="#5b4a2a" stroke-width="0.3"/>'
        )
    for x in (22, 30, 38):
        g.append(f'<circle cx="{x}" cy="{bh - 18}" r="3.4" fill="#3a3f47" stroke="#111" stroke-width="0.5"/>')
        g.append(f'<circle cx="{x}" cy="{bh - 18}" r="1.6" fill="#9aa1ab"/>')
    # Power connector.
    g.append(f'<rect x="{bw - 26}" y="4" width="16" height="9" fill="#f1efe6" stroke="#777" stroke-width="0.5"/>')
    # Cooler.
    g.append(cooler)
    # Model name silk-screened near the connector.
    g.append(
        f'<text x="{bw - 15}" y="{bh - 5}" font-family="{FONT}" font-size="7" font-weight="bold" '
        f'fill="#ffffff" fill-opacity="0.75" text-anchor="end">{name}</text>'
    )
    g.append("</g>")
    # Bracket on the left, drawn upright in front of the board's end.
    bx = sx - 10
    by = sy - 6
    br = [
        f'<path d="M{bx},{by} L{bx + 10},{by} L{bx + 10},{by + bh + 18} L{bx + 4},{by + bh + 26} '
        f'L{bx},{by + bh + 26} Z" fill="url(#bracket)" stroke="#5d6167" stroke-width="0.6"/>',
        f'<rect x="{bx - 3}" y="{by - 4}" width="16" height="5" fill="url(#bracket)" '
        f'stroke="#5d6167" stroke-width="0.6"/>',
    ]
    # Connectors: VGA (blue), S-video (round), DVI (white).
    br.append(
        f'<rect x="{bx + 2}" y="{by + 14}" width="6" height="22" rx="1.5" fill="#2450a8" stroke="#16306a" stroke-width="0.5"/>'
    )
    br.append(f'<circle cx="{bx + 5}" cy="{by + 50}" r="3.6" fill="#1c1c1c"/>')
    br.append(
        f'<rect x="{bx + 2}" y="{by + 64}" width="6" height="30" rx="1" fill="#f4f4f0" stroke="#888" stroke-width="0.5"/>'
    )
    for i in range(6):
        br.append(f'<rect x="{bx + 4}" y="{by + 68 + i * 4}" width="2" height="2" fill="#777"/>')
    body = "\n".join(b + g + br) + "\n"
    return svg(width, height, body, "".join(defs))


def fan_cooler(cx, cy, r, shroud, shroud_dark, sticker):
    """A shroud with a fan in it, as on the higher boards."""
    w = r * 2 + 26
    h = r * 2 + 18
    x = cx - w / 2
    y = cy - h / 2
    return "\n".join(
        [
            f'<rect x="{x + 3}" y="{y + 4}" width="{w}" height="{h}" rx="6" fill="#000" fill-opacity="0.3"/>',
            f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="6" fill="{shroud}" stroke="{shroud_dark}" stroke-width="1"/>',
            f'<rect x="{x + 3}" y="{y + 3}" width="{w - 6}" height="{h * 0.25:.1f}" rx="4" fill="#ffffff" fill-opacity="0.18"/>',
        ]
        + [
            f'<rect x="{x + 4}" y="{y + 6 + i * 6}" width="6" height="2.4" fill="{shroud_dark}"/>'
            for i in range(int((h - 10) / 6))
        ]
        + [
            fan(cx + 5, cy, r),
            f'<circle cx="{cx + 5}" cy="{cy}" r="{r * 0.22:.1f}" fill="{sticker}" fill-opacity="0.85"/>',
        ]
    )


def heatsink_cooler(x, y, w, h, fan_r):
    """Copper fins with a small fan on top, as on the simpler boards."""
    out = [
        f'<rect x="{x + 3}" y="{y + 4}" width="{w}" height="{h}" rx="3" fill="#000" fill-opacity="0.3"/>',
        f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="3" fill="url(#copper)" stroke="#6b3a14" stroke-width="0.8"/>',
    ]
    for i in range(int(w / 4)):
        out.append(
            f'<rect x="{x + 2 + i * 4}" y="{y + 2}" width="1.4" height="{h - 4}" fill="#5e3312" fill-opacity="0.55"/>'
        )
    out.append(fan(x + w / 2, y + h / 2, fan_r))
    return "\n".join(out)


def boards():
    # 156: RADEON 9700 PRO, 236 x 210: red board, big shroud.
    mem8 = [(64, 8, 14, 11), (82, 8, 14, 11), (134, 8, 14, 11), (152, 8, 14, 11),
            (64, 92, 14, 11), (82, 92, 14, 11), (134, 92, 14, 11), (152, 92, 14, 11)]
    write("156.svg", board(236, 210, "#c0262d", "#7a1217", "9700 PRO", mem8,
                           fan_cooler(112, 56, 28, "#2d3440", "#161a20", "#c0262d"), 9700))
    # 169: RADEON 9500 PRO, 239 x 199: dark blue board, shroud with a silver fan.
    mem4 = [(62, 10, 14, 11), (80, 10, 14, 11), (144, 10, 14, 11), (162, 10, 14, 11)]
    write("169.svg", board(239, 199, "#24508f", "#102a52", "9500 PRO", mem4,
                           fan_cooler(114, 58, 26, "#a9b0ba", "#5e6570", "#24508f"), 9500))
    # 173: RADEON 9200, 225 x 211: green board, copper fins with a small fan.
    mem4b = [(60, 12, 14, 11), (60, 92, 14, 11), (150, 12, 14, 11), (150, 92, 14, 11)]
    write("173.svg", board(225, 211, "#2f7d3a", "#14461d", "9200", mem4b,
                           heatsink_cooler(84, 30, 56, 56, 19), 9200))
    # 176: RADEON 9600 PRO / 9800 PRO, 244 x 194: black board, red shroud.
    write("176.svg", board(244, 194, "#2a2c31", "#0e0f12", "9600/9800 PRO", mem8,
                           fan_cooler(112, 56, 28, "#b3262b", "#5e1013", "#e8e8e8"), 9800))


# --- Banner, logo, small pictures and icons ---------------------------------------------------


def wave_path(x0, x1, y0, amp, step, phases):
    pts = []
    x = x0
    while x <= x1:
        v = sum(a * math.sin(x * f + p) for a, f, p in phases)
        pts.append(f"{x:.1f},{y0 + amp * v:.1f}")
        x += step
    return "M" + " L".join(pts)


def banner():
    w, h = 625, 155
    defs = "".join([
        linear("sky", [(0, "#0b1d3a"), (0.55, "#0f2f55"), (1, "#06101f")]),
        linear("glow", [(0, "#1cff8a"), (0.5, "#7dffc4"), (1, "#1cff8a")], 0, 0, 1, 0),
        linear("fade", [(0, "#06101f"), (1, "#06101f")], 0, 0, 1, 0),
        radial("halo", [(0, "#2f7bd6"), (1, "#0b1d3a")], 0.72, 0.45, 0.6),
    ])
    b = [f'<rect width="{w}" height="{h}" fill="url(#sky)"/>',
         f'<rect width="{w}" height="{h}" fill="url(#halo)" fill-opacity="0.55"/>']
    # A faint grid like the charts'.
    for x in range(0, w, 16):
        b.append(f'<line x1="{x}" y1="0" x2="{x}" y2="{h}" stroke="#2c8a52" stroke-opacity="0.16" stroke-width="1"/>')
    for y in range(3, h, 16):
        b.append(f'<line x1="0" y1="{y}" x2="{w}" y2="{y}" stroke="#2c8a52" stroke-opacity="0.16" stroke-width="1"/>')
    # Waveforms: a wide soft trace under a sharp one, and a second quieter trace.
    main = wave_path(0, w, 104, 16, 3, [(1.0, 0.021, 0.4), (0.45, 0.067, 1.3), (0.2, 0.19, 0.2)])
    second = wave_path(0, w, 86, 10, 3, [(1.0, 0.013, 2.0), (0.5, 0.051, 0.1)])
    b.append(f'<path d="{second}" fill="none" stroke="#f5d142" stroke-opacity="0.55" stroke-width="1.6"/>')
    b.append(f'<path d="{main}" fill="none" stroke="#1cff8a" stroke-opacity="0.22" stroke-width="9"/>')
    b.append(f'<path d="{main}" fill="none" stroke="#1cff8a" stroke-opacity="0.35" stroke-width="4"/>')
    b.append(f'<path d="{main}" fill="none" stroke="url(#glow)" stroke-width="1.8"/>')
    # Title.
    b.append(f'<text x="28" y="58" font-family="{FONT}" font-size="34" font-weight="bold" fill="#000000" fill-opacity="0.45">Pelagon Graphics Monitor</text>')
    b.append(f'<text x="26" y="56" font-family="{FONT}" font-size="34" font-weight="bold" fill="#ffffff">Pelagon Graphics Monitor</text>')
    b.append(f'<text x="28" y="78" font-family="{FONT}" font-size="13" fill="#9cc7ff" letter-spacing="2">ZEL  \u00b7  HARDWARE MONITOR  \u00b7  CLOCK TUNING</text>')
    # A small chip mark at the right.
    b.append(chip_mark(548, 18, 54))
    write("157.svg", svg(w, h, "\n".join(b) + "\n", defs + chip_mark_defs()))


def chip_mark_defs():
    return "".join([
        linear("markBody", [(0, "#3a7bd5"), (1, "#123a7a")], 0, 0, 1, 1),
        linear("markWave", [(0, "#7dffc4"), (1, "#1cff8a")], 0, 0, 1, 0),
    ])


def chip_mark(x, y, s):
    """The program's own mark: a chip whose face carries a pulse trace."""
    out = []
    n = 5
    pin = s * 0.06
    for i in range(n):
        p = x + s * 0.2 + i * (s * 0.6) / (n - 1) - pin / 2
        q = y + s * 0.2 + i * (s * 0.6) / (n - 1) - pin / 2
        out.append(f'<rect x="{p:.1f}" y="{y:.1f}" width="{pin:.1f}" height="{s * 0.14:.1f}" fill="#8a9099"/>')
        out.append(f'<rect x="{p:.1f}" y="{y + s * 0.86:.1f}" width="{pin:.1f}" height="{s * 0.14:.1f}" fill="#8a9099"/>')
        out.append(f'<rect x="{x:.1f}" y="{q:.1f}" width="{s * 0.14:.1f}" height="{pin:.1f}" fill="#8a9099"/>')
        out.append(f'<rect x="{x + s * 0.86:.1f}" y="{q:.1f}" width="{s * 0.14:.1f}" height="{pin:.1f}" fill="#8a9099"/>')
    out.append(f'<rect x="{x + s * 0.16:.1f}" y="{y + s * 0.16:.1f}" width="{s * 0.68:.1f}" height="{s * 0.68:.1f}" rx="{s * 0.07:.1f}" fill="url(#markBody)" stroke="#0a1f45" stroke-width="{max(s * 0.02, 0.6):.1f}"/>')
    # Pulse: flat, up, down, flat.
    a = x + s * 0.2
    m = y + s * 0.55
    u = s * 0.6 / 10
    d = (f"M{a:.1f},{m:.1f} L{a + 3 * u:.1f},{m:.1f} L{a + 4 * u:.1f},{m - s * 0.25:.1f} "
         f"L{a + 5.5 * u:.1f},{m + s * 0.15:.1f} L{a + 6.5 * u:.1f},{m:.1f} L{a + 10 * u:.1f},{m:.1f}")
    out.append(f'<path d="{d}" fill="none" stroke="url(#markWave)" stroke-width="{max(s * 0.07, 1.4):.1f}" stroke-linejoin="round" stroke-linecap="round"/>')
    return "\n".join(out)


def logo():
    # 179: 32 x 33, on the dialog face.
    body = f'<rect width="32" height="33" fill="{FACE}"/>\n' + chip_mark(1, 1.5, 30) + "\n"
    write("179.svg", svg(32, 33, body, chip_mark_defs()))


def scale_bar():
    # 147: the strip over a clock slider, 200 x 5: low clocks blue, high clocks red, ticks.
    w, h = 200, 5
    defs = linear("heat", [(0, "#2f6fd0"), (0.5, "#35b04a"), (0.8, "#f0c419"), (1, "#d8312a")], 0, 0, 1, 0)
    b = [f'<rect width="{w}" height="{h}" fill="{FACE}"/>',
         f'<path d="M2,4 L{w - 2},0.5 L{w - 2},4 Z" fill="url(#heat)"/>']
    for i in range(0, 11):
        x = 2 + i * (w - 4) / 10
        b.append(f'<line x1="{x:.1f}" y1="4" x2="{x:.1f}" y2="5" stroke="#404040" stroke-width="1"/>')
    write("147.svg", svg(w, h, "\n".join(b) + "\n", defs))


def fan_picture():
    # 162: beside the fan speed, 19 x 18.
    defs = fan_defs("fan", "#dfe3e8")
    body = f'<rect width="19" height="18" fill="{FACE}"/>\n' + fan(9.5, 9, 7, blade="#2e6bc6", frame="#1d2c44", blades=5) + "\n"
    write("162.svg", svg(19, 18, body, defs))


def thermometer_picture():
    # 163: beside the VPU temperature, 19 x 18.
    defs = linear("glass", [(0, "#ffffff"), (1, "#c8ccd2")], 0, 0, 1, 0)
    body = "\n".join([
        f'<rect width="19" height="18" fill="{FACE}"/>',
        '<rect x="7.5" y="1" width="4" height="12" rx="2" fill="url(#glass)" stroke="#555" stroke-width="0.8"/>',
        '<circle cx="9.5" cy="14" r="3.3" fill="#d8312a" stroke="#7a1410" stroke-width="0.8"/>',
        '<rect x="8.6" y="5" width="1.8" height="8" fill="#d8312a"/>',
        '<line x1="12.5" y1="3.5" x2="14" y2="3.5" stroke="#555" stroke-width="0.7"/>',
        '<line x1="12.5" y1="6.5" x2="14" y2="6.5" stroke="#555" stroke-width="0.7"/>',
        '<line x1="12.5" y1="9.5" x2="14" y2="9.5" stroke="#555" stroke-width="0.7"/>',
        '<circle cx="8.6" cy="13.2" r="0.9" fill="#ffffff" fill-opacity="0.7"/>',
    ]) + "\n"
    write("163.svg", svg(19, 18, body, defs))


def confirm_picture():
    # 143: the confirm dialog's decoration, 102 x 31: a gauge with its needle past the middle
    # and a clock trace, on a dark panel.
    w, h = 102, 31
    defs = "".join([
        linear("panel", [(0, "#17365f"), (1, "#0a1a30")]),
        linear("arc", [(0, "#35b04a"), (0.6, "#f0c419"), (1, "#d8312a")], 0, 0, 1, 0),
    ])
    cx, cy, r = 17, 24, 13
    b = [f'<rect width="{w}" height="{h}" fill="{FACE}"/>',
         f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="4" fill="url(#panel)" stroke="#0a1a30"/>',
         f'<path d="M{cx - r},{cy} A{r},{r} 0 0 1 {cx + r},{cy}" fill="none" stroke="url(#arc)" stroke-width="3"/>']
    for i in range(7):
        a = math.pi + i * math.pi / 6
        x1, y1 = cx + (r - 5) * math.cos(a), cy + (r - 5) * math.sin(a)
        x2, y2 = cx + (r - 3) * math.cos(a), cy + (r - 3) * math.sin(a)
        b.append(f'<line x1="{x1:.1f}" y1="{y1:.1f}" x2="{x2:.1f}" y2="{y2:.1f}" stroke="#cfd8e6" stroke-width="0.8"/>')
    a = math.pi * 1.68
    b.append(f'<line x1="{cx}" y1="{cy}" x2="{cx + (r - 2) * math.cos(a):.1f}" y2="{cy + (r - 2) * math.sin(a):.1f}" stroke="#ffffff" stroke-width="1.6" stroke-linecap="round"/>')
    b.append(f'<circle cx="{cx}" cy="{cy}" r="2" fill="#ffffff"/>')
    # A clock signal whose period shortens: the new, faster clock.
    x = 36.0
    d = f"M{x},21"
    period = 12.0
    while x < 96:
        half = period / 2
        d += f" L{x},9 L{x + half:.1f},9 L{x + half:.1f},21 L{min(x + period, 96):.1f},21"
        x += period
        period = max(period * 0.8, 4.0)
    b.append(f'<path d="{d}" fill="none" stroke="#1cff8a" stroke-width="1.4" stroke-linejoin="round"/>')
    write("143.svg", svg(w, h, "\n".join(b) + "\n", defs))


def tray_icon():
    # 128: 32 x 32, few flat colours (the tray shows it small): the chart's green trace on a
    # dark screen with a board edge under it.
    body = "\n".join([
        '<rect x="1" y="3" width="30" height="22" rx="3" fill="#0b1d3a" stroke="#000080" stroke-width="1"/>',
        '<line x1="3" y1="9" x2="29" y2="9" stroke="#008000" stroke-width="1"/>',
        '<line x1="3" y1="16" x2="29" y2="16" stroke="#008000" stroke-width="1"/>',
        '<line x1="11" y1="5" x2="11" y2="23" stroke="#008000" stroke-width="1"/>',
        '<line x1="21" y1="5" x2="21" y2="23" stroke="#008000" stroke-width="1"/>',
        '<path d="M3,19 L9,19 L12,8 L16,22 L19,13 L22,16 L29,16" fill="none" stroke="#00ff00" stroke-width="2.2" stroke-linejoin="round" stroke-linecap="round"/>',
        '<rect x="4" y="26" width="24" height="4" fill="#008000" stroke="#004000" stroke-width="0.8"/>',
        '<rect x="6" y="30" width="3" height="2" fill="#ffff00"/>',
        '<rect x="11" y="30" width="3" height="2" fill="#ffff00"/>',
        '<rect x="16" y="30" width="3" height="2" fill="#ffff00"/>',
        '<rect x="21" y="30" width="3" height="2" fill="#ffff00"/>',
    ]) + "\n"
    write("128.svg", svg(32, 32, body))


def hint_icon():
    # 164: 32 x 32, the details dialog's hint: a light bulb.
    defs = "".join([
        radial("bulb", [(0, "#fffbe0"), (0.55, "#ffe066"), (1, "#e0a800")], 0.4, 0.35, 0.65),
        linear("base", [(0, "#d9dde2"), (0.5, "#8f969f"), (1, "#c9ced4")], 0, 0, 1, 0),
    ])
    body = "\n".join([
        '<path d="M16,2.5 C9.5,2.5 5.5,7.2 5.5,12.6 C5.5,16.4 7.6,18.6 9.6,20.8 C10.8,22.1 11.3,23.2 11.3,24.5 L20.7,24.5 C20.7,23.2 21.2,22.1 22.4,20.8 C24.4,18.6 26.5,16.4 26.5,12.6 C26.5,7.2 22.5,2.5 16,2.5 Z" fill="url(#bulb)" stroke="#9a7400" stroke-width="1"/>',
        '<path d="M13.5,21 L13.5,16 M18.5,21 L18.5,16" fill="none" stroke="#9a7400" stroke-width="1"/>',
        '<path d="M12.5,16 Q13.5,13.5 14.5,16 Q15.5,13.5 16.5,16 Q17.5,13.5 18.5,16 Q19.2,14 19.8,15.2" fill="none" stroke="#c05a00" stroke-width="1.1" stroke-linecap="round"/>',
        '<path d="M10.5,8.5 C11.5,6.5 13.2,5.5 15,5.3" fill="none" stroke="#ffffff" stroke-width="1.6" stroke-linecap="round" stroke-opacity="0.9"/>',
        '<rect x="11" y="24.5" width="10" height="5" rx="1" fill="url(#base)" stroke="#5f656d" stroke-width="0.8"/>',
        '<line x1="11.5" y1="26.2" x2="20.5" y2="26.2" stroke="#5f656d" stroke-width="0.7"/>',
        '<line x1="11.5" y1="27.9" x2="20.5" y2="27.9" stroke="#5f656d" stroke-width="0.7"/>',
        '<path d="M13.5,29.5 L18.5,29.5 L17.5,31 L14.5,31 Z" fill="#5f656d"/>',
    ]) + "\n"
    write("164.svg", svg(32, 32, body, defs))


if __name__ == "__main__":
    boards()
    banner()
    logo()
    scale_bar()
    fan_picture()
    thermometer_picture()
    confirm_picture()
    tray_icon()
    hint_icon()
