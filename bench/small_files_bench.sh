#!/usr/bin/env bash
# Times the whole DAXOR customer backup (every file item, the archive in the
# backup root and verified after writing, as the program does) on the
# synthetic installation of small files: about 18,000 files of 1 to 3 KB, 8,000
# of them in one folder (scripts/make-demo-world --scale 4 --small). Each round
# runs ours and the pair it replaces, `cp -p -r` of the installation plus
# Info-ZIP `zip -6 -@` of the same file list, one after the other, taking
# turns at going first; prints the median of the rounds of each (the time and
# the processor time, user plus system, of all their processes) and the
# median of the rounds' ratios with their spread, then the system calls per
# copied file of the whole job (za-rirevo-cli and the archiver it starts,
# `strace -f -c`) beside those of the pair. bench/job_figures.sh runs this and
# bench/backup_job_bench.sh in one go.
#
#   bash bench/small_files_bench.sh [BUILD_DIR]    (default: build)
#   ROUNDS=5 SCALE=4                                (the defaults)
#   BENCH_NICE=-10 BENCH_FS=private                 (see bench/programs.sh)
#
# Everything happens below one temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/programs.sh "$@"
need_commands zip strace bc /usr/bin/time
rounds=${ROUNDS:-5}
scale=${SCALE:-4}

make_work small
world="$work/w"
files=$(python3 scripts/make-demo-world --scale "$scale" --small --archiver "$pkzip" "$world" | sed -n 1p)
install="$world/c/ORVEL/VER14"
(cd "$world/c" && find ORVEL WINDOWS -type f | sort) >"$work/list.txt"
export ZARIREVO_TODAY=2003-06-05

# One backup into the customer folder NAME (new each time) and NAME_050603.ZIP.
run_ours() {  # NAME [PREFIX...]  (a command to run the backup under, or nothing)
  local name=$1; shift
  "$@" env "ZARIREVO_DRIVES=A=$world/a;C=$world/c;S=$world/s" "$cli" --color never \
    --cmdline '/Fc:\kyconfig\system' --select all --zip 1 backup "$name"
}
# The pair into the new folder DIR.
run_pair() {  # DIR
  mkdir -p "$1"
  cp -p -r "$install" "$1/copy"
  cd "$world/c" && zip -q -6 -@ "$1/infozip.zip" <"$work/list.txt"
}
side() {  # ours|pair ROUND
  if [ "$1" = ours ]; then
    timed_side "$work/ours.t" "$work/cli.out" bash -c "$(declare -f run_ours); \
      world='$world' cli='$cli'; run_ours BENCH$2" || {
      echo "za-rirevo-cli backup failed; its last lines:" >&2
      tail -n 20 "$work/cli.out" >&2
      exit 1
    }
  else
    timed_side "$work/pair.t" "$work/pair.out" bash -c "$(declare -f run_pair); \
      world='$world' install='$install' work='$work'; run_pair '$work/pair$2'" || {
      echo "cp or zip failed:" >&2
      cat "$work/pair.out" >&2
      exit 1
    }
  fi
}

# Warm: the sources are in the page cache before the first round.
(cd "$world/c" && xargs -d '\n' cat <"$work/list.txt" >/dev/null)
: >"$work/ours.t"
: >"$work/pair.t"
load_before=$(cut -d' ' -f1 /proc/loadavg)
for round in $(seq "$rounds"); do
  if [ $((round % 2)) = 1 ]; then
    side ours "$round"
    side pair "$round"
  else
    side pair "$round"
    side ours "$round"
  fi
done
load_after=$(cut -d' ' -f1 /proc/loadavg)
paste -d' ' "$work/ours.t" "$work/pair.t" | awk '{ printf "%.4f %.4f\n", $1 / $3, $2 / $4 }' >"$work/ratio.t"
copied=$(find "$world/a/BENCH1" -type f | wc -l)
our_size=$(stat -c %s "$world/a/BENCH1_050603.ZIP")
their_size=$(stat -c %s "$work/pair1/infozip.zip")

# System calls of the whole job, counted once, outside the timed rounds.
run_ours COUNTED strace -f -c -o "$work/ours.strace" >/dev/null 2>&1
mkdir -p "$work/counted"
strace -f -c -o "$work/cp.strace" cp -p -r "$install" "$work/counted/copy"
(cd "$world/c" && strace -f -c -o "$work/zip.strace" zip -q -6 -@ "$work/counted/infozip.zip" <"$work/list.txt")
calls() { awk '$NF == "total" { print $4 }' "$1"; }

column() { cut -d' ' -f"$2" "$1" | median; }
printf "small files: %d files, %d copied, median of %d rounds taking turns (warm cache, nice %s, file system: %s, load %s before, %s after)\n" \
  "$files" "$copied" "$rounds" "$bench_nice" "$bench_fs" "$load_before" "$load_after"
awk -v ours="$(column "$work/ours.t" 1)" -v pair="$(column "$work/pair.t" 1)" \
    -v ratio="$(column "$work/ratio.t" 1)" -v low="$(cut -d' ' -f1 "$work/ratio.t" | sort -n | head -n 1)" \
    -v high="$(cut -d' ' -f1 "$work/ratio.t" | sort -n | tail -n 1)" \
    -v ocpu="$(column "$work/ours.t" 2)" -v pcpu="$(column "$work/pair.t" 2)" \
    -v cratio="$(column "$work/ratio.t" 2)" -v os="$our_size" -v ps="$their_size" \
  'BEGIN { printf "ours %.2f s, cp -p + zip -6 %.2f s: ratio %.3f (median of the paired rounds, from %.3f to %.3f; aim <= 1.0)\n",
           ours, pair, ratio, low, high
           printf "processor time (user + system): ours %.2f s, cp -p + zip -6 %.2f s: ratio %.3f\n", ocpu, pcpu, cratio
           printf "archives %d and %d bytes\n", os, ps }'
echo "rounds (ours s, cpu s | pair s, cpu s):"
paste -d' ' "$work/ours.t" "$work/pair.t" | awk '{ printf "  %d: %.2f %.2f | %.2f %.2f\n", NR, $1, $2, $3, $4 }'
awk -v oc="$(calls "$work/ours.strace")" -v pc="$(( $(calls "$work/cp.strace") + $(calls "$work/zip.strace") ))" \
    -v n="$copied" 'BEGIN { printf "system calls per copied file: ours %.1f (aim <= 25), cp -p + zip %.1f\n", oc / n, pc / n }'
echo "our most frequent calls, per copied file:"
awk -v n="$copied" '/^-/ { part++; next } part == 1 { printf "  %-18s %6.2f\n", $NF, $4 / n }' "$work/ours.strace" |
  sort -k2 -n -r | head -n 12
