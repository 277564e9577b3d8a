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
# The work folder, in $work, removed at exit. As root (BENCH_FS=private, the
# default then) it is a file system of its own: a new ext4 image mounted
# through a loop device, so that neither side meets the inodes that other
# programs on the machine have just freed (the host file system here is ext4
# without a journal, whose every create searches through the inodes freed in
# the last minutes: several seconds of system time per job after a test suite
# or a build has deleted many files). BENCH_FS=host works in $TMPDIR as it is.
# Under bench/job_figures.sh (BENCH_KEEP_WORK=1) the parts work below its one
# folder. Nothing is deleted between rounds either: each round writes into
# new folders.
bench_fs=${BENCH_FS:-$([ "$(id -u)" = 0 ] && echo private || echo host)}
make_work() {  # NAME
  work=$(mktemp -d "${TMPDIR:-/tmp}/zarirevo-$1-XXXXXX")
  [ "${BENCH_KEEP_WORK:-0}" = 1 ] && return
  if [ "$bench_fs" = private ]; then
    need_commands mkfs.ext4
    truncate -s 32G "$work.img"
    if ! mkfs.ext4 -q -F "$work.img" || ! mount -o loop "$work.img" "$work"; then
      rm -f "$work.img"
      echo "cannot mount a file system of its own on $work: run with BENCH_FS=host" >&2
      exit 2
    fi
    trap 'cd /; umount "$work" || umount -l "$work"; rm -rf "$work" "$work.img"' EXIT
  else
    trap 'rm -rf "$work"' EXIT
  fi
}
