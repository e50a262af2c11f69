#!/usr/bin/env python3
"""check_release.py <archive> <program> <starting settings>: fails unless the
release archive holds the checked program byte for byte, the starting
settings file that the program start test runs with, the guide with every
picture it shows, and a checksum file whose sums match every other file."""
import hashlib
import re
import sys
import zipfile

archive, program, settings = sys.argv[1:4]
problems = []
with zipfile.ZipFile(archive) as z:
    files = {name: z.read(name) for name in z.namelist() if not name.endswith("/")}


def same(name, path):
    if name not in files:
        problems.append("no " + name)
    elif files[name] != open(path, "rb").read():
        problems.append(name + " differs from " + path)


same("Tarvik.exe", program)
same("Tarvik.ini", settings)
guide = files.get("guide.ru.html", b"").decode("utf-8", "replace")
if not guide:
    problems.append("no guide.ru.html")
pictures = re.findall(r'<img src="([^"]+)"', guide)
problems += ["the guide's picture %s is missing" % p for p in pictures if p not in files]
if len(set(pictures)) < 3:
    problems.append("the guide shows %d pictures" % len(set(pictures)))

sums = {}
for line in files.get("SHA256SUMS.txt", b"").decode("ascii").splitlines():
    digest, name = line.rstrip("\r").split(maxsplit=1)
    sums[name.lstrip("*")] = digest
listed = set(files) - {"SHA256SUMS.txt"}
if set(sums) != listed:
    problems.append("SHA256SUMS.txt lists %s, the archive holds %s" % (sorted(sums), sorted(listed)))
problems += ["wrong checksum of " + n for n, d in sums.items() if n in files and hashlib.sha256(files[n]).hexdigest() != d]

for p in problems:
    print("%s: %s" % (archive, p), file=sys.stderr)
if not problems:
    print("ok: %s holds the product, the starting settings, the guide with %d pictures and their checksums"
          % (archive, len(set(pictures))))
sys.exit(1 if problems else 0)
