#!/usr/bin/env python3
"""Writes the XML documents that the program carries inside.

Run it from anywhere; it rewrites resources/documents/: one file per document,
named with its position in the embedded table, and manifest.txt, which gives
the table order and each document's category. The build embeds what this
script wrote; it never runs the script itself.

The documents are authored data, but every value follows the rules the
program uses when it writes the same elements itself, so that a page built
from a template or an example finds the document as it would leave it:
display texts are derived from the step values, matrix and GPI settings are
written the way the setup pages write them.
"""

import math
import os
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT_FOLDER = os.path.normpath(os.path.join(HERE, "..", "documents"))

XML_DECLARATION = '<?xml version="1.0" encoding="UTF-8"?>'
TOOL_REVISION = "764"

# --------------------------------------------------------------------------
# A minimal element tree that keeps attribute order.


class Element:
    def __init__(self, tag, attributes=(), children=None, text=None):
        self.tag = tag
        self.attributes = [(k, str(v)) for k, v in attributes]
        self.children = list(children or [])
        self.text = text

    def get(self, name, default=None):
        for k, v in self.attributes:
            if k == name:
                return v
        return default

    def set(self, name, value):
        for i, (k, _) in enumerate(self.attributes):
            if k == name:
                self.attributes[i] = (k, str(value))
                return
        self.attributes.append((name, str(value)))

    def add(self, child):
        self.children.append(child)
        return child

    def copy(self):
        return Element(self.tag, list(self.attributes), [c.copy() for c in self.children], self.text)

    def find(self, tag, id_value=None, name=None):
        for child in self.children:
            if child.tag != tag:
                continue
            if id_value is not None and child.get("Id", child.get("id")) != str(id_value):
                continue
            if name is not None and child.get("Name") != name:
                continue
            return child
        return None


def escape_attribute(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def escape_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def write_element(element, lines, indent):
    pad = " " * indent
    attributes = "".join(' %s="%s"' % (k, escape_attribute(v)) for k, v in element.attributes)
    if element.text is not None:
        lines.append("%s<%s%s>%s</%s>" % (pad, element.tag, attributes, escape_text(element.text), element.tag))
    elif not element.children:
        lines.append("%s<%s%s/>" % (pad, element.tag, attributes))
    else:
        lines.append("%s<%s%s>" % (pad, element.tag, attributes))
        for child in element.children:
            write_element(child, lines, indent + 2)
        lines.append("%s</%s>" % (pad, element.tag))


def document_text(root):
    lines = [XML_DECLARATION, ""]
    write_element(root, lines, 0)
    return "\n".join(lines) + "\n"


# --------------------------------------------------------------------------
# Display texts. The EQ rows follow the parameter library's rules exactly
# (preferred frequency values, engineering notation, SI prefixes).

PREFERRED_VALUES = [
    100, 103, 106, 109, 112, 115, 118, 122, 125, 128, 132, 136, 140, 145, 150, 155,
    160, 165, 170, 175, 180, 185, 190, 195, 200, 206, 212, 218, 224, 230, 236, 243,
    250, 258, 265, 272, 280, 290, 300, 307, 315, 325, 335, 345, 355, 365, 375, 387,
    400, 412, 425, 437, 450, 462, 475, 487, 500, 515, 530, 545, 560, 580, 600, 615,
    630, 650, 670, 690, 710, 730, 750, 775, 800, 825, 850, 875, 900, 925, 950, 975,
]
SI_PREFIXES = ["a", "f", "p", "n", "u", "m", "", "k", "M", "G", "T", ">"]
EMPTY_PREFIX_INDEX = 6

EQ_TYPE_NAMES = [
    "LoCut12", "LoCut6", "LoShelve12", "LoShelve9", "LoShelve6", "LoShelve3", "Band",
    "HiShelve3", "HiShelve6", "HiShelve9", "HiShelve12", "HiCut6", "HiCut12",
]


def format_engineering(value, flags):
    digits = flags & 0xF
    width = (flags >> 4) & 0xF
    negative = value < 0
    magnitude = abs(value)
    mantissa, exponent = 0.0, 0
    if magnitude != 0:
        exponent = int(math.floor(math.log10(magnitude)))
        mantissa = magnitude / (10.0 ** exponent)
        while mantissa >= 10.0:
            mantissa /= 10.0
            exponent += 1
        while mantissa < 1.0:
            mantissa *= 10.0
            exponent -= 1
        if mantissa > 9.99999:
            mantissa /= 10.0
            exponent += 1
    if flags & 0x100:
        scale = 10.0 ** (digits - 1)
        mantissa = math.floor(mantissa * scale + 0.5) / scale
        if mantissa >= 10.0:
            mantissa /= 10.0
            exponent += 1
    prefix = ""
    if flags & 0x800:
        while exponent % 3 != 0:
            exponent -= 1
            mantissa *= 10.0
        index = exponent // 3 + EMPTY_PREFIX_INDEX
        prefix = SI_PREFIXES[index] if 0 <= index < len(SI_PREFIXES) else "E%+d" % exponent
    else:
        mantissa *= 10.0 ** exponent
    if flags & 0x900:
        before_point = len(str(int(mantissa))) if mantissa >= 1.0 else 1
        decimals = digits - before_point
    else:
        decimals = digits
    decimals = max(decimals, 0)
    number = "%.*f" % (decimals, -mantissa if negative else mantissa)
    if width and len(number) < width:
        number = number.rjust(width)
    return number + " " + prefix


def eq_frequency_value(step):
    k = 4 * step + 104
    q, r = divmod(k, 80)
    return (10.0 ** (q - 2)) * PREFERRED_VALUES[r]


def eq_frequency_text(step):
    return format_engineering(eq_frequency_value(step), 0x913) + "Hz"


def eq_gain_text(step):
    return format_engineering(0.1 * step - 24.0, 0x11) + "dB"


def eq_width_text(step):
    return format_engineering(0.1 * step + 0.1, 0x11)


def eq_type_text(step):
    return EQ_TYPE_NAMES[step]


def eq_frequency_step(hz):
    return min(range(61), key=lambda s: abs(math.log(eq_frequency_value(s) / hz)))


def eq_gain_step(db):
    return 240 + int(round(db * 10))


def eq_width_step(width):
    return int(round((width - 0.1) * 10))


def half_db_text(step):
    return "%.1f dB" % (step / 2.0)


def whole_db_text(step, zero):
    # Gains whose step `zero` means 0 dB, shown without decimals when whole.
    return "%d dB" % (step - zero)


def single_band_gain_text(step):
    value = (step - 240) / 10.0
    return ("%d dB" % value) if value == int(value) else ("%.1f dB" % value)


def volt_text(tenths):
    value = struct.unpack("f", struct.pack("f", tenths / 10.0))[0]
    return "%g Volt" % value


def adc_volt_text(adc):
    return "%.1fV" % (adc * 0.00322265625)


# --------------------------------------------------------------------------
# Parameter rows of the effects the program writes or the amplifier keeps.
# Each row: (name, text function, lowest step, highest step, default step).

def row(name, text, low, high, default):
    return (name, text, low, high, default)


EQ_ROW_KINDS = [
    ("Type", eq_type_text, 0, 12),
    ("Gain", eq_gain_text, 0, 480),
    ("Freq", eq_frequency_text, 0, 60),
    ("Width", eq_width_text, 0, 59),
]

ms = lambda s: "%d ms" % s
seconds = lambda s: "%d s" % s
ratio = lambda s: "%.1f:1" % (s / 10.0)
band_gain = lambda s: whole_db_text(s, 37)
bypass = lambda s: "On" if s == 0 else "Bypass"

QMX_ROWS = [
    row("Threshold", half_db_text, -120, 0, 0),
    row("Ratio", ratio, 10, 200, 40),
    row("Attack", ms, 1, 500, 10),
    row("Release", ms, 10, 5000, 200),
    row("Knee", half_db_text, 0, 40, 12),
    row("Bypass", bypass, 0, 1, 1),
    row("Xover Low", eq_frequency_text, 0, 60, eq_frequency_step(150)),
    row("Xover High", eq_frequency_text, 0, 60, eq_frequency_step(2500)),
]
for band in ("Low", "Mid", "High"):
    QMX_ROWS += [
        row(band + " Threshold", half_db_text, -120, 0, 0),
        row(band + " Ratio", ratio, 10, 200, 20),
        row(band + " Attack", ms, 1, 500, 20),
        row(band + " Release", ms, 10, 5000, 250),
        row(band + " Knee", half_db_text, 0, 40, 12),
        row(band + " Makeup", half_db_text, 0, 24, 0),
        row(band + " Hold", ms, 0, 500, 0),
    ]
QMX_ROWS += [
    row("Program Level", half_db_text, -40, 0, 0),
    row("Max Boost", half_db_text, 0, 24, 12),
    row("Low Gain", band_gain, 0, 49, 37),
    row("Mid Gain", band_gain, 0, 49, 37),
    row("High Gain", band_gain, 0, 49, 37),
    row("Low Limit Freq", eq_frequency_text, 0, 60, 0),
    row("High Limit Freq", eq_frequency_text, 0, 60, 60),
    row("Excursion Limit", half_db_text, -40, 0, 0),
    row("Thermal Time", seconds, 1, 600, 60),
    row("Thermal Threshold", half_db_text, -40, 0, 0),
    row("Peak Threshold", half_db_text, -40, 0, 0),
    row("Peak Release", ms, 1, 1000, 50),
    row("RMS Window", ms, 1, 1000, 100),
    row("Sidechain HPF", eq_frequency_text, 0, 60, 0),
    row("Sidechain LPF", eq_frequency_text, 0, 60, 60),
    row("Gate Threshold", half_db_text, -200, 0, -160),
    row("Gate Release", ms, 1, 5000, 500),
]
assert len(QMX_ROWS) == 46
QMX_BYPASS, QMX_LOW_GAIN, QMX_MID_GAIN, QMX_HIGH_GAIN = 5, 31, 32, 33
QMX_XOVER_LOW, QMX_XOVER_HIGH, QMX_LOW_LIMIT, QMX_HIGH_LIMIT = 6, 7, 34, 35

ROUTER_NAMES = (["Input Gain %d" % i for i in range(1, 5)]
                + ["Output Gain %dA" % i for i in range(1, 5)]
                + ["Clip Level"]
                + ["Output Gain %dB" % i for i in range(1, 5)]
                + ["Output Gain %dC" % i for i in range(1, 5)]
                + ["Output Gain %dD" % i for i in range(1, 5)]
                + ["Input Gain %dB" % i for i in range(1, 5)])
assert len(ROUTER_NAMES) == 25

GPI_FUNCTIONS = ["No Function", "Output Level", "Source Selector", "Mute All", "Wake", "RS232"]
GPI_FUNCTION_PARAMETERS = [("No Func", 3), ("ADC", 0), ("ADC", 0), ("Mute All", 1), ("Wake Up", 2), ("RS232", 4)]
INPUT_TYPES = ["Closing Contact", "2 Position Resistor Ladder", "3 Position Resistor Ladder",
               "4 Position Resistor Ladder"]
OUTPUT_NAMES = ["SPK1", "SPK2", "OUT3", "OUT4"]
FULL_OUTPUT_SETS = [0x01, 0x02, 0x04, 0x08, 0x03, 0x05, 0x09, 0x06, 0x0A, 0x0C, 0x07, 0x0B, 0x0D, 0x0E, 0x0F]

MODIFIER_SOURCES = {-1: "(disabled.1)", 2: "GPI 1 Pot        ", 3: "GPI 2 Pot        ",
                    6: "RS232 Vol 1", 7: "RS232 Vol 2", 8: "RS232 Vol 3", 9: "RS232 Vol 4"}

PEQ_IDS = [12, 14, 16, 18]
EQ_IDS = [22, 24, 64, 66]
QMX_IDS = [26, 28, 68, 70]
APM_IDS = [34, 36, 72, 74]
SINGLE_BAND_IDS = [78, 80, 82, 84]
DELAY_IDS = [88, 90, 92, 94]
MATRIX_ID = 20
ROUTER_ID = 0
ROUTER1_ID = 32
CONTROLS_ID = 0


def parameter(name, pid, display, step):
    return Element("PARAMETER", [("Name", name), ("Id", pid), ("DisplayValue", display), ("StepValue", step)])


def effect(name, eid, parameters):
    return Element("EFFECT", [("Name", name), ("Id", eid)], parameters)


# --------------------------------------------------------------------------
# EQ curves: four bands of (type, gain dB, frequency Hz, width).

def band(type_name, gain_db, hz, width=1.0):
    return (EQ_TYPE_NAMES.index(type_name), eq_gain_step(gain_db), eq_frequency_step(hz), eq_width_step(width))


FLAT_BANDS = [band("Band", 0, 100), band("Band", 0, 500), band("Band", 0, 2000), band("Band", 0, 8000)]


def eq_parameters(bands):
    parameters = []
    for b, steps in enumerate(bands):
        for j, (kind, text, low, high) in enumerate(EQ_ROW_KINDS):
            step = steps[j]
            assert low <= step <= high, (kind, step)
            parameters.append(parameter("%d: %s" % (b + 1, kind), 4 * b + j, text(step), step))
    return parameters


def eq_effect(name, eid, bands):
    return effect(name, eid, eq_parameters(bands))


def rows_effect(name, eid, rows, values=None, first_id=0):
    values = values or {}
    parameters = []
    for i, (row_name, text, low, high, default) in enumerate(rows):
        step = values.get(i, default)
        assert low <= step <= high, (name, row_name, step)
        parameters.append(parameter(row_name, first_id + i, text(step), step))
    return effect(name, eid, parameters)


def qmx_effect(n, values=None):
    return rows_effect("QMX%d Preset" % (n + 1), QMX_IDS[n], QMX_ROWS, values)


def single_band_effect(n, steps):
    parameters = [parameter(kind, j, text(steps[j]), steps[j]) for j, (kind, text, _, _) in enumerate(EQ_ROW_KINDS)]
    parameters[1].set("DisplayValue", single_band_gain_text(steps[1]))
    return effect("SingleBand%d Preset" % (n + 1), SINGLE_BAND_IDS[n], parameters)


def limiter_effect(name, eid, tenths):
    return effect(name, eid, [parameter("V Lim", 7, volt_text(tenths), tenths)])


def router_effect():
    return effect("Router Preset", ROUTER_ID,
                  [parameter(name, i, half_db_text(0), 0) for i, name in enumerate(ROUTER_NAMES)])


def controls_element(functions=(0, 0)):
    parameters = []
    for g in range(2):
        display, step = GPI_FUNCTION_PARAMETERS[functions[g]]
        parameters.append(parameter("GPI%d Function" % (g + 1), g + 1, display, step))
    parameters.append(parameter("GPO Function", 3, "Normally Closed", 0))
    return Element("CONTROLS", [("Name", "Controls"), ("Id", CONTROLS_ID)], parameters)


# --------------------------------------------------------------------------
# Matrix presets: sixteen crosspoint levels in half-dB steps, point id
# 4 * output + input; points not listed are off.

MATRIX_OFF = -61
MATRIX_MARKED = 1


def matrix_levels(connections):
    steps = [MATRIX_OFF] * 16
    for (i, o), db in connections.items():
        steps[4 * o + i] = int(round(db * 2))
    return steps


def connect(inputs, outputs, db=0.0, *more):
    # connect(inputs, outputs, db [, inputs, outputs, db ...])
    connections = {(i, o): db for i in inputs for o in outputs}
    if more:
        connections.update(connect(*more))
    return connections


MATRIX_PRESETS = [
    # name, Id, MinInChs, MinOutChs, connections (0-based input, output)
    ("Default", 1, 4, 4, {(c, c): 0.0 for c in range(4)}),
    ("Mono 1", 2, 1, 1, connect([0], range(4))),
    ("Mono 2", 3, 2, 1, connect([1], range(4))),
    ("Mono 3", 4, 3, 1, connect([2], range(4))),
    ("Mono 4", 5, 4, 1, connect([3], range(4))),
    ("Mono 1+2", 6, 2, 1, connect([0, 1], range(4), -6.0)),
    ("Mono 3+4", 7, 4, 1, connect([2, 3], range(4), -6.0)),
    ("Mono All", 8, 4, 1, connect(range(4), range(4), -12.0)),
    ("Stereo 1/2", 9, 2, 2, connect([0], [0, 2], 0.0, [1], [1, 3], 0.0)),
    ("Stereo 3/4", 10, 4, 2, connect([2], [0, 2], 0.0, [3], [1, 3], 0.0)),
    ("Stereo Mix", 11, 4, 2, connect([0, 2], [0, 2], -6.0, [1, 3], [1, 3], -6.0)),
    ("Mute", 12, 1, 1, {}),
]
MATRIX_BY_ID = {p[1]: p for p in MATRIX_PRESETS}
MATRIX_BY_NAME = {p[0]: p for p in MATRIX_PRESETS}


def matrix_point_name(point):
    return "In%d to Out%d" % ((point & 3) + 1, (point >> 2) + 1)


def matrix_parameters(steps, first_id=0):
    return [parameter(matrix_point_name(p), first_id + p, half_db_text(steps[p]), steps[p]) for p in range(16)]


def matrix_steps_for_device(preset_id, inputs, outputs, editable_mask=0x0F):
    # As the matrix editor leaves them: points the family lacks are off, points
    # of outputs it may not edit are marked.
    steps = matrix_levels(MATRIX_BY_ID[preset_id][4])
    for p in range(16):
        i, o = p & 3, p >> 2
        if not editable_mask & (1 << o):
            steps[p] = MATRIX_MARKED
        elif i >= inputs or o >= outputs:
            steps[p] = MATRIX_OFF
    return steps


def suitable_matrix_presets(inputs, outputs):
    return [p for p in MATRIX_PRESETS if p[2] <= inputs and p[3] <= outputs]


# --------------------------------------------------------------------------
# Device families and their templates.

FAMILIES = {
    # name: (id, inputs, outputs, gpis, gpos, product name, model id, output sets, default matrix preset)
    "ZELTA": (0, 2, 2, 2, 1, "Zelta 120/2", 6, [0x01, 0x02, 0x03], "Stereo 1/2"),
    "ZELTA M": (1, 4, 4, 2, 1, "Zelta 120/2M", 4, FULL_OUTPUT_SETS, "Default"),
    "ZELTA 70": (2, 2, 1, 2, 1, "Zelta 120/1-70", 19, [0x01], "Mono 1+2"),
}


def output_set_name(mask):
    return " and ".join(OUTPUT_NAMES[b] for b in range(4) if mask & (1 << b))


def root_attributes(name, product, model_id, preset_id=None):
    attributes = [("Name", name), ("ProductName", product), ("ProductModelId", model_id),
                  ("SVNRev", TOOL_REVISION), ("CorvadineRev", "2")]
    if preset_id is not None:
        attributes.append(("Id", preset_id))
    return attributes


def preset_root(name, preset_id, extra=()):
    return Element("CORVADINE", root_attributes(name, "Zelta 120/2M", 4, preset_id) + list(extra))


def template_settings(family):
    fid, inputs, outputs, _, _, product, model_id, _, matrix_name = FAMILIES[family]
    effects = [router_effect()]
    effects += [eq_effect("PEQ%d Preset" % (n + 1), PEQ_IDS[n], FLAT_BANDS) for n in range(inputs)]
    matrix_id = MATRIX_BY_NAME[matrix_name][1]
    effects.append(effect("Matrix4x4 Preset", MATRIX_ID,
                          matrix_parameters(matrix_steps_for_device(matrix_id, inputs, outputs))))
    effects += [eq_effect("EQ%d Preset" % (n + 1), EQ_IDS[n], FLAT_BANDS) for n in range(outputs)]
    effects += [qmx_effect(n) for n in range(outputs)]
    effects.append(effect("Router1 Preset", ROUTER1_ID,
                          [parameter("Volume %d" % (i + 1), i, half_db_text(0), 0) for i in range(4)]))
    effects += [limiter_effect("Apm%d Preset" % (n + 1), APM_IDS[n], 500) for n in range(outputs)]
    if fid == 2:
        # The single-output family keeps two spare limiters under these Ids.
        effects += [limiter_effect("Apm3 Preset", 68, 500), limiter_effect("Apm4 Preset", 70, 500)]
    effects += [single_band_effect(n, (6, 240, eq_frequency_step(100), eq_width_step(1.0))) for n in range(outputs)]
    effects += [effect("Delay%d Preset" % (n + 1), DELAY_IDS[n], [parameter("Time", 0, "0 Smpl", 0)])
                for n in range(outputs)]
    root = Element("CORVADINE", root_attributes("ZELTA Device CV", product, model_id), effects)
    root.add(controls_element())
    return root


def combo(wid, value, sel_id):
    return Element("ComboBox", [("id", wid), ("Value", value), ("SelId", sel_id)])


def voltage_value(value):
    return "%.1f" % value if value != 1025 else "1025"


# --------------------------------------------------------------------------
# Speaker presets.

def speaker_bands(low_hz, high_hz=None, low_bump=2.0, presence=-1.5, air=1.5, sub=False, horn=False):
    if sub:
        return [band("LoCut12", 0, low_hz), band("Band", 3.0, low_hz * 1.6, 1.2),
                band("Band", 0, 160), band("HiCut12", 0, high_hz)]
    if horn:
        return [band("LoCut12", 0, low_hz), band("Band", 3.0, 2000, 1.5),
                band("Band", -2.0, 4000, 2.0), band("HiCut12", 0, high_hz)]
    top = band("HiCut12", 0, high_hz) if high_hz else band("HiShelve3", air, 10000)
    return [band("LoCut12", 0, low_hz), band("Band", low_bump, low_hz * 1.5, 1.4),
            band("Band", presence, 2500, 2.0), top]


def speaker_preset(name, preset_id, bands, limit_volts=None, adlc=(0, 0, 0), xover=(150, 2500), enhance=None,
                   low_limit_hz=None):
    root = preset_root(name, preset_id)
    root.add(eq_effect("EQ1 Preset", EQ_IDS[0], bands))
    if limit_volts is None:
        return root
    root.add(limiter_effect("Apm1 Preset", APM_IDS[0], int(round(limit_volts * 10))))
    values = {
        QMX_BYPASS: 0,
        QMX_LOW_GAIN: 37 + adlc[0], QMX_MID_GAIN: 37 + adlc[1], QMX_HIGH_GAIN: 37 + adlc[2],
        QMX_XOVER_LOW: eq_frequency_step(xover[0]), QMX_XOVER_HIGH: eq_frequency_step(xover[1]),
        QMX_LOW_LIMIT: bands[0][2] if low_limit_hz is None else eq_frequency_step(low_limit_hz),
    }
    if bands[3][0] == EQ_TYPE_NAMES.index("HiCut12"):
        values[QMX_HIGH_LIMIT] = bands[3][2]
    root.add(qmx_effect(0, values))
    # The single band of the loudness correction lifts the speaker's lowest octave.
    hz, gain_db = enhance if enhance else (eq_frequency_value(bands[0][2]) * 1.3, 3.0)
    root.add(single_band_effect(0, (6, eq_gain_step(gain_db), eq_frequency_step(hz), eq_width_step(1.0))))
    return root


def full_range(name, pid, low_hz, limit, adlc, **kw):
    return speaker_preset(name, pid, speaker_bands(low_hz, **kw), limit, adlc)


def subwoofer(name, pid, low_hz, high_hz, limit):
    return speaker_preset(name, pid, speaker_bands(low_hz, high_hz, sub=True), limit, (3, 0, 0),
                          xover=(60, 120), enhance=(low_hz * 1.4, 2.0))


def eq_only(name, pid, bands):
    return speaker_preset(name, pid, bands)


def speaker_presets():
    own_ids = iter(list(range(2, 16)) + list(range(26, 66)))
    nid = lambda: next(own_ids)
    presets = [speaker_preset("Flat", 1, FLAT_BANDS, 50.0, enhance=(100, 0.0), low_limit_hz=20)]

    own = [
        full_range("Two-way 5in Full Range", nid(), 100, 25.0, (4, 0, 2)),
        full_range("Two-way 6.5in Full Range", nid(), 80, 28.0, (3, 0, 2)),
        full_range("Two-way 8in Full Range", nid(), 65, 32.0, (3, 0, 1)),
        full_range("Two-way 10in Full Range", nid(), 55, 40.0, (2, 0, 1)),
        full_range("Two-way 12in Full Range", nid(), 50, 45.0, (2, 0, 1)),
        full_range("Two-way 15in Full Range", nid(), 45, 50.0, (2, 0, 1)),
        full_range("Three-way 15in Full Range", nid(), 40, 50.0, (1, 0, 1), presence=-1.0),
        full_range("Coaxial 8in Full Range", nid(), 65, 32.0, (3, 0, 1), presence=-2.5),
        full_range("Coaxial 12in Full Range", nid(), 50, 45.0, (2, 0, 1), presence=-2.5),
        full_range("Ceiling 4in Two-way", nid(), 120, 20.0, (4, 0, 3), air=3.0),
        full_range("Ceiling 5in Two-way", nid(), 100, 22.5, (4, 0, 3), air=3.0),
        full_range("Ceiling 6.5in Two-way", nid(), 80, 25.0, (3, 0, 3), air=2.5),
        full_range("Ceiling 8in Two-way", nid(), 65, 28.0, (3, 0, 2), air=2.5),
        full_range("Ceiling 6.5in Low Profile", nid(), 90, 22.5, (4, 0, 3), low_bump=3.0, air=3.0),
        subwoofer("Ceiling 8in Subwoofer", nid(), 40, 120, 32.0),
        full_range("Pendant 5in Two-way", nid(), 100, 22.5, (4, 0, 2), air=2.0),
        full_range("Pendant 6.5in Two-way", nid(), 80, 25.0, (3, 0, 2), air=2.0),
        full_range("Surface 3in Full Range", nid(), 150, 15.0, (5, 0, 2), low_bump=3.0),
        full_range("Surface 4in Two-way", nid(), 120, 20.0, (4, 0, 2)),
        full_range("Surface 5in Two-way", nid(), 100, 22.5, (4, 0, 1)),
        full_range("Surface 6.5in Two-way", nid(), 80, 25.0, (3, 0, 1)),
        full_range("In-wall 6.5in Two-way", nid(), 80, 25.0, (2, 0, 2), low_bump=-1.5),
        full_range("In-wall 8in Two-way", nid(), 65, 28.0, (2, 0, 2), low_bump=-1.5),
        full_range("Weatherproof 5in Two-way", nid(), 100, 22.5, (4, 0, 2), air=2.0),
        full_range("Weatherproof 6.5in Two-way", nid(), 80, 25.0, (3, 0, 2), air=2.0),
        full_range("Weatherproof 8in Two-way", nid(), 65, 28.0, (3, 0, 2), air=2.0),
        full_range("Column 4x3in", nid(), 150, 25.0, (5, 0, 2), low_bump=4.0, air=2.5),
        full_range("Column 8x3in", nid(), 120, 32.0, (4, 0, 2), low_bump=3.5, air=2.5),
        full_range("Column 16x2in", nid(), 150, 40.0, (5, 0, 2), low_bump=4.0, air=3.0),
        full_range("Line Array 2x6.5in Module", nid(), 80, 40.0, (2, 0, 1), presence=-2.0),
        full_range("Line Array 2x8in Module", nid(), 70, 45.0, (2, 0, 1), presence=-2.0),
        full_range("Compact Monitor 5in", nid(), 90, 22.5, (3, 0, 1), low_bump=1.0, air=0.5),
        full_range("Studio Monitor 6.5in", nid(), 60, 28.0, (2, 0, 0), low_bump=0.5, presence=-0.5, air=0.5),
        full_range("Stage Wedge 12in", nid(), 70, 45.0, (1, 0, 0), low_bump=-3.0, presence=-3.0, air=1.0),
        full_range("Stage Wedge 15in", nid(), 60, 50.0, (1, 0, 0), low_bump=-3.0, presence=-3.0, air=1.0),
        subwoofer("Subwoofer 10in", nid(), 35, 120, 40.0),
        subwoofer("Subwoofer 12in", nid(), 32, 100, 45.0),
        subwoofer("Subwoofer 15in", nid(), 28, 100, 50.0),
        subwoofer("Subwoofer 18in", nid(), 25, 90, 50.0),
        subwoofer("Dual 15in Subwoofer", nid(), 28, 90, 50.0),
        subwoofer("Bandpass Subwoofer 12in", nid(), 40, 110, 45.0),
        eq_only("Paging Horn 15W", nid(), speaker_bands(400, 7000, horn=True)),
        eq_only("Paging Horn 30W", nid(), speaker_bands(300, 8000, horn=True)),
        eq_only("Projector 5in", nid(), speaker_bands(120, 12000, low_bump=2.5, presence=-1.0)),
        eq_only("Cabinet 6.5in 100V", nid(), speaker_bands(100, None, low_bump=2.0, air=2.0)),
        eq_only("Wall Panel Flat", nid(), speaker_bands(150, None, low_bump=3.5, presence=-2.0, air=2.0)),
        eq_only("Sound Bar Passive", nid(), speaker_bands(110, None, low_bump=3.0, presence=1.5, air=1.0)),
        eq_only("Garden Bollard 5in", nid(), speaker_bands(110, 12000, low_bump=3.0, presence=-1.0)),
        eq_only("Landscape Rock 6.5in", nid(), speaker_bands(90, 10000, low_bump=2.5, presence=-1.5)),
    ]
    assert len(own) == 49
    generic = [
        full_range("Large Full Range 40Hz", 19, 40, 50.0, (1, 0, 1)),
        full_range("Large Full Range 60Hz", 20, 60, 50.0, (2, 0, 1)),
        full_range("Large Full Range 80Hz", 21, 80, 50.0, (2, 0, 1)),
        full_range("Medium Full Range 80Hz", 22, 80, 35.0, (3, 0, 1)),
        full_range("Medium Full Range 100Hz", 23, 100, 35.0, (3, 0, 1)),
        full_range("Small Full Range 100Hz", 24, 100, 25.0, (4, 0, 2)),
        full_range("Small Full Range 120Hz", 25, 120, 25.0, (4, 0, 2)),
        subwoofer("SUB 80Hz", 16, 30, 80, 50.0),
        subwoofer("SUB 100Hz", 17, 30, 100, 50.0),
        subwoofer("SUB 120Hz", 18, 30, 120, 50.0),
    ]
    return presets + own + generic


# --------------------------------------------------------------------------
# EQ, input, output-set, RS232 and switching presets.

EQ_CURVES = [
    ("Flat", 1, FLAT_BANDS),
    ("Low Cut", 2, [band("LoCut12", 0, 80)] + FLAT_BANDS[1:]),
    ("High Cut", 3, FLAT_BANDS[:3] + [band("HiCut12", 0, 8000)]),
    ("SUB", 4, [band("LoCut12", 0, 30), band("Band", 0, 60), band("Band", 0, 80), band("HiCut12", 0, 120)]),
]


def output_eq_presets():
    documents = []
    for name, pid, bands in EQ_CURVES:
        root = preset_root(name, pid)
        root.add(eq_effect("EQ1 Preset", EQ_IDS[0], bands))
        root.add(effect("Apm1 Preset", APM_IDS[0],
                        [parameter("V Lim", 7, "50.0 Vpk", 500), parameter("R Out", 4, "4.0 Ohm", 40)]))
        documents.append(root)
    return documents


def input_eq_presets():
    documents = []
    for name, pid, bands in EQ_CURVES:
        root = preset_root(name, pid)
        root.add(eq_effect("PEQ1 Preset", PEQ_IDS[0], bands))
        documents.append(root)
    return documents


INPUT_PRESETS = [
    ("Line", 1, 0.0, FLAT_BANDS),
    ("Vocal 100Hz CUT", 2, 6.0,
     [band("LoCut12", 0, 100), band("Band", -2.0, 300, 1.5), band("Band", 3.0, 3000, 1.5), band("Band", 0, 8000)]),
]


def input_presets():
    documents = []
    for name, pid, gain_db, bands in INPUT_PRESETS:
        root = preset_root(name, pid)
        step = int(round(gain_db * 2))
        root.add(effect("Router Preset", ROUTER_ID, [parameter("Input Gain 1", 0, half_db_text(step), step)]))
        root.add(eq_effect("PEQ1 Preset", PEQ_IDS[0], bands))
        documents.append(root)
    return documents


def matrix_presets():
    documents = []
    for name, pid, min_in, min_out, connections in MATRIX_PRESETS:
        root = preset_root(name, pid, [("MinInChs", min_in), ("MinOutChs", min_out)])
        root.add(effect("Matrix4x4 Preset", MATRIX_ID, matrix_parameters(matrix_levels(connections))))
        documents.append(root)
    return documents


MODIFIER_ROW_NAMES = ["Source", "Target Effect", "Target Param", "Mode", "In Min", "In Max", "Out Min",
                      "Out Max", "Positions", "Step 1", "Step 2", "Step 3", "Step 4"]


def modifier(name, mid, source, target, target_parameter, mode, input_range, output_range, steps=(), positions=0):
    # mode 0 maps the source linearly from the input range onto the output
    # range; mode 1 picks one of the step values by switch position.
    target_id, target_name = target
    parameter_id, parameter_name = target_parameter
    low, high = input_range
    adc = source in (2, 3)
    unused = 0 if mode == 0 else MATRIX_OFF
    steps = list(steps) + [unused] * (4 - len(steps))
    values = [
        (MODIFIER_SOURCES[source], source),
        (target_name, target_id),
        (parameter_name, parameter_id),
        ("Linear" if mode == 0 else "Steps", mode),
        (adc_volt_text(low) if adc else str(low), low),
        (adc_volt_text(high) if adc else str(high), high),
        (half_db_text(output_range[0]), output_range[0]),
        (half_db_text(output_range[1]), output_range[1]),
        (str(positions), positions),
    ]
    values += [(half_db_text(s), s) for s in steps]
    return Element("MODIFIER", [("Name", name), ("Id", mid)],
                   [parameter(MODIFIER_ROW_NAMES[i], i, d, s) for i, (d, s) in enumerate(values)])


def output_gain_modifier(name, mid, source, output, letter="C"):
    target = (13 if letter == "C" else 17) + output
    return modifier(name, mid, source, (ROUTER_ID, "Router Preset"),
                    (target, "Output Gain %d%s" % (output + 1, letter)), 0,
                    (0, 1023) if source in (2, 3) else (0, 100), (-200, 0))


def output_set_presets():
    names = ["SPK1", "SPK2", "OUT3", "OUT4", "SPK1 and SPK2", "SPK1 and OUT3", "SPK1 and OUT4",
             "SPK2 and OUT3", "SPK2 and OUT4", "OUT3 and OUT4", "SPK1 and SPK2 and OUT3",
             "SPK1 and SPK2 and OUT4", "SPK2 and OUT3 and OUT4", "SPK2 and OUT3 and OUT4",
             "SPK1 and SPK2 and OUT3 and OUT4"]
    documents = []
    for index, (name, mask) in enumerate(zip(names, FULL_OUTPUT_SETS)):
        root = preset_root(name, index + 1)
        outputs = [b for b in range(4) if mask & (1 << b)]
        for k, output in enumerate(outputs):
            root.add(output_gain_modifier("Mod %d  Preset" % (k + 3), 4 + 2 * k, 2, output))
        documents.append(root)
    return documents


def rs232_presets():
    root = preset_root("RS232_MODIFIERS", 1)
    for k in range(4):
        root.add(output_gain_modifier("Mod %d  Preset" % (k + 3), 4 + 2 * k, 6 + k, k))
    return [root]


SWITCHING_PRESETS = [
    ("Stereo: Mute , 1/2 , 3/4", ["Mute", "Stereo 1/2", "Stereo 3/4"]),
    ("Stereo: Mute , 1/2 , Mix , 3/4", ["Mute", "Stereo 1/2", "Stereo Mix", "Stereo 3/4"]),
    ("Mono: Mute , 1+2 , All , 3+4", ["Mute", "Mono 1+2", "Mono All", "Mono 3+4"]),
    ("Mono: 1 , 2 , 3 , 4", ["Mono 1", "Mono 2", "Mono 3", "Mono 4"]),
]


def switching_presets():
    documents = []
    for index, (name, positions) in enumerate(SWITCHING_PRESETS):
        root = preset_root(name, index + 1)
        levels = [matrix_levels(MATRIX_BY_NAME[p][4]) for p in positions]
        for point in range(16):
            mid = 16 + 2 * point
            root.add(modifier("Mod %d  Preset" % (mid // 2 + 1), mid, 2, (MATRIX_ID, "Matrix4x4 Preset"),
                              (point, matrix_point_name(point)), 1, (0, 1023), (MATRIX_OFF, 0),
                              [lv[point] for lv in levels], len(positions)))
        documents.append(root)
    return documents


# --------------------------------------------------------------------------
# Devices: a template, optionally changed the way the setup pages change it.

INPUT_PRESET_BY_NAME = {p[0]: p for p in INPUT_PRESETS}


def renumber_for_channel(source_effect, n):
    e = source_effect.copy()
    name = e.get("Name")
    families = {"PEQ1 Preset": ("PEQ", PEQ_IDS), "EQ1 Preset": ("EQ", EQ_IDS), "QMX1 Preset": ("QMX", QMX_IDS),
                "Apm1 Preset": ("Apm", APM_IDS), "SingleBand1 Preset": ("SingleBand", SINGLE_BAND_IDS)}
    if name == "Router Preset":
        for p in e.children:
            if p.get("Name") == "Input Gain 1":
                p.set("Name", "Input Gain %d" % (n + 1))
                p.set("Id", n)
    elif name in families:
        stem, ids = families[name]
        e.set("Name", "%s%d Preset" % (stem, n + 1))
        e.set("Id", ids[n])
    return e


def merge_effect(settings, source_effect):
    target = settings.find("EFFECT", source_effect.get("Id"), source_effect.get("Name"))
    if target is None:
        target = settings.add(Element("EFFECT", [("Name", source_effect.get("Name")), ("Id", source_effect.get("Id"))]))
    for p in source_effect.children:
        existing = target.find("PARAMETER", p.get("Id"), p.get("Name"))
        if existing is None:
            target.add(p.copy())
        else:
            target.children[target.children.index(existing)] = p.copy()


def merge_preset(settings, preset, n):
    for e in preset.children:
        if e.tag == "EFFECT":
            merge_effect(settings, renumber_for_channel(e, n))


def set_parameter(effect_element, pid, display, step):
    p = effect_element.find("PARAMETER", pid)
    p.set("DisplayValue", display)
    p.set("StepValue", step)


def interval_bounds(knobs, type_id):
    enabled = [True, True, type_id > 2, type_id > 3]
    records = sorted([(knobs[k], k) for k in range(4) if enabled[k]], key=lambda r: r[0])
    bounds = [(2048, 2048)] * 4
    upper = -1
    for i, (value, k) in enumerate(records):
        lower = 0 if i == 0 else upper + 1
        upper = 1023 if i == len(records) - 1 else int((value + records[i + 1][0]) * 0.5 - 1.0)
        bounds[k] = (lower, upper)
    return bounds


def matrix_mod(g, knobs, type_id, positions, inputs, outputs, editable_mask):
    number = g + 1
    mod = Element("MATRIXMOD", [("Name", "MatrixMod%d" % number), ("Id", 2 * g + 20)])
    mod.add(Element("EFFECT", [], [Element("PARAMETER", [("Name", "GPI%d" % number), ("Id", 0), ("StepValue", g + 2)])]))
    bounds = interval_bounds(knobs, type_id)
    for k in range(4):
        a = 1 + 18 * k
        low, high = bounds[k]
        mod.add(effect("Interval Values %d" % (k + 1), 2 * k + 1,
                       [parameter("XMIN", a, adc_volt_text(low), low), parameter("XMAX", a + 1, adc_volt_text(high), high)]))
        steps = matrix_steps_for_device(positions[k], inputs, outputs, editable_mask)
        mod.add(effect("Matrix Step %d" % (k + 1), 2 * k + 2, matrix_parameters(steps, a + 2)))
    return mod


def gpi_state(g, gpi, family):
    fid, inputs, outputs, _, _, _, _, sets, _ = FAMILIES[family]
    function = gpi.get("function", 0)
    set_id = gpi.get("set", 1)
    type_id = gpi.get("type", 1)
    knobs = gpi.get("knobs", [871, 633, 448, 175])
    positions = gpi.get("positions", [2, 3, 6, 12])
    names = {p[1]: p[0] for p in suitable_matrix_presets(inputs, outputs)}
    state = Element("GPI%d" % (g + 1))
    state.add(combo(0, GPI_FUNCTIONS[function], function + 1))
    state.add(combo(1, output_set_name(sets[set_id - 1]), set_id))
    state.add(combo(2, INPUT_TYPES[type_id - 1], type_id))
    enabled = [True, True, type_id > 2, type_id > 3]
    for k in range(4):
        state.add(Element("Voltage", [("id", 3 + k), ("Value", voltage_value(knobs[k] if enabled[k] else 1025))]))
    for k in range(4):
        state.add(combo(7 + k, names[positions[k]], positions[k]))
    return state


def free_modifier_id(settings):
    for k in range(2, 10):
        if settings.find("MODIFIER", 2 * k) is None:
            return k
    raise ValueError("no free modifier")


def build_device(family, name, model=None, inputs=None, matrix=None, outputs=None, gpis=None, gpo="Normally Closed",
                 template=False):
    fid, n_in, n_out, n_gpi, n_gpo, _, _, sets, default_matrix = FAMILIES[family]
    inputs = inputs or [("IN%d" % (i + 1), "Line") for i in range(n_in)]
    outputs = outputs or [dict(label=OUTPUT_NAMES[n]) for n in range(n_out)]
    gpis = gpis or [dict(label="GPI%d" % (g + 1)) for g in range(n_gpi)]
    matrix = matrix or default_matrix
    assert len(inputs) == n_in and len(outputs) == n_out and len(gpis) == n_gpi

    attributes = [("name", name)] + ([("model", model)] if model else [])
    device = Element("Device", attributes)
    for i, (label, _) in enumerate(inputs):
        device.add(Element("Input", [("id", i), ("label", label)]))
    for n, out in enumerate(outputs):
        device.add(Element("Output", [("id", n), ("label", out["label"])]))
    for g, gpi in enumerate(gpis):
        device.add(Element("GPI", [("id", g), ("label", gpi["label"])]))
    device.add(Element("GPO", [("id", 0), ("label", gpo)]))

    settings = template_settings(family)

    input_state = device.add(Element("InputSelection"))
    for i, (_, preset_name) in enumerate(inputs):
        pname, pid, gain_db, bands = INPUT_PRESET_BY_NAME[preset_name]
        input_state.add(combo(i, pname, pid))
        merge_preset(settings, input_presets()[pid - 1], i)

    matrix_preset = MATRIX_BY_NAME[matrix]
    device.add(Element("MatrixSelection", [], [combo(0, matrix_preset[0], matrix_preset[1])]))

    # Outputs that a GPI source selector switches are marked in the device's matrix.
    selector_mask = 0
    for gpi in gpis:
        if gpi.get("function", 0) == 2:
            selector_mask |= sets[gpi.get("set", 1) - 1]
    full_mask = (1 << n_out) - 1
    editable = 0x0F if selector_mask == full_mask else (~selector_mask & 0x0F)
    matrix_effect = settings.find("EFFECT", MATRIX_ID)
    matrix_effect.children = matrix_parameters(matrix_steps_for_device(matrix_preset[1], n_in, n_out, editable))

    output_state = device.add(Element("OutputSelection"))
    speakers = {p.get("Name"): p for p in speaker_presets()}
    limits = []
    for n, out in enumerate(outputs):
        preset = speakers[out.get("speaker", "Flat")]
        output_state.add(combo(n, preset.get("Name"), preset.get("Id")))
        merge_preset(settings, preset, n)
        qmx = settings.find("EFFECT", QMX_IDS[n])
        single = settings.find("EFFECT", SINGLE_BAND_IDS[n])
        if out.get("adlc", False):
            set_parameter(qmx, QMX_BYPASS, "On", 0)
        else:
            set_parameter(qmx, QMX_BYPASS, "Bypass", 1)
            for pid in (QMX_LOW_GAIN, QMX_MID_GAIN, QMX_HIGH_GAIN):
                set_parameter(qmx, pid, "0 dB", 37)
            set_parameter(single, 1, "0 dB", 240)
        if fid == 2 and not template:
            limiter = settings.find("EFFECT", APM_IDS[0], "Apm1 Preset")
            limiter.children = [p for p in limiter.children if p.get("Id") != "7"]
            limits.append(50.0)
        else:
            step = int(settings.find("EFFECT", APM_IDS[n]).find("PARAMETER", 7).get("StepValue"))
            limits.append(min(50.0, step / 10.0))
        samples = min(6143, int(out.get("delay", 0.0) * 48))
        set_parameter(settings.find("EFFECT", DELAY_IDS[n]), 0, "%d Smpl" % samples, samples)
    for n, out in enumerate(outputs):
        output_state.add(Element("CheckBox", [("id", 4 + n), ("Value", "On" if out.get("adlc", False) else "Off")]))
    for n, out in enumerate(outputs):
        delay = out.get("delay", 0.0)
        output_state.add(Element("Delay", [("id", 8 + n), ("Value", "0" if template else "%.1f" % delay)]))
    if not template:
        for n in range(n_out):
            output_state.add(Element("Apm", [("id", 12 + n), ("Value", "%.1f" % limits[n])]))

    control_state = device.add(Element("ControlSelection"))
    settings.children = [c for c in settings.children if c.tag != "CONTROLS"]
    settings.add(controls_element([gpi.get("function", 0) for gpi in gpis]))
    for g, gpi in enumerate(gpis):
        control_state.add(gpi_state(g, gpi, family))
        function = gpi.get("function", 0)
        if function == 1:
            mask = sets[gpi.get("set", 1) - 1]
            for output in [b for b in range(4) if mask & (1 << b)]:
                k = free_modifier_id(settings)
                letter = "C" if g == 0 else "D"
                settings.add(output_gain_modifier("Mod %d Preset" % (k + 1), 2 * k, g + 2, output, letter))
        elif function == 2:
            mask = sets[gpi.get("set", 1) - 1]
            settings.add(matrix_mod(g, gpi["knobs"], gpi["type"], gpi["positions"], n_in, n_out, mask))
    control_state.add(Element("GPO"))

    device.add(settings)
    return device


def application(title, description, revision, devices):
    root = Element("Application")
    root.add(Element("Title", text=title))
    root.add(Element("Author", text="Quenbrel"))
    root.add(Element("Description", text=description))
    root.add(Element("SvnRevision", text=str(revision)))
    for d in devices:
        root.add(d)
    return root


def device_templates():
    return [build_device(f, f, model=f, template=True) for f in ("ZELTA", "ZELTA M", "ZELTA 70")]


CLOSING_CONTACT_KNOBS = [1023, 0, 1023, 1023]
LADDER_KNOBS = [871, 633, 448, 175]


def example_applications():
    templates = device_templates()
    defaults = [
        application("ZELTA Default", "Default settings of a ZELTA amplifier: two inputs, two speaker outputs.",
                    764, [templates[0]]),
        application("ZELTA M Default", "Default settings of a ZELTA M amplifier: four inputs, four outputs.",
                    764, [templates[1]]),
        application("ZELTA 70 Default",
                    "Default settings of a ZELTA 70 amplifier: two inputs, one output for a 70 V / 100 V line.",
                    764, [templates[2]]),
    ]

    def room(name):
        return build_device(
            "ZELTA M", name,
            inputs=[("Mic", "Vocal 100Hz CUT"), ("Laptop", "Line"), ("HDMI", "Line"), ("Aux", "Line")],
            matrix="Mono All",
            outputs=[dict(label="Ceiling L", speaker="Ceiling 6.5in Two-way", adlc=True),
                     dict(label="Ceiling R", speaker="Ceiling 6.5in Two-way", adlc=True),
                     dict(label="Sub", speaker="Ceiling 8in Subwoofer", adlc=True),
                     dict(label="OUT4", speaker="Flat")],
            gpis=[dict(label="Volume", function=1, set=5), dict(label="Wake", function=4)])

    meeting = application(
        "Meeting Rooms",
        "Two meeting rooms, one amplifier each. A wall potentiometer on GPI 1 sets the level of the ceiling "
        "speakers, a contact on GPI 2 wakes the amplifier.",
        582, [room("Room 1"), room("Room 2")])

    shop = build_device(
        "ZELTA M", "Shop Floor",
        inputs=[("Music L", "Line"), ("Music R", "Line"), ("Promo L", "Line"), ("Promo R", "Line")],
        outputs=[dict(label="Front", speaker="Ceiling 6.5in Two-way", adlc=True),
                 dict(label="Back", speaker="Ceiling 6.5in Two-way", adlc=True),
                 dict(label="Window", speaker="Surface 5in Two-way", adlc=True, delay=10.0),
                 dict(label="Entrance", speaker="Weatherproof 5in Two-way", adlc=True, delay=10.0)],
        gpis=[dict(label="Volume", function=1, set=15),
              dict(label="Source", function=2, set=15, type=3, knobs=LADDER_KNOBS, positions=[9, 10, 12, 1])])
    cafe = build_device(
        "ZELTA M", "Cafe",
        inputs=[("Music L", "Line"), ("Music R", "Line"), ("Mic", "Vocal 100Hz CUT"), ("Aux", "Line")],
        matrix="Stereo 1/2",
        outputs=[dict(label="Left", speaker="Pendant 5in Two-way", adlc=True),
                 dict(label="Right", speaker="Pendant 5in Two-way", adlc=True),
                 dict(label="Sub", speaker="Subwoofer 10in", adlc=True),
                 dict(label="OUT4", speaker="Flat")],
        gpis=[dict(label="Mute", function=3), dict(label="GPI2")])
    retail = application(
        "Retail/Commercial",
        "A shop floor with background music and promotions, chosen by a three-position switch on GPI 2, and a "
        "cafe whose music a fire panel contact on GPI 1 mutes.",
        582, [shop, cafe])

    mono = build_device(
        "ZELTA M", "Main",
        inputs=[("Source A", "Line"), ("Source B", "Line"), ("IN3", "Line"), ("IN4", "Line")],
        matrix="Mono 1",
        outputs=[dict(label=OUTPUT_NAMES[n], speaker="Two-way 8in Full Range", adlc=True) for n in range(4)],
        gpis=[dict(label="GPI1"),
              dict(label="A/B", function=2, set=15, type=1, knobs=CLOSING_CONTACT_KNOBS, positions=[2, 3, 1, 1])])
    two_mono = application(
        "Two Mono Sources",
        "Two mono sources on inputs 1 and 2; a switch on GPI 2 chooses which one plays on every output.",
        582, [mono])

    stereo = build_device(
        "ZELTA M", "Main",
        inputs=[("A Left", "Line"), ("A Right", "Line"), ("B Left", "Line"), ("B Right", "Line")],
        matrix="Stereo 1/2",
        outputs=[dict(label=OUTPUT_NAMES[n], speaker="Two-way 8in Full Range", adlc=True) for n in range(4)],
        gpis=[dict(label="GPI1"),
              dict(label="A/B", function=2, set=15, type=1, knobs=CLOSING_CONTACT_KNOBS, positions=[9, 10, 1, 1])])
    two_stereo = application(
        "Two Stereo Sources",
        "Two stereo sources on inputs 1/2 and 3/4; a switch on GPI 2 chooses which pair plays.",
        582, [stereo])

    return defaults + [meeting, retail, two_mono, two_stereo]


# --------------------------------------------------------------------------


def slug(text):
    return re.sub(r"[^a-z0-9]+", "-", text.lower()).strip("-")


def main():
    groups = [
        (0, "example", example_applications(), lambda e: e.find("Title").text),
        (1, "template", device_templates(), lambda e: e.get("name")),
        (2, "output-eq", output_eq_presets(), lambda e: e.get("Name")),
        (3, "input", input_presets(), lambda e: e.get("Name")),
        (4, "matrix", matrix_presets(), lambda e: e.get("Name")),
        (5, "output-set", output_set_presets(), lambda e: "%02d-%s" % (int(e.get("Id")), e.get("Name"))),
        (6, "input-eq", input_eq_presets(), lambda e: e.get("Name")),
        (7, "rs232", rs232_presets(), lambda e: e.get("Name")),
        (8, "switching", switching_presets(), lambda e: e.get("Name")),
        (9, "speaker", speaker_presets(), lambda e: e.get("Name")),
    ]
    os.makedirs(OUTPUT_FOLDER, exist_ok=True)
    for old in os.listdir(OUTPUT_FOLDER):
        if old.endswith(".xml"):
            os.remove(os.path.join(OUTPUT_FOLDER, old))

    manifest = ["# position category file (written by resources/tools/make_documents.py)"]
    position = 0
    for category, kind, documents, title in groups:
        for document in documents:
            file_name = "%03d-%s-%s.xml" % (position, kind, slug(title(document)))
            with open(os.path.join(OUTPUT_FOLDER, file_name), "w", encoding="utf-8", newline="\n") as f:
                f.write(document_text(document))
            manifest.append("%d %d %s" % (position, category, file_name))
            position += 1
    assert position == 112, position
    with open(os.path.join(OUTPUT_FOLDER, "manifest.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(manifest) + "\n")


if __name__ == "__main__":
    main()
