#!/usr/bin/env python3
"""check_manifest.py <program>: fails unless the program carries exactly the
manifest it should, as resource 1 of type RT_MANIFEST:

- well-formed XML in UTF-8 without a byte-order mark;
- the program's identity, the common controls 6, the five supportedOS of
  Vista to 11, dpiAware true (2005 settings) and dpiAwareness
  "PerMonitorV2, System" (2016 settings), each element in its namespace;
- the settings inside a prefixed asmv3:application, the form XP's parser
  takes (it refuses some that later Windows accept);
- nothing else: in particular no trustInfo, whose requested execution level
  would end the file virtualisation a copy in Program Files keeps its
  settings by.
"""
import struct
import sys
import xml.etree.ElementTree as ET

V1 = "{urn:schemas-microsoft-com:asm.v1}"
V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
SYSTEMS = [
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
]


def manifest_resource(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(path + ": not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size
    for i in range(sections):
        _, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if rva <= rsrc_rva < rva + max(vsize, raw_size):
            base = raw + rsrc_rva - rva
            break
    else:
        raise SystemExit(path + ": no resources")

    def entries(offset):
        named, ids = struct.unpack_from("<12xHH", data, base + offset)
        for k in range(named + ids):
            yield struct.unpack_from("<II", data, base + offset + 16 + 8 * k)

    def find(offset, wanted):
        for name, target in entries(offset):
            if name == wanted:
                return target & 0x7FFFFFFF
        raise SystemExit("%s: no resource %d" % (path, wanted))

    languages = find(find(0, 24), 1)
    _, leaf = next(entries(languages))
    rva, size = struct.unpack_from("<II", data, base + leaf)
    return data[base + rva - rsrc_rva:][:size]


def shape(element):
    """(tag, attributes, text, children) with blank text left out."""
    text = (element.text or "").strip()
    return (element.tag, dict(element.attrib), text, [shape(child) for child in element])


def expected(version):
    identity = {"type": "win32", "name": "Tarvik", "version": version, "processorArchitecture": "*"}
    controls = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df", "language": "*"}
    return (V1 + "assembly", {"manifestVersion": "1.0"}, "", [
        (V1 + "assemblyIdentity", identity, "", []),
        (V1 + "dependency", {}, "", [(V1 + "dependentAssembly", {}, "", [(V1 + "assemblyIdentity", controls, "", [])])]),
        (COMPAT + "compatibility", {}, "", [
            (COMPAT + "application", {}, "", [(COMPAT + "supportedOS", {"Id": os_id}, "", []) for os_id in SYSTEMS])]),
        (V3 + "application", {}, "", [
            (V3 + "windowsSettings", {}, "", [(WS2005 + "dpiAware", {}, "true", [])]),
            (V3 + "windowsSettings", {}, "", [(WS2016 + "dpiAwareness", {}, "PerMonitorV2, System", [])])]),
    ])


def main():
    program = sys.argv[1]
    text = manifest_resource(program)
    failures = []
    if text.startswith(b"\xef\xbb\xbf"):
        failures.append("a byte-order mark")
    if not text.startswith(b'<?xml version="1.0" encoding="UTF-8"'):
        failures.append("no UTF-8 declaration first")
    try:
        root = ET.fromstring(text)
    except ET.ParseError as error:
        raise SystemExit("%s: the manifest is not well-formed: %s" % (program, error))
    if b"<asmv3:application>" not in text or b"<asmv3:windowsSettings" not in text:
        failures.append("the settings are not in a prefixed asmv3:application")
    if b"trustInfo" in text or b"requestedExecutionLevel" in text:
        failures.append("a trustInfo")
    identity = root.find(V1 + "assemblyIdentity")
    version = identity.get("version", "") if identity is not None else ""
    if len(version.split(".")) != 4 or not all(part.isdigit() for part in version.split(".")):
        failures.append("the version %r is not four numbers" % version)
    if shape(root) != expected(version):
        failures.append("other elements than expected:\n" + text.decode("utf-8", "replace"))
    for failure in failures:
        print("%s: manifest: %s" % (program, failure), file=sys.stderr)
    if failures:
        return 1
    print("ok: manifest with DPI awareness, the common controls 6, Vista to 11, no trustInfo")
    return 0


if __name__ == "__main__":
    sys.exit(main())
