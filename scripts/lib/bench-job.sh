# Sourced by scripts/bench: the archive job's benchmark, under Wine.
#   job  the job packing an install-like tree (made once by
#        tests/archive/bench/make_install_tree.py) beside 7-Zip's zip at
#        -mx=5 on one thread, and the cost per file of the job's hand-over
#        to the window on a tree of empty files, with the window's wait and
#        with the older fixed 10 ms sleep. The last three lines are
#        "job_vs_7z_time <ratio>", "job_vs_7z_size <ratio>" and
#        "handover_ms_per_file <ms>".

# field <name> <line of name=value pairs>
bench_job_field() {
  sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2"
}

bench_job_ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", a / b }'
}

# bench_job_tree_of_empty_files <folder> <count>
bench_job_tree_of_empty_files() {
  local dir=$1 count=$2 i
  [ -d "$dir" ] && [ "$(find "$dir" -type f | wc -l)" -eq "$count" ] && return 0
  rm -rf "$dir"
  for i in $(seq 0 9); do mkdir -p "$dir/folder$i"; done
  for i in $(seq 1 "$count"); do : >"$dir/folder$((i % 10))/empty$i.txt"; done
}

bench_job() {
  local build=${BRK_BENCH_WIN_BUILD:-$ROOT/build/bench-win64}
  build_win64 "$build" job_bench
  local exe="$build/bin/job_bench.exe"

  source "$ROOT/scripts/lib/wine-session.sh"
  trap wine_session_stop EXIT
  wine_session_start "$build/wineprefix"
  local work="$WINEPREFIX/drive_c/bench-job"
  local tree="$work/install" out="$work/out"
  [ -d "$tree" ] || python3 "$ROOT/tests/archive/bench/make_install_tree.py" "$tree"
  bench_job_tree_of_empty_files "$work/empty5000" 5000
  bench_job_tree_of_empty_files "$work/empty300" 300
  rm -rf "$out" && mkdir -p "$out"

  local job sleep10 t0 t1 sevenzip_seconds job_bytes sevenzip_bytes
  job=$(wine "$exe" 'C:\bench-job\install' 'C:\bench-job\out\job.zip' msgwait </dev/null)
  echo "job (window's wait):   $job"
  7zz t "$out/job.zip" >/dev/null || echo "warning: 7-Zip finds the job's archive faulty"
  t0=$(date +%s.%N)
  (cd "$tree" && 7zz a -tzip -mx=5 -mmt=1 "$out/7z.zip" . >/dev/null)
  t1=$(date +%s.%N)
  sevenzip_seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  sevenzip_bytes=$(stat -c %s "$out/7z.zip")
  printf '7z a -tzip -mx=5 -mmt=1: seconds=%.3f archive_bytes=%s\n' "$sevenzip_seconds" "$sevenzip_bytes"

  # The job on empty files: the time per file is the hand-over plus what the
  # writer does for an entry without data. The hand-over alone: a worker
  # that only hands over.
  local empty empty_sleep handover handover_sleep
  empty=$(wine "$exe" 'C:\bench-job\empty5000' 'C:\bench-job\out\empty5000.zip' msgwait </dev/null)
  echo "job on 5000 empty files, window's wait:   $empty"
  empty_sleep=$(wine "$exe" 'C:\bench-job\empty300' 'C:\bench-job\out\empty300.zip' sleep10 </dev/null)
  echo "job on 300 empty files, fixed 10 ms sleep: $empty_sleep"
  handover=$(wine "$exe" handover 5000 msgwait </dev/null)
  echo "hand-overs alone, window's wait:   $handover"
  handover_sleep=$(wine "$exe" handover 300 sleep10 </dev/null)
  echo "hand-overs alone, fixed 10 ms sleep: $handover_sleep"
  sleep10=$(wine "$exe" 'C:\bench-job\install' 'C:\bench-job\out\job-sleep10.zip' sleep10 </dev/null)
  echo "job (fixed 10 ms sleep): $sleep10"
  wine_session_stop
  trap - EXIT

  job_bytes=$(bench_job_field archive_bytes "$job")
  echo "job_sleep10_vs_7z_time $(bench_job_ratio "$(bench_job_field seconds "$sleep10")" "$sevenzip_seconds")"
  echo "job_ms_per_empty_file $(bench_job_field ms_per_file "$empty")"
  echo "job_ms_per_empty_file_sleep10 $(bench_job_field ms_per_file "$empty_sleep")"
  echo "handover_ms_per_file_sleep10 $(bench_job_field ms_per_handover "$handover_sleep")"
  echo "job_vs_7z_time $(bench_job_ratio "$(bench_job_field seconds "$job")" "$sevenzip_seconds")"
  echo "job_vs_7z_size $(bench_job_ratio "$job_bytes" "$sevenzip_bytes")"
  echo "handover_ms_per_file $(bench_job_field ms_per_handover "$handover")"
}
