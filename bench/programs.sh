# Sourced by the job benchmarks: finds the built console and archiver below
# the build folder given as $1 (default: build) and checks that they and the
# comparison commands named in the arguments are there.
#   . bench/programs.sh "$@"; need_commands zip bc ...   (sets build, cli, pkzip)
build=$(realpath "${1:-build}")
cli="$build/tools/cli/za-rirevo-cli"
pkzip="$build/tools/pkzip25/pkzip25"
for tool in "$cli" "$pkzip"; do
  [ -x "$tool" ] || { echo "missing $tool: build za-rirevo-cli and pkzip25 first" >&2; exit 2; }
done
need_commands() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (apt-get install ${*//\/usr\/bin\//})" >&2; exit 2; }
  done
}

# The timed commands of both sides run alike: first `sync`, so that no side
# pays for writing back what the one before it wrote, then under `nice -n
# $BENCH_NICE` (default -10 when root, 0 otherwise), so that other builds on
# the machine take less of the processors from them. The sources are read
# into the page cache before the first round: the figures are warm ones.
bench_nice=${BENCH_NICE:-$([ "$(id -u)" = 0 ] && echo -10 || echo 0)}
# Runs COMMAND..., appending "elapsed user+sys" seconds (children included) to
# FILE; its output goes to LOG. False when it failed.
timed_side() {  # FILE LOG COMMAND...
  local file=$1 log=$2 t0 t1; shift 2
  sync
  t0=$(date +%s.%N)
  if ! /usr/bin/time -f '%U %S' -o "$file.cpu" nice -n "$bench_nice" "$@" >"$log" 2>&1; then
    return 1
  fi
  t1=$(date +%s.%N)
  awk -v t0="$t0" -v t1="$t1" '{ printf "%.3f %.3f\n", t1 - t0, $1 + $2 }' "$file.cpu" >>"$file"
}
# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Files are never deleted between rounds: on a file system that skips the
# inodes freed in the last minutes (ext4 without a journal), creating files
# right after deleting many costs a search through them all, for whichever
# side comes next. Each round writes into new folders; everything goes at the
# end (after the whole run of bench/job_figures.sh, when it calls us).
remove_work() {  # FOLDER
  [ "${BENCH_KEEP_WORK:-0}" = 1 ] || rm -rf "$1"
}
