#!/usr/bin/env bash
# Times PkZip25 unpacking an archive whose entries all lie in one folder, at
# several sizes (default 5,000, 10,000 and 20,000 entries), best of two runs
# each, into a fresh destination every time: wall-clock seconds and CPU
# seconds (user + system, steadier on a shared machine).
#
#   bash bench/extract_bench.sh [BUILD_DIR] [COUNT...]     (default: build)
#
# Everything happens below one temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(5000 10000 20000)
pkzip="$build/tools/pkzip25/pkzip25"
[ -x "$pkzip" ] || { echo "missing $pkzip: build pkzip25 first" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zarirevo-extract-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/a" "$work/c"
export ZARIREVO_DRIVES="A=$work/a;C=$work/c"

printf '%8s %10s %10s\n' entries wall cpu
for n in "${counts[@]}"; do
  python3 - "$work/a/M$n.ZIP" "$n" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for i in range(int(sys.argv[2])):
        z.writestr("ORVEL/VER14/MAC/L%05d.MAC" % i, "TOOL|%d|PUNCH\r\n" % i * 8)
PY
  best_wall="" best_cpu=""
  for run in 1 2; do
    rm -rf "$work/c/OUT"
    read -r wall cpu < <(/usr/bin/time -f '%e %U %S' "$pkzip" -extract -dir "A:\\M$n.ZIP" "C:\\OUT\\" \
      2>&1 >/dev/null | tail -n 1 | awk '{print $1, $2 + $3}')
    if [ -z "$best_wall" ] || [ "$(echo "$wall < $best_wall" | bc)" = 1 ]; then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || [ "$(echo "$cpu < $best_cpu" | bc)" = 1 ]; then best_cpu=$cpu; fi
  done
  printf '%8d %10.2f %10.2f\n' "$n" "$best_wall" "$best_cpu"
done
