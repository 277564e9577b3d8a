#!/usr/bin/env bash
# Times whole customer backups (every file item, archive in the backup root)
# through za-rirevo-cli on synthetic DAXOR installations of three sizes (about
# 4,500, 18,000 and 72,000 files, with 2,000, 8,000 and 32,000 of them in one
# folder), each against the pair it replaces: `cp -r` of the same installation
# plus Info-ZIP `zip -6 -@` of the same file list. Prints time, ratio, archive
# sizes and peak memory per size, the growth from one size to the next, then
# the server copy of 50 archives and the erase of the largest backup unit.
#
#   bash bench/backup_job_bench.sh [BUILD_DIR]     (default: build)
#   SCALES="1 4 16" ROUNDS=2                        (the defaults)
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
for tool in zip unzip bc /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is needed (apt-get install zip unzip bc time)" >&2; exit 2; }
done
scales=${SCALES:-1 4 16}
rounds=${ROUNDS:-2}

work=$(mktemp -d "${TMPDIR:-/tmp}/zarirevo-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One world per size: the installation (machine files naming their own report
# and turret folders, post-processors, customisations, transmissions, tool
# tables, databases, the Windows INI files; text-like content that compresses
# as configuration files do), the archiver where the settings folder holds it,
# and a server root for DAXOR2D.
make_world() {  # FOLDER SCALE
  python3 - "$1" "$2" <<'PY'
import os, random, sys
work, k = sys.argv[1], int(sys.argv[2])
c = os.path.join(work, "c")
inst = os.path.join(c, "ORVEL", "VER14")
rng = random.Random(2003)
words = ["PUNCH", "LASER", "SPEED", "FEED", "TOOL", "X", "Y", "Z", "ANGLE", "CLAMP",
         "REPOS", "NIBBLE", "HEAD", "GAS", "POWER", "FOCUS", "PIERCE", "SHEET", "MAT"]
count = 0

def write(path, size):
    global count
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
    count += 1

def size():
    return int(rng.lognormvariate(9.0, 0.8))  # median ~8 KB

for sub in ("a", "s/CONFIGURAZIONI/DAXOR", "c/WINDOWS", "c/KYCONFIG/SYSTEM", "c/KYCONFIG/DAXOR1401"):
    os.makedirs(os.path.join(work, sub), exist_ok=True)
# KY-GEN.CNF: 85-byte records; 15 the language, 270 the database folder.
records = ["" for _ in range(300)]
records[14] = "ITA"
records[269] = r"C:\ORVEL\VER14\DB"
os.makedirs(os.path.join(inst, "MAC"), exist_ok=True)
with open(os.path.join(inst, "KY-GEN.CNF"), "w", newline="") as f:
    f.write("".join(r.ljust(83)[:83] + "\r\n" for r in records))
count += 1
for i in range(1, 10 * k + 1):
    m = "M%03d" % i
    with open(os.path.join(inst, "MAC", m + ".MAC"), "w", newline="") as f:
        f.write("\r\n".join([
            "REPORT-PATH|C:\\ORVEL\\VER14\\REPORT\\%s|" % m,
            "TORRETTA-PATH|C:\\ORVEL\\VER14\\TORRETTE\\%s|" % m,
            "POST-PROCESSOR|PP%s|" % m, "LASERTAB|1001|",
            "NOME-TABELLE|LAS%s|" % m, "TAB-UT|%s.UT|" % m]) + "\r\n")
    count += 1
    for j in range(120):
        write(os.path.join(inst, "REPORT", m, "R%03d.DAT" % j), size())
        write(os.path.join(inst, "TORRETTE", m, "T%03d.TOR" % j), size())
    write(os.path.join(inst, "PP%s.EXE" % m), 100000)
    write(os.path.join(inst, "DB", "LAS%s.MDB" % m), 100000)
    write(os.path.join(inst, m + ".UT"), size())
    write(os.path.join(inst, m + ".LBL"), size())
# The one big folder: KY-GEN.CNF's own, with the post-processor texts, the
# customisations and the tool tables (about 2,000 files a scale step).
for ext, n in (("TXT", 1400 * k), ("INI", 150 * k), ("PAU", 150 * k),
               ("CNF", 100 * k), ("DAT", 200 * k)):
    for i in range(n):
        write(os.path.join(inst, "F%05d.%s" % (i, ext)), size())
for sub, ext in (("CFG", "CFG"), ("RSW", "RSW")):
    for i in range(25 * k):
        write(os.path.join(inst, sub, "T%04d.%s" % (i, ext)), size())
write(os.path.join(inst, "DB", "TABELLE.MDB"), 1000000)
write(os.path.join(inst, "DB", "MATERIAL.MDB"), 1000000)
for name in ("KY-GEOW.INI", "KY-TECW.INI", "KY-CUTW.INI", "KY-CUT12.INI", "KY-DB.INI",
             "KY-LIBW.INI", "KY-CAM32.INI"):
    write(os.path.join(c, "WINDOWS", name), 4000)
with open(os.path.join(c, "KYCONFIG", "DAXOR1401", "DAXOR1401.ini"), "w", newline="") as f:
    f.write("[SETTINGS]\r\nInstalldir=C:\\ORVEL\\VER14\r\n")
with open(os.path.join(c, "KYCONFIG", "SYSTEM", "ZA-RIREVO.INI"), "w", newline="") as f:
    f.write("[PATH]\r\nSERVER_DAXOR2D=S:\\CONFIGURAZIONI\\DAXOR\\\r\n")
print(count)
PY
  cp "$pkzip" "$1/c/KYCONFIG/SYSTEM/PkZip25.EXE"
}

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
smaller() { echo "if ($1 < $2) $1 else $2" | bc; }
# Peak resident memory in MB of the last command timed with `timed`.
timed() {  # OUTFILE COMMAND...
  local out=$1; shift
  /usr/bin/time -f '%M' -o "$work/time.out" "$@" >"$out" 2>&1
}
peak_mb() { echo "scale=1; $(tail -n 1 "$work/time.out") / 1024" | bc; }

export ZARIREVO_TODAY=2003-06-05
cli_in() {  # WORLD ARGS...  (za-rirevo-cli in a world)
  local world=$1; shift
  ZARIREVO_DRIVES="A=$world/a;C=$world/c;S=$world/s" \
    "$cli" --color never --cmdline '/Fc:\kyconfig\system' "$@"
}

printf "%-7s %8s %10s %10s %7s %13s %13s %7s %9s\n" \
  scale files "ours s" "cp+zip s" ratio "our archive" "Info-ZIP" size "peak MB"
results=()
last_world=""
for k in $scales; do
  world="$work/w$k"
  files=$(make_world "$world" "$k")
  install="$world/c/ORVEL/VER14"
  (cd "$world/c" && find ORVEL WINDOWS -type f | sort) >"$world/list.txt"
  sync
  cat "$install"/*.* "$install"/*/* "$install"/*/*/* >/dev/null 2>&1 || true
  best_ours=999999 best_pair=999999 peak=0
  ours="$world/a/BENCH_050603.ZIP"
  for round in $(seq "$rounds"); do
    rm -rf "$world/a/BENCH" "$ours" "$world/pair"
    t0=$(now)
    if ! timed "$world/cli.out" env "ZARIREVO_DRIVES=A=$world/a;C=$world/c;S=$world/s" \
        "$cli" --color never --cmdline '/Fc:\kyconfig\system' --select all --zip 1 backup BENCH; then
      echo "za-rirevo-cli backup failed at scale $k; its last lines:" >&2
      tail -n 20 "$world/cli.out" >&2
      exit 1
    fi
    t1=$(now)
    peak=$(peak_mb)
    mkdir -p "$world/pair"
    t2=$(now)
    cp -r "$install" "$world/pair/copy"
    (cd "$world/c" && zip -q -6 -@ "$world/pair/infozip.zip" <"$world/list.txt")
    t3=$(now)
    best_ours=$(smaller "$(elapsed "$t0" "$t1")" "$best_ours")
    best_pair=$(smaller "$(elapsed "$t2" "$t3")" "$best_pair")
  done
  awk -v k="$k" -v files="$files" -v ours="$best_ours" -v pair="$best_pair" -v peak="$peak" \
      -v our_size="$(stat -c %s "$ours")" -v their_size="$(stat -c %s "$world/pair/infozip.zip")" \
      'BEGIN { printf "%-7s %8d %10.2f %10.2f %7.3f %13d %13d %7.4f %9.1f\n",
               k, files, ours, pair, ours / pair, our_size, their_size, our_size / their_size, peak }'
  results+=("$best_ours")
  rm -rf "$world/pair"
  [ -n "$last_world" ] && rm -rf "$last_world"
  last_world=$world
done
prev=""
for t in "${results[@]}"; do
  [ -n "$prev" ] && echo "growth: $(echo "scale=2; $t / $prev" | bc)x the time for 4x the files (aim <= 4.4)"
  prev=$t
done

# The server copy of 50 archives of a backup unit, and the erase of the unit
# that the largest backup filled.
world=$last_world
small="$work/server"
make_world "$small" 1 >/dev/null
# A backup unit as the field has them: floppy-sized archives of the machine
# files and the transmissions.
cli_in "$small" --select Menu211,Menu216 --zip 1 backup ONE >/dev/null 2>&1
for i in $(seq -w 1 50); do cp "$small/a/ONE_050603.ZIP" "$small/a/C$i.ZIP"; done
rm -rf "$small/a/ONE" "$small/a/ONE_050603.ZIP"
t0=$(now)
cli_in "$small" --product DAXOR2D server-copy >"$small/server.out" 2>&1 || echo "(server copy ended with $?)"
t1=$(now)
printf "server copy of 50 archives (%d files each): %.2f s; %d archives filed; it said: %s\n" \
  "$(unzip -Z1 "$small/a/C01.ZIP" | wc -l)" "$(elapsed "$t0" "$t1")" \
  "$(find "$small/s" -iname '*.zip' | wc -l)" "$(grep -a -E 'Copia|copia' "$small/server.out" | tail -n 1)"
units=$(find "$world/a" -type f | wc -l)
t0=$(now)
cli_in "$world" --answer yes erase >"$world/erase.out" 2>&1 || echo "(erase ended with $?)"
t1=$(now)
printf "erase of a backup unit of %d files: %.2f s (left: %d)\n" "$units" "$(elapsed "$t0" "$t1")" "$(find "$world/a" -type f | wc -l)"
