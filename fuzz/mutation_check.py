#!/usr/bin/env python3
"""Runs `ortheo report` of a sanitizer build on deterministic mutations of
the test fixtures and the sample, and fails on any crash, sanitizer report,
hang, exit status other than 0 to 3, or written report that `qpdf --check`
rejects.

  fuzz/mutation_check.py ORTHEO [COUNT_PER_FILE]

Each file is first uncompressed by `qpdf --qdf`, so that font dictionaries
and ToUnicode CMaps lie open in the text; the mutations then flip bytes,
delete ranges and truncate the file inside those objects. The mutations
come from a fixed seed: every run tries the same inputs. An input that
fails is kept in the working directory, whose name is printed.
"""
import concurrent.futures
import os
import pathlib
import random
import re
import subprocess
import sys
import tempfile

SEED = 12
TIME_LIMIT = 60  # seconds; a sanitizer build reports the largest fixture in a few
TARGET_OBJECT = re.compile(rb"/Type /Font\b|/Type /FontDescriptor|begincmap")
OBJECT = re.compile(rb"\n\d+ 0 obj\n.*?\nendobj", re.S)
SANITIZER_REPORT = re.compile(rb"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:")
SANITIZER_OPTIONS = {
    "ASAN_OPTIONS": "exitcode=86:detect_leaks=1",
    "UBSAN_OPTIONS": "halt_on_error=1:exitcode=87:print_stacktrace=1",
}


def target_spans(pdf):
    """The (start, end) of each object that is a font dictionary, a font descriptor or a CMap."""
    return [match.span() for match in OBJECT.finditer(pdf) if TARGET_OBJECT.search(match.group())]


def mutate(pdf, spans, rng):
    """One mutation inside a target object: a few flipped bytes, a deleted range, or the file cut there."""
    start, end = rng.choice(spans)
    kind = rng.choice(("flip", "flip", "delete", "truncate"))
    if kind == "truncate":
        return kind, pdf[: rng.randrange(start, end)]
    if kind == "delete":
        first = rng.randrange(start, end)
        last = min(end, first + rng.randint(1, 64))
        return kind, pdf[:first] + pdf[last:]
    mutated = bytearray(pdf)
    for _ in range(rng.randint(1, 8)):
        mutated[rng.randrange(start, end)] ^= 1 << rng.randrange(8)
    return kind, bytes(mutated)


def check(ortheo, input_path):
    """None when the report command behaved, else what went wrong."""
    output = input_path.with_suffix(".report.pdf")
    environment = dict(os.environ, **SANITIZER_OPTIONS)
    try:
        run = subprocess.run([ortheo, "report", str(input_path), "-o", str(output)], capture_output=True,
                             timeout=TIME_LIMIT, env=environment)
    except subprocess.TimeoutExpired:
        return f"no answer within {TIME_LIMIT} s"
    report = SANITIZER_REPORT.search(run.stderr)
    if report or not 0 <= run.returncode <= 3:
        tail = run.stderr[-3000:].decode(errors="replace")
        return f"exit status {run.returncode}\n{tail}"
    if output.exists():
        checked = subprocess.run(["qpdf", "--check", str(output)], capture_output=True)
        output.unlink()
        if checked.returncode != 0:
            return "qpdf --check rejects the report:\n" + checked.stdout.decode(errors="replace")[-2000:]
    input_path.unlink()
    return None


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    ortheo = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 50
    root = pathlib.Path(__file__).resolve().parent.parent
    sources = sorted((root / "tests" / "fixtures").glob("*.pdf")) + [root / "samples" / "sample.pdf"]
    work = pathlib.Path(tempfile.mkdtemp(prefix="ortheo-mutations-"))
    rng = random.Random(SEED)
    inputs = []
    for source in sources:
        uncompressed = work / (source.stem + "-qdf.pdf")
        subprocess.run(["qpdf", "--qdf", "--object-streams=disable", str(source), str(uncompressed)], check=True)
        pdf = uncompressed.read_bytes()
        uncompressed.unlink()
        spans = target_spans(pdf)
        for number in range(count):
            kind, mutated = mutate(pdf, spans, rng)
            path = work / f"{source.stem}-{number:03d}-{kind}.pdf"
            path.write_bytes(mutated)
            inputs.append(path)

    failures = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for path, problem in zip(inputs, pool.map(lambda path: check(ortheo, path), inputs)):
            if problem is not None:
                failures += 1
                print(f"FAILED {path.name}: {problem}")
    print(f"{len(inputs)} mutations of {len(sources)} files, {failures} failed")
    if failures:
        print(f"the failing inputs are kept in {work}")
        return 1
    work.rmdir()
    return 0


if __name__ == "__main__":
    sys.exit(main())
