#!/bin/sh
# The test command of a mutation run (docs/reliability.md, "Mutation testing"):
#   ../shared/tools/mutate.py --test "sh $PWD/tests/mutation-tests.sh /dev/shm/<folder>" ...
# Runs, from the mutation build folder, every test of the four gtest programs,
# the quick ones first so that a caught mutant stops early; the test files go
# to the given folder, which is emptied first and removed afterwards.
# The tests run in a private mount namespace (root, as in CI) where /dev/full
# is a mount point: a mutant that takes the device for a regular file would
# otherwise rename its temporary file over /dev/full.
if [ -z "$NORVIK_MUTATION_NAMESPACE" ]; then
  exec env NORVIK_MUTATION_NAMESPACE=1 unshare -m --propagation private \
    sh -c 'mount --bind /dev/full /dev/full && exec sh "$0" "$1"' "$0" "$1"
fi
set -e
export TEST_TMPDIR="$1/"
rm -rf "$1"
mkdir -p "$1"
SLOW='RecordCheck.ListsExactlyTheValuesThatDoNotComeBack:BL1SharedReader.HeadersWithoutFinReadInLinearTime'
B='--gtest_brief=1 --gtest_fail_fast'
# A program that fails runs once more: on a loaded machine a time bound can
# fail by chance, a planted fault fails again. All of it ends within 110 s
# (the suite takes about 6): a planted endless loop is stopped here, since
# the mutation tool's own limit (120 s) would stop only the shell above and
# leave the program running in its namespace; a program stopped so is not
# run again.
deadline=$(($(date +%s) + 110))
left() {
  now=$(date +%s)
  if [ "$deadline" -gt "$((now + 1))" ]; then echo "$((deadline - now))"; else echo 1; fi
}
again() {
  status=0
  timeout -k 3 "$(left)" "$@" || status=$?
  [ "$status" -eq 0 ] && return 0
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    return "$status"
  fi
  timeout -k 3 "$(left)" "$@"
}
again tests/norvik_tests $B --gtest_filter="-$SLOW"
again tests/norvik_alloc_tests $B
again tests/norvik_concurrency_tests $B
again tests/norvik_tests $B --gtest_filter="$SLOW"
again tests/norvik_input_fault_tests $B
rm -rf "$1"
