#!/usr/bin/env bash
# Builds the product and writes the release archive dist/Tarvik-<version>.zip
# (the version of CMakeLists.txt's project()), which holds:
#   Tarvik.exe      the 32-bit product, build/product/src/ui/Tarvik.exe;
#   Tarvik.ini      the starting settings, resources/Tarvik.ini (monitoring
#                   off, so the first start opens the window);
#   guide.ru.html   the user guide, docs/guide.ru.md as HTML that any Windows
#                   browser shows, with its pictures in images/;
#   SHA256SUMS.txt  the SHA-256 of each of those files (sha256sum -c reads it).
# The files sit at the archive's top, under plain ASCII names, which every
# Windows unpacks alike.
# TARVIK_BUILD: the build root (default: build); TARVIK_DIST: where the
# archive goes (default: dist).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/lib/setup.sh
build=${TARVIK_BUILD:-build}
dist=${TARVIK_DIST:-dist}
DIRS=product TARGETS=Tarvik bash scripts/lib/build.sh
version=$(sed -n 's/^project(Tarvik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt's project()" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/product/src/ui/Tarvik.exe" resources/Tarvik.ini "$stage/"

# The guide: its pictures (beside it in docs/) go to images/.
mkdir "$stage/images"
body=$(cmark-gfm --extension table docs/guide.ru.md)
for picture in $(grep -o '<img src="[^"]*"' <<< "$body" | sed 's/<img src="\(.*\)"/\1/' | sort -u); do
    case $picture in
    */*|..*) echo "release: the guide's picture $picture is not a file beside it" >&2; exit 1 ;;
    esac
    cp "docs/$picture" "$stage/images/"
done
{
    cat <<'EOF'
<!DOCTYPE html>
<html lang="ru">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>Тарвик: руководство пользователя</title>
<style>
body { font-family: Tahoma, Verdana, Arial, sans-serif; font-size: 10pt; max-width: 52em; margin: 1em auto; padding: 0 1em; line-height: 1.4; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #999; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
code, pre { font-family: "Courier New", monospace; background: #f2f2f2; }
pre { padding: 0.5em; }
img { vertical-align: top; }
</style>
</head>
<body>
EOF
    sed 's/<img src="/<img src="images\//g' <<< "$body"
    printf '</body>\n</html>\n'
} > "$stage/guide.ru.html"

# CR LF, so that Notepad on any Windows shows one file a line.
(cd "$stage" && find . -type f ! -name SHA256SUMS.txt | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum | sed 's/$/\r/' > SHA256SUMS.txt)

mkdir -p "$dist"
archive="$dist/Tarvik-$version.zip"
# Every entry dated by the last commit: the date says which sources it was
# made from, not when it was packed.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
python3 - "$stage" "$archive" "$stamp" <<'EOF'
import os, sys, time, zipfile
stage, archive, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
date = time.gmtime(max(stamp, 315532800))[:6]  # a zip date starts in 1980
names = sorted(os.path.relpath(os.path.join(d, f), stage) for d, _, fs in os.walk(stage) for f in fs)
with zipfile.ZipFile(archive + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
    for name in names:
        entry = zipfile.ZipInfo(name, date)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(entry, f.read())
os.replace(archive + ".tmp", archive)
EOF
echo "release: $archive ($(stat -c %s "$archive") bytes)"
