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
#   BENCH_NICE=-10 BENCH_FS=private                 (see bench/programs.sh)
#
# The installation of small files (18,000 files of 1 to 3 KB) against `cp -p`
# plus `zip`, with the system calls per copied file: bench/small_files_bench.sh.
# The sides take turns at going first, each round into new folders, and run
# alike as bench/programs.sh says (sync first, nice, warm cache); the time of
# each size is its best round.
#
# Everything happens below one temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/programs.sh "$@"
need_commands zip unzip bc /usr/bin/time
scales=${SCALES:-1 4 16}
rounds=${ROUNDS:-2}

make_work bench

# One world per size, made by the demo's builder (scripts/make-demo-world
# --scale): the same files, byte for byte, for the same scale.
make_world() {  # FOLDER SCALE  (prints the number of files)
  python3 scripts/make-demo-world --scale "$2" --archiver "$pkzip" "$1" | sed -n 1p
}

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
smaller() { echo "if ($1 < $2) $1 else $2" | bc; }

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
  : >"$world/ours.t"
  : >"$world/pair.t"
  peak=0
  ours_side() {  # ROUND
    # The peak resident memory of the largest process of the job, in KB.
    timed_side "$world/ours.t" "$world/cli.out" /usr/bin/time -f '%M' -o "$world/peak.kb" \
        env "ZARIREVO_DRIVES=A=$world/a;C=$world/c;S=$world/s" "$cli" --color never \
        --cmdline '/Fc:\kyconfig\system' --select all --zip 1 backup "BENCH$1" || {
      echo "za-rirevo-cli backup failed at scale $k; its last lines:" >&2
      tail -n 20 "$world/cli.out" >&2
      exit 1
    }
    peak=$(echo "p = $(tail -n 1 "$world/peak.kb") / 1024; if (p > $peak) p else $peak" | bc)
  }
  pair_side() {  # ROUND
    timed_side "$world/pair.t" "$world/pair.out" bash -c "mkdir -p '$world/pair$1' && \
      cp -r '$install' '$world/pair$1/copy' && cd '$world/c' && \
      zip -q -6 -@ '$world/pair$1/infozip.zip' <'$world/list.txt'" || {
      cat "$world/pair.out" >&2
      exit 1
    }
  }
  (cd "$world/c" && xargs -d '\n' cat <"$world/list.txt" >/dev/null)
  for round in $(seq "$rounds"); do
    if [ $((round % 2)) = 1 ]; then
      ours_side "$round"
      pair_side "$round"
    else
      pair_side "$round"
      ours_side "$round"
    fi
  done
  best_ours=$(cut -d' ' -f1 "$world/ours.t" | sort -n | head -n 1)
  best_pair=$(cut -d' ' -f1 "$world/pair.t" | sort -n | head -n 1)
  ours="$world/a/BENCH1_050603.ZIP"
  pair_zip="$world/pair1/infozip.zip"
  awk -v k="$k" -v files="$files" -v ours="$best_ours" -v pair="$best_pair" -v peak="$peak" \
      -v our_size="$(stat -c %s "$ours")" -v their_size="$(stat -c %s "$pair_zip")" \
      'BEGIN { printf "%-7s %8d %10.2f %10.2f %7.3f %13d %13d %7.4f %9.1f\n",
               k, files, ours, pair, ours / pair, our_size, their_size, our_size / their_size, peak }'
  results+=("$best_ours")
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
