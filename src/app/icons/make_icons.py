#!/usr/bin/env python3
"""Writes the button glyphs and the cursors of the main window and the dialogs as SVG.

Run from src/app; it rewrites icons/*.svg and cursors/*.svg. The drawings are
kept as short path descriptions here so that a glyph is changed in one line.
Glyphs use a 24 x 24 grid, cursors a 32 x 32 grid with the hot spot at (16, 16).
"""
import os

INK = "#1f2d3d"
BLUE = "#1f5fbf"
RED = "#c0282d"
GREEN = "#1d8a3a"
PAPER = "#ffffff"
GREY = "#8a9099"
YELLOW = "#f2c14e"


def svg(size, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n</svg>\n'
            % (size, size, size, size, body))


def line(d, color=INK, width=2, cap="round", extra=""):
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="%s" stroke-linejoin="round"%s/>'
            % (d, color, width, cap, extra))


def shape(d, fill, stroke=INK, width=1.5):
    return '<path d="%s" fill="%s" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>' % (d, fill, stroke, width)


def text(x, y, s, size, color=INK, weight="bold", family="Liberation Sans, Arial, sans-serif"):
    return ('<text x="%s" y="%s" font-family="%s" font-size="%s" font-weight="%s" fill="%s" text-anchor="middle">%s</text>'
            % (x, y, family, size, weight, color, s))


def arrow(angle):
    # An arrow pointing right, turned about the centre.
    body = (shape("M4 10h9V5l8 7-8 7v-5H4z", BLUE, INK, 1.2))
    return '<g transform="rotate(%d 12 12)">%s</g>' % (angle, body)


def magnifier(sign):
    body = '<circle cx="10" cy="10" r="6.5" fill="%s" stroke="%s" stroke-width="2"/>' % (PAPER, INK)
    body += line("M15 15l6 6", INK, 3)
    body += line("M7 10h6", BLUE, 2)
    if sign == "+":
        body += line("M10 7v6", BLUE, 2)
    return body


def curve_axes():
    return line("M2 12h20M12 2v20", GREY, 1.2)


def plot_frame():
    return shape("M3 3h18v18H3z", PAPER, GREY, 1)


def label_axes():
    # An axis corner with two ticks on each axis, room for the values outside.
    return line("M7 2v15h15", INK, 1.4) + line("M12 17v-3M19 17v-3M7 11h3M7 4h3", INK, 1.2, "butt")


ICONS = {
    # Main window, left panel.
    "archiv_speichern": shape("M3 3h15l3 3v15H3z", BLUE) + shape("M7 3h9v6H7z", PAPER, INK, 1.2)
        + shape("M6 13h12v8H6z", PAPER, INK, 1.2) + text(12, 20, "f", 7, RED),
    "archiv_holen": shape("M2 6h7l2 2h10v12H2z", YELLOW) + shape("M2 20l3-9h18l-3 9z", "#f7d98b")
        + text(13, 18.5, "f", 7, RED),
    "drucken": shape("M6 2h12v6H6z", PAPER, INK, 1.2) + shape("M2 8h20v9H2z", GREY)
        + shape("M6 14h12v8H6z", PAPER, INK, 1.2) + line("M8 17h8M8 19.5h6", INK, 1),
    "word": shape("M5 2h10l5 5v15H5z", PAPER) + line("M15 2v5h5", INK, 1.2)
        + text(12.5, 19, "W", 10, BLUE),
    "wmf_speichern": shape("M2 3h20v15H2z", PAPER) + shape("M3 17l6-7 4 4 3-3 5 6z", GREEN, GREEN, 0.5)
        + '<circle cx="16.5" cy="7.5" r="2" fill="%s"/>' % YELLOW
        + shape("M12 13h10v10H12z", BLUE, INK, 1) + shape("M14.5 13h5v3h-5z", PAPER, INK, 0.8),
    "wmf_zwischenablage": shape("M4 4h16v19H4z", "#c9a46b") + shape("M8 2h8v4H8z", GREY, INK, 1)
        + shape("M7 8h10v12H7z", PAPER, INK, 1) + shape("M8 19l3.5-5 2.5 3 1.5-2 1.5 4z", GREEN, GREEN, 0.5),
    "koordinatensystem": line("M3 21h19M3 21V2", INK, 1.6) + shape("M22 21l-3-2v4zM3 2l-2 3h4z", INK, INK, 0.5)
        + line("M5 18c4-1 5-12 9-12s4 7 7 7", RED, 1.8),
    "zoom_out": magnifier("-"),
    "zoom_in": magnifier("+"),
    "pfeil_lo": arrow(225),
    "pfeil_o": arrow(270),
    "pfeil_ro": arrow(315),
    "pfeil_l": arrow(180),
    "pfeil_r": arrow(0),
    "pfeil_lu": arrow(135),
    "pfeil_u": arrow(90),
    "pfeil_ru": arrow(45),
    "anfangswerte": curve_axes() + '<circle cx="12" cy="12" r="5" fill="none" stroke="%s" stroke-width="2"/>' % RED
        + '<circle cx="12" cy="12" r="1.6" fill="%s"/>' % RED,
    # Drawing-object panel.
    "tangente": line("M3 20c5-2 8-14 18-15", INK, 1.6) + line("M2 10.5l20-4", RED, 2),
    "normale": line("M3 20c5-2 8-14 18-15", INK, 1.6) + line("M7 3l5 18", RED, 2),
    "senkrechte": curve_axes() + line("M16 2v20", RED, 2.2),
    "waagrechte": curve_axes() + line("M2 7h20", RED, 2.2),
    "punkt1": curve_axes() + '<circle cx="15" cy="8" r="3.5" fill="%s" stroke="%s" stroke-width="1"/>' % (RED, INK),
    "punkt2": curve_axes() + line("M11 4l8 8M19 4l-8 8", RED, 2.2),
    "textfeld": text(12, 19, "A", 17, INK, "bold", "Liberation Serif, Times New Roman, serif")
        + line("M4 22h16", RED, 1.5),
    "schritt_links": shape("M16 4L6 12l10 8z", BLUE),
    "schritt_rechts": shape("M8 4l10 8-10 8z", BLUE),
    "schriftart": text(9, 18, "A", 15, INK, "bold", "Liberation Serif, Times New Roman, serif")
        + text(18, 18, "a", 11, BLUE, "normal", "Liberation Serif, Times New Roman, serif"),
    "objekt_einfuegen": shape("M3 3h18v18H3z", PAPER) + line("M12 7v10M7 12h10", GREEN, 3),
    "objekt_entfernen": shape("M3 3h18v18H3z", PAPER) + line("M7 12h10", RED, 3),
    "liste_loeschen": shape("M6 7h12l-1 15H7z", GREY) + line("M4 5h16M10 3h4", INK, 1.8)
        + line("M10 10v9M14 10v9", PAPER, 1.2),
    # Dialog buttons.
    "ok": line("M4 13l5 5L20 6", GREEN, 3.2),
    "abbrechen": line("M6 6l12 12M18 6L6 18", RED, 3.2),
    "vorgabe": line("M18.5 8A8 8 0 1 0 20 14", BLUE, 2.4) + shape("M20.5 3.5v6h-6z", BLUE, BLUE, 0.5),
    "termbaum": line("M12 6v4M12 10l-6 5M12 10l6 5M18 15l-3 4M18 15l3 4", INK, 1.4)
        + '<circle cx="12" cy="5" r="2.6" fill="%s" stroke="%s"/>' % (YELLOW, INK)
        + '<circle cx="6" cy="16" r="2.4" fill="%s" stroke="%s"/>' % (PAPER, INK)
        + '<circle cx="18" cy="15" r="2.4" fill="%s" stroke="%s"/>' % (YELLOW, INK),
    "funktionenliste": shape("M4 2h16v20H4z", PAPER)
        + "".join(text(8.5, 7.5 + 5 * i, "f", 5.5, RED) + line("M11 %s h6" % (6 + 5 * i), INK, 1.2) for i in range(4)),
    "speicher_ablegen": shape("M3 13h18v8H3z", YELLOW) + shape("M9 2h6v6h4l-7 7-7-7h4z", GREEN, INK, 1),
    "speicher_letzter_loeschen": shape("M3 13h18v8H3z", YELLOW) + line("M7 6h10", RED, 3.4),
    "speicher_zeigen": shape("M3 13h18v8H3z", YELLOW)
        + '<circle cx="12" cy="7" r="4.5" fill="%s" stroke="%s" stroke-width="1.6"/>' % (PAPER, INK)
        + '<circle cx="12" cy="7" r="1.8" fill="%s"/>' % BLUE,
    "speicher_loeschen": shape("M3 13h18v8H3z", YELLOW) + line("M7 3l8 8M15 3l-8 8", RED, 2.6),
    "hilfe": '<circle cx="12" cy="12" r="10" fill="%s" stroke="%s" stroke-width="1.4"/>' % (BLUE, INK)
        + text(12, 17.5, "?", 15, PAPER),
    "ende": shape("M4 3h11v18H4z", "#c9a46b") + shape("M14 12h5v-3l4 4-4 4v-3h-5z", RED, INK, 1),
    # Coordinate-system dialog: grid, layout and labels.
    "gitter_kreuze": plot_frame() + line("".join("M%d %dh6M%d %dv6" % (x - 3, y, x, y - 3)
                                                   for x in (8, 16) for y in (8, 16)), INK, 1.4, "butt"),
    "gitter_punktiert": plot_frame() + line("M8 3v18M16 3v18M3 8h18M3 16h18", INK, 1.4, "butt",
                                            ' stroke-dasharray="1.4 1.6"'),
    "gitter_keins": plot_frame(),
    "gitter_linien": plot_frame() + line("M8 3v18M16 3v18M3 8h18M3 16h18", INK, 1.4, "butt"),
    "art_achsenkreuz": line("M2 12h19M12 22V3", INK, 1.6) + shape("M22 12l-3-2v4zM12 2l-2 3h4z", INK, INK, 0.5)
        + line("M3 20c4-1 6-14 10-14s5 6 8 6", RED, 1.6),
    "art_rahmen": shape("M8 2h14v15H8z", PAPER, INK, 1.2) + line("M8 12h14M14 2v15", GREY, 1)
        + line("M9 15c3-1 4-10 7-10s3 4 5 4", RED, 1.6) + line("M3 5h3M3 9.5h3M3 14h3M10 20v3M15 20v3M20 20v3", INK, 1),
    "beschriftung_einzeln": label_axes() + text(19, 23.5, "1", 8, BLUE) + text(3, 7, "1", 8, BLUE),
    "beschriftung_alle": label_axes() + text(12, 23.5, "1", 8, BLUE) + text(19, 23.5, "2", 8, BLUE)
        + text(3, 14, "1", 8, BLUE) + text(3, 7, "2", 8, BLUE),
    "beschriftung_keine": label_axes(),
    "einstellungen_speichern": shape("M3 3h15l3 3v15H3z", BLUE) + shape("M7 3h9v6H7z", PAPER, INK, 1.2)
        + shape("M6 13h12v8H6z", PAPER, INK, 1.2) + line("M8 16h8M8 18.5h6", INK, 1),
    # The program's window icon.
    "kalvograf": shape("M1 1h22v22H1z", PAPER, INK, 1.2) + line("M2 15h20M8 2v20", GREY, 1)
        + line("M3 21C6 4 9 4 12 12s5 7 9-9", BLUE, 2.2) + line("M2 19c6-2 12-9 20-16", RED, 1.4),
}


def cross(gap):
    # A cross-hair with a white rim, so that it stays visible on dark curves too.
    d = "M16 3V%dM16 %dV29M3 16H%dM%d 16H29" % (16 - gap, 16 + gap, 16 - gap, 16 + gap)
    return line(d, PAPER, 3.4, "butt") + line(d, "#000000", 1.2, "butt")


# Resource number -> drawing; the main window registers them as cursors 1 to 5.
CURSORS = {
    4: cross(3) + '<rect x="15.5" y="15.5" width="1" height="1" fill="#000000"/>',
    1: cross(3) + line("M19 11l11-5", PAPER, 3.6) + line("M19 11l11-5", RED, 1.6),
    3: cross(3) + text(25, 13, "T", 11, "#000000", "bold", "Liberation Serif, Times New Roman, serif"),
    2: line("M16 3v26M3 16h26", PAPER, 3.6) + line("M16 3v26M3 16h26", "#000000", 1.4)
        + shape("M16 1l-4 5h8zM16 31l-4-5h8zM1 16l5-4v8zM31 16l-5-4v8z", "#000000", PAPER, 1),
    5: line("M9 9A10 10 0 1 1 9 23", PAPER, 4.2) + line("M9 9A10 10 0 1 1 9 23", "#000000", 2)
        + shape("M4 12l8 1-4-7z", "#000000", PAPER, 1) + line("M14 16h4M16 14v4", "#000000", 1.2),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, body in ICONS.items():
        with open(os.path.join(here, name + ".svg"), "w") as f:
            f.write(svg(24, body))
    cursors = os.path.join(here, "..", "cursors")
    for number, body in CURSORS.items():
        with open(os.path.join(cursors, "cursor%d.svg" % number), "w") as f:
            f.write(svg(32, body))


if __name__ == "__main__":
    main()
