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
# fail by chance, a planted fault fails again.
again() { "$@" || "$@"; }
again tests/norvik_tests $B --gtest_filter="-$SLOW"
again tests/norvik_alloc_tests $B
again tests/norvik_concurrency_tests $B
again tests/norvik_tests $B --gtest_filter="$SLOW"
again tests/norvik_input_fault_tests $B
rm -rf "$1"
