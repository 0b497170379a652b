#!/usr/bin/env bash
# By hand: vqimport replacing an existing database, killed (SIGKILL) or failed (EIO) by strace at
# every K-th rename, fsync, ftruncate, write and pwrite64 that a clean run makes, for a PDN and a
# CHB import. After each case the database is opened again by vqdb, which finishes an interrupted
# replacement; then its three files must be byte for byte the old ones or the new ones (md5), vqdb
# must list every game whole, and no other file of the database may be left.
# Usage: tools/vqimport/strace_faults.sh [BUILD_DIR]   (default: build)
# Prints one line per import kind, call and action: cases run, old, new, other (must be 0).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
vqimport=$PWD/$build/tools/vqimport/vqimport
vqdb=$PWD/$build/tools/vqdb/vqdb
vqdbgen=$PWD/$build/tools/vqdbgen/vqdbgen
chb_fixtures=$PWD/tests/fuzz/seeds/chb
work=$(mktemp -d /tmp/vq_strace_XXXXXX)
trap 'rm -rf "$work"' EXIT

# The inputs and the old database, once.
cd "$work"
"$vqdbgen" --undeleted 60 src.vqb 5 >/dev/null 2>&1
"$vqdb" --pdn src.vqb >games.pdn
{ cat "$chb_fixtures/golden.chb"; tail -c +701 "$chb_fixtures/random_games.chb"; } >games.chb
"$vqdbgen" --undeleted 40 old.vqb 9 >/dev/null 2>&1
mkdir old && mv old.vqb old/t.vqb && mv old.vqn old/t.vqn && mv old.vqm old/t.vqm

sums() { (cd "$1" && cat t.vqb t.vqn t.vqm 2>/dev/null | md5sum | cut -d' ' -f1); }
fresh() { rm -rf case && cp -r old case; }
old_sum=$(sums old)

total_other=0
for kind in pdn chb; do
    # The new database and the calls of a clean run.
    fresh
    strace -f -qq -o calls.txt -e trace=rename,fsync,ftruncate,write,pwrite64 \
        "$vqimport" --yes "games.$kind" case/t.vqb >/dev/null 2>&1
    new_sum=$(sums case)
    if [ "$new_sum" = "$old_sum" ]; then echo "the clean $kind import changed nothing" >&2; exit 1; fi
    for call in rename fsync ftruncate write pwrite64; do
        n=$(grep -c "^[0-9]* *$call(" calls.txt || true)
        for action in signal=KILL error=EIO; do
            old=0 new=0 other=0
            for ((k = 1; k <= n; k++)); do
                fresh
                # In a shell of its own, which reports the kill to nowhere.
                (strace -f -qq -o /dev/null -e "inject=$call:$action:when=$k" \
                    "$vqimport" --yes "games.$kind" case/t.vqb >/dev/null 2>&1 || true) 2>/dev/null
                listed=ok
                "$vqdb" case/t.vqb >listing.txt 2>/dev/null || listed=bad
                strays=$(cd case && ls | grep -v -x -e t.vqb -e t.vqn -e t.vqm -e t.log || true)
                s=$(sums case)
                if [ "$listed" = ok ] && [ -z "$strays" ] && [ "$s" = "$old_sum" ]; then
                    old=$((old + 1))
                elif [ "$listed" = ok ] && [ -z "$strays" ] && [ "$s" = "$new_sum" ]; then
                    new=$((new + 1))
                else
                    other=$((other + 1))
                    echo "OTHER: $kind $call $action when=$k: listed $listed, strays '$strays'" >&2
                fi
            done
            total_other=$((total_other + other))
            printf '%-4s %-9s %-11s cases %4d  old %4d  new %4d  other %d\n' \
                "$kind" "$call" "${action%%=*}" "$n" "$old" "$new" "$other"
        done
    done
done
[ "$total_other" -eq 0 ]
