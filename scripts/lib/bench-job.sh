# Sourced by scripts/bench: the archive job's benchmark, under Wine.
#   job  A race, whole process against whole process, timed from outside
#        (start to exit, so that both pay Wine's process start): the job
#        (tests/archive/bench/job_bench.cpp, which runs it as the window
#        does) against the Windows 7-Zip of the npm package 7zip-bin, zip at
#        -mx=5 on one thread (-mmt=1) and with its default threads
#        (-mmt=on), in the same Wine session, on the same install-like tree
#        (made once by tests/archive/bench/make_install_tree.py), in turns,
#        BRK_BENCH_JOB_RUNS times each (3 by default; medians are compared).
#        The native Linux 7-Zip is printed for reference. Then the cost per
#        empty file of the job (with the window's progress reports and
#        without them) and of that 7-Zip; the job's compression alone; and,
#        unless BRK_BENCH_JOB_SCALE=0, the scale: the job's time per file on
#        10,000 and on 100,000 small files in a few thousand folders, and an
#        entry of 4.5 GiB (a sparse file with some data in it) with the job's
#        peak working set, both archives read back by 7-Zip, bsdtar and
#        Python's zipfile (tests/archive/check_archives.py for the large
#        entry). The last five lines are "job_vs_7z_wine_time <ratio>",
#        "job_vs_7z_wine_mt_time <ratio>", "job_vs_7z_wine_size <ratio>",
#        "job_ms_per_empty_file <ms>" and "job_peak_mb <MB>" (the job's peak
#        working set on the install-like tree).

# field <name> <line of name=value pairs>
bench_job_field() {
  sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2"
}

bench_job_ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", a / b }'
}

bench_job_median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

bench_job_max() {
  printf '%s\n' "$@" | sort -g | tail -n 1
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

# bench_job_seconds <output file> <command...>: runs the command, its output
# to the file, and prints its seconds, start to exit.
bench_job_seconds() {
  local output=$1 t0 t1
  shift
  t0=$(date +%s.%N)
  "$@" >"$output" 2>&1 </dev/null
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

# bench_job_check_listing <archive> <count>: 7-Zip and Python's zipfile
# read every entry (CRC included) and count them.
bench_job_check_listing() {
  local archive=$1 count=$2
  7zz t "$archive" >/dev/null || { echo "7-Zip finds $archive faulty"; return 1; }
  python3 - "$archive" "$count" <<'EOF'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    names = z.namelist()
    bad = z.testzip()
ok = len(names) == int(sys.argv[2]) and bad is None
print("archive of %d entries: %s" % (len(names), "read back whole" if ok else "FAULTY (%r)" % bad))
sys.exit(0 if ok else 1)
EOF
}

bench_job() {
  local build=${BRK_BENCH_WIN_BUILD:-$ROOT/build/bench-win64}
  local runs=${BRK_BENCH_JOB_RUNS:-3}
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
  rm -rf "$out" && mkdir -p "$out"

  # The race, in turns.
  local r t job_times=() job_peaks=() wine7z_times=() wine7z_mt_times=() line
  for r in $(seq 1 "$runs"); do
    rm -f "$out/job.zip" "$out/7z-wine.zip" "$out/7z-wine-mt.zip"
    t=$(bench_job_seconds "$out/job.txt" wine "$exe" 'C:\bench-job\install' \
      'C:\bench-job\out\job.zip' watched)
    line=$(cat "$out/job.txt")
    echo "job, whole process: seconds=$t; inside: $line"
    job_times+=("$t")
    job_peaks+=("$(bench_job_field peak_mb "$line")")
    # 7-Zip names entries relative to its working folder, as the job does.
    t=$(cd "$tree" && bench_job_seconds /dev/null wine "$sevenza" a -tzip -mx=5 -mmt=1 \
      'C:\bench-job\out\7z-wine.zip' '*')
    echo "7za.exe a -tzip -mx=5 -mmt=1, same Wine session: seconds=$t"
    wine7z_times+=("$t")
    t=$(cd "$tree" && bench_job_seconds /dev/null wine "$sevenza" a -tzip -mx=5 -mmt=on \
      'C:\bench-job\out\7z-wine-mt.zip' '*')
    echo "7za.exe a -tzip -mx=5 -mmt=on, same Wine session: seconds=$t"
    wine7z_mt_times+=("$t")
  done
  7zz t "$out/job.zip" >/dev/null || echo "warning: 7-Zip finds the job's archive faulty"
  local job_bytes wine7z_bytes native7z_seconds native7z_bytes
  job_bytes=$(stat -c %s "$out/job.zip")
  wine7z_bytes=$(stat -c %s "$out/7z-wine.zip")
  echo "archive bytes: job=$job_bytes 7za.exe=$wine7z_bytes 7za.exe_mt=$(stat -c %s "$out/7z-wine-mt.zip")"
  native7z_seconds=$(cd "$tree" && bench_job_seconds /dev/null 7zz a -tzip -mx=5 -mmt=1 "$out/7z.zip" .)
  native7z_bytes=$(stat -c %s "$out/7z.zip")
  printf 'native 7zz a -tzip -mx=5 -mmt=1 (reference): seconds=%s archive_bytes=%s\n' \
    "$native7z_seconds" "$native7z_bytes"

  # Empty files: the cost per file of the job, with its progress reports
  # and with none served until it ends, and of 7-Zip under the same Wine.
  local empty empty_unwatched wine7z_empty_seconds
  empty=$(wine "$exe" 'C:\bench-job\empty5000' 'C:\bench-job\out\empty5000.zip' watched </dev/null)
  echo "job on 5000 empty files, progress reports served: $empty"
  empty_unwatched=$(wine "$exe" 'C:\bench-job\empty5000' 'C:\bench-job\out\empty5000u.zip' \
    unwatched </dev/null)
  echo "job on 5000 empty files, no report served until the end: $empty_unwatched"
  rm -f "$out/7z-empty5000.zip"
  wine7z_empty_seconds=$(cd "$work/empty5000" && bench_job_seconds /dev/null wine "$sevenza" a \
    -tzip -mx=5 -mmt=1 'C:\bench-job\out\7z-empty5000.zip' '*')
  echo "7za.exe on 5000 empty files: seconds=$wine7z_empty_seconds"

  local scale=${BRK_BENCH_JOB_SCALE:-1} many10k many100k huge huge_facts
  if [ "$scale" != 0 ]; then
    for count in 10000 100000; do
      [ -f "$work/many$count.done" ] || {
        rm -rf "$work/many$count"
        python3 "$ROOT/tests/archive/bench/make_scale_trees.py" many "$work/many$count" "$count" &&
          touch "$work/many$count.done"
      }
    done
    many10k=$(wine "$exe" 'C:\bench-job\many10000' 'C:\bench-job\out\many10000.zip' watched </dev/null)
    echo "job on 10,000 small files: $many10k"
    many100k=$(wine "$exe" 'C:\bench-job\many100000' 'C:\bench-job\out\many100000.zip' watched \
      </dev/null)
    echo "job on 100,000 small files: $many100k"
    bench_job_check_listing "$out/many100000.zip" 100000 || echo "warning: the 100,000-file archive is faulty"

    # 4.5 GiB: sparse, so it costs no disk space; its archive is small.
    rm -rf "$work/huge" "$out/huge-check" && mkdir -p "$work/huge" "$out/huge-check"
    huge_facts=$(python3 "$ROOT/tests/archive/bench/make_scale_trees.py" sparse \
      "$work/huge/huge.bin" $((4608 * 1024 * 1024)))
    huge=$(wine "$exe" 'C:\bench-job\huge' 'C:\bench-job\out\huge-check\huge.zip' watched </dev/null)
    echo "job on one file of 4.5 GiB: $huge"
    printf '{"password": "", "entries": [{"name": "huge.bin", "source": null, "zeros": 0, "folder": false, "method": 8, "size": %s, "crc": %s}]}\n' \
      "$(bench_job_field size "$huge_facts")" "$(bench_job_field crc "$huge_facts")" \
      >"$out/huge-check/huge.json"
    python3 "$ROOT/tests/archive/check_archives.py" "$out/huge-check" ||
      echo "warning: the 4.5 GiB entry did not read back"
    rm -rf "$work/huge"
  fi
  wine_session_stop
  trap - EXIT

  # The compressor alone on the same files, natively; reading them from the
  # page cache is a small part of it.
  local compression_seconds
  compression_seconds=$(bench_job_seconds /dev/null "$BUILD/bin/deflate_digest" "$tree" 8)
  echo "compression alone (native, level 8, one thread, same tree): seconds=$compression_seconds"

  local job_median wine7z_median wine7z_mt_median
  job_median=$(bench_job_median "${job_times[@]}")
  wine7z_median=$(bench_job_median "${wine7z_times[@]}")
  wine7z_mt_median=$(bench_job_median "${wine7z_mt_times[@]}")
  echo "medians of $runs runs: job=$job_median 7za.exe=$wine7z_median 7za.exe_mt=$wine7z_mt_median seconds"
  echo "job_ms_per_empty_file_unwatched $(bench_job_field ms_per_file "$empty_unwatched")"
  echo "7z_wine_ms_per_empty_file $(awk -v s="$wine7z_empty_seconds" 'BEGIN { printf "%.4f\n", s * 1000 / 5000 }')"
  echo "job_compression_seconds $compression_seconds"
  echo "job_vs_7z_native_time $(bench_job_ratio "$job_median" "$native7z_seconds")"
  echo "job_vs_7z_native_size $(bench_job_ratio "$job_bytes" "$native7z_bytes")"
  if [ "$scale" != 0 ]; then
    local per10k per100k
    per10k=$(bench_job_field ms_per_file "$many10k")
    per100k=$(bench_job_field ms_per_file "$many100k")
    echo "job_ms_per_file_10k $per10k"
    echo "job_ms_per_file_100k $per100k"
    echo "job_per_file_100k_vs_10k $(bench_job_ratio "$per100k" "$per10k")"
    echo "job_peak_mb_4_5gib $(bench_job_field peak_mb "$huge")"
  fi
  echo "job_vs_7z_wine_time $(bench_job_ratio "$job_median" "$wine7z_median")"
  echo "job_vs_7z_wine_mt_time $(bench_job_ratio "$job_median" "$wine7z_mt_median")"
  echo "job_vs_7z_wine_size $(bench_job_ratio "$job_bytes" "$wine7z_bytes")"
  echo "job_ms_per_empty_file $(bench_job_field ms_per_file "$empty")"
  echo "job_peak_mb $(bench_job_max "${job_peaks[@]}")"
}
