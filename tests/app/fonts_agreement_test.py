#!/usr/bin/python3
"""Checks `ortheo fonts --json` against independent readers and the report.

    fonts_agreement_test.py ORTHEO PDF...

- the report: each font's type, CID type, encoding, embedded and protected,
  as `pdftotext -layout` reads them from `ortheo report`'s description pages,
  are those the listing gives (every font, or the test fails);
- pdffonts: the object, type, embedded, subset and ToUnicode columns of each
  font pdffonts lists with an object number;
- pdfminer: the number of distinct codes each font draws, from the content
  of the pages (pdfminer does not walk annotation appearances or Type3
  glyph procedures, so fonts drawn there are left out).

Prints the agreement figures; any disagreement fails the test, but for a
font pdffonts lists that the host skipped with a warning as no font
dictionary. A missing tool skips its part; all of them missing skips the
test (77).
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77

# pdffonts' type column, as the listing's type and CID type.
PDFFONTS_TYPES = {
    "Type 1": ("Type1", None), "Type 1C": ("Type1", None), "Type 1 (OT)": ("Type1", None),
    "Type 3": ("Type3", None), "TrueType": ("TrueType", None), "TrueType (OT)": ("TrueType", None),
    "CID Type 0": ("Type0", "CIDFontType0"), "CID Type 0C": ("Type0", "CIDFontType0"),
    "CID Type 0C (OT)": ("Type0", "CIDFontType0"), "CID TrueType": ("Type0", "CIDFontType2"),
    "CID TrueType (OT)": ("Type0", "CIDFontType2"),
}


def listing(ortheo, pdf):
    out = subprocess.run([ortheo, "fonts", "--json", pdf], capture_output=True, text=True)
    if out.returncode not in (0, 3):
        raise SystemExit(f"ortheo fonts {pdf}: status {out.returncode}: {out.stderr}")
    return json.loads(out.stdout)["fonts"], out.stderr


def report_facts(ortheo, pdf, folder):
    """(name, type, cidType, encoding, embedded, protected) of each description page."""
    report = os.path.join(folder, "report.pdf")
    run = subprocess.run([ortheo, "report", pdf, "-o", report], capture_output=True, text=True)
    if run.returncode != 0:
        return []
    text = subprocess.run(["pdftotext", "-layout", report, "-"], capture_output=True, text=True).stdout
    facts = []
    lines = text.splitlines()
    for at, line in enumerate(lines):
        named = re.match(r"\s*Font Name: (.*?)\s*( \(embedded\))?( \(multibyte\))?\s*$", line)
        if not named or at + 1 >= len(lines):
            continue
        typed = re.match(r"\s*Type: (\S+)\s+(?:CIDType: (\S+) )?Encoding: (\S+?)(protected from embedding)?\s*$",
                         lines[at + 1])
        if typed:
            facts.append((named.group(1), typed.group(1), typed.group(2),
                          None if typed.group(3) == "Custom" else typed.group(3),
                          named.group(2) is not None, typed.group(4) is not None))
    return facts


def listing_facts(fonts):
    return [(f["name"], f["type"], f["cidType"], f["encoding"], f["embedded"], f["protection"] != 0) for f in fonts]


def pdffonts_rows(pdf):
    out = subprocess.run(["pdffonts", pdf], capture_output=True, text=True).stdout.splitlines()
    rows = {}
    for line in out[2:]:
        found = re.match(r"(.{36}) (.{17}) (.{16}) (yes|no ) (yes|no ) (yes|no )\s+(\d+)\s+(\d+)$", line)
        if found:
            rows[f"{found.group(7)} {found.group(8)} R"] = {
                "type": found.group(2).strip(), "embedded": found.group(4) == "yes",
                "subset": found.group(5).strip() == "yes", "toUnicode": found.group(6).strip() == "yes"}
    return rows


def pdfminer_codes(pdf):
    """Distinct codes per font object, as pdfminer decodes the pages' strings."""
    from pdfminer.pdfinterp import PDFResourceManager, PDFPageInterpreter
    from pdfminer.pdfdevice import PDFDevice
    from pdfminer.pdfpage import PDFPage

    codes = {}

    class Recorder(PDFDevice):
        def render_string(self, textstate, seq, ncs, graphicstate):
            font = textstate.font
            objid = getattr(font, "ortheo_objid", None)
            if objid is None:
                return
            for item in seq:
                if isinstance(item, bytes):
                    codes.setdefault(objid, set()).update(font.decode(item))

    manager = PDFResourceManager(caching=True)
    get_font = manager.get_font

    def tagged_font(objid, spec):
        font = get_font(objid, spec)
        if objid is not None:
            font.ortheo_objid = objid
        return font

    manager.get_font = tagged_font
    device = Recorder(manager)
    interpreter = PDFPageInterpreter(manager, device)
    with open(pdf, "rb") as stream:
        for page in PDFPage.get_pages(stream):
            interpreter.process_page(page)
    return {f"{objid} 0 R": len(found) for objid, found in codes.items()}


def main():
    ortheo, pdfs = sys.argv[1], sys.argv[2:]
    have_report = shutil.which("pdftotext") is not None
    have_pdffonts = shutil.which("pdffonts") is not None
    try:
        import pdfminer  # noqa: F401
        have_pdfminer = True
    except ImportError:
        have_pdfminer = False
    if not (have_report or have_pdffonts or have_pdfminer):
        print("no independent reader installed")
        return SKIP
    failures = []
    fields = ["object", "type", "embedded", "subset", "toUnicode"]
    agreed = {field: 0 for field in fields}
    compared = 0
    codes_agreed = codes_compared = 0
    report_fonts = 0
    with tempfile.TemporaryDirectory() as folder:
        for pdf in pdfs:
            fonts, warnings = listing(ortheo, pdf)
            if have_report and fonts:
                mine, theirs = sorted(listing_facts(fonts), key=str), sorted(report_facts(ortheo, pdf, folder), key=str)
                report_fonts += len(mine)
                if mine != theirs:
                    failures.append(f"{pdf}: the listing says {mine}, the report {theirs}")
            by_object = {f["object"]: f for f in fonts if f["object"]}
            if have_pdffonts:
                for obj, row in pdffonts_rows(pdf).items():
                    compared += 1
                    font = by_object.get(obj)
                    if font is None:
                        if f"({obj}) under /Font: not a font dictionary" not in warnings:
                            failures.append(f"{pdf}: pdffonts lists {obj}, the listing does not")
                        continue
                    agreed["object"] += 1
                    checks = {
                        "type": PDFFONTS_TYPES.get(row["type"]) == (font["type"], font["cidType"]),
                        "embedded": row["embedded"] == font["embedded"],
                        "subset": row["subset"] == font["subset"],
                        "toUnicode": row["toUnicode"] == (font["toUnicode"] is not None),
                    }
                    for field, same in checks.items():
                        agreed[field] += same
                        if not same:
                            failures.append(f"{pdf}: {obj} {field}: pdffonts {row}, listing {font}")
            if have_pdfminer:
                for obj, count in pdfminer_codes(pdf).items():
                    font = by_object.get(obj)
                    if font is None or font["type"] == "Type3":
                        continue
                    codes_compared += 1
                    if font["codes"]["distinct"] == count:
                        codes_agreed += 1
                    else:
                        failures.append(f"{pdf}: {obj} draws {font['codes']['distinct']} codes; pdfminer finds {count}")
    if have_report:
        print(f"report: type, encoding, embedded and protected compared for {report_fonts} fonts")
    if have_pdffonts:
        print(f"pdffonts: {compared} fonts; " + ", ".join(f"{field} {agreed[field]}" for field in fields))
    if have_pdfminer:
        print(f"pdfminer: distinct codes agree on {codes_agreed} of {codes_compared} fonts")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
