#!/usr/bin/env bash
# Style and static checks: fails when clang-format would change a tracked
# source file, or when clang-tidy (checks in .clang-tidy) finds anything in
# the program's sources. BUILD_DIR must hold compile_commands.json
# (configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON).
# Usage: tests/lint.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."

echo "clang-format: $(git ls-files '*.h' '*.cpp' | wc -l) files"
git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run --Werror

# The sources this build compiles: of the platform layer's files, only this
# system's (another system's file is checked by its own build's warnings).
sources=()
while IFS= read -r -d '' file; do
    if grep -qF "/$file\"" "$build/compile_commands.json"; then sources+=("$file"); fi
done < <(git ls-files -z 'dialogue/*.cpp' 'store/*.cpp' 'search/*.cpp')
echo "clang-tidy: ${#sources[@]} files"
# One file per process, as many at a time as there are cores. Clang's own
# count of warnings it suppressed in system headers is left out.
status=0
printf '%s\0' "${sources[@]}" |
    xargs -0 -P "$(nproc)" -n 1 clang-tidy --quiet -p "$build" >"$build/clang-tidy.log" 2>&1 ||
    status=$?
grep -v '^[0-9]* warnings\? generated\.$' "$build/clang-tidy.log" || true
exit "$status"
