#!/usr/bin/env python3
"""Board catalog generator.

One master list of boards (built below, one Board record per model) is the single source of
every model-name table of the monitor and of the simulator's board profiles:

  monitor/boards/board_tables_startup.cpp   classification, ChkMBModel, display names
  monitor/boards/board_tables_chip.cpp      chip set-up lists, temperature, item table, limits
  monitor/boards/board_tables_alarms.cpp    alarm lists, chassis tables, fan control, fan names
  monitor/boards/board_tables_catalog.cpp   the master list itself (AllKnownModels)
  sim/board/catalog_profiles.cpp            one simulated board profile per model

The simulator file includes no monitor header: it is written from the same records but holds its
own copy of the facts. Run from anywhere:  python3 tools/gen_catalog_profiles.py
The script checks every count the tables must have and stops with a message naming the table.
"""
import os
import random
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------------------------------------
# The board record
# ---------------------------------------------------------------------------------------------

W627, W697, W637, I705, I712 = "W83627HF", "W83697HF", "W83637HF", "IT8705F", "IT8712F"
WINBOND = (W627, W697, W637)


class Board:
    def __init__(self, name, chip, **kw):
        self.name = name
        self.chip = chip
        self.variant = 0          # BoardVariant (ITE wiring 1..5)
        self.cls_group = None     # start-up table group 1..6 (ITE boards)
        self.item_group = None    # key of the item-table group, None = unlisted
        self.refused = None       # None, "chassis", "items", "chkmb"
        self.label = None         # ChkMBModel outcome, None = not listed
        self.chassis = None       # detection method, None = not in the table
        self.disable_clear = None
        self.ignore_clear = None
        self.fan = False
        self.routine = None       # temperature routine
        self.display_kind = "kSame"
        self.display = None
        self.config_port = 0x2E
        self.ten_list = False
        self.flags = set()
        for k, v in kw.items():
            setattr(self, k, v)

    @property
    def prefix(self):
        p = self.name[:2]
        return p if p in ("ZQ", "ZR", "ZT", "ZV") else ""

    @property
    def family(self):
        return 2 if self.chip in (I705, I712) else 1

    @property
    def supported(self):
        return self.refused is None


BOARDS = []


def add(name, chip, **kw):
    b = Board(name, chip, **kw)
    BOARDS.append(b)
    return b


def pool(prefix, numbers, variants=("", "E", "L")):
    for n in numbers:
        for v in variants:
            yield f"{prefix}{n}{v}"


# ---------------------------------------------------------------------------------------------
# ITE boards: the start-up table (34 names that can match)
# ---------------------------------------------------------------------------------------------

ITE_GROUPS = [  # (group, variant, chip, names)
    (1, 1, I705, ["ZR41", "ZR41E"]),
    (2, 3, I712, ["ZR45", "ZQ45"]),
    (3, 4, I712, ["ZR60", "ZR60E", "ZR61", "ZR61E", "ZR62", "ZR62L", "ZR63", "ZR63L"]),
    (4, 5, I712, ["ZQ60", "ZQ60E", "ZQ61", "ZQ61E", "ZQ68"]),
    (5, 2, I705, ["ZR42", "ZR42E", "ZR43", "ZR43L", "ZR44", "ZQ42", "ZQ42E", "ZQ43"]),
    (6, 2, I705, ["ZT42", "ZV41", "ZV41E", "ZV42", "ZV42E", "ZV43", "ZV43L", "ZV44", "K7A400"]),
]
STARTUP_REPEAT = (5, "ZR45")  # a ninth entry of group 5 repeating a name of group 2
ITE_REFUSED = {"ZR44", "ZQ43", "ZV44"}  # pass start-up, unknown to ChkMBModel
NO_PREFIX_BOARD = "K7A400"

for grp, variant, chip, names in ITE_GROUPS:
    for n in names:
        b = add(n, chip, variant=variant, cls_group=grp)
        if n in ITE_REFUSED:
            b.refused = "chkmb"
# ITE item table: F lacks fan 3 and temperature 3; G lacks +2.5V; one board lacks more.
for n in ["ZR41", "ZR41E", "ZR42", "ZR42E", "ZR43", "ZQ42", "ZQ42E"]:
    next(b for b in BOARDS if b.name == n).item_group = "iteF"
for n in ["ZV41", "ZV41E", "ZV42", "ZV42E", "ZV43", "ZV43L"]:
    next(b for b in BOARDS if b.name == n).item_group = "iteG"
next(b for b in BOARDS if b.name == "ZR43L").item_group = "iteOne"
for b in BOARDS:
    if b.chip == I712 and b.name in ("ZR61", "ZR61E", "ZQ61", "ZQ61E"):
        b.config_port = 0x4E

# ---------------------------------------------------------------------------------------------
# Winbond boards (216 supported)
# ---------------------------------------------------------------------------------------------

add("ZT70", W637, item_group="637a")
add("ZT70E", W637, item_group="637b")

add("ZV61", W697, item_group="697one")
for n in ["ZV62", "ZV62E", "ZT62"]:
    add(n, W697, item_group="697three")
for n in ["ZV63", "ZV63E", "ZV64", "ZV64E", "ZV65", "ZT63", "ZT63E", "ZT64", "ZT64E", "ZT65"]:
    add(n, W697, item_group="697list")

POOLS = {
    "ZQ": pool("ZQ", list(range(51, 60)) + list(range(71, 80)) + list(range(81, 90)) + list(range(91, 99))),
    "ZR": pool("ZR", list(range(51, 60)) + list(range(71, 80)) + list(range(81, 90))),
    "ZT": pool("ZT", list(range(31, 40)) + list(range(71, 80))),
    "ZV": pool("ZV", range(51, 60)),
}


def take(prefix, count, group, chip=W627):
    out = []
    for _ in range(count):
        out.append(add(next(POOLS[prefix]), chip, item_group=group))
    return out


for n in ["ZT50", "ZT50E", "ZT50L", "ZT50X", "ZT50A", "ZT50AE", "ZT50AL", "ZT50B", "ZT50BE"]:
    add(n, W627, item_group="627C", flags={"zt50"})
add("ZV50", W627, item_group="627C")

W627_PLAN = [  # group: ZQ, ZR, ZT, ZV
    ("627A", (10, 6, 4, 0)),
    ("627B", (1, 0, 0, 0)),
    ("627C", (38, 18, 11, 3)),
    ("627One", (0, 1, 0, 0)),
    ("627D", (20, 10, 10, 5)),
    ("627E", (8, 6, 4, 0)),
    ("627Ok1", (9, 6, 5, 0)),
    ("627Ok2", (6, 4, 3, 2)),
]
for group, counts in W627_PLAN:
    for prefix, count in zip(("ZQ", "ZR", "ZT", "ZV"), counts):
        take(prefix, count, group)

# Boards the program does not know, one for each refusal point after start-up.
add("K8X800", W627, refused="chassis", item_group=None)
add("ZQ99X", W627, refused="items", item_group=None)
add("ZT99X", W697, refused="items", item_group=None)

for b in BOARDS:
    if b.item_group == "627Ok2":
        b.config_port = 0x4E  # strapped to the alternative configuration port

rng = random.Random(20031)


def by_name(n):
    return next(b for b in BOARDS if b.name == n)


def pick(cands, count, tag):
    cands = sorted(cands, key=lambda b: b.name)
    if len(cands) < count:
        sys.exit(f"gen: not enough candidates for {tag}: {len(cands)} < {count}")
    chosen = rng.sample(cands, count)
    return sorted(chosen, key=lambda b: BOARDS.index(b))


SUP = [b for b in BOARDS if b.supported]
KNOWN = [b for b in BOARDS if b.refused in (None, "chkmb")]  # boards the maker tables list

# ---------------------------------------------------------------------------------------------
# ChkMBModel label outcomes
# ---------------------------------------------------------------------------------------------

for b in SUP:
    if b.item_group in ("627D", "697one", "637a", "637b"):
        b.label = "kChangeLabelTemp"
pick([b for b in SUP if b.item_group == "627D"], 1, "temp-then-fan")[0].label = "kChangeLabelTempThenFan"
zt50 = [b for b in SUP if "zt50" in b.flags]
zt50[-1].label = "kChangeLabelTempForZT50"
for b in zt50[:-1]:
    b.label = "kChangeLabelFanThenTempForZT50"
zr6 = [b for b in SUP if b.cls_group == 3]
for b in zr6[:5]:
    b.label = "kFanThenFan1AndCpuTempTexts"
for b in zr6[5:]:
    b.label = "kFanThenFan1Text"
zq6 = [b for b in SUP if b.name in ("ZQ60", "ZQ60E", "ZQ61", "ZQ61E")]
for b in zq6:
    b.label = "kFan1Fan2Texts"
free = [b for b in SUP if b.label is None and b.family == 1 and b.name != "ZV50"]
fan_shift = pick([b for b in free if b.prefix in ("ZT", "ZV", "ZR")], 16, "ChangeLabelFan")
for b in fan_shift:
    b.label = "kChangeLabelFan"
free = [b for b in free if b.label is None]
for b in pick(free, 3, "exchange"):
    b.label = "kExchangeCpuAndSystemTemp"
for b in SUP:
    if b.label is None:
        b.label = "kDefaultLabels"

# ---------------------------------------------------------------------------------------------
# Chassis intrusion
# ---------------------------------------------------------------------------------------------

for b in SUP:
    if b.item_group in ("627B", "697three", "637a", "637b"):
        b.chassis = "kNone"  # no chassis item on these boards
for b in SUP:
    if b.family == 2 and b.prefix in ("ZQ", "ZR"):
        b.chassis = "kIntel"
    elif b.family == 2 and b.prefix == "ZV":
        b.chassis = "kVia"
    elif b.name == "ZT42":
        b.chassis = "kNvidia"


def deal(boards, deck, attr):
    deck = [m for m, n in deck for _ in range(n)]
    boards = sorted(boards, key=lambda b: b.name)
    if len(deck) != len(boards):
        sys.exit(f"gen: deck for {attr} has {len(deck)} cards for {len(boards)} boards")
    rng.shuffle(deck)
    for b, m in zip(boards, deck):
        setattr(b, attr, m)


deal([b for b in SUP if b.family == 1 and b.prefix in ("ZQ", "ZR") and b.chassis is None],
     [("kIntel", 72), ("kWinbond", 40), (None, 30)], "chassis")
deal([b for b in SUP if b.family == 1 and b.prefix in ("ZT", "ZV") and b.chassis is None],
     [("kVia", 8), ("kNvidia", 13), ("kWinbond", 31), (None, 16)], "chassis")

for b in SUP:
    if b.chassis in ("kIntel", "kVia", "kNvidia"):
        b.disable_clear = b.ignore_clear = b.chassis
winbond_detected = [b for b in SUP if b.chassis == "kWinbond"]
for b in winbond_detected[:62]:
    b.disable_clear = b.ignore_clear = "kWinbond"
winbond_detected[62].ignore_clear = "kWinbond"  # cleared by Ignore only
for b in [b for b in SUP if b.chassis == "kNone"][:4]:
    b.disable_clear, b.ignore_clear = "kNone", "kWinbond"
for b in pick([b for b in SUP if b.chassis == "kNvidia"], 10, "ten-model list"):
    b.ten_list = True
if not by_name("ZT42").ten_list:
    sys.exit("gen: ZT42 should be in the NVIDIA start-up list")

# ---------------------------------------------------------------------------------------------
# Fan control, temperature wiring and calibration, chip set-up lists
# ---------------------------------------------------------------------------------------------

for prefix, count in (("ZQ", 62), ("ZR", 31), ("ZT", 34), ("ZV", 14)):
    for b in pick([b for b in SUP if b.prefix == prefix], count, f"fan {prefix}"):
        b.fan = True
by_name(NO_PREFIX_BOARD).fan = True


def cal(offset=0, factor=1.0, ext=0, s=1):
    """One calibrated row; the limit-edit lowering follows from the offset."""
    lowering = -offset if -offset in (30, 42) else 0
    caption = -offset // s if (-offset // s) in (15, 30) and s * (-offset // s) == -offset else 0
    return (offset, factor, ext, lowering, caption)


NO_CAL = cal()
swap_board = pick([b for b in SUP if b.chip == W627 and b.prefix == "ZR" and b.item_group == "627C"], 1, "swap")[0]
others = [b for b in SUP if b.chip == W627 and b.item_group in ("627C", "627Ok1", "627E") and b is not swap_board]
bank1_board, bank2_board, cpu3_board, cpu2_board = pick(others, 4, "calibration")
cpu3_697 = by_name("ZT63")
CALIBRATION = [  # board, routine, rows, read banks, limits to other bank
    (by_name("ZT70"), "CPU3", [cal(-42, 0.26, 50), cal(-74, 0.36, 29, 2), cal(-74, 0.36, 29, 2)], "kNormal", False),
    (by_name("ZT70E"), "CPU2", [cal(-37, 1.0, 27), cal(-60, 0.36, 27, 2), cal(-60, 0.36, 27, 2)], "kNormal", False),
    (swap_board, "All", [NO_CAL, cal(-30, 1.0, 25, 2), cal(-30, 1.0, 25, 2)], "kSwapped", True),
    (bank1_board, "CPU2", [cal(-30, 1.0, 25), NO_CAL, NO_CAL], "kBothBank1", False),
    (bank2_board, "CPU2", [NO_CAL, cal(-60, 1.0, 27, 2), cal(-60, 1.0, 27, 2)], "kBothBank2", True),
    (cpu3_board, "CPU3", [cal(-37, 1.0, 27), NO_CAL, NO_CAL], "kNormal", False),
    (cpu3_697, "CPU3", [cal(-30, 1.0, 25), cal(-30, 1.0, 25, 2), NO_CAL], "kNormal", False),
    (cpu2_board, "CPU2", [NO_CAL, cal(-74, 1.0, 29, 2), cal(-74, 1.0, 29, 2)], "kNormal", False),
]
for b, routine, *_ in CALIBRATION:
    b.routine = routine
plain_cpu3 = pick([b for b in SUP if b.family == 1 and b.routine is None], 1, "CPU3")
for b in plain_cpu3:
    b.routine = "CPU3"
for b in pick([b for b in SUP if b.family == 1 and b.routine is None], 14, "CPU2"):
    b.routine = "CPU2"
for b in KNOWN:
    if b.routine is None:
        b.routine = "All"

sensor_free = [b for b in SUP if b.chip in (W627, W697) and b not in [c[0] for c in CALIBRATION]]
offsets3 = pick(sensor_free, 3, "offsets 17/42/42")
offsets2 = pick([b for b in sensor_free if b not in offsets3], 2, "offsets 10/37/0")
temp_swap = [swap_board] + pick([b for b in SUP if b.chip == W627 and b.prefix == "ZR" and b is not swap_board], 1, "swap")
fan_names = pick([b for b in fan_shift if b.prefix == "ZR"], 1, "fan names ZR") + \
    pick([b for b in fan_shift if b.prefix == "ZT"], 2, "fan names ZT")
zt50_alarm = [b for b in zt50 if b.label == "kChangeLabelFanThenTempForZT50"][:6]
on_off_fan = by_name("ZV42")

# Temperature high-limit defaults (row 0; rows 1 and 2 together).
limit_free = [b for b in SUP if b not in [c[0] for c in CALIBRATION]]
t0_99 = pick(limit_free, 1, "t0 99")
t0_90 = pick([b for b in limit_free if b not in t0_99], 6, "t0 90")
t12_free = [b for b in limit_free if b not in t0_99 + t0_90]
t12_75 = pick(t12_free, 3, "t12 75")
t12_99 = pick([b for b in t12_free if b not in t12_75], 1, "t12 99")
t12_90 = pick([b for b in t12_free if b not in t12_75 + t12_99], 20, "t12 90")
t0_102 = [by_name("ZT70")]

# ---------------------------------------------------------------------------------------------
# Temperature data that must agree with the boards' sensors. (No random choices from here on
# up to the display names, so every name and later choice stays as it was.)
# ---------------------------------------------------------------------------------------------

# The W83637HF sensors read a fraction of a degree per degree, from a raised zero: the factors
# bring a reading of the whole sensor range to the real temperature (real = (raw + offset) x
# factor), so a limit anywhere up to the sensor's top can be reached.
ROW0_FACTOR, ROW12_FACTOR = 1.25, 1.5
# The W83697HF has no third sensor: the one board whose third row is its only second
# temperature reads it from bank 1, the board's second sensor. The board whose temperatures 1
# and 2 come from bank 2 is a board with temperature 1 only, and it is the second board of the
# temperature-swap list, so the beep follows the bank the row reads.
bank1_board = by_name("ZV61")
bank2_board = next(b for b in SUP if b.prefix == "ZR" and b.chip == W627 and b.item_group == "627C"
                   and b.routine == "All" and b.label == "kDefaultLabels"
                   and b not in [c[0] for c in CALIBRATION] + offsets3 + offsets2 + temp_swap
                   and all(b not in bs for bs in (t0_99, t0_90, t12_75, t12_99, t12_90)))
bank2_board.routine = "CPU2"
temp_swap[1] = bank2_board
# A sensor that reads 37 degrees high tops out at 90.5 degrees: the board whose temperatures 1 and
# 2 carry that offset has temperature 1 only (limit 60), not the third row with its 90.
cpu2_board = next(b for b in SUP if b.chip == W627 and b.item_group == "627C" and b.routine == "CPU2"
                  and b not in [c[0] for c in CALIBRATION] + offsets3 + offsets2 + temp_swap + [bank2_board]
                  and all(b not in bs for bs in (t0_99, t0_90, t12_75, t12_99, t12_90)))
CALIBRATION = [  # board, routine, rows, read banks, limits of temperature 1 in bank 2
    (by_name("ZT70"), "CPU3", [cal(-42, ROW0_FACTOR, 50), cal(-74, ROW12_FACTOR, 29, 2), cal(-74, ROW12_FACTOR, 29, 2)],
     "kNormal", False),
    (by_name("ZT70E"), "CPU2", [cal(-37, 1.0, 27), cal(-60, ROW12_FACTOR, 27, 2), cal(-60, ROW12_FACTOR, 27, 2)],
     "kNormal", False),
    (swap_board, "All", [NO_CAL, cal(-30, 1.0, 25, 2), cal(-30, 1.0, 25, 2)], "kSwapped", True),
    (bank1_board, "CPU2", [NO_CAL, NO_CAL, NO_CAL], "kBothBank1", False),
    (bank2_board, "CPU2", [NO_CAL, cal(-60, 1.0, 27, 2), cal(-60, 1.0, 27, 2)], "kBothBank2", True),
    (cpu3_board, "CPU3", [cal(-37, 1.0, 27), NO_CAL, NO_CAL], "kNormal", False),
    (cpu3_697, "CPU3", [cal(-30, 1.0, 25), NO_CAL, NO_CAL], "kNormal", False),
    (cpu2_board, "CPU2", [NO_CAL, cal(-74, 1.0, 29, 2), cal(-74, 1.0, 29, 2)], "kNormal", False),
]
for b, routine, *_ in CALIBRATION:
    if b.routine != routine:
        sys.exit(f"gen: calibrated board {b.name} should use routine {routine}")

# A calibrated row whose limit edit lowers the shown limit (by 30 degrees, or 15 on the
# half-degree rows) keeps its limit in the sensor's terms: its default is that much above 60,
# so the limit shown is 60. The 102-degree limit goes to a board whose first row is its CPU.
t0_102 = [by_name("ZT50X")]
t0_90[-1] = cpu3_697
t12_75[-1] = swap_board
t12_90[-2:] = [by_name("ZT70E"), bank2_board]
for bs in (t0_102, t0_99, t0_90, t12_75, t12_99, t12_90):
    for b in bs:
        others = [o for o in (t0_102, t0_99, t0_90, t12_75, t12_99, t12_90) if o is not bs]
        if any(b in o for o in others):
            sys.exit(f"gen: {b.name} is in two temperature-limit lists")
TEMP_LIMITS = [
    (t0_102, (102.0, 0.0, 0.0)),
    (t0_99, (99.0, 0.0, 0.0)),
    (t0_90, (90.0, 0.0, 0.0)),
    (t12_75, (0.0, 75.0, 75.0)),
    (t12_99, (0.0, 99.0, 99.0)),
    (t12_90, (0.0, 90.0, 90.0)),
]

# ---------------------------------------------------------------------------------------------
# Display names: the names themselves take the forms the display table needs
# ---------------------------------------------------------------------------------------------

ORIGINAL = {b.name: b for b in BOARDS}  # names before the display-form renames
FIXED_NAMES = {"ZV50", NO_PREFIX_BOARD, "ZT70", "ZT70E"}
renamable = [b for b in KNOWN if b.name not in FIXED_NAMES]
plain_base = [b for b in renamable if b.name[-1].isdigit()]
series = pick(plain_base, 1, "series")
slash = pick([b for b in plain_base if b not in series], 7, "slash")
two_alt = pick([b for b in plain_base if b not in series + slash], 2, "two alternatives")
plus = pick([b for b in plain_base if b not in series + slash + two_alt], 1, "plus")
taken = series + slash + two_alt + plus
suffixed = pick([b for b in renamable if b not in taken], 73, "suffix words")
spaced = pick(suffixed, 6, "spaced suffix")

for b in series:
    base = b.name
    b.name = f"{base}A/{base}B/{base}C"
    b.display, b.display_kind = f"{base} Serials", "kSeries"
for b in slash:
    base = b.name
    b.name = f"{base}/{base}S"
    b.display, b.display_kind = f"{base} or {base}S", "kSlashAlternatives"
for b in two_alt:
    b.display, b.display_kind = f"{b.name} or {b.name}S", "kTwoAlternatives"
for b in plus:
    b.display, b.display_kind = f"{b.name} Plus", "kPlusAsWord"
    b.name += "+"
WORDS = [("PRO", "Pro"), ("MAX", "Max"), ("PLUS", "Plus")]
for i, b in enumerate(suffixed):
    word, mixed = WORDS[i % 3]
    base = b.name
    b.name = base + word
    if b in spaced:
        b.display, b.display_kind = f"{base} {mixed}", "kMixedCaseSuffixSpaced"
    else:
        b.display, b.display_kind = base + mixed, "kMixedCaseSuffix"
for b in BOARDS:
    if b.display is None:
        b.display = b.name

# ---------------------------------------------------------------------------------------------
# ChkMBModel group order: first the board without prefix, last a group of two live names
# ---------------------------------------------------------------------------------------------

LABEL_GROUPS = {  # outcome: group sizes
    "kDefaultLabels": [6] * 19 + [7] * 6,   # plus the first (1) and the last (2) group
    "kChangeLabelFan": [4, 4, 3, 3, 2],
    "kChangeLabelTemp": [6] * 7 + [5],
    "kChangeLabelTempThenFan": [1],
    "kExchangeCpuAndSystemTemp": [3],
    "kChangeLabelFanThenTempForZT50": [8],
    "kChangeLabelTempForZT50": [1],
    "kFan1Fan2Texts": [4],
    "kFanThenFan1AndCpuTempTexts": [5],
    "kFanThenFan1Text": [3],
}
first = [by_name(NO_PREFIX_BOARD)]
default_rest = [b for b in SUP if b.label == "kDefaultLabels" and b not in first]
last = default_rest[-2:]
middle = []
for outcome, sizes in LABEL_GROUPS.items():
    members = default_rest[:-2] if outcome == "kDefaultLabels" else [b for b in SUP if b.label == outcome]
    if len(members) != sum(sizes):
        sys.exit(f"gen: ChkMBModel outcome {outcome} has {len(members)} boards, groups need {sum(sizes)}")
    at = 0
    for size in sizes:
        middle.append((outcome, [b.name for b in members[at:at + size]]))
        at += size
rng.shuffle(middle)
CHK_GROUPS = [("kDefaultLabels", [first[0].name])] + middle + [("kDefaultLabels", [b.name for b in last])]
# Two repeated entries that can never match: one in a middle group, one in the last group.
CHK_REPEATS = []
for gi in (len(CHK_GROUPS) // 2, len(CHK_GROUPS) - 1):
    earlier = CHK_GROUPS[gi - 3][1][0]
    CHK_GROUPS[gi][1].append(earlier)
    CHK_REPEATS.append(earlier)

# Chassis detection: 26 groups, the methods interleaved as the list grew.
DETECT_SPLIT = {"kIntel": [11] * 5 + [10] * 4, "kWinbond": [8] * 8 + [7], "kVia": [5, 5, 4],
                "kNvidia": [5, 5, 4], "kNone": [3, 3]}
DETECT_GROUPS = []
for method, sizes in DETECT_SPLIT.items():
    members = [b for b in SUP if b.chassis == method]
    if len(members) != sum(sizes):
        sys.exit(f"gen: chassis {method} has {len(members)} boards, expected {sum(sizes)}")
    at = 0
    for size in sizes:
        DETECT_GROUPS.append((method, [b.name for b in members[at:at + size]]))
        at += size
rng.shuffle(DETECT_GROUPS)


def clear_groups(attr):
    groups = []
    for method in ("kIntel", "kWinbond", "kNvidia", "kVia", "kNone"):
        names = [b.name for b in SUP if getattr(b, attr) == method]
        if names:
            groups.append((method, names))
    return groups


# ---------------------------------------------------------------------------------------------
# Checks of every count the tables must have
# ---------------------------------------------------------------------------------------------

def check(cond, what):
    if not cond:
        sys.exit(f"gen: check failed: {what}")


names = [b.name for b in BOARDS]
check(len(names) == len(set(names)), "model names are unique")
check(len([b for b in BOARDS if b.cls_group]) == 34, "34 ITE boards")
check(len(SUP) == 247, f"247 supported boards (have {len(SUP)})")
check(len(CHK_GROUPS) == 47, "47 ChkMBModel groups")
check(sum(len(g[1]) for g in CHK_GROUPS) == 249, "249 ChkMBModel entries")
check(len(KNOWN) == 250, "250 display names")
check(sum(1 for b in KNOWN if b.display_kind == "kSame") == 166, "166 plain display names")
check(len(DETECT_GROUPS) == 26 and sum(len(g[1]) for g in DETECT_GROUPS) == 200, "chassis 200/26")
check(sum(1 for b in SUP if b.disable_clear) == 189, "189 Disable clears")
check(sum(1 for b in SUP if b.ignore_clear) == 190, "190 Ignore clears")
check(sum(1 for b in SUP if b.fan) == 142, "142 fan-control boards")
check(len(zt50_alarm) == 6, "six ZT50 alarm names")

# ---------------------------------------------------------------------------------------------
# Emission
# ---------------------------------------------------------------------------------------------

HEADER = """// Generated by tools/gen_catalog_profiles.py from the board master list. Do not edit by hand:
// change the master list and run the script again.
"""


def cstr(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def name_array(ident, names, per_line=6):
    lines = [f"constexpr std::string_view {ident}[] = {{"]
    for i in range(0, len(names), per_line):
        lines.append("    " + ", ".join(cstr(n) for n in names[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


class Out:
    def __init__(self):
        self.parts = []

    def add(self, text):
        self.parts.append(text)

    def group_table(self, ident, otype, groups, outcome_fmt, accessor):
        for i, (outcome, gnames) in enumerate(groups):
            self.add(name_array(f"{ident}{i + 1}", gnames))
        rows = [f"    {{{ident}{i + 1}, {outcome_fmt(o)}}}," for i, (o, _) in enumerate(groups)]
        self.add(f"constexpr ModelGroup<{otype}> {ident}[] = {{\n" + "\n".join(rows) + "\n};")
        self.add(f"}}  // namespace\n\nModelTable<{otype}> {accessor}() {{ return {ident}; }}\n\nnamespace {{")

    def list_accessor(self, ident, names, accessor):
        self.add(name_array(ident, names))
        self.add(f"}}  // namespace\n\nNameList {accessor}() {{ return {ident}; }}\n\nnamespace {{")

    def write(self, path):
        body = "\n\n".join(self.parts)
        text = (HEADER + '#include "monitor/boards/board_tables.h"\n\n'
                "namespace veltrix::monitor::boards {\nnamespace {\n\n" + body +
                "\n\n}  // namespace\n}  // namespace veltrix::monitor::boards\n")
        text = text.replace("namespace {\n\n}  // namespace\n", "")
        write_formatted(path, text)


def write_formatted(path, text):
    """Writes a generated source file laid out by the repository's .clang-format when it is there."""
    full = os.path.join(ROOT, path)
    with open(full, "w") as f:
        f.write(text)
    try:
        subprocess.run(["clang-format", "-i", "--style=file", full], cwd=ROOT, check=True)
    except (OSError, subprocess.CalledProcessError):
        pass  # unformatted but valid


def fl(x):
    return f"{x:g}F" if "." in f"{x:g}" or "e" in f"{x:g}" else f"{x:g}.0F"


ITEM_ORDER = [  # group key, chip, absent items
    ("627A", "kW83627HF", [6, 14]), ("627B", "kW83627HF", [6, 14, 15]), ("627C", "kW83627HF", [14]),
    ("627One", "kW83627HF", [6, 11, 14]), ("627D", "kW83627HF", [13]), ("627E", "kW83627HF", [11]),
    ("627Ok1", "kW83627HF", []), ("627Ok2", "kW83627HF", []),
    ("697one", "kW83697HF", [6, 11, 13]), ("697three", "kW83697HF", [6, 11, 14, 15]),
    ("697list", "kW83697HF", [6, 11, 14]),
    ("637a", "kW83637HF", [5, 6, 13, 15]), ("637b", "kW83637HF", [6, 13, 15]),
    ("iteF", "kIte", [11, 14]), ("iteG", "kIte", [1]), ("iteOne", "kIte", [2, 5, 11, 14]),
]
ITEM_ABSENT = {k: a for k, _, a in ITEM_ORDER}


def mask(items):
    return sum(1 << i for i in items)


def present_items(b):
    absent = set(ITEM_ABSENT.get(b.item_group, []))
    if b.family == 1:
        absent.add(1)
    return 0xFFFF & ~mask(absent)


def emit_monitor():
    # --- start-up, ChkMBModel, display names
    o = Out()
    startup = []
    for grp, variant, chip, gnames in ITE_GROUPS:
        current = [b.name for b in BOARDS if b.cls_group == grp]
        if grp == STARTUP_REPEAT[0]:
            current.append(by_name_orig(STARTUP_REPEAT[1]).name)
        startup.append(((2, variant), current))
    o.group_table("kStartup", "Classification", startup, lambda v: f"{{{v[0]}, {v[1]}}}", "StartupTable")
    o.group_table("kChk", "LabelOutcome", CHK_GROUPS, lambda v: f"LabelOutcome::{v}", "ChkMBModelTable")
    rows = [f"    {{{cstr(b.name)}, {cstr(b.display)}, DisplayNameKind::{b.display_kind}}}," for b in KNOWN]
    o.add("constexpr DisplayNameEntry kDisplayNames[] = {\n" + "\n".join(rows) + "\n};")
    o.add("}  // namespace\n\nstd::span<const DisplayNameEntry> DisplayNameTable() { return kDisplayNames; }"
          "\n\nnamespace {")
    o.write("monitor/boards/board_tables_startup.cpp")

    # --- chip set-up, temperature, item table, limits
    o = Out()
    o.list_accessor("kNvidiaPrep", [b.name for b in SUP if b.ten_list], "ChassisPrepNvidiaModels")
    o.add(f"}}  // namespace\n\nstd::string_view ChassisPrepException() {{ return {cstr(NO_PREFIX_BOARD)}; }}"
          "\n\nnamespace {")
    o.group_table("kOffsets", "TemperatureOffsets",
                  [(((17, 42, 42), True), [b.name for b in offsets3]), (((10, 37, 0), False), [b.name for b in offsets2])],
                  lambda v: f"{{{{{v[0][0]}, {v[0][1]}, {v[0][2]}}}, {'true' if v[1] else 'false'}}}",
                  "TemperatureOffsetTable")
    o.list_accessor("kResume", [b.name for b in offsets3], "ResumeRestartModels")
    o.list_accessor("kVcoreFactor", ["ZT70", "ZT70E"], "VcoreFactorModels")
    routines = {"All": "kProcessAllTemperature", "CPU2": "kProcessTemperatureCPU2_Sys1_Pin",
                "CPU3": "kProcessTemperatureCPU3_Sys1_Pin"}
    wiring = [(routines[r], [b.name for b in KNOWN if b.routine == r]) for r in ("All", "CPU2", "CPU3")]
    o.group_table("kWiring", "TempRoutine", wiring, lambda v: f"TempRoutine::{v}", "TempWiringTable")
    rows = []
    for b, _routine, rws, banks, other in CALIBRATION:
        cells = ", ".join(f"{{{r[0]}, {fl(r[1])}, {r[2]}, {r[3]}, {r[4]}}}" for r in rws)
        rows.append(f"    {{{cstr(b.name)}, {{{{{cells}}}}}, TempBankRouting::{banks}, {'true' if other else 'false'}}},")
    o.add("constexpr TempCalibration kCalibration[] = {\n" + "\n".join(rows) + "\n};")
    o.add("}  // namespace\n\nstd::span<const TempCalibration> TempCalibrationTable() { return kCalibration; }"
          f"\n\nstd::string_view OnOffFanModel() {{ return {cstr(on_off_fan.name)}; }}"
          f"\n\nstd::string_view Zv50Model() {{ return {cstr('ZV50')}; }}\n\nnamespace {{")
    items = [((chip, absent), [b.name for b in SUP if b.item_group == key]) for key, chip, absent in ITEM_ORDER]
    o.group_table("kItems", "ItemTableOutcome", items,
                  lambda v: f"{{ItemChip::{v[0]}, {hex(mask(v[1]))}}}", "ItemTable")
    limits = [(v, [b.name for b in bs]) for bs, v in TEMP_LIMITS]
    o.group_table("kTempLimits", "TempLimitOutcome", limits,
                  lambda v: "{{" + ", ".join(fl(x) for x in v) + "}}", "TempLimitTable")
    o.write("monitor/boards/board_tables_chip.cpp")

    # --- alarms, chassis, fan control, fan names
    o = Out()
    a = [b.name for b in zr6] + [b.name for b in zq6]
    o.list_accessor("kFanLabelA", a, "FanLabelListA")
    o.list_accessor("kFanLabelB", [b.name for b in zr6[:5]], "FanLabelListB")
    o.list_accessor("kFanLabelC", [b.name for b in zq6], "FanLabelListC")
    o.list_accessor("kZt50Alarm", [b.name for b in zt50_alarm], "Zt50AlarmList")
    o.list_accessor("kTempSwap", [b.name for b in temp_swap], "TempSwapList")
    meth = lambda v: f"ChassisMethod::{v}"
    o.group_table("kDetect", "ChassisMethod", DETECT_GROUPS, meth, "ChassisDetectionTable")
    o.group_table("kDisable", "ChassisMethod", clear_groups("disable_clear"), meth, "ChassisDisableClearTable")
    o.group_table("kIgnore", "ChassisMethod", clear_groups("ignore_clear"), meth, "ChassisIgnoreClearTable")
    o.list_accessor("kFanModels", [b.name for b in SUP if b.fan], "SupportedFanModels")
    o.list_accessor("kFanNames", [b.name for b in fan_names], "FanNameListModels")
    o.write("monitor/boards/board_tables_alarms.cpp")

    # --- master list
    o = Out()
    chips = {W627: "kW83627HF", W697: "kW83697HF", W637: "kW83637HF", I705: "kIT8705F", I712: "kIT8712F"}
    refusal = {None: "kNone", "chassis": "kChassisSetup", "items": "kItemTable", "chkmb": "kChkMBModel"}
    rows = []
    for b in SUP + [b for b in BOARDS if not b.supported]:
        rows.append(f"    {{{cstr(b.name)}, CatalogChip::{chips[b.chip]}, {hex(b.config_port)}, "
                    f"ChipsetChassis::{chassis_scheme(b)}, {b.family}, {b.variant}, {'true' if b.fan else 'false'}, "
                    f"{hex(present_items(b))}, Refusal::{refusal[b.refused]}}},")
    o.add("constexpr CatalogBoard kCatalog[] = {\n" + "\n".join(rows) + "\n};")
    o.add("}  // namespace\n\nstd::span<const CatalogBoard> AllKnownModels() { return kCatalog; }\n\nnamespace {")
    o.write("monitor/boards/board_tables_catalog.cpp")


def by_name_orig(n):
    return ORIGINAL[n]


def chassis_scheme(b):
    if b.chassis is None:
        return "kUnsupported"
    return {"kIntel": "kIntel", "kVia": "kVia", "kNvidia": "kNvidia", "kWinbond": "kWinbond",
            "kNone": "kNone"}[b.chassis]


# ---------------------------------------------------------------------------------------------
# Simulated board profiles (sim/board/catalog_profiles.cpp): the hardware each board really has
# ---------------------------------------------------------------------------------------------

SIM_CHIPSET = {"kIntel": "kIntel", "kVia": "kVia", "kNvidia": "kNvidia"}
SIM_PMBASE = {"kIntel": 0x0400, "kVia": 0x0800}
# Voltage item -> chip input, by wiring (Winbond inputs 7/8 are bank-5 0x50/0x51).
ITEM_INPUTS = {
    W627: [0, 1, 2, 3, 4, 5, 6, 7, 8], W697: [0, 1, 2, 3, 4, 5, 6, 7, 8],
    W637: [0, None, 2, 3, 1, 4, 4, 7, 8],
    1: [0, 1, 2, 3, 4, 6, 5, 7, 8], 2: [0, 1, 2, 3, 4, 6, 5, 7, 8],
    3: [0, 1, 2, 3, 4, 6, 5, 7, 8], 4: [0, 1, 2, 3, 4, 5, 6, 7, 8], 5: [0, 1, 2, 3, 4, 5, 6, 7, 8],
}
RAIL_PRESET = {W627: "kWinbond627Rails", W697: "kWinbond697Rails", W637: "kWinbond637Rails",
               1: "kIteSdramRails", 2: "kIteSdramRails", 3: "kIteDdrRails", 4: "kIteDdrUpdatedRails",
               5: "kIteDdrSwappedRails"}
# The two W83637HF boards with their own Vcore divider (the program's two Vcore-factor models).
VCORE_DIVIDER_PRESET = {"ZT70": "kWinbond637RailsVcore0165", "ZT70E": "kWinbond637RailsVcore0158"}
TEMP_PRESET = {  # role: name, ambient, load rise, still-air rise, cooling fan, time constant
    "CPU": ("CPU", 38.0, 22.0, 45.0, 0, 15.0), "SYS": ("SYS", 31.0, 6.0, 8.0, 1, 60.0),
    "AUX": ("AUX", 33.0, 4.0, 0.0, -1, 90.0)}
TEMP_SETS = {  # the shared presets, by the sensor on each input
    "kThreeTemps": ["CPU", "SYS", "AUX"], "kCpuSecondTemps": ["SYS", "CPU", "AUX"],
    "kCpuThirdTemps": ["SYS", "AUX", "CPU"]}
CAL_BY_BOARD = {c[0].name: c for c in CALIBRATION}
OFFSETS_BY_BOARD = {**{b.name: (17, 42, 42) for b in offsets3}, **{b.name: (10, 37, 0) for b in offsets2}}


def read_bank(b, k):
    c = CAL_BY_BOARD.get(b.name)
    routing = c[3] if c else "kNormal"
    if routing == "kSwapped":
        return 2 if k == 1 else 1
    if routing == "kBothBank1":
        return 1
    if routing == "kBothBank2":
        return 2
    return k


def temp_sensor(b, k):
    """The chip temperature input row k reads."""
    return 0 if k == 0 else read_bank(b, k)


def cpu_row(b):
    """The row the board's labels call the CPU: row 0 where the labels put the CPU first (the
    ZT50 family's row exchange, the exchanged captions), else "CPU Temp" (row 1), or on boards
    without row 1 the "CPU Kernal Temp" row that takes its place."""
    if b.label in ("kExchangeCpuAndSystemTemp", "kChangeLabelFanThenTempForZT50", "kChangeLabelTempForZT50"):
        return 0
    return 1 if present_items(b) & (1 << 13) else 2


def sensor_roles(b):
    """Which sensor (CPU, SYS, AUX) sits on each chip temperature input, after the rows that read
    them; None for an input no present row reads."""
    present = present_items(b)
    rows = [k for k in range(3) if k == 0 or present & (1 << (12 + k))]
    cpu = cpu_row(b)
    system = 1 if cpu == 0 else 0
    roles = [None, None, None]
    for k in rows:
        role = "CPU" if k == cpu else ("SYS" if k == system else "AUX")
        t = temp_sensor(b, k)
        if roles[t] is None:
            roles[t] = role
    return roles


def reading_row(b, t):
    """The first present row that reads chip temperature input t."""
    present = present_items(b)
    return next(k for k in range(3) if (k == 0 or present & (1 << (12 + k))) and temp_sensor(b, k) == t)


def sim_profile(b):
    present = present_items(b)
    key = b.chip if b.family == 1 else b.variant
    inputs = ITEM_INPUTS[key]
    wired_rails = {inputs[i] for i in range(9) if present & (1 << i) and inputs[i] is not None}
    unwired_rails = sum(1 << n for n in range(9) if n not in wired_rails)
    unwired_fans = 0 if present & (1 << 11) else 1 << 2
    roles = sensor_roles(b)
    cal = CAL_BY_BOARD.get(b.name)
    chip_offsets = OFFSETS_BY_BOARD.get(b.name, (0, 0, 0))
    unwired_temps = sum(1 << t for t in range(3) if roles[t] is None)
    preset = next((name for name, order in TEMP_SETS.items()
                   if all(r is None or r == order[t] for t, r in enumerate(roles))), None)
    temps = f"Unwired({preset}, {hex(unwired_temps)})"
    if (cal and b.family == 1) or any(chip_offsets) or preset is None:
        cells = []
        for t in range(3):
            if roles[t] is None:
                cells.append("{}")
                continue
            name, ambient, load, still, fan, tau = TEMP_PRESET[roles[t]]
            gain, offset_c = 1.0, 0.0
            if cal and b.family == 1:
                # The row that reads this input undoes the sensor's error (offset in units, then
                # factor), so the sensor reads real / factor - offset.
                row = reading_row(b, t)
                offset, factor = cal[2][row][0], cal[2][row][1]
                gain, offset_c = 1.0 / factor, -offset / (1 if row == 0 else 2)
            # The chip adds its own offset register to the sensor; the sensor reads that much low.
            offset_c -= chip_offsets[t]
            error = f", {gain:.4f}, {offset_c:.1f}" if (gain, offset_c) != (1.0, 0.0) else ""
            cells.append(f'{{"{name}", {ambient:.1f}, {load:.1f}, {still:.1f}, {fan}, {tau:.1f}{error}}}')
        temps = "TempSet{{" + ", ".join(cells) + "}}"
    chipset = SIM_CHIPSET.get(b.chassis, "kNone")
    pm = SIM_PMBASE.get(b.chassis, 0x0400)
    args = [cstr(b.name), f"ChipModel::{b.chip}", f"0x{b.config_port:X}", f"ChipsetScheme::{chipset}",
            f"0x{pm:04X}", f"Unwired({VCORE_DIVIDER_PRESET.get(b.name, RAIL_PRESET[key])}, 0x{unwired_rails:X})",
            f"Unwired(kThreeFans, 0x{unwired_fans:X})", temps,
            "true" if b.chassis == "kWinbond" else "false", "true" if b.supported else "false"]
    return "    Board(" + ", ".join(args) + "),"


def emit_sim():
    rows = [sim_profile(b) for b in SUP + [b for b in BOARDS if not b.supported]]
    text = (HEADER +
            "// One profile per board model of the catalog: chip and configuration port, chipset chassis\n"
            "// scheme, and the rails, fans and sensors the board wires to the chip. Inputs a board leaves\n"
            "// unconnected are cleared from the shared wiring presets.\n"
            '#include "sim/board/board_profile.h"\n\n'
            "namespace veltrix::sim {\nnamespace {\n\n"
            "template <typename Set>\n"
            "constexpr Set Unwired(Set set, unsigned mask) {\n"
            "  for (std::size_t i = 0; i < set.size(); ++i) {\n"
            "    if ((mask >> i) & 1u) set[i] = {};\n"
            "  }\n"
            "  return set;\n"
            "}\n\n"
            "constexpr BoardProfile Board(std::string_view model, ChipModel chip, std::uint16_t configPort,\n"
            "                             ChipsetScheme chipset, std::int32_t pmBase, RailSet rails, FanSet fans,\n"
            "                             TempSet temps, bool caseOpenWired, bool known) {\n"
            "  return BoardProfile{.model = model, .chip = chip, .configPort = configPort, .chipset = chipset,\n"
            "                      .pmBase = pmBase, .rails = rails, .fans = fans, .temps = temps,\n"
            "                      .caseOpenWired = caseOpenWired, .known = known};\n"
            "}\n\n"
            "// model, chip, configuration port, chipset chassis scheme, PmBase, rails, fans, sensors,\n"
            "// chip case-open input wired, known to the program\n"
            "constexpr BoardProfile kCatalog[] = {\n" + "\n".join(rows) + "\n};\n\n"
            "}  // namespace\n\n"
            "std::span<const BoardProfile> CatalogProfiles() { return kCatalog; }\n\n"
            "}  // namespace veltrix::sim\n")
    write_formatted("sim/board/catalog_profiles.cpp", text)


if __name__ == "__main__":
    emit_monitor()
    emit_sim()
    print(f"gen: {len(BOARDS)} boards written")
