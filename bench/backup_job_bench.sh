#!/usr/bin/env bash
# Times a whole customer backup (every file item, archive in the backup root)
# through za-rirevo-cli on a synthetic DAXOR installation of about 5,000 files
# and 200 MB, against the pair it replaces: `cp -r` of the same installation
# plus Info-ZIP `zip -@` of the same file list. Prints both times and both
# archive sizes, and the ratios.
#
#   bash bench/backup_job_bench.sh [BUILD_DIR]     (default: build)
#
# Everything happens below one temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
cli="$build/tools/cli/za-rirevo-cli"
pkzip="$build/tools/pkzip25/pkzip25"
for tool in "$cli" "$pkzip"; do
  [ -x "$tool" ] || { echo "missing $tool: build za-rirevo-cli and pkzip25 first" >&2; exit 2; }
done
command -v zip >/dev/null || { echo "Info-ZIP zip is needed (apt-get install zip)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zarirevo-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/a" "$work/c/WINDOWS" "$work/c/KYCONFIG/SYSTEM" "$work/c/KYCONFIG/DAXOR1401"
install="$work/c/ORVEL/VER14"

# The installation: machine files naming their own report and turret
# folders, post-processors, customisations, transmissions, tool tables,
# databases and the Windows INI files; text-like content that compresses as
# configuration files do.
python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
c = os.path.join(work, "c")
inst = os.path.join(c, "ORVEL", "VER14")
rng = random.Random(2003)
words = ["PUNCH", "LASER", "SPEED", "FEED", "TOOL", "X", "Y", "Z", "ANGLE", "CLAMP",
         "REPOS", "NIBBLE", "HEAD", "GAS", "POWER", "FOCUS", "PIERCE", "SHEET", "MAT"]
sizes = []

def write(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    lines, total = [], 0
    while total < size:
        line = "%s|%d|%s|%.3f|%s\r\n" % (rng.choice(words), rng.randrange(10000),
                                         rng.choice(words), rng.random() * 1000,
                                         "".join(rng.choice("ABCDEF0123456789") for _ in range(12)))
        lines.append(line)
        total += len(line)
    with open(path, "w", newline="") as f:
        f.write("".join(lines)[:size])
    sizes.append(size)

def size():
    return int(rng.lognormvariate(10.2, 0.8))  # median ~27 KB

# KY-GEN.CNF: 85-byte records; 15 the language, 270 the database folder.
records = ["" for _ in range(300)]
records[14] = "ITA"
records[269] = r"C:\ORVEL\VER14\DB"
os.makedirs(inst, exist_ok=True)
with open(os.path.join(inst, "KY-GEN.CNF"), "w", newline="") as f:
    f.write("".join(r.ljust(83)[:83] + "\r\n" for r in records))
machines = ["M%02d" % i for i in range(1, 11)]
for m in machines:
    write_lines = [
        "REPORT-PATH|C:\\ORVEL\\VER14\\REPORT\\%s|" % m,
        "TORRETTA-PATH|C:\\ORVEL\\VER14\\TORRETTE\\%s|" % m,
        "POST-PROCESSOR|PP%s|" % m,
        "LASERTAB|1001|",
        "NOME-TABELLE|LAS%s|" % m,
        "TAB-UT|%s.UT|" % m,
    ]
    os.makedirs(os.path.join(inst, "MAC"), exist_ok=True)
    with open(os.path.join(inst, "MAC", m + ".MAC"), "w", newline="") as f:
        f.write("\r\n".join(write_lines) + "\r\n")
    for i in range(100):
        write(os.path.join(inst, "REPORT", m, "R%03d.DAT" % i), size())
        write(os.path.join(inst, "TORRETTE", m, "T%03d.TOR" % i), size())
    write(os.path.join(inst, "PP%s.EXE" % m), 200000)
    write(os.path.join(inst, "DB", "LAS%s.MDB" % m), 300000)
    write(os.path.join(inst, m + ".UT"), size())
    write(os.path.join(inst, m + ".LBL"), size())
for ext, count in (("TXT", 1000), ("INI", 300), ("PAU", 300), ("CNF", 100), ("DAT", 500)):
    for i in range(count):
        write(os.path.join(inst, "F%04d.%s" % (i, ext)), size())
for sub, ext in (("CFG", "CFG"), ("RSW", "RSW")):
    for i in range(300):
        write(os.path.join(inst, sub, "T%03d.%s" % (i, ext)), size())
write(os.path.join(inst, "DB", "TABELLE.MDB"), 2000000)
write(os.path.join(inst, "DB", "MATERIAL.MDB"), 2000000)
for name in ("KY-GEOW.INI", "KY-TECW.INI", "KY-CUTW.INI", "KY-CUT12.INI", "KY-DB.INI",
             "KY-LIBW.INI", "KY-CAM32.INI"):
    write(os.path.join(c, "WINDOWS", name), 4000)
with open(os.path.join(c, "KYCONFIG", "DAXOR1401", "DAXOR1401.ini"), "w", newline="") as f:
    f.write("[SETTINGS]\r\nInstalldir=C:\\ORVEL\\VER14\r\n")
print("installation: %d files, %.1f MB" % (len(sizes), sum(sizes) / 1e6))
PY
cp "$pkzip" "$work/c/KYCONFIG/SYSTEM/PkZip25.EXE"

# The same files, as the list Info-ZIP reads (paths below the drive root,
# as the archiver stores them).
(cd "$work/c" && find ORVEL WINDOWS -type f -name '*' | sort) > "$work/list.txt"
sync

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
smaller() { echo "if ($1 < $2) $1 else $2" | bc; }

# The machine may be shared: each side runs ROUNDS times, alternating, after
# one read of the whole tree so that both start from a warm cache; the
# fastest run of each side counts.
export ZARIREVO_DRIVES="A=$work/a;C=$work/c" ZARIREVO_TODAY=2003-06-05
cat "$install"/*.* "$install"/*/* "$install"/*/*/* >/dev/null 2>&1 || true
rounds=${ROUNDS:-3}
best_ours=999999 best_pair=999999
ours="$work/a/BENCH_050603.ZIP"
for round in $(seq "$rounds"); do
  rm -rf "$work/a/BENCH" "$ours" "$work/pair"
  t0=$(now)
  status=0
  "$cli" --color never --cmdline '/Fc:\kyconfig\system' --select all --zip 1 backup BENCH \
    >"$work/cli.out" 2>&1 || status=$?
  t1=$(now)
  if [ "$status" -ne 0 ]; then
    echo "za-rirevo-cli backup ended with $status; its last lines:" >&2
    tail -n 20 "$work/cli.out" >&2
    exit 1
  fi
  mkdir -p "$work/pair"
  t2=$(now)
  cp -r "$install" "$work/pair/copy"
  t2b=$(now)
  (cd "$work/c" && zip -q -@ "$work/pair/infozip.zip" <"$work/list.txt")
  t3=$(now)
  echo "round $round: ours $(elapsed "$t0" "$t1") s, pair $(elapsed "$t2" "$t3") s" \
    "(cp -r $(elapsed "$t2" "$t2b") s, zip -@ $(elapsed "$t2b" "$t3") s)"
  best_ours=$(smaller "$(elapsed "$t0" "$t1")" "$best_ours")
  best_pair=$(smaller "$(elapsed "$t2" "$t3")" "$best_pair")
done

# Where the time goes: the collection alone (no archive) and the archiver
# alone on the same list in Windows form.
t4=$(now)
"$cli" --color never --cmdline '/Fc:\kyconfig\system' --select all --zip 2 backup BENCH2 \
  >/dev/null 2>&1 || true
t5=$(now)
sed 's|/|\\|g; s|^|C:\\|; s|$|\r|' "$work/list.txt" >"$work/c/LIST.TXT"
t6=$(now)
(cd "$work/c" && "$pkzip" -add -path=full 'A:\ALONE' '@C:\LIST.TXT' >/dev/null 2>&1) || true
t7=$(now)
printf "breakdown: collection alone (no archive) %.2f s; PkZip25 alone on the list %.2f s\n" \
  "$(elapsed "$t4" "$t5")" "$(elapsed "$t6" "$t7")"

awk -v ours="$best_ours" -v pair="$best_pair" \
    -v our_size="$(stat -c %s "$ours")" -v their_size="$(stat -c %s "$work/pair/infozip.zip")" \
    -v entries="$(unzip -Z1 "$ours" | wc -l)" -v listed="$(wc -l <"$work/list.txt")" 'BEGIN {
  printf "files listed:                  %d (archive entries: %d)\n", listed, entries
  printf "za-rirevo-cli backup (mode 1): %8.2f s (best)   archive %12d bytes\n", ours, our_size
  printf "cp -r + zip -@:                %8.2f s (best)   archive %12d bytes\n", pair, their_size
  printf "time ratio %.3f (aim <= 1.2), size ratio %.4f (aim <= 1.02)\n", ours / pair, our_size / their_size
}'
