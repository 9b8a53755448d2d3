#!/bin/sh
# Grades 300 copies of the multiplication example against 20 cases, as a course's submissions,
# and prints the whole process's wall and CPU time: one quelvar-run for the folder (graded in
# child processes, as many at a time as there are cores), and, beside it, one quelvar-run a
# submission started one after another by the shell, as a grader's loop would.
#   bench/grading.sh build/src/quelvar-run [SUBMISSIONS [CASES]]
set -eu
run=${1:?usage: bench/grading.sh QUELVAR_RUN [SUBMISSIONS [CASES]]}
submissions=${2:-300}
cases=${3:-20}
examples=$(cd "$(dirname "$0")/../examples" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/submissions"
k=1
while [ "$k" -le "$submissions" ]; do
  mkdir "$work/submissions/$k"
  cp "$examples/multiply.rm" "$examples/multiply-data.txt" "$examples/multiply-program.txt" \
    "$work/submissions/$k/"
  k=$((k + 1))
done
# A,B,0,0,0 => R1=A*B, for A and B from 0 to 12.
awk -v n="$cases" 'BEGIN { for (k = 0; k < n; k++) { a = (k * 5) % 13; b = (k * 7 + 3) % 13;
  print "m" k ": " a "," b ",0,0,0 => R1=" a * b } }' > "$work/multiply.cases"

echo "$submissions submissions x $cases cases of examples/multiply.rm, $(nproc) cores"
/usr/bin/time -f "one quelvar-run for the folder:     %e s wall, %U s user + %S s system CPU" \
  "$run" --cases "$work/multiply.cases" --summary csv "$work/submissions" > "$work/summary.csv"
[ "$(grep -c ',20,20,20,20,' "$work/summary.csv")" -eq "$submissions" ] ||
  { echo "not every submission passed"; exit 1; }
/usr/bin/time -f "one quelvar-run a submission (loop): %e s wall, %U s user + %S s system CPU" \
  sh -c 'for d in "$1"/submissions/*/; do "$2" --cases "$1/multiply.cases" "$d/multiply.rm" > /dev/null; done' \
  sh "$work" "$run"
