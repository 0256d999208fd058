# Sourced by the scripts: stops at the first error, installs what is missing, and gives the
# project root, the build folder and the one way to configure and build.
#   root          the source tree
#   OP_BUILD_DIR  the build folder, absolute (default build/; the preset's folder is overridden)
#   op_build [target...]   configures with the "mingw" preset, then builds the targets (none: all)
#   op_wine [fresh]        the Wine environment, a display (Xvfb when none) and the prefix;
#                          fresh: first end a wineserver left from an earlier run, which may
#                          hold a display that is gone
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
mkdir -p "${OP_BUILD_DIR:=$root/build}"
OP_BUILD_DIR=$(cd "$OP_BUILD_DIR" && pwd)
export OP_BUILD_DIR

op_build() {
  (cd "$root" && cmake --preset mingw -B "$OP_BUILD_DIR" >/dev/null)
  local targets=()
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$OP_BUILD_DIR" -j"$(nproc)" "${targets[@]}"
}

op_wine() {
  source "$root/scripts/wine-env.sh"
  source "$root/scripts/xvfb.sh"
  if [ "${1:-}" = fresh ]; then wineserver -k 2>/dev/null || true; fi
  bash "$root/scripts/wine-prefix.sh" >/dev/null
}
