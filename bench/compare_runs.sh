# Sourced by the benchmarks that time pinprobe-cli against sigrok-cli, whole process against whole
# process, side by side in one run.

require_sigrok_cli() {
  if ! command -v sigrok-cli >/dev/null; then
    echo "sigrok-cli is missing: apt-get install sigrok-cli" >&2
    exit 1
  fi
}

# compare_runs RUNS LABEL_OURS LABEL_THEIRS: times the commands in the arrays `ours` and
# `theirs`, with hyperfine when installed, else the mean of a loop of runs timed by the shell.
compare_runs() {
  local runs=$1 label_ours=$2 label_theirs=$3
  if command -v hyperfine >/dev/null; then
    hyperfine --shell=none --warmup 2 --runs "$runs" \
      --command-name "$label_ours" "${ours[*]}" --command-name "$label_theirs" "${theirs[*]}"
    return
  fi
  "${ours[@]}" >/dev/null
  "${theirs[@]}" >/dev/null
  local ours_us theirs_us
  ours_us=$(mean_us "$runs" "${ours[@]}")
  theirs_us=$(mean_us "$runs" "${theirs[@]}")
  awk -v a="$ours_us" -v b="$theirs_us" -v n="$runs" -v la="$label_ours" -v lb="$label_theirs" '
    BEGIN {
      printf "%-34s %.1f ms per run (mean of %d)\n", la ":", a / 1000, n
      printf "%-34s %.1f ms per run (mean of %d)\n", lb ":", b / 1000, n
      if (a > 0) printf "pinprobe-cli ran %.2f times as fast\n", b / a
    }'
}

mean_us() {
  local runs=$1 start end
  shift
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null; done
  end=$(date +%s%N)
  echo $(((end - start) / runs / 1000))
}

# cpu_ms RUNS COMMAND...: the CPU time (user + system) one run of COMMAND takes, in milliseconds,
# the mean of RUNS runs: from perf stat when installed, else from the shell's children times.
cpu_ms() {
  local runs=$1
  shift
  if command -v perf >/dev/null && perf stat -x, -e task-clock true >/dev/null 2>&1; then
    perf stat -x, -r "$runs" -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ {printf "%.2f", $1}'
    return
  fi
  (for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done; times) | tail -n 1 |
    awk -v n="$runs" '{
      split($1, u, /[ms]/); split($2, s, /[ms]/)
      printf "%.2f", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) * 1000 / n }'
}
