#!/usr/bin/env bash
# The figures of the whole backup job in one run: the installation of small
# files against `cp -p` plus `zip -6` with the system calls per copied file
# (bench/small_files_bench.sh), then the installations of three sizes against
# `cp -r` plus `zip -6`, with the growth and the peak memory
# (bench/backup_job_bench.sh). Each part prints its own aims beside its figures.
#
#   bash bench/job_figures.sh [BUILD_DIR]     (default: build)
#   ROUNDS=5 SCALE=4                           (the small files, as there)
#   SCALES="1 4 16" JOB_ROUNDS=2               (the sizes, as there)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# Both parts work below one folder (a file system of its own when root),
# removed only at the very end: the files one part deleted would slow the
# files the next one creates (see bench/programs.sh).
. bench/programs.sh "$build"
make_work figures
echo "work folder on a file system: $bench_fs"
export TMPDIR=$work BENCH_KEEP_WORK=1
echo "== small files"
ROUNDS=${ROUNDS:-5} SCALE=${SCALE:-4} bash bench/small_files_bench.sh "$build"
echo "== installations of three sizes"
ROUNDS=${JOB_ROUNDS:-2} SCALES=${SCALES:-1 4 16} bash bench/backup_job_bench.sh "$build"
