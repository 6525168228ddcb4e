#!/usr/bin/env python3
"""Static checks of a shipped Windows binary: machine, format, kind, imports, exports
and resources, read with pefile. Prints a one-line summary; exits 1 on any failure."""

import argparse
import fnmatch
import sys

import pefile

MACHINES = {
    "i386": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
    "amd64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"],
}
FORMATS = {"pe32": pefile.OPTIONAL_HEADER_MAGIC_PE, "pe32+": pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS}
SUBSYSTEMS = {
    "gui": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
    "console": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"],
}
# Only DLLs that every Windows installation has; the compiler runtime must be linked in.
SYSTEM_DLLS = ["kernel32.dll", "user32.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll", "gdi32.dll",
               "api-ms-win-crt-*.dll"]
RUNTIME_DLLS = ["libgcc_s*.dll", "libstdc++*.dll", "libwinpthread*.dll"]


def parse_resource(text):
    """TYPE:ID, the type by name (RT_DIALOG) or number, the id a number."""
    kind, sep, ident = text.partition(":")
    if not sep:
        raise argparse.ArgumentTypeError(f"expected TYPE:ID, got {text!r}")
    try:
        kind_id = int(kind) if kind.isdigit() else pefile.RESOURCE_TYPE[kind]
        return kind, kind_id, int(ident)
    except (KeyError, ValueError):
        raise argparse.ArgumentTypeError(f"unknown resource {text!r}") from None


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("binary")
    parser.add_argument("--machine", choices=MACHINES, default="i386")
    parser.add_argument("--format", choices=FORMATS, default="pe32")
    parser.add_argument("--subsystem", choices=SUBSYSTEMS)
    parser.add_argument("--dll", action="store_true", help="require the DLL flag (otherwise require its absence)")
    parser.add_argument("--allow-import", action="append", default=[], metavar="PATTERN",
                        help="another DLL name pattern that may be imported, besides the system set")
    parser.add_argument("--export-name", help="the module name that the export directory must hold")
    parser.add_argument("--exports", help="comma-separated: the exact set of names exported, nothing else")
    parser.add_argument("--no-resources", action="store_true", help="require that there is no resource directory")
    parser.add_argument("--resource", action="append", default=[], type=parse_resource, metavar="TYPE:ID",
                        help="require this resource, e.g. RT_DIALOG:1000")
    return parser.parse_args(argv)


def matches_any(name, patterns):
    return any(fnmatch.fnmatch(name.lower(), pattern.lower()) for pattern in patterns)


def imported_dlls(pe):
    entries = getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])
    return sorted({entry.dll.decode("ascii", "replace") for entry in entries}, key=str.lower)


def export_table(pe):
    """(ordinal, name or None) in ordinal order, and the module name."""
    if not hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        return [], None
    directory = pe.DIRECTORY_ENTRY_EXPORT
    module = pe.get_string_at_rva(directory.struct.Name).decode("ascii", "replace")
    table = sorted((symbol.ordinal, symbol.name.decode("ascii", "replace") if symbol.name else None)
                   for symbol in directory.symbols)
    return table, module


def resource_ids(pe):
    """{(type id, resource id)} of every resource named by number."""
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return set()
    return {(kind.id, resource.id)
            for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries if hasattr(kind, "directory")
            for resource in kind.directory.entries}


def has_resources(pe):
    directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]
    return directory.VirtualAddress != 0 or directory.Size != 0


def check_header(pe, args, failures):
    machine = pe.FILE_HEADER.Machine
    if machine != MACHINES[args.machine]:
        failures.append(f"machine is {name_of(machine, MACHINES, pefile.MACHINE_TYPE)}, not {args.machine}")
    magic = pe.OPTIONAL_HEADER.Magic
    if magic != FORMATS[args.format]:
        failures.append(f"optional header magic is {magic:#x}, not {args.format.upper()}")
    if args.subsystem and pe.OPTIONAL_HEADER.Subsystem != SUBSYSTEMS[args.subsystem]:
        subsystem = name_of(pe.OPTIONAL_HEADER.Subsystem, SUBSYSTEMS, pefile.SUBSYSTEM_TYPE)
        failures.append(f"subsystem is {subsystem}, not {args.subsystem}")
    if pe.is_dll() != args.dll:
        failures.append("the DLL flag is " + ("set" if pe.is_dll() else "clear"))


def check_imports(dlls, args, failures):
    for dll in dlls:
        if matches_any(dll, RUNTIME_DLLS):
            failures.append(f"imports the compiler runtime {dll}: it must be linked statically")
        elif not matches_any(dll, SYSTEM_DLLS + args.allow_import):
            failures.append(f"imports {dll}, which is not a system DLL")


def check_exports(table, module, args, failures):
    if args.export_name is not None and module != args.export_name:
        failures.append(f"export directory names the module {module!r}, not {args.export_name!r}")
    if args.exports is not None:
        wanted = set(filter(None, args.exports.split(",")))
        named = {name for _, name in table if name}
        if named - wanted:
            failures.append("unexpected exports: " + ", ".join(sorted(named - wanted)))
        if wanted - named:
            failures.append("missing exports: " + ", ".join(sorted(wanted - named)))
        unnamed = [ordinal for ordinal, name in table if not name]
        if unnamed:
            failures.append("exports by ordinal only: " + ", ".join(map(str, unnamed)))


def check_resources(pe, args, failures):
    if args.no_resources and has_resources(pe):
        failures.append("has a resource directory")
    found = resource_ids(pe)
    for kind, kind_id, ident in args.resource:
        if (kind_id, ident) not in found:
            failures.append(f"no resource {kind} {ident}")


def name_of(value, names, fallback):
    """The short name this checker uses for a header value, else pefile's own name."""
    return next((name for name, known in names.items() if known == value), fallback.get(value, hex(value)))


def summary(path, pe, dlls, table, failures):
    machine = name_of(pe.FILE_HEADER.Machine, MACHINES, pefile.MACHINE_TYPE)
    magic = name_of(pe.OPTIONAL_HEADER.Magic, FORMATS, {}).upper()
    subsystem = name_of(pe.OPTIONAL_HEADER.Subsystem, SUBSYSTEMS, pefile.SUBSYSTEM_TYPE)
    kind = "DLL" if pe.is_dll() else "EXE"
    resources = f"{len(resource_ids(pe))} resources" if has_resources(pe) else "no resources"
    verdict = "OK" if not failures else f"FAILED ({len(failures)})"
    return (f"{path}: {magic} {machine} {kind}, {subsystem} subsystem, imports {' '.join(dlls) or 'none'}, "
            f"{len(table)} exports, {resources}: {verdict}")


def main(argv):
    args = parse_arguments(argv)
    try:
        pe = pefile.PE(args.binary)
    except (OSError, pefile.PEFormatError) as error:
        print(f"{args.binary}: not a readable PE file: {error}", file=sys.stderr)
        return 1
    failures = []
    dlls = imported_dlls(pe)
    table, module = export_table(pe)
    check_header(pe, args, failures)
    check_imports(dlls, args, failures)
    check_exports(table, module, args, failures)
    check_resources(pe, args, failures)

    print(summary(args.binary, pe, dlls, table, failures))
    if pe.is_dll():
        print(f"exports of {module}:" if module else "no export directory")
        for ordinal, name in table:
            print(f"  {ordinal:>7}  {name or '(no name)'}")
    for failure in failures:
        print(f"FAIL: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
