#!/usr/bin/env python3
"""Times `ortheo report` on two decompression bombs, side by side with
`mutool info -F` and `pdffonts`, and checks the targets: under 2 s and a
peak under 200 MB each.

  bench/bomb_bench.py [BUILD_DIR]     (RUNS=N sets the runs per tool; best counts)

The bombs are one-page files of about half a megabyte, made here:
- tounicode.pdf: a font whose ToUnicode stream inflates to 512 MB of one
  bfrange entry whose destination array holds nothing but names, so that
  every element fails to convert;
- fontfile2.pdf: a TrueType font whose FontFile2 inflates to 512 MB.
Real files are larger and shaped otherwise (many pages, object streams);
these exercise only the decoding limits.
"""
import os
import pathlib
import subprocess
import sys
import tempfile
import time
import zlib

INFLATED_SIZE = 512 << 20
CHUNK = 1 << 20
SECONDS_TARGET = 2.0
MEGABYTES_TARGET = 200
TIME_LIMIT = 20.0  # a tool that takes longer is stopped: pdffonts takes minutes on the ToUnicode bomb


def deflated(head, repeated, tail):
    """head + repeated (up to INFLATED_SIZE bytes) + tail, Flate-compressed."""
    packer = zlib.compressobj(9)
    parts = [packer.compress(head)]
    block = repeated * (CHUNK // len(repeated))
    for _ in range(INFLATED_SIZE // len(block)):
        parts.append(packer.compress(block))
    parts.append(packer.compress(tail))
    parts.append(packer.flush())
    return b"".join(parts)


def stream(dictionary, data):
    return b"<< %s /Length %d /Filter /FlateDecode >>\nstream\n%s\nendstream" % (dictionary, len(data), data)


def write_pdf(path, font, extra_objects):
    """A one-page PDF that shows a word in `font` (object 4); objects 6 on are `extra_objects`."""
    content = b"BT /F1 24 Tf 72 700 Td (Bomb) Tj ET"
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >> "
        b"/Contents 5 0 R >>",
        font,
        b"<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content),
    ] + extra_objects
    out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    pathlib.Path(path).write_bytes(out)


def make_tounicode_bomb(path):
    cmap = deflated(
        b"/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CMapName /Bomb def /CMapType 2 def\n"
        b"1 begincodespacerange <00> <FF> endcodespacerange\n1 beginbfrange <00> <FFFFFFFF> [",
        b" /x",
        b" ] endbfrange endcmap CMapName currentdict /CMap defineresource pop end end\n")
    font = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding /ToUnicode 6 0 R >>"
    write_pdf(path, font, [stream(b"", cmap)])


def make_fontfile2_bomb(path):
    program = deflated(b"\x00\x01\x00\x00", b"\x00", b"")
    font = (b"<< /Type /Font /Subtype /TrueType /BaseFont /Bomb /FirstChar 32 /LastChar 126 "
            b"/Encoding /WinAnsiEncoding /FontDescriptor 6 0 R >>")
    descriptor = (b"<< /Type /FontDescriptor /FontName /Bomb /Flags 32 /FontBBox [0 0 1000 1000] /ItalicAngle 0 "
                  b"/Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 /FontFile2 7 0 R >>")
    write_pdf(path, font, [descriptor, stream(b"/Length1 %d" % INFLATED_SIZE, program)])


def run_once(command):
    """Wall time and resource usage of one run; a run past TIME_LIMIT is stopped and None."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while True:
        pid, _, usage = os.wait4(child.pid, os.WNOHANG)
        if pid != 0:
            return time.perf_counter() - start, usage
        if time.perf_counter() - start > TIME_LIMIT:
            child.kill()
            child.wait()
            return None
        time.sleep(0.005)


def measure(command, runs):
    """The best wall time, the best CPU time (user and system) and the largest peak (MB) of the runs;
    None when a run took longer than TIME_LIMIT."""
    best_wall = best_cpu = float("inf")
    peak = 0
    for _ in range(runs):
        result = run_once(command)
        if result is None:
            return None
        wall, usage = result
        best_wall = min(best_wall, wall)
        best_cpu = min(best_cpu, usage.ru_utime + usage.ru_stime)
        peak = max(peak, usage.ru_maxrss / 1024)
    return best_wall, best_cpu, peak


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    build = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "build"
    runs = int(os.environ.get("RUNS", "3"))
    missed = 0
    with tempfile.TemporaryDirectory() as work:
        for name, make in (("tounicode", make_tounicode_bomb), ("fontfile2", make_fontfile2_bomb)):
            bomb = os.path.join(work, name + ".pdf")
            make(bomb)
            print(f"{name}.pdf: {os.path.getsize(bomb) / 1024:.0f} KB, inflating to {INFLATED_SIZE >> 20} MB")
            print(f"  {'tool':<16} {'wall s':>8} {'CPU s':>8} {'peak MB':>8}")
            tools = (
                ("ortheo report", [str(build / "bin" / "ortheo"), "report", bomb, "-o", os.path.join(work, "r.pdf")]),
                ("mutool info -F", ["mutool", "info", "-F", bomb]),
                ("pdffonts", ["pdffonts", bomb]),
            )
            for tool, command in tools:
                measured = measure(command, runs)
                if measured is None:
                    print(f"  {tool:<16} stopped after {TIME_LIMIT:g} s")
                    missed += tool == "ortheo report"
                    continue
                wall, cpu, peak = measured
                print(f"  {tool:<16} {wall:8.3f} {cpu:8.3f} {peak:8.1f}")
                if tool == "ortheo report":
                    met = wall < SECONDS_TARGET and peak < MEGABYTES_TARGET
                    missed += not met
                    print(f"  {'met' if met else 'missed'}: under {SECONDS_TARGET:g} s and {MEGABYTES_TARGET} MB")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
