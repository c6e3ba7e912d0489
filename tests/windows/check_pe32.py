#!/usr/bin/python3
"""Checks the 32-bit Ortheo.api as the viewer will see it.

The headers, the export and the imports come from objdump -p; the machine
and the data of the resources from pefile. Prints each fact it checked; exits with 1 and the
list of failures when one is not as the viewer needs it.

Usage: check_pe32.py OBJDUMP Ortheo.api
"""
import re
import struct
import subprocess
import sys

import pefile

# The system's own calls, and msvcrt's setjmp and longjmp: on 32-bit Windows
# they also unwind the structured-exception records of the host's frames
# that a resume jumps over, which the compiler's builtins do not.
WANTED_IMPORTS = {
    "user32.dll": {"LoadBitmapA"},
    "gdi32.dll": {"DeleteObject"},
    "kernel32.dll": {"OutputDebugStringA"},
    "shlwapi.dll": {"wvnsprintfA"},
    "msvcrt.dll": {"_setjmp3", "longjmp"},
}
# Windows' own DLLs: no runtime DLL of the compiler (libstdc++, libgcc,
# libwinpthread) may be needed beside the plug-in.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "shlwapi.dll", "advapi32.dll"}
BUTTON_BITMAP = 106
VERSION_INFO = 1


def export_names(dump):
    """The names of the export table's name pointer table."""
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return []
    names = []
    for line in table[1].splitlines()[1:]:
        entry = re.match(r"\s+\[\s*\d+\]\s+(\S+)$", line)
        if not entry:
            break
        names.append(entry.group(1))
    return names


def imports_by_dll(dump):
    """The imported names of each DLL, the DLL's name in lower case."""
    imports = {}
    names = None
    for line in dump.splitlines():
        dll = re.match(r"\s+DLL Name: (\S+)", line)
        if dll:
            names = imports.setdefault(dll.group(1).lower(), set())
        elif names is not None and re.match(r"\s+[0-9a-f]+\s+\d+\s+\S+$", line):
            names.add(line.split()[-1])
        elif not line.strip():
            names = None
    return imports


def resource_data(pe, kind, ident):
    """The bytes of the first language of resource `kind`/`ident`, or None."""
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return None
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if type_entry.id != kind:
            continue
        for name_entry in type_entry.directory.entries:
            if name_entry.id == ident:
                leaf = name_entry.directory.entries[0].data.struct
                return pe.get_data(leaf.OffsetToData, leaf.Size)
    return None


def bitmap_facts(data):
    """Width, height and bits per pixel of a DIB (BITMAPINFOHEADER first)."""
    _, width, height, _, bits = struct.unpack_from("<IiiHH", data, 0)
    return width, abs(height), bits


def file_version(data):
    """The file version of a VS_VERSIONINFO block, as "major.minor"."""
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        return None
    high, low = struct.unpack_from("<II", data, fixed + 8)
    version = f"{high >> 16}.{high & 0xFFFF}"
    return version if low == 0 else f"{version}.{low >> 16}.{low & 0xFFFF}"


def main(objdump, path):
    dump = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    failures = []

    def check(what, seen, wanted):
        print(f"{what}: {seen}")
        if seen != wanted:
            failures.append(f"{what} is {seen}, wanted {wanted}")

    check("format", re.search(r"file format (\S+)", dump).group(1), "pei-i386")
    check("optional header", re.search(r"Magic\s+\S+\s+\((\S+)\)", dump).group(1), "PE32")
    check("a DLL", bool(re.search(r"^\s+DLL$", dump, re.MULTILINE)), True)
    check("exports", export_names(dump), ["PlugInMain"])
    imports = imports_by_dll(dump)
    print(f"imports from: {', '.join(sorted(imports))}")
    for dll in sorted(set(imports) - SYSTEM_DLLS):
        failures.append(f"imports from {dll}, which is not a system DLL")
    for dll, wanted in sorted(WANTED_IMPORTS.items()):
        check(f"from {dll}", sorted(wanted & imports.get(dll, set())), sorted(wanted))

    pe = pefile.PE(path)
    check("machine", pefile.MACHINE_TYPE.get(pe.FILE_HEADER.Machine), "IMAGE_FILE_MACHINE_I386")
    bitmap = resource_data(pe, pefile.RESOURCE_TYPE["RT_BITMAP"], BUTTON_BITMAP)
    check("bitmap 106 (width, height, bits per pixel)", bitmap and bitmap_facts(bitmap), (20, 20, 4))
    version = resource_data(pe, pefile.RESOURCE_TYPE["RT_VERSION"], VERSION_INFO)
    check("file version", version and file_version(version), "1.1")

    for failure in failures:
        print(f"FAILED: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
