#!/usr/bin/env bash
# Runs every fuzz target of build-fuzz for SECONDS from its seeds and what it found
# before, up to JOBS targets at a time (each is one process), then reports each target in
# name order; a failed one shows the end of its log. Exits 1 when any target failed.
# Usage: scripts/run-fuzz-targets.sh SECONDS JOBS
set -uo pipefail
seconds=$1 jobs=$2
cd "$(dirname "$0")/.."

run_one() {
  local target=$1 seconds=$2 name seeds
  name=$(basename "$target")
  mkdir -p "build-fuzz/corpus/$name"
  seeds="tools/fuzz/seeds/$name"
  [ -d "$seeds" ] || seeds=
  # shellcheck disable=SC2086 # no seeds folder is no argument
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="build-fuzz/$name-" \
    "build-fuzz/corpus/$name" $seeds >"build-fuzz/$name.log" 2>&1
  echo $? >"build-fuzz/$name.status"
}
export -f run_one

targets=(build-fuzz/fuzz/fuzz_*)
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$1" "$2"' _ {} "$seconds"

failed=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  echo "== $name ($seconds s)"
  if [ "$(cat "build-fuzz/$name.status" 2>/dev/null)" = 0 ]; then
    grep -E "^(#[0-9]+ *DONE|Done)" "build-fuzz/$name.log" | tail -n 1
  else
    tail -n 60 "build-fuzz/$name.log"
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed fuzz targets: ${failed[*]} (logs: build-fuzz/<target>.log)"
  exit 1
fi
