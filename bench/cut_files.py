#!/usr/bin/env python3
"""Cuts real PDFs short, as an interrupted download or a full disk does, and
counts what each reader still makes of them.

    bench/cut_files.py ORTHEO [PDF...]

The PDFs are the fixtures, the sample and the PDFs of the installed Debian
documentation unless others are named. Each is cut as it is, rewritten
with object streams (qpdf --object-streams=generate) and linearised
(qpdf --linearize), at 30%, 60% and 90% of its length and just before its
last cross-reference section. For every cut file the script runs
`ortheo report`, `mutool info -F` and `pdffonts`, and counts the files each
lists fonts for; it checks every report with `qpdf --check` and compares
ortheo's fonts of each page (its outline's "Fonts by pages") with
mutool's. mutool lists a font once, on the first page that uses it, and
leaves out those of forms: ortheo agrees when each font mutool lists on a
page is among ortheo's for that page. It exits 1 when a report fails the check or ortheo reports on
fewer files than mutool lists fonts for.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FRACTIONS = (0.3, 0.6, 0.9)
VARIANTS = (("plain", []), ("objstm", ["--object-streams=generate"]), ("linear", ["--linearize"]))
TIMEOUT = 60


def default_inputs():
    found = sorted(glob.glob(os.path.join(ROOT, "tests/fixtures/*.pdf")))
    found += sorted(glob.glob(os.path.join(ROOT, "samples/*.pdf")))
    for folder, _, files in sorted(os.walk("/usr/share/doc")):
        found += sorted(os.path.join(folder, f) for f in files if f.endswith(".pdf"))
    return found


def run(command):
    try:
        done = subprocess.run(command, capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return None
    return done


def last_xref_offset(data):
    at = data.rfind(b"startxref")
    match = re.match(rb"startxref\s+(\d+)", data[at:]) if at >= 0 else None
    offset = int(match.group(1)) if match else 0
    return offset if 0 < offset < len(data) else None


def cut_files(inputs, work):
    """Writes the cut files into `work`; answers their paths."""
    cuts = []
    for number, source in enumerate(inputs):
        base = os.path.splitext(os.path.basename(source))[0]
        for variant, options in VARIANTS:
            whole = os.path.join(work, f"{number}-{base}-{variant}.pdf")
            if run(["qpdf", *options, "--deterministic-id", source, whole]) is None or not os.path.exists(whole):
                continue
            data = open(whole, "rb").read()
            points = {int(len(data) * f) for f in FRACTIONS}
            if last_xref_offset(data):
                points.add(last_xref_offset(data))
            for point in sorted(points):
                cut = f"{whole[:-4]}-cut{point}.pdf"
                with open(cut, "wb") as out:
                    out.write(data[:point])
                cuts.append(cut)
    return cuts


def mutool_fonts(path):
    """mutool's fonts by page number, or None when it lists none."""
    done = run(["mutool", "info", "-F", path])
    if done is None or done.returncode != 0:
        return None
    pages = {}
    for line in done.stdout.decode("latin-1").splitlines():
        match = re.match(r"\s*(\d+)\s+\(.*?\):\s+\S+\s+'(.*)'", line)
        if match:
            pages.setdefault(int(match.group(1)), set()).add(match.group(2))
    return pages or None


def pdffonts_lists(path):
    done = run(["pdffonts", path])
    return done is not None and done.returncode == 0 and len(done.stdout.splitlines()) > 2


def ortheo_fonts(ortheo, path, report):
    """ortheo's fonts by page number from its report's outline, or None."""
    if os.path.exists(report):
        os.remove(report)
    done = run([ortheo, "report", path, "-o", report])
    if done is None or done.returncode != 0:
        return None, done is None
    outline = run(["mutool", "show", report, "outline"])
    pages, page = {}, None
    for line in outline.stdout.decode("latin-1").splitlines():
        heading = re.search(r'"Page (\d+)/\d+"', line)
        if heading:
            page = int(heading.group(1))
            pages.setdefault(page, set())
        elif page is not None and re.match(r"\|\t\t\t", line):
            pages[page].add(re.search(r'"\d+ (.*)"', line).group(1))
    return pages, False


def agrees(ours, theirs):
    return all(fonts - {""} <= ours.get(page, set()) for page, fonts in theirs.items())


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    ortheo = os.path.abspath(sys.argv[1])
    inputs = sys.argv[2:] or default_inputs()
    work = tempfile.mkdtemp(prefix="cut-files-")
    try:
        cuts = cut_files(inputs, work)
        report = os.path.join(work, "report.pdf")
        counts = {"ortheo": 0, "mutool": 0, "pdffonts": 0, "agree": 0, "both": 0}
        failures = []
        for cut in cuts:
            theirs = mutool_fonts(cut)
            ours, hung = ortheo_fonts(ortheo, cut, report)
            counts["mutool"] += theirs is not None
            counts["pdffonts"] += pdffonts_lists(cut)
            if hung:
                failures.append(f"{cut}: ortheo ran past {TIMEOUT} s")
            if ours is None:
                continue
            counts["ortheo"] += 1
            check = run(["qpdf", "--check", report])
            if check is None or check.returncode != 0:
                failures.append(f"{cut}: the report fails qpdf --check")
            if theirs is not None:
                counts["both"] += 1
                counts["agree"] += agrees(ours, theirs)
        print(f"{len(cuts)} cut files of {len(inputs)} PDFs")
        print(f"fonts listed: ortheo report {counts['ortheo']}, mutool info -F {counts['mutool']}, "
              f"pdffonts {counts['pdffonts']}")
        print(f"ortheo's fonts by page agree with mutool's on {counts['agree']} of the {counts['both']} "
              "files both list")
        for failure in failures:
            print(failure)
        if failures or counts["ortheo"] < counts["mutool"]:
            sys.exit(1)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
