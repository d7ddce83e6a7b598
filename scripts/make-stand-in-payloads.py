#!/usr/bin/python3
"""Writes harmless stand-in payloads for all 35 components into a folder, one
file per component under its staged name and of its exact payload length, for
end-to-end tests of the wizard. Files are sparse: only heads and tails are
written, the zero padding is left as holes.

  exe payload: stand-in installer + marker line + zeros
  msi payload: wixl-built MSI that writes one HKCU value + zeros
  ZIP payload: the files the commands name, a zero gap, central directory

The component table is read from src/catalogue/catalogue.cpp, so the payloads
follow the catalogue without a second copy of it.

Usage: make-stand-in-payloads.py --installer stand_in_installer.exe --out DIR
         [--codes "5=1638,17=3010"] [--sleep "30=5000"]
         [--windowed-installer stand_in_installer_windowed.exe --windowed "5"]
         [--broken-msi "1"]
"""

import argparse
import io
import re
import struct
import subprocess
import sys
import tempfile
import time
import uuid
import zipfile
from dataclasses import dataclass, field
from pathlib import Path
from xml.sax.saxutils import quoteattr

ROOT = Path(__file__).resolve().parent.parent
CATALOGUE_CPP = ROOT / "src" / "catalogue" / "catalogue.cpp"

MARKER_PREFIX = b"NORVANE-STAND-IN "
REGISTRY_KEY = r"Software\NorvaneStandIn"
# Fixed namespace: the same package always gets the same GUIDs.
GUID_NAMESPACE = uuid.UUID("6f1d3c52-8a47-4e0b-9a51-2c7b0e4d9f13")
# A fixed timestamp keeps ZIP heads identical from run to run.
ZIP_TIME = (2015, 1, 1, 0, 0, 0)


class Failure(Exception):
    pass


@dataclass
class Command:
    kind: str  # "msi" or "exe"
    path: str
    path64: str


@dataclass
class Component:
    id: int
    offset: int
    chunk_length: int
    chunk_count: int
    staged_name: str
    extract_folder: str
    commands: list = field(default_factory=list)

    @property
    def length(self):
        return self.chunk_length * self.chunk_count


# ---------------------------------------------------------------- catalogue

STRING = r'"((?:[^"\\]|\\.)*)"'
NUMBER = r"([0-9][0-9']*)"


def c_string(literal):
    """The value of a C++ string literal body (only the escapes the file uses)."""
    out, i = [], 0
    while i < len(literal):
        ch = literal[i]
        if ch == "\\":
            if i + 1 >= len(literal) or literal[i + 1] not in '\\"':
                raise Failure(f"unsupported escape in catalogue string: {literal!r}")
            out.append(literal[i + 1])
            i += 2
        else:
            out.append(ch)
            i += 1
    return "".join(out)


def c_number(text):
    return int(text.replace("'", ""))


def braced_body(text, open_at):
    """Text between the brace at open_at and its partner, skipping strings."""
    depth, i = 0, open_at
    while i < len(text):
        ch = text[i]
        if ch == '"':
            i += 1
            while text[i] != '"':
                i += 2 if text[i] == "\\" else 1
        elif ch == "{":
            depth += 1
        elif ch == "}":
            depth -= 1
            if depth == 0:
                return text[open_at + 1 : i]
        i += 1
    raise Failure("unbalanced braces in catalogue")


def parse_command_arrays(text):
    call = re.compile(
        r"\b(msi|exe)\(\s*" + STRING
        + r"|CommandTemplate\{\s*K::(msi|exe)\s*,\s*" + STRING + r"\s*,\s*" + STRING
    )
    # Every command form the file may use, to catch forms the regex misses.
    any_command = re.compile(r"\b(?:msi|exe)\(|CommandTemplate\{")
    arrays = {}
    for head in re.finditer(r"constexpr\s+std::array\s+(c\d+)\s*\{", text):
        body = braced_body(text, head.end() - 1)
        commands = []
        for m in call.finditer(body):
            if m.group(1):
                commands.append(Command(m.group(1), c_string(m.group(2)), ""))
            else:
                commands.append(Command(m.group(3), c_string(m.group(4)), c_string(m.group(5))))
        if not commands or len(commands) != len(any_command.findall(body)):
            raise Failure(f"cannot read the commands of {head.group(1)} in the catalogue")
        arrays[head.group(1)] = commands
    return arrays


def read_catalogue(cpp_path=CATALOGUE_CPP):
    """The 35 components; catalogue.h beside the .cpp gives the archive length."""
    text = Path(cpp_path).read_text(encoding="utf-8")
    header_path = Path(cpp_path).with_name("catalogue.h")
    arrays = parse_command_arrays(text)
    entry = re.compile(
        r"\{\s*(\d+)\s*,\s*[A-Za-z_]\w*\s*,\s*" + STRING + r"\s*,\s*" + STRING
        + r"\s*,\s*\{\s*" + NUMBER + r"\s*,\s*" + NUMBER + r"\s*,\s*" + NUMBER + r"\s*\}"
        + r"\s*,\s*" + STRING + r"\s*,\s*" + STRING + r"\s*,\s*(c\d+)\s*,"
    )
    components = []
    for m in entry.finditer(text):
        if m.group(9) not in arrays:
            raise Failure(f"entry {m.group(1)} names unknown commands {m.group(9)}")
        components.append(Component(
            id=int(m.group(1)), offset=c_number(m.group(4)),
            chunk_length=c_number(m.group(5)), chunk_count=c_number(m.group(6)),
            staged_name=c_string(m.group(7)), extract_folder=c_string(m.group(8)),
            commands=arrays[m.group(9)]))

    # The same invariants the C++ table asserts, so a misread is loud.
    total = re.search(r"kPayloadArchiveLength\s*=\s*" + NUMBER,
                      Path(header_path).read_text(encoding="utf-8"))
    if not total:
        raise Failure("kPayloadArchiveLength not found in catalogue.h")
    if [c.id for c in components] != list(range(1, 36)):
        raise Failure(f"expected ids 1..35 in the catalogue, read {[c.id for c in components]}")
    expected = 0
    for c in components:
        if c.offset != expected or c.chunk_length <= 0 or c.chunk_count <= 0:
            raise Failure(f"component {c.id}: segments do not tile the archive")
        expected += c.length
    if expected != c_number(total.group(1)):
        raise Failure(f"segments end at {expected}, archive length is {total.group(1)}")
    return components


# ---------------------------------------------------------------- contents

def pe_image_end(data):
    """Where the PE image ends: sections, COFF symbols and strings, certificate."""
    if data[:2] != b"MZ":
        raise Failure("installer is not a PE file")
    nt = struct.unpack_from("<I", data, 0x3C)[0]
    if data[nt:nt + 4] != b"PE\0\0":
        raise Failure("installer is not a PE file")
    _, sections, _, symbols_at, symbols, optional_size, _ = struct.unpack_from(
        "<HHIIIHH", data, nt + 4)
    optional_at = nt + 24
    magic = struct.unpack_from("<H", data, optional_at)[0]
    end = struct.unpack_from("<I", data, optional_at + 60)[0]  # SizeOfHeaders
    directories_at = optional_at + {0x10B: 96, 0x20B: 112}[magic]
    directory_count = struct.unpack_from("<I", data, directories_at - 4)[0]
    for i in range(sections):
        raw_size, raw_at = struct.unpack_from("<II", data, optional_at + optional_size + 40 * i + 16)
        if raw_size:
            end = max(end, raw_at + raw_size)
    if symbols_at:
        strings_at = symbols_at + 18 * symbols
        end = max(end, strings_at + max(4, struct.unpack_from("<I", data, strings_at)[0]))
    if directory_count > 4:
        cert_at, cert_size = struct.unpack_from("<II", data, directories_at + 8 * 4)
        if cert_at:
            end = max(end, cert_at + cert_size)
    return end


def load_installer(path):
    data = Path(path).read_bytes()
    # The stand-in looks for its marker right after the image; an installer
    # that already carries an overlay (e.g. a generated payload) would hide it.
    if pe_image_end(data) != len(data):
        raise Failure(f"{path}: bytes after the PE image; pass the plain stand-in build")
    if MARKER_PREFIX in data[-4096:]:
        raise Failure(f"{path} already carries a marker")
    return data


def marked_installer(installer, component_id, code, sleep_ms):
    return installer + b"NORVANE-STAND-IN id=%d code=%d sleep=%d\n" % (component_id, code, sleep_ms)


def guid(*parts):
    return str(uuid.uuid5(GUID_NAMESPACE, "/".join(str(p) for p in parts))).upper()


def build_msi(workdir, component_id, file_name, broken=False):
    """An MSI whose install writes HKCU\\Software\\NorvaneStandIn "<id>-<name>" = "<id>".

    A broken one is cut short after its first 4 KiB, like a damaged
    download: msiexec refuses it and installs nothing."""
    # No files, so it installs per-user or per-machine alike. wixl draws a new
    # PackageCode and timestamps on every build; only the codes below are fixed.
    value_name = f"{component_id}-{file_name}"
    key = ("msi", component_id, file_name)
    wxs = f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{guid(*key, 'product')}" UpgradeCode="{guid(*key, 'upgrade')}"
           Name={quoteattr(f'Norvane stand-in {value_name}')} Language="1033" Version="1.0.0.0"
           Manufacturer="Norvane tests">
    <Package InstallerVersion="200" Compressed="yes"
             Description={quoteattr(f'Norvane stand-in {value_name}')}/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Component Id="StandInValue" Guid="{guid(*key, 'component')}">
        <RegistryValue Root="HKCU" Key={quoteattr(REGISTRY_KEY)} Name={quoteattr(value_name)}
                       Type="string" Value="{component_id}" KeyPath="yes"/>
      </Component>
    </Directory>
    <Feature Id="StandIn" Level="1">
      <ComponentRef Id="StandInValue"/>
    </Feature>
  </Product>
</Wix>
"""
    stem = f"{component_id}-{file_name}"
    source, output = Path(workdir) / f"{stem}.wxs", Path(workdir) / f"{stem}"
    source.write_text(wxs, encoding="utf-8")
    result = subprocess.run(["wixl", "-o", str(output), str(source)],
                            capture_output=True, text=True)
    if result.returncode != 0 or not output.is_file():
        raise Failure(f"wixl failed for {value_name}: {result.stderr.strip()}")
    package = output.read_bytes()
    return package[:4096] if broken else package


def zip_parts(entries):
    """A stored ZIP split into (local entries, central directory + EOCD)."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED, allowZip64=False) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, ZIP_TIME)
            info.external_attr = 0o644 << 16
            archive.writestr(info, data)
    data = buffer.getvalue()
    # No archive comment, so the EOCD is the last 22 bytes.
    eocd = data[-22:]
    if eocd[:4] != b"PK\5\6":
        raise Failure("unexpected ZIP layout from zipfile")
    cd_size, cd_offset = struct.unpack_from("<II", eocd, 12)
    if cd_offset + cd_size + 22 != len(data):
        raise Failure("unexpected ZIP layout from zipfile")
    return data[:cd_offset], data[cd_offset:]


def with_gap(head, tail, length):
    """The tail with its EOCD pointing at a central directory moved to length - len(tail)."""
    cd_offset = length - len(tail)
    if cd_offset > 0xFFFFFFFF:
        raise Failure("central directory offset beyond 32 bits")
    eocd = bytearray(tail[-22:])
    struct.pack_into("<I", eocd, 16, cd_offset)
    return tail[:-22] + bytes(eocd)


def write_sparse(path, length, head, tail=b""):
    if len(head) + len(tail) > length:
        raise Failure(f"{path.name}: {len(head) + len(tail)} bytes of content exceed "
                      f"the payload length {length}")
    with open(path, "wb") as f:
        f.write(head)
        f.truncate(length)  # the padding stays a hole
        if tail:
            f.seek(length - len(tail))
            f.write(tail)
    if path.stat().st_size != length:
        raise Failure(f"{path.name}: wrote {path.stat().st_size} bytes, expected {length}")


# ---------------------------------------------------------------- options

def parse_map(text, option, low, high):
    values = {}
    for item in filter(None, (part.strip() for part in (text or "").split(","))):
        m = re.fullmatch(r"(\d+)\s*=\s*(-?\d+)", item)
        if not m:
            raise Failure(f"{option}: expected id=value, got {item!r}")
        component_id, value = int(m.group(1)), int(m.group(2))
        if not 1 <= component_id <= 35:
            raise Failure(f"{option}: no component {component_id}")
        if not low <= value <= high:
            raise Failure(f"{option}: {value} for component {component_id} is out of range")
        values[component_id] = value
    return values


def generate(components, installers, out, codes, sleeps, windowed=(), broken=()):
    """installers: the console stand-in, and the windowed one (or None)."""
    out.mkdir(parents=True, exist_ok=True)
    exe_ids = {c.id for c in components if any(cmd.kind == "exe" for cmd in c.commands)}
    msi_ids = {c.id for c in components if any(cmd.kind == "msi" for cmd in c.commands)}
    for option, values in (("--codes", codes), ("--sleep", sleeps), ("--windowed", windowed)):
        for component_id in values:
            if component_id not in exe_ids:
                raise Failure(f"{option}: component {component_id} runs no stand-in exe")
    for component_id in broken:
        if component_id not in msi_ids:
            raise Failure(f"--broken-msi: component {component_id} installs no package")
    if windowed and installers[1] is None:
        raise Failure("--windowed needs --windowed-installer")

    with tempfile.TemporaryDirectory(prefix="stand-in-msi-") as workdir:
        for c in components:
            code, sleep_ms = codes.get(c.id, 0), sleeps.get(c.id, 0)
            installer = installers[1] if c.id in windowed else installers[0]
            broken_msi = c.id in broken
            target = out / c.staged_name
            if c.extract_folder:
                prefix = c.extract_folder + "\\"
                entries, seen = [], set()
                for cmd in c.commands:
                    for path in filter(None, (cmd.path, cmd.path64)):
                        if not path.startswith(prefix):
                            raise Failure(f"component {c.id}: {path} lies outside {prefix}")
                        name = path[len(prefix):].replace("\\", "/")
                        if name in seen:
                            continue
                        seen.add(name)
                        file_name = name.rsplit("/", 1)[-1]
                        if cmd.kind == "exe":
                            data = marked_installer(installer, c.id, code, sleep_ms)
                        else:
                            data = build_msi(workdir, c.id, file_name, broken_msi)
                        entries.append((name, data))
                head, tail = zip_parts(entries)
                write_sparse(target, c.length, head, with_gap(head, tail, c.length))
                contents = ", ".join(name for name, _ in entries)
                kind = "zip"
            else:
                if len(c.commands) != 1 or c.commands[0].path != c.staged_name:
                    raise Failure(f"component {c.id}: expected one command running {c.staged_name}")
                kind = c.commands[0].kind
                if kind != ("msi" if c.staged_name.lower().endswith(".msi") else "exe"):
                    raise Failure(f"component {c.id}: {kind} command for {c.staged_name}")
                if kind == "exe":
                    head = marked_installer(installer, c.id, code, sleep_ms)
                    contents = f"code={code} sleep={sleep_ms}"
                else:
                    head = build_msi(workdir, c.id, c.staged_name, broken_msi)
                    contents = f"value {c.id}-{c.staged_name}"
                write_sparse(target, c.length, head)
                tail = b""
            print(f"{c.id:2d} {kind} {c.staged_name:40s} {c.length:>11,d} bytes "
                  f"(head {len(head):,d}, tail {len(tail):,d}): {contents}")


def parse_ids(text, option):
    ids = set()
    for item in filter(None, (part.strip() for part in (text or "").split(","))):
        if not item.isdigit() or not 1 <= int(item) <= 35:
            raise Failure(f"{option}: no component {item!r}")
        ids.add(int(item))
    return ids


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--installer", required=True, help="stand_in_installer.exe")
    parser.add_argument("--out", required=True, help="folder for the 35 payload files")
    parser.add_argument("--codes", default="", help='exit codes, e.g. "5=1638,17=3010"')
    parser.add_argument("--sleep", default="", help='waits in ms, e.g. "30=5000"')
    parser.add_argument("--windowed-installer", help="the stand-in built as a windowed program")
    parser.add_argument("--windowed", default="",
                        help='components whose stand-in is the windowed one, e.g. "5,12"')
    parser.add_argument("--broken-msi", default="",
                        help='components whose packages are cut short, e.g. "1"')
    parser.add_argument("--catalogue", default=str(CATALOGUE_CPP),
                        help="catalogue.cpp to read (default: the project's)")
    args = parser.parse_args(argv)
    try:
        started = time.monotonic()
        components = read_catalogue(args.catalogue)
        # Codes as the stand-in reads them: signed 32-bit or unsigned DWORD.
        codes = parse_map(args.codes, "--codes", -2**31, 2**32 - 1)
        sleeps = parse_map(args.sleep, "--sleep", 0, 2**32 - 2)
        windowed = parse_ids(args.windowed, "--windowed")
        broken = parse_ids(args.broken_msi, "--broken-msi")
        # The windowed build is read only where it is used.
        installers = (load_installer(args.installer),
                      load_installer(args.windowed_installer)
                      if windowed and args.windowed_installer else None)
        generate(components, installers, Path(args.out), codes, sleeps, windowed, broken)
        total = sum(c.length for c in components)
        print(f"35 payloads, {total:,d} bytes, in {time.monotonic() - started:.1f} s")
    except (Failure, OSError, struct.error) as error:
        print(f"make-stand-in-payloads: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
