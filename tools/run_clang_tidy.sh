#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy, every finding an error) over the toolkit-free layers:
# platform, sim, monitor, removal, the console front end and the programs. The Qt front end is
# left out: its moc-generated code and Qt's macros drown the findings that matter.
# Usage: tools/run_clang_tidy.sh [BUILD_DIR]   (a configured build with compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-deps.sh tidy
if [[ ! -f "$build/compile_commands.json" ]]; then
  echo "run_clang_tidy: $build/compile_commands.json is missing; configure the build first" >&2
  exit 2
fi
jobs=$(nproc 2>/dev/null || echo 2)
mapfile -t files < <(git ls-files 'platform/*.cpp' 'sim/*.cpp' 'monitor/*.cpp' 'removal/*.cpp' \
  'frontends/console/*.cpp' 'app/*.cpp')
echo "clang-tidy: ${#files[@]} files"
# The build's flags are GCC's: clang is told not to stop at the GCC-only warning options.
printf '%s\n' "${files[@]}" | xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet \
  --extra-arg=-Wno-unknown-warning-option
