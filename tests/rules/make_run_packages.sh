#!/usr/bin/env bash
# make run installs only what the two programs need: none of the packages that only the tests,
# the benchmarks, the fuzz targets or the browser edition use, and it builds only the programs.
#   make_run_packages.sh SOURCE_FOLDER
set -euo pipefail
cd "$1"
run=$(make -s --no-print-directory print-run-packages)
test_only=$(make -s --no-print-directory print-test-packages)
status=0
for p in $run; do
  for t in $test_only; do
    if [ "$p" = "$t" ]; then echo "make run installs test-only package $p" >&2; status=1; fi
  done
done
for p in $run; do
  case "$p" in
    *gtest* | *gmock* | *benchmark* | xvfb | xauth | xdotool | imagemagick | clang* | libclang* | \
      emscripten | chromium* | lintian | appstream | desktop-file-utils | man-db | dpkg-dev)
      echo "make run installs $p, which only the tests use" >&2
      status=1
      ;;
  esac
done
# What make run builds: the two programs, configured without the tests.
plan=$(make -n --no-print-directory run 2>/dev/null | grep 'cmake' || true)
grep -q -- '-DQUELVAR_TESTS=OFF' <<<"$plan" || { echo "make run configures the tests" >&2; status=1; }
grep -q -- '--target quelvar quelvar-run' <<<"$plan" || { echo "make run builds more than the programs" >&2; status=1; }
echo "make run installs: $run"
exit $status
