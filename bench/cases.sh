#!/bin/sh
# Writes a cases file of N addition cases for examples/add.rm ("A,B,0 => R1=A+B"), for timing
# quelvar-run --cases:
#   bench/cases.sh 100000 > /tmp/add.cases
#   /usr/bin/time -f '%e s wall %U+%S s CPU' build/src/quelvar-run --cases /tmp/add.cases examples/add.rm > /dev/null
set -eu
count=${1:?usage: bench/cases.sh N}
awk -v n="$count" 'BEGIN { for (k = 0; k < n; k++) { a = k % 50; b = (k * 7) % 50; print a "," b ",0 => R1=" a + b } }'
