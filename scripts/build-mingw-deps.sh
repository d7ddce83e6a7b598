#!/usr/bin/env bash
# Builds static minizip (unzip layer) and libjpeg-turbo for the MinGW-w64
# targets from Debian's source packages, into BUILD_DIR/deps/<triplet>/.
# zlib itself comes from Debian's libz-mingw-w64-dev and is not built here.
set -euo pipefail

usage() {
    cat <<'EOF'
Usage: scripts/build-mingw-deps.sh [BUILD_DIR]

Builds libminizip.a and libjpeg.a for i686-w64-mingw32 and x86_64-w64-mingw32
into BUILD_DIR/deps/<triplet>/{include,lib}. BUILD_DIR defaults to "build";
a relative BUILD_DIR is taken relative to the repository root.
Does nothing when the installed libraries are already up to date.

Environment: JOBS (parallel jobs, default: nproc),
             DEBIAN_MIRROR (default: http://deb.debian.org/debian).
EOF
}

# Pinned so that the up-to-date check needs no network; bump to pick up a
# newer Debian revision (the build fails loudly if the archive dropped it).
ZLIB_VERSION='1:1.2.13.dfsg-1'
JPEG_VERSION='1:2.1.5-2'
SUITE=bookworm
TRIPLETS=(i686-w64-mingw32 x86_64-w64-mingw32)

case ${1-} in
    -h|--help) usage; exit 0 ;;
    -*) usage >&2; exit 2 ;;
esac
[[ $# -le 1 ]] || { usage >&2; exit 2; }

script_path=$(readlink -f "${BASH_SOURCE[0]}")
repo_root=$(cd "$(dirname "$script_path")/.." && pwd)
build_arg=${1:-build}
case $build_arg in
    /*) build_dir=$build_arg ;;
    *) build_dir=$repo_root/$build_arg ;;
esac
deps=$build_dir/deps

log() { printf '[mingw-deps] %s\n' "$*" >&2; }
die() { printf '[mingw-deps] error: %s\n' "$*" >&2; exit 1; }

# Any edit to this script (flags, versions, steps) invalidates old builds.
script_hash=$(sha256sum "$script_path" | cut -d' ' -f1)
expected_stamp() {
    printf 'triplet %s\nscript-sha256 %s\nzlib %s\nlibjpeg-turbo %s\n' \
        "$1" "$script_hash" "$ZLIB_VERSION" "$JPEG_VERSION"
}

up_to_date() {
    local p=$deps/$1 f
    for f in lib/libminizip.a lib/libjpeg.a include/minizip/unzip.h \
             include/minizip/ioapi.h include/jpeglib.h include/jconfig.h \
             include/jmorecfg.h include/jerror.h stamp; do
        [[ -f $p/$f ]] || return 1
    done
    [[ $(<"$p/stamp") == "$(expected_stamp "$1")" ]]
}

stale=()
for t in "${TRIPLETS[@]}"; do
    up_to_date "$t" || stale+=("$t")
done
if [[ ${#stale[@]} -eq 0 ]]; then
    log "up to date in $deps"
    exit 0
fi

mkdir -p "$deps"
# Two builds racing on the same tree would corrupt each other's staging dirs.
exec 9>"$deps/.lock"
flock 9
# Another run may have finished the work while we waited for the lock.
stale_now=()
for t in "${stale[@]}"; do
    up_to_date "$t" || stale_now+=("$t")
done
stale=("${stale_now[@]}")
if [[ ${#stale[@]} -eq 0 ]]; then
    log "up to date in $deps"
    exit 0
fi

for tool in apt-get dpkg-source dpkg-parsechangelog cmake; do
    command -v "$tool" >/dev/null || die "missing $tool"
done
for t in "${stale[@]}"; do
    command -v "$t-gcc" >/dev/null || die "missing $t-gcc (g++-mingw-w64)"
    [[ -f /usr/$t/include/zlib.h && -f /usr/$t/lib/libz.a ]] \
        || die "missing MinGW zlib for $t (libz-mingw-w64-dev)"
done

jobs=${JOBS:-$(nproc)}
if command -v ninja >/dev/null; then generator=Ninja; else generator='Unix Makefiles'; fi

# Runs a command with its output in a log file; shows the tail on failure.
run_logged() {
    local logfile=$1; shift
    if ! "$@" >"$logfile" 2>&1; then
        tail -n 40 "$logfile" >&2
        die "command failed (full log: $logfile): $*"
    fi
}

# --- sources ----------------------------------------------------------------

zlib_src=$deps/src/zlib-${ZLIB_VERSION#*:}
jpeg_src=$deps/src/libjpeg-turbo-${JPEG_VERSION#*:}

fetch_sources() {
    local aptdir=$deps/apt dl=$deps/src/download
    mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial" "$dl"
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg opts=''
    [[ -f $keyring ]] && opts="[signed-by=$keyring] "
    printf 'deb-src %s%s %s main\n' "$opts" \
        "${DEBIAN_MIRROR:-http://deb.debian.org/debian}" "$SUITE" >"$aptdir/sources.list"
    # Private lists and cache: the system's apt state stays untouched.
    local apt=(apt-get -q
        -o "Dir::Etc::SourceList=$aptdir/sources.list"
        -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$aptdir/lists"
        -o "Dir::Cache=$aptdir/cache")
    # As root apt would try to drop to _apt, which cannot write into the tree.
    [[ $EUID -eq 0 ]] && apt+=(-o APT::Sandbox::User=root)

    log "fetching Debian source index ($SUITE)"
    run_logged "$aptdir/update.log" "${apt[@]}" update
    log "downloading zlib $ZLIB_VERSION and libjpeg-turbo $JPEG_VERSION sources"
    (cd "$dl" && run_logged "$aptdir/source.log" "${apt[@]}" source \
        --download-only --only-source "zlib=$ZLIB_VERSION" "libjpeg-turbo=$JPEG_VERSION") \
        || die "download failed; if Debian dropped a pinned version, update it at the top of $script_path"

    extract "$dl/zlib_${ZLIB_VERSION#*:}.dsc" "$zlib_src"
    extract "$dl/libjpeg-turbo_${JPEG_VERSION#*:}.dsc" "$jpeg_src"
}

# Extracts (with Debian's patches) next to the target, then renames, so a
# half-extracted tree is never mistaken for a complete one.
extract() {
    local dsc=$1 dest=$2 tmp
    [[ -d $dest ]] && return 0
    log "extracting $(basename "$dsc")"
    tmp=$(mktemp -d "$deps/src/.extract.XXXXXX")
    run_logged "$tmp.log" dpkg-source -x "$dsc" "$tmp/tree"
    mv "$tmp/tree" "$dest"
    rm -rf "$tmp" "$tmp.log"
}

if [[ ! -d $zlib_src || ! -d $jpeg_src ]]; then
    fetch_sources
else
    log "using sources in $deps/src"
fi
rm -rf "$deps/src"/.extract.*

# --- build ------------------------------------------------------------------

build_minizip() {
    local t=$1 work=$2 prefix=$3 mz=$zlib_src/contrib/minizip
    log "$t: building minizip"
    mkdir -p "$work/minizip" "$prefix/include/minizip" "$prefix/lib"
    # Sections per function, so the program keeps only what it calls; and a
    # 256 KiB read buffer instead of 16 KiB, which more than doubles the
    # speed of unpacking stored entries (measured by scripts/bench.sh).
    "$t-gcc" -O2 -ffunction-sections -fdata-sections -DUNZ_BUFSIZE=262144 -c "$mz/unzip.c" -o "$work/minizip/unzip.o"
    # ioapi.c casts 64-bit offsets to zlib's z_off_t before calling fseeko64,
    # and z_off_t is a 32-bit long on Windows: seeks past 2 GiB would fail.
    # ioapi.c calls no zlib function taking z_off_t, so widening it there
    # changes no ABI.
    "$t-gcc" -O2 -ffunction-sections -fdata-sections '-Dz_off_t=long long' -c "$mz/ioapi.c" -o "$work/minizip/ioapi.o"
    "$t-ar" rcsD "$prefix/lib/libminizip.a" "$work/minizip/unzip.o" "$work/minizip/ioapi.o"
    # The minizip/ subdirectory matches Debian's libminizip-dev layout.
    install -m 644 "$mz/unzip.h" "$mz/ioapi.h" "$prefix/include/minizip/"
}

build_jpeg() {
    local t=$1 work=$2 prefix=$3 cpu=${1%%-*} epoch
    log "$t: building libjpeg-turbo"
    # The library embeds a build date; take it from the Debian changelog so
    # rebuilds of the same source are identical.
    epoch=$(dpkg-parsechangelog -l "$jpeg_src/debian/changelog" -S Timestamp)
    # No unwind tables: no exception passes through libjpeg (its errors
    # return by longjmp and it calls back into no C++), and they were 10 KB
    # of the release. minizip keeps its own: it calls the program's file
    # functions, through which an exception may pass.
    local jpeg_cflags="-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables"
    run_logged "$work/jpeg-configure.log" env SOURCE_DATE_EPOCH="$epoch" \
        cmake -S "$jpeg_src" -B "$work/jpeg" -G "$generator" -Wno-dev \
        -DCMAKE_SYSTEM_NAME=Windows \
        -DCMAKE_SYSTEM_PROCESSOR="$cpu" \
        -DCMAKE_C_COMPILER="$t-gcc" \
        -DCMAKE_CXX_COMPILER="$t-g++" \
        -DCMAKE_RC_COMPILER="$t-windres" \
        -DCMAKE_FIND_ROOT_PATH="/usr/$t" \
        -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_C_FLAGS="$jpeg_cflags" \
        -DCMAKE_INSTALL_PREFIX="$deps/$t" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JAVA=OFF \
        -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF
    # Only the library: the command-line tools and tests are not needed, and
    # installing the headers by hand keeps build paths out of the prefix.
    run_logged "$work/jpeg-build.log" \
        cmake --build "$work/jpeg" --target jpeg-static --parallel "$jobs"
    mkdir -p "$prefix/include" "$prefix/lib"
    install -m 644 "$work/jpeg/libjpeg.a" "$prefix/lib/"
    install -m 644 "$work/jpeg/jconfig.h" "$jpeg_src/jpeglib.h" \
        "$jpeg_src/jmorecfg.h" "$jpeg_src/jerror.h" "$prefix/include/"
}

# --- verification -----------------------------------------------------------

write_check_source() {
    cat >"$1" <<'EOF'
/* Links minizip, zlib and libjpeg statically and exercises each for real. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>
#include <minizip/unzip.h>
#include <jpeglib.h>

static const char payload[] = "payload read back through minizip\n";

static void put16(unsigned char *p, unsigned v) { p[0] = v & 255; p[1] = (v >> 8) & 255; }
static void put32(unsigned char *p, unsigned long v) { put16(p, v & 0xffff); put16(p + 2, (v >> 16) & 0xffff); }

/* One deflated entry "a.txt"; built here so the check needs no zip tool. */
static size_t make_zip(unsigned char *out) {
    unsigned char def[256];
    unsigned char *p = out;
    unsigned long crc;
    size_t n, cd, clen;
    z_stream s;
    memset(&s, 0, sizeof s);
    if (deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return 0;
    s.next_in = (Bytef *)payload; s.avail_in = sizeof payload - 1;
    s.next_out = def; s.avail_out = sizeof def;
    if (deflate(&s, Z_FINISH) != Z_STREAM_END) return 0;
    clen = s.total_out;
    deflateEnd(&s);
    crc = crc32(0, (const Bytef *)payload, sizeof payload - 1);
    put32(p, 0x04034b50); put16(p + 4, 20); put16(p + 6, 0); put16(p + 8, 8);
    put16(p + 10, 0); put16(p + 12, 0x21); put32(p + 14, crc); put32(p + 18, clen);
    put32(p + 22, sizeof payload - 1); put16(p + 26, 5); put16(p + 28, 0);
    memcpy(p + 30, "a.txt", 5); n = 35;
    memcpy(out + n, def, clen); n += clen;
    cd = n; p = out + n;
    put32(p, 0x02014b50); put16(p + 4, 20); put16(p + 6, 20); put16(p + 8, 0); put16(p + 10, 8);
    put16(p + 12, 0); put16(p + 14, 0x21); put32(p + 16, crc); put32(p + 20, clen);
    put32(p + 24, sizeof payload - 1); put16(p + 28, 5); put16(p + 30, 0); put16(p + 32, 0);
    put16(p + 34, 0); put16(p + 36, 0); put32(p + 38, 0); put32(p + 42, 0);
    memcpy(p + 46, "a.txt", 5); n += 51;
    p = out + n;
    put32(p, 0x06054b50); put16(p + 4, 0); put16(p + 6, 0); put16(p + 8, 1); put16(p + 10, 1);
    put32(p + 12, n - cd); put32(p + 16, cd); put16(p + 20, 0); n += 22;
    return n;
}

static int read_back(const char *path) {
    zlib_filefunc64_def ff;
    char buf[128];
    int got;
    unzFile z;
    fill_fopen64_filefunc(&ff);
    z = unzOpen2_64(path, &ff);
    if (!z) { printf("unzOpen2_64 failed: %s\n", path); return 1; }
    if (unzLocateFile(z, "a.txt", 0) != UNZ_OK || unzOpenCurrentFile(z) != UNZ_OK) {
        printf("entry not found: %s\n", path); unzClose(z); return 1;
    }
    got = unzReadCurrentFile(z, buf, sizeof buf);
    if (unzCloseCurrentFile(z) != UNZ_OK || got != (int)(sizeof payload - 1) || memcmp(buf, payload, got)) {
        printf("bad entry data: %s\n", path); unzClose(z); return 1;
    }
    unzClose(z);
    z = unzOpen64(path);
    if (!z) { printf("unzOpen64 failed: %s\n", path); return 1; }
    unzClose(z);
    return 0;
}

static int write_zip(const char *path, long long at) {
    unsigned char zip[512];
    size_t n = make_zip(zip);
    FILE *f = fopen64(path, "wb");
    if (!n || !f) return 1;
    /* A hole in front moves every offset past 4 GiB without writing gigabytes. */
    if (at && fseeko64(f, at, SEEK_SET)) { fclose(f); return 1; }
    if (fwrite(zip, 1, n, f) != n) { fclose(f); return 1; }
    return fclose(f) != 0;
}

static int jpeg_roundtrip(void) {
    struct jpeg_compress_struct c;
    struct jpeg_decompress_struct d;
    struct jpeg_error_mgr ec, ed;
    unsigned char img[16 * 8], row[16], *mem = NULL;
    unsigned long len = 0;
    JSAMPROW rp;
    int i, bad = 0;
    for (i = 0; i < 16 * 8; i++) img[i] = (unsigned char)(i % 16 * 16);
    c.err = jpeg_std_error(&ec);
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &mem, &len);
    c.image_width = 16; c.image_height = 8; c.input_components = 1; c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    for (i = 0; i < 8; i++) { rp = img + 16 * i; jpeg_write_scanlines(&c, &rp, 1); }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);

    d.err = jpeg_std_error(&ed);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, mem, len);
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    if (d.output_width != 16 || d.output_height != 8 || d.output_components != 1) bad = 1;
    while (!bad && d.output_scanline < d.output_height) {
        rp = row;
        jpeg_read_scanlines(&d, &rp, 1);
        for (i = 0; i < 16; i++) if (abs(row[i] - i * 16) > 12) bad = 1;
    }
    jpeg_abort_decompress(&d);
    jpeg_destroy_decompress(&d);
    free(mem);
    return bad;
}

int main(void) {
    if (write_zip("small.zip", 0) || read_back("small.zip")) return 1;
    printf("minizip ok\n");
    if (write_zip("large.zip", 5LL << 30) || read_back("large.zip")) return 1;
    printf("minizip large offsets ok\n");
    if (jpeg_roundtrip()) { printf("jpeg round trip failed\n"); return 1; }
    printf("libjpeg ok (API %d)\n", JPEG_LIB_VERSION);
    return 0;
}
EOF
}

expected_output='minizip ok
minizip large offsets ok
libjpeg ok (API 62)'

wine_loader=/usr/lib/wine/wine64

verify() {
    local t=$1 work=$2 prefix=$3 exe=$2/check/check.exe
    log "$t: verifying static link"
    mkdir -p "$work/check"
    write_check_source "$work/check/check.c"
    # The project is C++: the headers must also be usable from C++.
    run_logged "$work/check/cxx.log" "$t-g++" -x c++ -fsyntax-only \
        -I"$prefix/include" "$work/check/check.c"
    run_logged "$work/check/link.log" "$t-gcc" -O2 -static -I"$prefix/include" \
        "$work/check/check.c" -o "$exe" -L"$prefix/lib" -lminizip -ljpeg -lz
    [[ $t == x86_64-* ]] || return 0
    if [[ ! -x $wine_loader ]]; then
        log "warning: $wine_loader not found (wine64); skipping the run check"
        return 0
    fi
    log "$t: running the check under wine64"
    # The project's own throwaway prefix, shared with the test runs.
    local out rc=0 wineprefix=${NORVANE_WINEPREFIX:-$deps/../wineprefix}
    [[ -d $wineprefix ]] || log "first use of $wineprefix: wine sets it up (may take a minute)"
    # The check writes a sparse 5 GiB file here; it is removed right after.
    mkdir -p "$work/check/run"
    out=$(cd "$work/check/run" &&
          WINEPREFIX=$wineprefix WINEDEBUG=-all \
          WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' \
          "$wine_loader" "$exe" 2>"$work/check/wine.log") || rc=$?
    rm -rf "$work/check/run"
    WINEPREFIX=$wineprefix /usr/lib/wine/wineserver -w 2>/dev/null || true
    out=${out//$'\r'/}
    if [[ $rc -ne 0 || $out != "$expected_output" ]]; then
        printf '%s\n' "$out" >&2
        die "$t: check program failed under wine (exit $rc; stderr in $work/check/wine.log)"
    fi
}

# --- main -------------------------------------------------------------------

for t in "${stale[@]}"; do
    start=$SECONDS
    work=$deps/tmp/$t
    prefix=$work/prefix
    rm -rf "$work"
    mkdir -p "$work"
    build_minizip "$t" "$work" "$prefix"
    build_jpeg "$t" "$work" "$prefix"
    verify "$t" "$work" "$prefix"
    expected_stamp "$t" >"$prefix/stamp"
    # Swap the finished prefix in; an interruption here at worst leaves the
    # prefix missing, which the next run rebuilds.
    rm -rf "$deps/$t.old"
    [[ -e $deps/$t ]] && mv "$deps/$t" "$deps/$t.old"
    mv "$prefix" "$deps/$t"
    rm -rf "$deps/$t.old" "$work"
    log "$t: installed into $deps/$t ($((SECONDS - start)) s)"
done
rmdir "$deps/tmp" 2>/dev/null || true
log "done"
