#!/usr/bin/env bash
# Style and static checks: fails when a link or a file named in README.md
# or docs/ leads nowhere, when the README's two commands are not the ones
# the tests run, when clang-format would change a tracked source file, or
# when clang-tidy (checks in .clang-tidy) finds anything in the program's
# sources. BUILD_DIR must hold compile_commands.json (configure with
# -DCMAKE_EXPORT_COMPILE_COMMANDS=ON).
# Usage: tests/lint.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."

# The documentation's relative links, and the paths it names in the
# repository's own folders (a module may be named without its .h or .cpp).
# Paths under build/ and outside the repository are left alone.
broken=0
docs=(README.md docs/*.md)
folders=$(git ls-files | sed -n 's|/.*||p' | sort -u | paste -sd '|')
for doc in "${docs[@]}"; do
    while IFS= read -r link; do
        link=${link%%#*}
        [ -z "$link" ] || [ -e "$(dirname "$doc")/$link" ] ||
            { echo "$doc: the link $link leads nowhere"; broken=1; }
    done < <(grep -oE '\]\([^)]+\)' "$doc" | sed -E 's/^\]\(//; s/\)$//' | grep -vE '^[a-z]+:' || true)
    while IFS= read -r path; do
        path=${path%[.,:;]}
        [ -e "$path" ] || [ -e "$path.h" ] || [ -e "$path.cpp" ] ||
            { echo "$doc: $path is not in the repository"; broken=1; }
    done < <(grep -oE "(^|[^[:alnum:]_./-])($folders)/[[:alnum:]_./-]*" "$doc" | sed -E 's/^[^[:alnum:]_.]//' || true)
done
# The README's first command block builds and starts the program (the
# chroots run it as written) and its second is the one CI runs.
readme_command() { awk -v n="$1" '/^```sh$/ && ++block == n { getline; print; exit }' README.md; }
case $(readme_command 1) in
    *'tests/install-packages.sh --build-only && '*' && ./build/pallimorvenquist') ;;
    *) echo "README.md: the first command does not build and start the program"; broken=1 ;;
esac
sed 's| *</dev/null$||' .ci/run | grep -qxF "$(readme_command 2)" ||
    { echo "README.md: the second command, $(readme_command 2), is not what .ci/run runs"; broken=1; }
echo "documentation: ${#docs[@]} files"
[ "$broken" -eq 0 ]

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
