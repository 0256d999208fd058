#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine, one after another (never in parallel:
# they time the file system).
#   scripts/bench.sh                  builds everything, runs every benchmark exe of bench/
#   scripts/bench.sh plan_bench ...   builds and runs only the named ones (".exe" optional),
#                                     with no arguments
# A benchmark is any exe named *_bench.exe or bench_*.exe that bench/CMakeLists.txt builds.
source "$(dirname "$0")/common.sh"
if [ $# -gt 0 ]; then op_build "${@%.exe}"; else op_build; fi
op_wine
wineserver -p60 2>/dev/null || true  # already running from an earlier run: keep it

# Big folders for preview_bench, made once with native tools: creating 100,000 files through
# Wine takes hours (each new name is a scan of the folder).
for n in 10000 100000; do
  data="$OP_BUILD_DIR/bench-data/files_$n"
  if [ "$(ls "$data" 2>/dev/null | wc -l)" -ne "$n" ]; then
    rm -rf "$data" && mkdir -p "$data"
    (cd "$data" && seq -f 'IMG_%06.0f.jpg' 0 $((n - 1)) | xargs touch)
  fi
done
# For the name filter and the regular expression: half .jpg, half .txt.
data="$OP_BUILD_DIR/bench-data/mixed_100000"
if [ "$(ls "$data" 2>/dev/null | wc -l)" -ne 100000 ]; then
  rm -rf "$data" && mkdir -p "$data"
  (cd "$data" && seq -f 'g%06.0f.jpg' 0 2 99999 | xargs touch && seq -f 'g%06.0f.txt' 1 2 99999 | xargs touch)
fi

# For the wildcard patterns that freeze a backtracking matcher: 20,000 names of 200 letters.
data="$OP_BUILD_DIR/bench-data/long_20000"
if [ "$(ls "$data" 2>/dev/null | wc -l)" -ne 20000 ]; then
  rm -rf "$data" && mkdir -p "$data"
  (cd "$data" && seq -f "$(printf 'a%.0s' $(seq 189))_%06.0f.jpg" 0 19999 | xargs touch)
fi

# For dates_bench: 10,000 copies of the photo it writes (an EXIF block, then 200 KiB of data).
data="$OP_BUILD_DIR/bench-data/jpeg_10000"
if [ -f "$OP_BUILD_DIR/bench/dates_bench.exe" ] && [ "$(ls "$data" 2>/dev/null | wc -l)" -ne 10000 ]; then
  rm -rf "$data" && mkdir -p "$data"
  "$root/scripts/wine-run.sh" "$OP_BUILD_DIR/bench/dates_bench.exe" --sample "$(winepath -w "$data/sample.bin")" >/dev/null
  python3 - "$data" <<'PY'
import shutil, sys, os
folder = sys.argv[1]
sample = os.path.join(folder, "sample.bin")
for i in range(10000):
    shutil.copyfile(sample, os.path.join(folder, "IMG_%05d.jpg" % i))
os.remove(sample)
PY
fi

benches=()
if [ $# -gt 0 ]; then
  for name in "$@"; do benches+=("$OP_BUILD_DIR/bench/${name%.exe}.exe"); done
else
  shopt -s nullglob
  benches=("$OP_BUILD_DIR"/bench/*_bench.exe "$OP_BUILD_DIR"/bench/bench_*.exe)
fi
[ ${#benches[@]} -gt 0 ] || { echo "no benchmark executables in $OP_BUILD_DIR/bench" >&2; exit 1; }

status=0
for exe in "${benches[@]}"; do
  echo "=== $(basename "$exe")"
  if [ ! -f "$exe" ]; then echo "missing: $exe" >&2; status=1; continue; fi
  "$root/scripts/wine-run.sh" "$exe" || { echo "$(basename "$exe") failed" >&2; status=1; }
  echo
done
exit $status
