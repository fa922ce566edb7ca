# Sourced by scripts/bench: the archive job's benchmark, under Wine.
#   job  the job packing an install-like tree (made once by
#        tests/archive/bench/make_install_tree.py) beside 7-Zip's zip at
#        -mx=5 on one thread: the Windows 7-Zip of the npm package 7zip-bin,
#        installed into the build tree and run in the same Wine session as
#        the job (a fair race: both pay Wine's cost per file), and the native
#        Linux 7-Zip for reference. Then the cost per empty file of the job
#        and of that 7-Zip, the cost per file of the job's hand-over to the
#        window (with the window's wait and with the older fixed 10 ms
#        sleep), and the job's compression alone (the compressor, natively,
#        on the same tree). The last three lines are
#        "job_vs_7z_wine_time <ratio>", "job_vs_7z_wine_size <ratio>" and
#        "job_ms_per_empty_file <ms>".

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

# bench_job_7za <build folder>: the Windows 7-Zip of the npm package
# 7zip-bin, installed into the build folder once; prints its path.
bench_job_7za() {
  local prefix="$1/7zip-bin"
  local exe="$prefix/node_modules/7zip-bin/win/x64/7za.exe"
  if [ ! -f "$exe" ]; then
    mkdir -p "$prefix"
    npm install --prefix "$prefix" --no-save --no-audit --no-fund 7zip-bin >/dev/null 2>&1 ||
      { echo "npm could not install 7zip-bin" >&2; return 1; }
  fi
  echo "$exe"
}

# bench_job_seconds <command...>: runs the command quietly, prints its seconds.
bench_job_seconds() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null </dev/null
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

bench_job() {
  local build=${BRK_BENCH_WIN_BUILD:-$ROOT/build/bench-win64}
  build_win64 "$build" job_bench
  build_native deflate_digest
  local exe="$build/bin/job_bench.exe" sevenza
  sevenza=$(bench_job_7za "$build")

  source "$ROOT/scripts/lib/wine-session.sh"
  trap wine_session_stop EXIT
  wine_session_start "$build/wineprefix"
  local work="$WINEPREFIX/drive_c/bench-job"
  local tree="$work/install" out="$work/out"
  [ -d "$tree" ] || python3 "$ROOT/tests/archive/bench/make_install_tree.py" "$tree"
  bench_job_tree_of_empty_files "$work/empty5000" 5000
  bench_job_tree_of_empty_files "$work/empty300" 300
  rm -rf "$out" && mkdir -p "$out"

  local job sleep10 wine7z_seconds wine7z_bytes native7z_seconds native7z_bytes job_bytes
  job=$(wine "$exe" 'C:\bench-job\install' 'C:\bench-job\out\job.zip' msgwait </dev/null)
  echo "job (window's wait):   $job"
  7zz t "$out/job.zip" >/dev/null || echo "warning: 7-Zip finds the job's archive faulty"
  # 7-Zip names entries relative to its working folder, as the job does.
  wine7z_seconds=$(cd "$tree" && bench_job_seconds wine "$sevenza" a -tzip -mx=5 -mmt=1 \
    'C:\bench-job\out\7z-wine.zip' '*')
  wine7z_bytes=$(stat -c %s "$out/7z-wine.zip")
  printf '7za.exe a -tzip -mx=5 -mmt=1, same Wine session: seconds=%s archive_bytes=%s\n' \
    "$wine7z_seconds" "$wine7z_bytes"
  native7z_seconds=$(cd "$tree" && bench_job_seconds 7zz a -tzip -mx=5 -mmt=1 "$out/7z.zip" .)
  native7z_bytes=$(stat -c %s "$out/7z.zip")
  printf 'native 7zz a -tzip -mx=5 -mmt=1 (reference): seconds=%s archive_bytes=%s\n' \
    "$native7z_seconds" "$native7z_bytes"

  # Empty files: the cost per file of the job (hand-over included) and of
  # 7-Zip under the same Wine. The hand-over alone: a worker that only
  # hands over.
  local empty empty_sleep handover handover_sleep wine7z_empty_seconds
  empty=$(wine "$exe" 'C:\bench-job\empty5000' 'C:\bench-job\out\empty5000.zip' msgwait </dev/null)
  echo "job on 5000 empty files, window's wait:   $empty"
  wine7z_empty_seconds=$(cd "$work/empty5000" && bench_job_seconds wine "$sevenza" a -tzip \
    -mx=5 -mmt=1 'C:\bench-job\out\7z-empty5000.zip' '*')
  echo "7za.exe on 5000 empty files: seconds=$wine7z_empty_seconds"
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

  # The compressor alone on the same files, natively; reading them from the
  # page cache is a small part of it.
  local compression_seconds job_seconds
  compression_seconds=$(bench_job_seconds "$BUILD/bin/deflate_digest" "$tree" 8)
  echo "compression alone (native, level 8, same tree): seconds=$compression_seconds"

  job_seconds=$(bench_job_field seconds "$job")
  job_bytes=$(bench_job_field archive_bytes "$job")
  echo "job_sleep10_vs_7z_wine_time $(bench_job_ratio "$(bench_job_field seconds "$sleep10")" "$wine7z_seconds")"
  echo "job_ms_per_empty_file_sleep10 $(bench_job_field ms_per_file "$empty_sleep")"
  echo "handover_ms_per_file $(bench_job_field ms_per_handover "$handover")"
  echo "handover_ms_per_file_sleep10 $(bench_job_field ms_per_handover "$handover_sleep")"
  echo "7z_wine_ms_per_empty_file $(awk -v s="$wine7z_empty_seconds" 'BEGIN { printf "%.4f\n", s * 1000 / 5000 }')"
  echo "job_compression_seconds $compression_seconds"
  echo "job_vs_7z_native_time $(bench_job_ratio "$job_seconds" "$native7z_seconds")"
  echo "job_vs_7z_native_size $(bench_job_ratio "$job_bytes" "$native7z_bytes")"
  echo "job_vs_7z_wine_time $(bench_job_ratio "$job_seconds" "$wine7z_seconds")"
  echo "job_vs_7z_wine_size $(bench_job_ratio "$job_bytes" "$wine7z_bytes")"
  echo "job_ms_per_empty_file $(bench_job_field ms_per_file "$empty")"
}
