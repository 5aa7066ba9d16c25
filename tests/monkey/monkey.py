#!/usr/bin/env python3
"""Random actions through the script driver ("monkey").

Runs many short seeded scripts of random clicks, steps, wheel notches, pointer
drags and edit texts (empty, blank, huge, negative, not a number, Japanese,
the 32-bit limits, 1e308) on a DICOM image, the same image RLE-compressed
(decoded in the decoder process), a raw image and files of 0, 1 and 3 bytes. Fails on a sanitizer report, an abort, a hang (timeout) or an exit
code other than 0 and 1, and prints the script that did it.

Several scripts share one process, each on fresh windows (the driver's
"restart" line), so that the program's start is not paid per script; a
process that fails has its scripts run again one by one to name the culprit.
"""
import argparse
import os
import random
import struct
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

FORM1_BUTTONS = ["BitBtnLoad", "ButtonDisp", "ButtonAutoWL", "ButtonStat", "ButtonVert", "ButtonHoriz",
                 "ButtonCW", "ButtonCCW", "ButtonRowCulm", "ButtonToTable", "ButtonFileList", "Button1",
                 "Button2", "ButtonSaveBMP", "CheckBoxSwp", "CheckBoxInvrt", "ButtonTriming"]
FORM2_BUTTONS = ["Button2Dto1D", "ButtonSmooth", "ButtonExtract", "ButtonToExp", "ButtonSlit", "ButtonSWC",
                 "ButtonFitting", "ButtonTrancation", "ButtonPrfToCB", "ButtonToCB_SG", "MemoWork",
                 "CheckBoxSync", "CheckBoxUseHDC", "CheckBoxSwapRC"]
FORM1_EDITS = ["EditWindowLevel", "EditWindowWidth", "EditROIPosX", "EditROIPosY", "EditROISizeX",
               "EditROISizeY", "EditHeader", "EditImgSizeX", "EditImgSizeY", "EditOffst", "EditPxlSpc",
               "EditImgSftX", "EditImgSftY", "EditMF", "EditFListNo"]
FORM2_EDITS = ["EditMALine", "EditSmth", "EditPxlSpc", "EditL", "EditBit", "Editn", "EditPosN", "EditPosY"]
GROUPS = [("Form1.RadioGroupMode", 3), ("Form1.RadioGroupTool", 4), ("Form1.RadioGroupRange", 4),
          ("Form2.RadioGroup1", 3), ("Form2.RadioGroup2", 6)]
RADIOS = ["Form2.RadioButton1", "Form2.RadioButton2", "Form2.RadioButton3", "Form2.RadioButton4"]
COUNTERS = ["Form2.UpDownMALine", "Form2.UpDown1", "Form2.UpDownBaseL", "Form2.UpDownBaseR"]
TEXTS = ["", " ", "0", "1", "2", "3", "-1", "7", "64", "100", "512", "4096", "300000", "2147483647",
         "-2147483648", "2147483648", "-2147483649", "1e308", "-1e308", "1e5000", "0.1", "abc", "１２",
         "日本語", "0x10", "1,5", "nan", " 12 ", "99999999999999999999"]
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer", "SUMMARY: ")


def rle_twin(samples, rows, columns):
    """The 16-bit samples as an RLE Lossless DICOM file (high bytes, then low bytes, in literal runs)."""
    def element(out, group, number, vr, value):
        out.extend(struct.pack("<HH", group, number) + vr + struct.pack("<H", len(value)) + value)

    frame = bytearray(struct.pack("<16I", 2, 64, 0, *([0] * 13)))
    for byte in (1, 0):
        if byte == 0:
            frame[8:12] = struct.pack("<I", len(frame))
        plane = samples[byte::2]
        for start in range(0, len(plane), 128):
            run = plane[start:start + 128]
            frame.extend(bytes([len(run) - 1]) + run)
    if len(frame) % 2:
        frame.append(0)
    meta = bytearray()
    element(meta, 2, 0x10, b"UI", b"1.2.840.10008.1.2.5\0")
    out = bytearray(b"\0" * 128 + b"DICM")
    element(out, 2, 0, b"UL", struct.pack("<I", len(meta)))
    out.extend(meta)
    for number, value in ((2, 1), (0x10, rows), (0x11, columns)):
        element(out, 0x28, number, b"US", struct.pack("<H", value))
    element(out, 0x28, 0x30, b"DS", b"0.1\\0.1 ")
    for number, value in ((0x100, 16), (0x101, 16), (0x102, 15), (0x103, 0)):
        element(out, 0x28, number, b"US", struct.pack("<H", value))
    out.extend(struct.pack("<HH", 0x7FE0, 0x10) + b"OB\0\0" + struct.pack("<I", 0xFFFFFFFF))
    out.extend(struct.pack("<HHI", 0xFFFE, 0xE000, 0))
    out.extend(struct.pack("<HHI", 0xFFFE, 0xE000, len(frame)) + frame)
    out.extend(struct.pack("<HHI", 0xFFFE, 0xE0DD, 0))
    return bytes(out)


def make_files(folder):
    dicom = bytearray(b"\0" * 128 + b"DICM")

    def element(group, number, vr, value):
        dicom.extend(struct.pack("<HH", group, number) + vr + struct.pack("<H", len(value)) + value)

    element(2, 0, b"UL", b"\x10\0\0\0")
    element(2, 2, b"UI", b"1.2.3\0")
    element(0x28, 0x10, b"US", struct.pack("<H", 48))
    element(0x28, 0x11, b"US", struct.pack("<H", 40))
    element(0x28, 0x30, b"DS", b"0.1\\0.1 ")
    dicom.extend(struct.pack("<HH", 0x7FE0, 0x10) + b"OW\0\0" + struct.pack("<I", 2 * 48 * 40))
    rng = random.Random(3)
    # A tilted slit: a bright column that moves one pixel every 8 rows.
    for r in range(48):
        for c in range(40):
            v = 3000 if c == 12 + r // 8 else 200 + rng.randrange(20)
            dicom.extend(struct.pack("<H", v))
    paths = {"dicom": os.path.join(folder, "a.dcm"), "rle": os.path.join(folder, "b.dcm")}
    with open(paths["dicom"], "wb") as f:
        f.write(dicom)
    with open(paths["rle"], "wb") as f:
        f.write(rle_twin(dicom[-2 * 48 * 40:], 48, 40))
    raw = b"".join(struct.pack("<H", (r * 37 + c * 11) % 4096) for r in range(32) for c in range(32))
    for name, data in (("raw", raw), ("empty", b""), ("one", b"\x01"), ("three", b"\x01\x02\x03")):
        paths[name] = os.path.join(folder, name + ".bin")
        with open(paths[name], "wb") as f:
            f.write(data)
    with open(os.path.join(folder, "hdc.txt"), "w") as f:
        f.write("0\t100\r\n0.5\t1000\r\n1\t2000\r\n1.5\t5000\r\n")
    return paths


def random_script(rng, paths):
    lines = ["activate Form1", "set Form1.RadioGroupMode %d" % rng.randrange(3),
             "answer " + rng.choice(list(paths.values())), "answer %d %d" % (rng.randrange(1, 70),
                                                                            rng.randrange(1, 70)),
             "answer 0.1", "click Form1.BitBtnLoad"]
    for _ in range(rng.randrange(8, 30)):
        kind = rng.randrange(12)
        if kind < 3:
            lines.append("click Form1." + rng.choice(FORM1_BUTTONS))
        elif kind < 5:
            lines.append("click Form2." + rng.choice(FORM2_BUTTONS))
        elif kind < 7:
            form, edits = rng.choice((("Form1", FORM1_EDITS), ("Form2", FORM2_EDITS)))
            lines.append("set %s.%s %s" % (form, rng.choice(edits), rng.choice(TEXTS)))
        elif kind == 7:
            group, count = rng.choice(GROUPS)
            lines.append("set %s %d" % (group, rng.randrange(-1, count)))
        elif kind == 8:
            lines.append("set %s 1" % rng.choice(RADIOS) if rng.random() < 0.5 else
                         "step %s %s" % (rng.choice(COUNTERS), rng.choice(("up", "down"))))
        elif kind == 9:
            lines.append("wheel " + rng.choice(("up", "down")))
            lines.append("answer 16 16")
        elif kind == 10:
            button = rng.choice(("left", "right"))
            coords = [0, 1, 100, 511, 2147483647, -2147483648, rng.randrange(-600, 600)]
            for action in ("press", "move", "move", "release"):
                lines.append("mouse Form1.Image1 %s %s %d %d" % (action, button, rng.choice(coords),
                                                                 rng.choice(coords)))
        else:
            lines.append(rng.choice(("popup Form1.EditROISizeX N641", "popup Form1.EditROISizeY N20481",
                                     "chartclick Form2.Series3 %d" % rng.randrange(0, 40), "activate Form2",
                                     "activate Form1", "dblclick Form1.StringGridDICOM")))
        if rng.random() < 0.15:
            lines.append("answer " + rng.choice(list(paths.values()) + ["cancel", "8 8", ""]))
    return "\n".join(lines) + "\n"


def run_one(binary, script, timeout, folder):
    """Runs one process on `script` in `folder` (what it saves stays there); returns why it failed, or None."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", ASAN_OPTIONS="detect_leaks=0:abort_on_error=0",
               UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1")
    try:
        done = subprocess.run([binary, "--script", "-"], input=script.encode(), capture_output=True,
                              timeout=timeout, env=env, cwd=folder)
    except subprocess.TimeoutExpired:
        return "hang (no end within %d s)" % timeout
    err = done.stderr.decode(errors="replace")
    if any(mark in err for mark in SANITIZER_MARKS):
        return "sanitizer report:\n" + err[-4000:]
    if done.returncode not in (0, 1):
        return "exit code %d:\n%s" % (done.returncode, err[-4000:])
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--scripts", type=int, default=300)
    parser.add_argument("--seed", type=int, default=20261209)
    parser.add_argument("--timeout", type=int, default=60)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--per-process", type=int, default=10)
    args = parser.parse_args()
    args.binary = os.path.abspath(args.binary)  # the scripts run in their own folder
    rng = random.Random(args.seed)

    def run_batch(batch):
        """(index, why) of the failing scripts of a batch of (index, script)."""
        timeout = args.timeout + 10 * (len(batch) - 1)
        why = run_one(args.binary, "restart\n".join(script for _, script in batch), timeout, folder)
        if why is None:
            return []
        if len(batch) == 1:
            return [(batch[0][0], why)]
        alone = [(index, run_one(args.binary, script, args.timeout, folder)) for index, script in batch]
        found = [(index, reason) for index, reason in alone if reason]
        # A fault that needs the scripts together is reported for the first.
        return found or [(batch[0][0], "only with the scripts after it in one process: " + why)]

    with tempfile.TemporaryDirectory(prefix="monkey-") as folder:
        paths = make_files(folder)
        scripts = [random_script(rng, paths) for _ in range(args.scripts)]
        numbered = list(enumerate(scripts))
        size = max(args.per_process, 1)
        batches = [numbered[i:i + size] for i in range(0, len(numbered), size)]
        with ThreadPoolExecutor(max_workers=args.jobs) as pool:
            found = [failure for failures in pool.map(run_batch, batches) for failure in failures]
    failures = [(i, scripts[i], why) for i, why in sorted(found)]
    for index, script, reason in failures[:3]:
        print("script %d failed: %s\n--- script ---\n%s" % (index, reason, script))
    print("%d scripts, %d failed" % (len(scripts), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
