#!/usr/bin/env bash
# Times the whole DAXOR customer backup (every file item, the archive in the
# backup root and verified after writing, as the program does) on the
# synthetic installation of small files: about 18,000 files of 1 to 3 KB, 8,000
# of them in one folder (scripts/make-demo-world --scale 4 --small). Each round
# runs ours and then the pair it replaces, `cp -p -r` of the installation plus
# Info-ZIP `zip -6 -@` of the same file list; prints the median of the rounds
# of each and the median of the rounds' ratios, then the system calls per
# copied file of the whole job (za-rirevo-cli and the archiver it starts,
# `strace -f -c`) beside those of the pair. bench/job_figures.sh runs this and
# bench/backup_job_bench.sh in one go.
#
#   bash bench/small_files_bench.sh [BUILD_DIR]    (default: build)
#   ROUNDS=5 SCALE=4                                (the defaults)
#
# Everything happens below one temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/programs.sh "$@"
need_commands zip strace bc /usr/bin/time
rounds=${ROUNDS:-5}
scale=${SCALE:-4}

work=$(mktemp -d "${TMPDIR:-/tmp}/zarirevo-small-XXXXXX")
trap 'rm -rf "$work"' EXIT
world="$work/w"
files=$(python3 scripts/make-demo-world --scale "$scale" --small --archiver "$pkzip" "$world" | sed -n 1p)
install="$world/c/ORVEL/VER14"
(cd "$world/c" && find ORVEL WINDOWS -type f | sort) >"$work/list.txt"
export ZARIREVO_TODAY=2003-06-05
ours="$world/a/BENCH_050603.ZIP"

now() { date +%s.%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
run_ours() {  # PREFIX...  (a command to run the backup under, or nothing)
  rm -rf "$world/a/BENCH" "$ours"
  if ! "$@" env "ZARIREVO_DRIVES=A=$world/a;C=$world/c;S=$world/s" "$cli" --color never \
      --cmdline '/Fc:\kyconfig\system' --select all --zip 1 backup BENCH >"$work/cli.out" 2>&1; then
    echo "za-rirevo-cli backup failed; its last lines:" >&2
    tail -n 20 "$work/cli.out" >&2
    exit 1
  fi
}
run_pair() {
  rm -rf "$work/pair"
  mkdir -p "$work/pair"
  cp -p -r "$install" "$work/pair/copy"
  (cd "$world/c" && zip -q -6 -@ "$work/pair/infozip.zip" <"$work/list.txt")
}

sync
cat "$install"/*.* "$install"/*/* "$install"/*/*/* >/dev/null 2>&1 || true
: >"$work/ours.t"
: >"$work/pair.t"
for round in $(seq "$rounds"); do
  t0=$(now)
  run_ours
  t1=$(now)
  run_pair
  t2=$(now)
  echo "$t1 - $t0" | bc >>"$work/ours.t"
  echo "$t2 - $t1" | bc >>"$work/pair.t"
  echo "scale=4; ($t1 - $t0) / ($t2 - $t1)" | bc >>"$work/ratio.t"
done
copied=$(find "$world/a/BENCH" -type f | wc -l)
our_size=$(stat -c %s "$ours")
their_size=$(stat -c %s "$work/pair/infozip.zip")

# System calls of the whole job, counted once, outside the timed rounds.
run_ours strace -f -c -o "$work/ours.strace"
rm -rf "$work/pair"
mkdir -p "$work/pair"
strace -f -c -o "$work/cp.strace" cp -p -r "$install" "$work/pair/copy"
(cd "$world/c" && strace -f -c -o "$work/zip.strace" zip -q -6 -@ "$work/pair/infozip.zip" <"$work/list.txt")
calls() { awk '$NF == "total" { print $4 }' "$1"; }

printf "small files: %d files, %d copied, median of %d rounds\n" "$files" "$copied" "$rounds"
awk -v ours="$(median <"$work/ours.t")" -v pair="$(median <"$work/pair.t")" -v ratio="$(median <"$work/ratio.t")" \
    -v os="$our_size" -v ps="$their_size" \
  'BEGIN { printf "ours %.2f s, cp -p + zip -6 %.2f s: ratio %.3f (median of the paired rounds; aim <= 1.0); archives %d and %d bytes\n",
           ours, pair, ratio, os, ps }'
awk -v oc="$(calls "$work/ours.strace")" -v pc="$(( $(calls "$work/cp.strace") + $(calls "$work/zip.strace") ))" \
    -v n="$copied" 'BEGIN { printf "system calls per copied file: ours %.1f (aim <= 25), cp -p + zip %.1f\n", oc / n, pc / n }'
echo "our most frequent calls, per copied file:"
awk -v n="$copied" '/^-/ { part++; next } part == 1 { printf "  %-18s %6.2f\n", $NF, $4 / n }' "$work/ours.strace" |
  sort -k2 -n -r | head -n 12
