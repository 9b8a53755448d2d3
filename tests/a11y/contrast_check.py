#!/usr/bin/python3
"""The current line's frame and the lists' focus ring as the real window paints them, measured on
screenshots of the shown window (import) after real key presses (xdotool), in the light palette,
a Fusion dark palette (qt6ct), GTK's Adwaita:dark (gtk3 platform theme) and on a selected row.
Every frame and ring must stand out from what lies beside it by 3:1 (WCAG relative luminance);
in the light palette the frame is the one pure blue outline, with nothing drawn inside it.
Run by contrast_test.sh inside a virtual display with a window manager.

  contrast_check.py QUELVAR EXAMPLES_FOLDER [QUELVAR_TO_COMPARE]

With a third argument, the light palette's frame is also compared pixel by pixel with the one
that build paints (the same program, the same keys, the same geometry).
"""
import collections
import os
import shutil
import subprocess
import sys
import tempfile

from waiting import until, window_manager
LEAST = 3.0
BLUE = (0, 0, 255)
# The lists' client rectangles (left, top, width, height) from the form's layout.
REGISTERS = (16, 56, 193, 225)
PROGRAM = (216, 56, 425, 193)
CLIENT_HEIGHT = 341  # the menu bar lies above the client area, which fills the window's width

# A dark Fusion palette as dark themes commonly give it, in qt6ct's role order (WindowText,
# Button, Light, Midlight, Dark, Mid, Text, BrightText, ButtonText, Base, Window, Shadow,
# Highlight, HighlightedText, Link, LinkVisited, AlternateBase, NoRole, ToolTipBase, ToolTipText,
# PlaceholderText).
FUSION_DARK = ", ".join([
    "#ffffffff", "#ff353535", "#ff505050", "#ff424242", "#ff232323", "#ff2c2c2c", "#ffffffff",
    "#ffff0000", "#ffffffff", "#ff191919", "#ff353535", "#ff141414", "#ff2a82da", "#ff000000",
    "#ff2a82da", "#ffa070da", "#ff353535", "#ff000000", "#ff353535", "#ffffffff", "#80ffffff"
])



def fail(failures, message):
    print("FAIL " + message, file=sys.stderr)
    failures.append(message)


def luminance(rgb):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055)**2.4

    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


class Shot:
    """A screenshot of a window, read from ImageMagick's PPM."""

    def __init__(self, data):
        fields = data.split(maxsplit=4)
        assert fields[0] == b"P6" and fields[3] == b"255", "not an 8-bit PPM"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def common(self, points):
        """The most frequent colour at points."""
        return collections.Counter(self.at(x, y) for x, y in points).most_common(1)[0][0]


def ring(left, top, right, bottom):
    """The points of a one-pixel rectangle outline with these inclusive corners."""
    for x in range(left, right + 1):
        yield x, top
        yield x, bottom
    for y in range(top + 1, bottom):
        yield left, y
        yield right, y


class Window:

    def __init__(self, quelvar, descriptor, environment):
        command = [quelvar] if descriptor is None else [quelvar, descriptor]
        self.process = subprocess.Popen(command, env=environment)
        self.id = until(self.shown, "the window")

    def shown(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Quelvar$"],
                               capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    def keys(self, *keys):
        until(lambda: subprocess.run(["timeout", "10", "xdotool", "windowfocus", "--sync", self.id],
                                     capture_output=True).returncode == 0, "the keyboard")
        subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)

    def grab(self):
        return subprocess.run(["import", "-window", self.id, "-depth", "8", "ppm:-"],
                              capture_output=True, check=True).stdout

    def still(self, condition=lambda shot: True, what="the window to hold still"):
        """The picture once two in a row are the same and it shows what condition looks for."""
        previous = [None]

        def look():
            data = self.grab()
            same = data == previous[0]
            previous[0] = data
            if not same:
                return None
            shot = Shot(data)
            return shot if condition(shot) else None

        return until(look, what)

    def close(self):
        self.process.kill()
        self.process.wait()


def frame_box(shot, area):
    """The pure blue outline's corners inside area (left, top, right, bottom), or None."""
    left, top, right, bottom = area
    blue = [(x, y) for y in range(top, bottom) for x in range(left, right)
            if shot.at(x, y) == BLUE]
    if not blue:
        return None
    xs = [x for x, _ in blue]
    ys = [y for _, y in blue]
    box = (min(xs), min(ys), max(xs), max(ys))
    return box if all(shot.at(x, y) == BLUE for x, y in ring(*box)) else None


def row_background(shot, box):
    """The most frequent colour inside the frame, within its one-pixel inner outline."""
    left, top, right, bottom = box
    return shot.common(
        (x, y) for y in range(top + 2, bottom - 1) for x in range(left + 2, right - 1))


def measure_frame(shot, area, what, failures):
    box = frame_box(shot, area)
    if box is None:
        fail(failures, what + ": no pure blue frame in the program list")
        return None
    left, top, right, bottom = box
    inner = shot.common(ring(left + 1, top + 1, right - 1, bottom - 1))
    background = row_background(shot, box)
    blue_ratio = contrast(BLUE, background)
    line = f"{what}: frame {box}, row background {background}, blue {blue_ratio:.2f}:1"
    best = blue_ratio
    if inner != background:
        inner_ratio = contrast(inner, background)
        line += f", inner outline {inner} {inner_ratio:.2f}:1"
        best = max(best, inner_ratio)
    print(line)
    if best < LEAST:
        fail(failures, f"{what}: the frame stands out {best:.2f}:1 from its row")
    return box, inner, background


def measure_focus(before, after, rect, offset, what, failures):
    """The ring a list shows when it gains focus: the pixels that changed on its edge."""
    left, top = rect[0] + offset[0], rect[1] + offset[1]
    right, bottom = left + rect[2] - 1, top + rect[3] - 1
    edge = [p for i in range(2) for p in ring(left + i, top + i, right - i, bottom - i)]
    changed = [p for p in edge if before.at(*p) != after.at(*p)]
    if len(changed) < len(edge) // 2:
        fail(failures, f"{what}: focus changes {len(changed)} of {len(edge)} edge pixels")
        return
    colour = after.common(changed)
    outside = after.common(ring(left - 1, top - 1, right + 1, bottom + 1))
    ratio = contrast(colour, outside)
    print(f"{what}: focus ring {colour} beside the window {outside}: {ratio:.2f}:1")
    if ratio < LEAST:
        fail(failures, f"{what}: the focus ring stands out {ratio:.2f}:1")


def program_area(offset):
    left, top, width, height = PROGRAM
    return (left + offset[0], top + offset[1], left + offset[0] + width,
            top + offset[1] + height)


def palette_case(quelvar, descriptor, environment, what, failures, frame_only=False):
    """The frame after Shift+F9; then the focus moved by Tab from the register list to the
    program list, and the framed row selected."""
    window = Window(quelvar, descriptor, environment)
    try:
        start = window.still()
        offset = (0, start.height - CLIENT_HEIGHT)
        area = program_area(offset)
        window.keys("shift+F9")
        framed = window.still(lambda shot: frame_box(shot, area) is not None, "the frame")
        measured = measure_frame(framed, area, what, failures)
        if frame_only or measured is None:
            return framed, measured
        window.keys("Tab")
        moved = window.still(lambda shot: shot.pixels != framed.pixels, "Tab to move the focus")
        measure_focus(framed, moved, PROGRAM, offset, what + ", program list", failures)
        measure_focus(moved, framed, REGISTERS, offset, what + ", register list", failures)
        # Down selects line 2, Up the framed line 1.
        window.keys("Down", "Up")
        box, _, unselected = measured
        chosen = window.still(
            lambda shot: frame_box(shot, area) == box and row_background(shot, box) != unselected,
            "the framed row to be selected")
        measure_frame(chosen, area, what + ", selected row", failures)
        return framed, measured
    finally:
        window.close()


def empty_case(quelvar, environment, what, failures):
    """The register list has the focus at start-up, before any program fills it: Tab takes it
    away, and its edge must change."""
    window = Window(quelvar, None, environment)
    try:
        start = window.still()
        offset = (0, start.height - CLIENT_HEIGHT)
        window.keys("Tab")
        moved = window.still(lambda shot: shot.pixels != start.pixels,
                             "Tab to change the picture of the empty register list")
        measure_focus(moved, start, REGISTERS, offset, what + ", empty register list", failures)
    finally:
        window.close()


def main():
    quelvar, examples = sys.argv[1], sys.argv[2]
    compare = sys.argv[3] if len(sys.argv) > 3 else None
    work = tempfile.mkdtemp()
    try:
        descriptor = os.path.join(work, "multiply.rm")
        for name in os.listdir(examples):
            if name.startswith("multiply"):
                shutil.copy(os.path.join(examples, name), work)
        base = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
        for name in ("QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "GTK_THEME"):
            base.pop(name, None)
        os.makedirs(os.path.join(work, "config", "qt6ct"))
        scheme = os.path.join(work, "fusion-dark.conf")
        with open(scheme, "w") as out:
            out.write("[ColorScheme]\n")
            for group in ("active", "inactive", "disabled"):
                out.write(f"{group}_colors={FUSION_DARK}\n")
        with open(os.path.join(work, "config", "qt6ct", "qt6ct.conf"), "w") as out:
            out.write(f"[Appearance]\ncolor_scheme_path={scheme}\ncustom_palette=true\n"
                      "style=Fusion\n")
        palettes = [
            ("light", base),
            ("Fusion dark", dict(base, QT_QPA_PLATFORMTHEME="qt6ct")),
            ("gtk3 Adwaita:dark",
             dict(base, QT_QPA_PLATFORMTHEME="gtk3", GTK_THEME="Adwaita:dark")),
        ]
        failures = []
        cases = [palette_case(quelvar, descriptor, environment, what, failures)
                 for what, environment in palettes]
        for what, environment in palettes:
            empty_case(quelvar, environment, what, failures)
        shot, measured = cases[0]
        if measured is not None and measured[1] != measured[2]:
            fail(failures, "light: an outline is drawn inside the blue frame")
        if compare is not None and measured is not None:
            other, _ = palette_case(compare, descriptor, base, "light (compared build)", [],
                                    frame_only=True)
            box = measured[0]
            region = [(x, y) for y in range(box[1] - 2, box[3] + 3)
                      for x in range(box[0] - 2, box[2] + 3)]
            differ = sum(1 for p in region if shot.at(*p) != other.at(*p))
            blue = sum(1 for p in region if shot.at(*p) == BLUE)
            print(f"light: {differ} of {len(region)} pixels around the frame differ from the "
                  f"compared build ({blue} pure blue)")
            if differ:
                fail(failures, "light: the frame differs from the compared build's")
        return 1 if failures else 0
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    with window_manager():
        sys.exit(main())
