# Sourced by the Wine scripts: the loader and prefix architecture that match
# the build (TARVIK_WIN_ARCH), chosen explicitly because /usr/bin/wine always
# prefers 32-bit Wine when it is installed, even where it cannot run.
case ${TARVIK_WIN_ARCH:-i686} in
x86_64) export WINELOADER=/usr/lib/wine/wine64 WINEARCH=win64 ;;
*)      export WINELOADER=/usr/lib/wine/wine WINEARCH=win32 ;;
esac
# Wine takes the programs' code page from the locale: the Russian one (1251)
# unless TARVIK_LANG names another (en_US.UTF-8 gives 1252, zh_CN.UTF-8 936).
export LANG=${TARVIK_LANG:-ru_RU.UTF-8} LC_ALL=${TARVIK_LANG:-ru_RU.UTF-8}
# TARVIK_DLL_OVERRIDES: entries of the tests' own, separated by ";" or by
# blanks (a ";" is hard to carry through CMake's lists).
overrides=${TARVIK_DLL_OVERRIDES:-}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${overrides:+;${overrides// /;}}"
