#!/usr/bin/env bash
# The test command's last step: the same tests on the next Debian systems,
# each in a chroot made afresh with debootstrap from the archive that this
# machine's apt uses, on a fresh clone of the commit under test in a path
# with a blank.
#
#   debian-13  the README's first command, piped, then its second, the whole
#              tests/run.sh, less only this step (PALLIMORVENQUIST_CHROOTS=0)
#   unstable   the README's first command, piped, then the release preset
#              built and tested with g++ and with clang++
#
# tests/run.sh makes the chroots in the background while this machine's
# steps compile ("make"), and tests in them last ("test"), which also adds
# the time of each step to the summary file, and each test skipped there,
# with its reason, to the file of skipped tests. A chroot that passed is
# removed; one that failed is kept for a look.
#
# Usage: tests/chroots.sh make|test|remove SYSTEM [STEP-TIMES-FILE [SKIPPED-TESTS-FILE]]
# Needs root, debootstrap, git, unshare and setpriv.
set -euo pipefail
cd "$(dirname "$0")/.."
action=$1 system=$2 times=${3:-/dev/null} skips=${4:-/dev/null}

declare -A suites=([debian-13]=trixie [unstable]=sid)
suite=${suites[$system]:?"no such system: $system"}
root=$PWD/build/chroots/$system
clone="/root/my puzzles/pallimorvenquist"
# The packages each system's tests need, installed while it is made.
declare -A packages=([debian-13]="" [unstable]="--step release clang")

# The Debian archive of this machine's own release, as its apt reaches it.
mirror() {
    local codename uri
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    uri=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Identifier: Packages' 2>/dev/null |
        awk -v release="$codename" '$1 == release { print $2; exit }')
    echo "${uri:-http://deb.debian.org/debian}"
}

# Runs a command in a mount and a PID namespace of its own, which dies with
# this script however it ends, even on SIGKILL (setpriv, unshare
# --kill-child): whatever it mounts exists only for the processes inside,
# and goes with the last of them.
namespaced() {
    setpriv --pdeathsig KILL unshare --mount --propagation private --pid --fork --kill-child "$@"
}

# Runs a command with the chroot's /proc, /dev, /dev/pts and /dev/shm
# mounted, in a namespace of its own: nothing outside ever sees the mounts,
# so no rm -rf of the build tree can reach this machine's /dev through them.
# When the command ends, whatever it left running (a wine server, say) is
# stopped and the mounts are unmounted.
with_mounts() {
    namespaced bash -c '
        set -euo pipefail
        root=$1
        shift
        mounted=()
        unmount() {
            # Only as the first process of its own PID namespace, where -1
            # means the processes of that namespace.
            [ $$ -ne 1 ] || kill -KILL -1 2>/dev/null || true
            for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
                umount "${mounted[$i]}" 2>/dev/null || { sleep 1 && umount --lazy "${mounted[$i]}"; }
            done
        }
        trap unmount EXIT
        # The chroot a mount of its own, so that its / is a mount point, as
        # a run of the test command in there needs for namespaces of its own.
        mount --bind "$root" "$root"
        mounted+=("$root")
        mount -t proc proc "$root/proc"
        mounted+=("$root/proc")
        for dev in /dev /dev/pts /dev/shm; do
            mount --bind "$dev" "$root$dev"
            mounted+=("$root$dev")
        done
        "$@"' sh "$root" "$@"
}

# Runs a command inside the chroot as root would on a fresh system: a clean
# environment, no standard input, in the clone.
in_chroot() {
    local environment=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
        LANG=C.UTF-8)
    [ -z "${TERM:-}" ] || environment+=("TERM=$TERM")
    with_mounts chroot "$root" /usr/bin/env -i "${environment[@]}" \
        bash -c 'cd "$1" && shift && "$@"' sh "$clone" "$@" </dev/null
}

remove() {
    [ -e "$root" ] || return 0
    # Nothing may be mounted below it: the mounts live in namespaces that
    # are gone, but make sure before deleting.
    if findmnt -rn -o TARGET | grep -qF "$root/"; then
        echo "Not removing $root: something is mounted below it" >&2
        return 1
    fi
    rm -rf --one-file-system "$root" "$root.made"
}

make_chroot() {
    local started=$SECONDS link archive status=0
    remove
    mkdir -p "$root"
    archive=$(mirror)
    echo "debootstrap --variant=minbase $suite from $archive"
    # debootstrap cannot work in a path with a blank: it works through a
    # link in a path without.
    link=$(mktemp -d)
    ln -s "$root" "$link/root"
    namespaced debootstrap --variant=minbase "$suite" "$link/root" "$archive" \
        >"$root.debootstrap.log" 2>&1 || status=$?
    rm -r "$link"
    [ "$status" -eq 0 ] || { tail -n 20 "$root.debootstrap.log" && return 1; }
    # Unstable here is a snapshot whose Release file is out of date.
    [ "$suite" != sid ] ||
        echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99snapshot"
    [ -e "$root/etc/hosts" ] || printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost\n' >"$root/etc/hosts"

    local commit
    commit=$(git rev-parse HEAD)
    git diff --quiet HEAD || echo "Note: uncommitted changes are not tested in the chroots"
    mkdir -p "$root$(dirname "$clone")"
    git clone -q --no-hardlinks . "$root$clone"
    git -C "$root$clone" checkout -q --detach "$commit"
    # The chroot reaches the network as this machine does, and trusts what
    # this machine's administrator added to its certificate authorities (a
    # proxy's own, say, without which npm could not reach its registry).
    if [ -d /usr/local/share/ca-certificates ]; then
        mkdir -p "$root/usr/local/share/ca-certificates"
        cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
    fi
    # shellcheck disable=SC2086 # the options are words
    in_chroot bash tests/install-packages.sh ${packages[$system]}
    in_chroot sh -c 'if command -v update-ca-certificates >/dev/null; then update-ca-certificates >/dev/null; fi'
    echo $((SECONDS - started)) >"$root.made"
    echo "$(system_name) made in $((SECONDS - started)) s"
}

system_name() { (. "$root/etc/os-release" && echo "${PRETTY_NAME/GNU\/Linux /}"); }

# Runs one step in the chroot and adds its time to the summary.
step() {
    local name=$1 started=$SECONDS
    shift
    echo "=== $(system_name): $name"
    in_chroot "$@"
    printf '%-22s %-22s %5d s\n' "$(system_name)" "$name" $((SECONDS - started)) >>"$times"
}

# The README's commands as written there: its first and its second block.
readme_command() { awk -v n="$1" '/^```sh$/ && ++block == n { getline; print; exit }' "$root$clone/README.md"; }

# The first command, with Return, n and c?t piped in: it must list cat.
first_command() {
    step "README first command" bash -c "printf '\\nn\\nc?t\\n' | { $(readme_command 1); } >/tmp/first.log 2>&1 &&
        tr -d ' \\b' </tmp/first.log | grep -qx cat || { cat /tmp/first.log; false; }"
}

test_debian-13() {
    first_command
    step "tests/run.sh" env PALLIMORVENQUIST_CHROOTS=0 bash -c "$(readme_command 2)"
    # Its own steps, after its line of versions, which is the same as ours,
    # and the tests it skipped.
    sed 1d "$root$clone/build/step-times.txt" >>"$times"
    cat "$root$clone/build/skipped-tests.txt" >>"$skips"
}

test_unstable() {
    first_command
    local compiler
    for compiler in g++ clang++; do
        step "release, $compiler" bash -c 'CXX=$1 cmake --preset release --fresh >/dev/null &&
            cmake --build --preset release && ctest --preset release -j "$(nproc)" \
            --test-output-size-passed 65536 --output-junit "$PWD/build/release.junit.xml"' sh "$compiler"
        bash tests/skipped_tests.sh "$(printf '%-22s %-22s' "$(system_name)" "release, $compiler")" \
            "$root$clone/build/release.junit.xml" >>"$skips"
    done
}

test_chroot() {
    printf '%-22s %s\n' "$(system_name)" "$(in_chroot bash -c 'echo "g++ $(g++ -dumpfullversion), \
clang++ $(clang++ -dumpversion), CMake $(cmake --version | sed -n "1s/.* //p")"')" >>"$times"
    printf '%-22s %-22s %5d s\n' "$(system_name)" "made, in the background" "$(cat "$root.made")" \
        >>"$times"
    trap '[ $? -eq 0 ] || echo "The chroot is kept for a look: $root"' EXIT
    "test_$system"
    remove
}

case $action in
    make) make_chroot ;;
    test) test_chroot ;;
    remove) remove ;;
    *) echo "Usage: $0 make|test|remove SYSTEM [STEP-TIMES-FILE]" >&2 && exit 2 ;;
esac
