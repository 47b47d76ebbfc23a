#!/usr/bin/env bash
# The first command: installs the Debian packages that are missing, builds the
# Release program (line editing, link-time optimisation) in build/, and starts
# it on the caller's standard input and output:
#
#   scripts/run.sh                      # a session on the terminal
#   printf '2 3 +\n' | scripts/run.sh   # a piped one
#   scripts/run.sh -e '2 3 +'           # arguments go to rpncalc
#
# Every build message goes to standard error, so standard output carries the
# calculator's dialogue alone. A second call configures nothing and rebuilds
# only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" build
(
    cd "$root"
    [ -f build/build.ninja ] || cmake --preset release
    # Quiet when there is nothing to rebuild: standard error stays empty.
    cmake --build --preset release --target rpncalc 2>&1 |
        sed -E '\%^ninja: no work to do\.$%d; \%^\[0/[0-9]+\] Re-checking globbed directories%d'
) >&2
exec "$root/build/rpncalc" "$@"
