# Sourced: the Wine environment of this project. OP_BUILD_DIR names the build folder.
export WINEPREFIX="${WINEPREFIX:-$(cd "${OP_BUILD_DIR:?}" && pwd)/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export LC_ALL=C.UTF-8
