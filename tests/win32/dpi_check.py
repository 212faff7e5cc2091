"""Compares the main window's screenshots at 96 and at 144 DPI (dpi_test.sh).

The sample pair's first row is a changed block (green) and its seventh a filler block
of two rows (yellow), so a column of the left pane, clear of the text, crosses the
title bar (light grey between two border lines) and then rows of known counts.
Usage: dpi_check.py SHOT_96.ppm SHOT_144.ppm
"""
import sys

GREEN = (0, 255, 0)
YELLOW = (255, 255, 0)
TITLE_GREY = (192, 192, 192)


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit(f"{path}: not an 8-bit P6 picture")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    return width, height, pixels


class Shot:
    def __init__(self, path):
        self.path = path
        self.width, self.height, self.pixels = read_ppm(path)

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def grey(self, x, y):
        r, g, b = self.at(x, y)
        return (r * 30 + g * 59 + b * 11) // 100

    def runs(self, cells):
        """(colour, start, length) of each run of equal colours along `cells`."""
        out = []
        for i, colour in enumerate(cells):
            if out and out[-1][0] == colour:
                out[-1][2] += 1
            else:
                out.append([colour, i, 1])
        return out

    def column_runs(self, x):
        return self.runs([self.at(x, y) for y in range(self.height)])

    def row_runs(self, y):
        return self.runs([self.at(x, y) for x in range(self.width)])


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def measure(shot):
    """Title height, row height, the yellow block's bottom, and the left pane, position bar and right pane widths."""
    # Clear of the text: the left pane's right end.
    x = shot.width // 2 - 60
    runs = shot.column_runs(x)
    titles = [r for r in runs if r[0] == TITLE_GREY]
    if not titles:
        fail(f"{shot.path}: no title bar in column {x}")
    title = titles[0]
    title_height = title[2] + 2  # the border line above and below
    below = [r for r in runs if r[1] > title[1]]
    greens = [r for r in below if r[0] == GREEN]
    yellows = [r for r in below if r[0] == YELLOW]
    if not greens or not yellows:
        fail(f"{shot.path}: no changed or filler rows in column {x}")
    row_height = greens[0][2]
    if yellows[0][2] != 2 * row_height:
        fail(f"{shot.path}: the two-row filler block is {yellows[0][2]} high, rows {row_height}")
    # Filler rows have no text: the left pane's from the column above, the right
    # pane's (one block earlier) from a column of the right pane.
    def yellow_span(y):
        spans = [r for r in shot.row_runs(y) if r[0] == YELLOW and r[2] > shot.width // 4]
        if len(spans) != 1:
            fail(f"{shot.path}: no filler row across a pane at y {y}")
        return spans[0]

    left = yellow_span(yellows[0][1] + row_height // 2)
    right_yellows = [r for r in shot.column_runs(shot.width // 2 + 60) if r[0] == YELLOW]
    if not right_yellows:
        fail(f"{shot.path}: no filler row in the right pane")
    right = yellow_span(right_yellows[0][1] + row_height // 2)
    return {
        "title": title_height,
        "row": row_height,
        "client_left": left[1],
        "pane": left[2],
        "bar": right[1] - (left[1] + left[2]),
        "right_pane": right[2],
        "tail_top": yellows[0][1] + yellows[0][2],
    }


def edges(shot, m):
    """Glyph edges in the row after the filler block ("tail"): for every horizontal run
    of ink with a solid core, whether at most one partial pixel stands on each side of
    that core. Returns (runs with a core, those with one-pixel edges)."""
    total = sharp = 0
    for y in range(m["tail_top"], m["tail_top"] + m["row"]):
        run = []
        for x in range(m["client_left"], m["client_left"] + m["pane"]):
            g = shot.grey(x, y)
            if g < 250:
                run.append(g)
                continue
            core = [i for i, v in enumerate(run) if v < 64]
            if core:
                total += 1
                if core[0] <= 1 and len(run) - 1 - core[-1] <= 1:
                    sharp += 1
            run = []
    return total, sharp


def stem(shot, m):
    """The grey levels across the stem of the "l" that ends "tail", half-way down the
    row: the last run of ink on that line of the left pane."""
    y = m["tail_top"] + m["row"] // 2
    greys = [shot.grey(x, y) for x in range(m["client_left"], m["client_left"] + m["pane"])]
    end = max((i for i, g in enumerate(greys) if g < 250), default=None)
    if end is None:
        fail(f"{shot.path}: no text in the row after the filler block")
    start = end
    while start > 0 and greys[start - 1] < 250:
        start -= 1
    return greys[start:end + 1]


def main():
    a, b = Shot(sys.argv[1]), Shot(sys.argv[2])
    ma, mb = measure(a), measure(b)
    print("96 DPI: ", ma)
    print("144 DPI:", mb)
    for key in ("row", "title"):
        if abs(mb[key] - 1.5 * ma[key]) > 1:
            fail(f"{key} height {ma[key]} at 96 DPI, {mb[key]} at 144: not 1.5 times")
    # Margins and scrollbar: the bar is the scrollbar's even width plus two margins,
    # which the system rounds on its own; two pixels of slack.
    if abs(mb["bar"] - 1.5 * ma["bar"]) > 2:
        fail(f"position bar {ma['bar']} wide at 96 DPI, {mb['bar']} at 144")
    for m in (ma, mb):
        client = 2 * m["pane"] + m["bar"]
        if m["right_pane"] != m["pane"]:
            fail(f"panes of {m['pane']} and {m['right_pane']} pixels")
        m["share"] = m["pane"] / client
    if abs(ma["share"] - mb["share"]) > 0.02:
        fail(f"a pane is {ma['share']:.3f} of the width at 96 DPI, {mb['share']:.3f} at 144")
    # Drawn, not stretched: at 144 DPI the stem has a solid core with at most one
    # partial pixel on each side, and it is darker than anything an interpolated
    # picture of the 96 DPI stem could hold.
    small, large = stem(a, ma), stem(b, mb)
    ink = [round(sum(255 - g for g in s) / 255, 2) for s in (small, large)]
    print(f"stem of 'l': {small} ({ink[0]} px of ink) at 96 DPI, {large} ({ink[1]} px) at 144")
    darkest = large.index(min(large))
    if min(large) >= 64 or min(large) > min(small) or len(large) > 3 or \
            darkest > 1 or len(large) - 1 - darkest > 1:
        fail("the 144 DPI stem is blurred")
    total, sharp = edges(b, mb)
    print(f"144 DPI: {sharp} of {total} ink runs with a solid core have one-pixel edges")
    if total < 10 or sharp < 0.8 * total:
        fail("glyph edges at 144 DPI are not crisp")
    print("PASS")


main()
