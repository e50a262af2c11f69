#!/usr/bin/env bash
# The one rule that tells portable from platform code: a file whose name
# carries "_win" (icon_win.cpp, inilib_win_test.cpp) may include Windows
# headers, directly or through another "_win" header; every other file is
# plain C++17. Lists each file that breaks the rule and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/../.."
windows='#include[[:space:]]*<(windows|winsock2?|ws2tcpip|wininet|shellapi|commctrl|process|lm[a-z]*|psapi|objbase|ole2|shlobj|tlhelp32|iphlpapi|icmpapi)\.h>'
platform='#include[[:space:]]*"[^"]*_win\.h"'
status=0
while IFS= read -r file; do
    case $(basename "$file") in *_win.* | *_win_*) continue ;; esac
    if grep -nEi "$windows|$platform" "$file"; then
        echo "check-platform-files: $file includes platform headers but its name has no _win" >&2
        status=1
    fi
done < <(git ls-files 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'fuzz/*.h' 'fuzz/*.cpp' 'bench/*.h' 'bench/*.cpp')
exit $status
