#!/usr/bin/env bash
# Installs the Debian packages that the named tasks need and that are missing,
# and says which; does nothing, silently, when all of them are there. Runs
# apt-get through sudo when not root. Every word goes to standard error, so
# that scripts/run.sh keeps standard output for the calculator alone.
#
#   scripts/deps.sh build              # what scripts/run.sh needs
#   scripts/deps.sh build test fuzz    # what scripts/test.sh needs with the fuzz smoke
set -euo pipefail

packages=()
for task in "$@"; do
    case "$task" in
    # The release build configures its tests too, so GoogleTest comes with it.
    # libedit is linked in from its archive, with those of its terminal and
    # BSD libraries (libedit-dev pulls them in too; named for clarity).
    build) packages+=(cmake ninja-build g++ pkg-config libedit-dev libbsd-dev libncurses-dev libgtest-dev) ;;
    # python3: the pseudo-terminal test; groff-base: the man page check.
    test) packages+=(python3 groff-base) ;;
    fuzz) packages+=(clang libclang-rt-dev) ;;
    lint) packages+=(clang-format clang-tidy) ;;
    bench) packages+=(bc dc hyperfine time python3 valgrind) ;;
    *) echo "deps.sh: unknown task '$task' (build, test, fuzz, lint or bench)" >&2; exit 2 ;;
    esac
done

# Elsewhere than on Debian and its kin there is nothing to check: the build
# itself then says what it lacks.
command -v dpkg-query >/dev/null || exit 0
missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    if [ "$status" != installed ] && [[ " ${missing[*]} " != *" $pkg "* ]]; then
        missing+=("$pkg")
    fi
done
((${#missing[@]} > 0)) || exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "deps.sh: these Debian packages are missing: ${missing[*]}" >&2
        echo "deps.sh: install them as root (apt-get install ${missing[*]}), or install sudo" >&2
        exit 1
    fi
    sudo=(sudo)
fi
echo "deps.sh: installing from Debian's packages: ${missing[*]}" >&2
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
