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
