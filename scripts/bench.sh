#!/usr/bin/env bash
# Measures staging and extraction against the tools a user or maintainer
# would otherwise use, the memory both hold, and the release's size; prints
# a table and writes docs/BENCHMARKS.md.
#   scripts/bench.sh          the full run (about two minutes; needs ~3 GB free)
#   scripts/bench.sh --smoke  a small run that only shows the command works
# Expects scripts/build.sh to have run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NORVANE_BUILD:-build}
smoke=false
[[ ${1:-} == --smoke ]] && smoke=true
bench=$build/native/tools/bench/norvane-bench
data=$build/bench
mkdir -p "$data"
report=docs/BENCHMARKS.md
$smoke && report=$data/BENCHMARKS.md
runs=5
$smoke && runs=1

log() { printf '%s\n' "$*" >&2; }
can_drop_caches() { sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; }
# Best (lowest) seconds of a command printing "seconds bytes rss" or timed here.
best_of() {
  local best= line
  for _ in $(seq 1 "$runs"); do
    [[ ${cold:-false} == true ]] && can_drop_caches
    line=$("$@")
    local s=${line%% *}
    if [[ -z $best ]] || awk -v a="$s" -v b="${best%% *}" 'BEGIN{exit !(a<b)}'; then best=$line; fi
  done
  echo "$best"
}
timed() {  # runs a command, prints "seconds 0 0"
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN{printf "%.6f 0 0\n", e-s}'
}
mibps() { awk -v b="$1" -v s="$2" 'BEGIN{ if (s>0) printf "%.0f", b/1048576/s; else print "-" }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b>0) printf "%.2f", a/b; else print "-" }'; }

# --- inputs -----------------------------------------------------------------
archive=$data/Kavrin.cab
ids=()
if $smoke; then
  # A sparse archive of the right length; two small payloads.
  [[ -f $archive ]] || truncate -s 897823040 "$archive"
  ids=(27 32)
elif [[ ! -s $archive || $(stat -c %b "$archive") -lt 1000000 ]]; then
  log "writing an archive of 856 MiB of incompressible data"
  head -c 897823040 /dev/urandom >"$archive"
fi
mapfile -t segments < <("$bench" segments)
total_bytes=0
for line in "${segments[@]}"; do
  read -r id offset length <<<"$line"
  if ((${#ids[@]} == 0)) || [[ " ${ids[*]} " == *" $id "* ]]; then total_bytes=$((total_bytes + length)); fi
done

zips=$data/zips
$smoke && zips=$data/zips-smoke
if [[ ! -f $zips/.done ]]; then
  rm -rf "$zips"; mkdir -p "$zips"
  python3 - "$zips" "$smoke" <<'PY'
import os, random, sys, zipfile, glob
out, smoke = sys.argv[1], sys.argv[2] == "true"
scale = 1 / 100 if smoke else 1
random.seed(7)
# Compressible binaries: the machine's own shared libraries.
budget = int(200e6 * scale)
with zipfile.ZipFile(os.path.join(out, "binaries.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for path in sorted(glob.glob("/usr/lib/x86_64-linux-gnu/*.so*")):
        if budget <= 0: break
        if os.path.islink(path) or not os.path.isfile(path): continue
        data = open(path, "rb").read()[:budget]
        z.writestr("bin/" + os.path.basename(path), data)
        budget -= len(data)
# Many small files of text.
words = open("/usr/share/dict/words").read().split() if os.path.exists("/usr/share/dict/words") else [f"word{i}" for i in range(5000)]
with zipfile.ZipFile(os.path.join(out, "small.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for i in range(int(20000 * scale) or 10):
        z.writestr(f"docs/{i // 500}/file{i}.txt", " ".join(random.choice(words) for _ in range(300)))
# Stored, incompressible.
with zipfile.ZipFile(os.path.join(out, "stored.zip"), "w", zipfile.ZIP_STORED) as z:
    for i in range(20):
        z.writestr(f"data/blob{i}.bin", os.urandom(int(10e6 * scale)))
PY
  touch "$zips/.done"
fi

# --- staging ----------------------------------------------------------------
work=$data/work
stage_with() {  # method
  rm -rf "$work"; mkdir -p "$work"
  case $1 in
    copySegment) "$bench" stage "$archive" "$work" "${ids[@]}" ;;
    buffered) "$bench" copy "$archive" "$work" "${ids[@]}" ;;
    dd) timed bash -c '
          for line in "${@:3}"; do
            read -r id offset length <<<"$line"
            if [[ -n $2 && " $2 " != *" $id "* ]]; then continue; fi
            dd if="$1" of="'"$work"'/$id" bs=4M iflag=skip_bytes,count_bytes skip="$offset" count="$length" status=none
          done' _ "$archive" "${ids[*]}" "${segments[@]}" ;;
  esac
}
declare -A stage_s stage_rss
for cache in warm cold; do
  if [[ $cache == cold ]] && ! can_drop_caches; then log "no cold-cache runs: the page cache cannot be dropped here"; continue; fi
  cold=false; [[ $cache == cold ]] && cold=true
  [[ $cache == warm ]] && stage_with copySegment >/dev/null  # warms the cache
  for method in copySegment buffered dd; do
    line=$(best_of stage_with "$method")
    stage_s[$cache,$method]=${line%% *}
    stage_rss[$cache,$method]=${line##* }
  done
done
cold=false
idle_rss=$("$bench" idle | awk '{print $3}')

# --- extraction -------------------------------------------------------------
declare -A ex_s ex_rss ex_bytes
for z in binaries small stored; do
  dest=$data/out
  for tool in extractZip unzip bsdtar; do
    extract_with() {
      rm -rf "$dest"
      case $tool in
        extractZip) "$bench" extract "$zips/$z.zip" "$dest" ;;
        unzip) mkdir -p "$dest"; timed unzip -q -o "$zips/$z.zip" -d "$dest" ;;
        bsdtar) mkdir -p "$dest"; timed bsdtar -xf "$zips/$z.zip" -C "$dest" ;;
      esac
    }
    line=$(best_of extract_with)
    ex_s[$z,$tool]=${line%% *}
    [[ $tool == extractZip ]] && { ex_rss[$z]=${line##* }; ex_bytes[$z]=$(echo "$line" | awk '{print $2}'); }
  done
done
rm -rf "$data/out" "$work"

# --- the program ------------------------------------------------------------
release=$build/i686-w64-mingw32/bin/norvane.exe
release_size=$( [[ -f $release ]] && stat -c %s "$release" || echo 0)
# Under Wine: start-up, and how long the window takes to answer while the
# worker stages and unpacks everything (the stand-in archive, Full preset).
wine_line=
if ! $smoke && [[ -f $build/standin/whole/Kavrin.cab ]]; then
  export NORVANE_STANDIN_DIR="Z:$(realpath "$build/standin" | tr / '\\')"
  wine_line=$(xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" scripts/wine-run.sh \
      "$build/x86_64-w64-mingw32/bin/norvane_tests.exe" --gtest_also_run_disabled_tests \
      --gtest_filter='Benchmark.*' 2>/dev/null | tr -d '\r' | grep '^BENCH ' || true)
fi
wine_value() { sed -n "s/.*$1=\([0-9]*\).*/\1/p" <<<"$wine_line"; }

# --- report -----------------------------------------------------------------
{
  echo "# Benchmarks"
  echo
  echo "Measured by \`scripts/bench.sh\` on $(date -u +%Y-%m-%d), $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -sr), file system $(stat -f -c %T "$data")."
  $smoke && echo && echo "**Smoke run: tiny inputs, one run each; the figures mean nothing.**"
  $smoke || { echo; echo "Each figure is the best of $runs runs. On a shared virtual machine whole runs a few minutes apart have differed by up to a fifth, most of all where the disk is written; read ratios near 1.00 as a tie."; }
  echo
  echo "## Staging: the 35 segments into a work folder ($((total_bytes / 1048576)) MiB)"
  echo
  echo "| cache | copySegment | one buffered 1 MiB loop | dd of the same byte ranges | copySegment / best other |"
  echo "|---|---|---|---|---|"
  for cache in warm cold; do
    [[ -n ${stage_s[$cache,copySegment]:-} ]] || continue
    a=${stage_s[$cache,copySegment]}; b=${stage_s[$cache,buffered]}; c=${stage_s[$cache,dd]}
    other=$(awk -v b="$b" -v c="$c" 'BEGIN{print (b<c)?b:c}')
    echo "| $cache | $(mibps "$total_bytes" "$a") MiB/s | $(mibps "$total_bytes" "$b") MiB/s | $(mibps "$total_bytes" "$c") MiB/s | $(ratio "$other" "$a") |"
  done
  echo
  echo "The last column is throughput relative to the faster of the other two (1.00 = as fast). Cold runs follow a write of 3 to /proc/sys/vm/drop_caches; in a sandbox that write may be accepted without emptying the cache, so cold figures close to the warm ones mean the cache was not dropped."
  echo
  echo "## Extraction"
  echo
  echo "| archive | extractZip | unzip | bsdtar | extractZip / faster other |"
  echo "|---|---|---|---|---|"
  for z in binaries small stored; do
    b=${ex_bytes[$z]}
    a=${ex_s[$z,extractZip]}; u=${ex_s[$z,unzip]}; t=${ex_s[$z,bsdtar]}
    other=$(awk -v u="$u" -v t="$t" 'BEGIN{print (u<t)?u:t}')
    echo "| $z ($((b / 1048576)) MiB) | $(mibps "$b" "$a") MiB/s | $(mibps "$b" "$u") MiB/s | $(mibps "$b" "$t") MiB/s | $(ratio "$other" "$a") |"
  done
  echo
  echo "binaries: the machine's own shared libraries, deflated; small: 20,000 text files of about 2 KB; stored: 200 MB of random data, not compressed."
  echo
  echo "## Memory (peak resident set)"
  echo
  echo "| | peak | over the idle process |"
  echo "|---|---|---|"
  echo "| idle process | $((idle_rss / 1024)) MiB | |"
  echo "| staging (copySegment, warm) | $((stage_rss[warm,copySegment] / 1024)) MiB | $(((stage_rss[warm,copySegment] - idle_rss) / 1024)) MiB |"
  for z in binaries small stored; do
    echo "| extracting $z | $((ex_rss[$z] / 1024)) MiB | $(((ex_rss[$z] - idle_rss) / 1024)) MiB |"
  done
  echo
  echo "Goals: staging at most the largest chunk (63,020,048 bytes, 60.1 MiB) plus 8 MiB; extraction at most 8 MiB."
  echo
  echo "## The program"
  echo
  echo "| | |"
  echo "|---|---|"
  echo "| i686 release size | $release_size bytes ($((release_size / 1024)) KiB; goal 600 KiB) |"
  if [[ -n $wine_line ]]; then
    echo "| start to window shown, under Wine | $(wine_value startup_ms) ms |"
    echo "| longest answer while installing everything, under Wine | $(wine_value longest_answer_ms) ms over $(wine_value asked) asks in $(wine_value run_ms) ms (goal 50 ms) |"
  fi
  echo
  echo "Reproduce: \`scripts/build.sh && scripts/bench.sh\`."
} >"$report"
cat "$report"
