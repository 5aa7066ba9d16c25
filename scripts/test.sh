#!/usr/bin/env bash
# Builds radmtf (installing what is missing) and runs every test: the normal
# build, then the unit tests and the monkey under AddressSanitizer and UBSan,
# then the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

# Coverage-guided fuzzing of what users keep in folders and type (the DICOM
# header walk, the decoder's entry, hdc.txt, number texts), about a minute per
# target, with clang.
if command -v clang++ >/dev/null 2>&1; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
  # The decoder's seeds: compressed, deflated and big-endian files of the
  # pydicom package's test data, taken from the package rather than kept here.
  pydicom_data=/usr/lib/python3/dist-packages/pydicom/data/test_files
  mkdir -p build-fuzz/corpus/decoder
  for seed in JPEG2000.dcm MR_small_bigendian.dcm MR_small_jpeg_ls_lossless.dcm SC_rgb_rle.dcm \
      SC_rgb_small_odd_jpeg.dcm image_dfl.dcm; do
    if [[ -f "$pydicom_data/$seed" ]]; then cp -n "$pydicom_data/$seed" build-fuzz/corpus/decoder/; fi
  done
  for target in dicom_header decoder curve_file number_text; do
    mkdir -p "build-fuzz/corpus/$target"
    log="build-fuzz/$target.log"
    corpora=("build-fuzz/corpus/$target")
    if [[ -d "fuzz/corpus/$target" ]]; then corpora+=("fuzz/corpus/$target"); fi
    # The decoder runs here in the fuzzer's own process, without the address-space
    # limit its process has in the program, and keeps what its codecs leak: it
    # gets more room in all, but with its 64 MB budget any single allocation
    # over 512 MB is a gap in the budget.
    rss=2048
    limits=()
    if [[ $target == decoder ]]; then rss=8192; limits=(-malloc_limit_mb=512); fi
    if ! "build-fuzz/fuzz/${target}_fuzz" -max_total_time="${RADMTF_FUZZ_SECONDS:-60}" -rss_limit_mb="$rss" "${limits[@]}" \
        -print_final_stats=1 "${corpora[@]}" >"$log" 2>&1; then
      tail -n 60 "$log"
      echo "fuzzer $target found a fault (log: $log)"
      exit 1
    fi
    echo "fuzzer $target: $(grep -m1 stat::number_of_executed_units "$log" | awk '{print $2}') inputs, no finding"
  done
fi
