#!/usr/bin/env bash
# Checks pinprobe-cli's port access against a real kernel: boots Debian's current amd64 kernel
# under QEMU (TCG) with emulated printer ports, once per set-up, and runs tests/hwpath/init.sh
# inside. Fails when a check fails or a boot gives no result in time; skips (exit 0) when the
# kernel package cannot be had or pinprobe-cli cannot be built.
#
# Usage: tests/hwpath/run.sh [PINPROBE_CLI]
#   Without an argument pinprobe-cli is built in build/hwpath. It goes into the guest with the
#   shared libraries it links, which the guest's loader finds at the host's paths. The decoder
#   library and libzip, opened only to decode and to write a sigrok session, stay out.
# Needs: qemu-system-x86, busybox-static, cpio, apt-get (and apt lists for the kernel package).
# HWPATH_WORK (default build/hwpath) keeps the kernel between runs; HWPATH_BOOT_TIMEOUT
# (seconds, default 120) bounds each boot.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=${HWPATH_WORK:-$repo/build/hwpath}
boot_timeout=${HWPATH_BOOT_TIMEOUT:-120}
kernel_modules=(parport parport_pc ppdev lp)

skip() {
    echo "hwpath: SKIP: $*"
    exit 0
}

die() {
    echo "hwpath: $*" >&2
    exit 1
}

is_static() { ! readelf -l "$1" 2>/dev/null | grep -q 'program interpreter'; }

require_tools() {
    local tool
    for tool in qemu-system-x86_64 busybox cpio gzip dpkg-deb apt-get apt-cache readelf strip timeout; do
        command -v "$tool" >/dev/null || die "$tool is missing (install qemu-system-x86, busybox-static, cpio)"
    done
    is_static "$(command -v busybox)" || die "busybox is not the static one (install busybox-static)"
}

# Sets $cli to a pinprobe-cli: the argument, or one built here.
find_cli() {
    if [ $# -gt 0 ]; then
        [ -x "$1" ] || die "$1 is not an executable"
        cli=$(realpath "$1")
        return
    fi
    local build=$work/build-shared
    cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPINPROBE_BUILD_GUI=OFF \
        -DPINPROBE_BUILD_TESTS=OFF -DPINPROBE_BUILD_BENCH=OFF >"$work/cmake.log" 2>&1 ||
        skip "pinprobe-cli cannot be built: the CMake configuration failed (see $work/cmake.log)"
    local targets
    targets=$(cmake --build "$build" --target help 2>/dev/null || true)
    grep -qE '(^|[[:space:]])pinprobe-cli(:|[[:space:]]|$)' <<<"$targets" ||
        skip "pinprobe-cli cannot be built: the project has no target pinprobe-cli"
    cmake --build "$build" --target pinprobe-cli -j2
    cli=$(find "$build" -type f -name pinprobe-cli -perm -u+x | head -n 1)
    [ -n "$cli" ] || die "the build gave no pinprobe-cli"
}

# Copies the shared libraries `binary` loads, and the loader, to the same paths under `root`.
copy_shared_libraries() {
    local binary=$1 root=$2 library
    is_static "$binary" && return
    for library in $(ldd "$binary" | grep -oE '/[^ ]+' | sort -u); do
        mkdir -p "$root$(dirname "$library")"
        cp -L "$library" "$root$library"
    done
}

# The real package behind the metapackage, e.g. linux-image-6.1.0-57-amd64.
kernel_package() {
    { apt-cache depends linux-image-amd64 2>/dev/null || true; } |
        sed -n '/^ *Depends: <\{0,1\}linux-image-/{s/^ *Depends: <\{0,1\}\([^ >]*\).*/\1/p;q}'
}

# Leaves vmlinuz and the modules (uncompressed NAME.ko) in $work/kernel/PACKAGE_VERSION/.
fetch_kernel() {
    local package cache=$work/kernel
    package=$(kernel_package)
    if [ -z "$package" ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        package=$(kernel_package)
    fi
    [ -n "$package" ] || skip "kernel package: apt knows no linux-image-amd64 to resolve"
    mkdir -p "$cache"
    local deb
    deb=$(find "$cache" -maxdepth 1 -name "${package}_*_amd64.deb" | head -n 1)
    if [ -z "$deb" ]; then
        find "$cache" -maxdepth 1 -name 'linux-image-*' -exec rm -rf {} +
        (cd "$cache" && apt-get download -q "$package") >"$cache/download.log" 2>&1 ||
            skip "kernel package $package cannot be downloaded ($(tail -n 1 "$cache/download.log"))"
        deb=$(find "$cache" -maxdepth 1 -name "${package}_*_amd64.deb" | head -n 1)
        [ -n "$deb" ] || die "apt-get download left no ${package}_*_amd64.deb in $cache"
    fi
    kernel=$cache/$(basename "$deb" .deb)
    [ -f "$kernel/vmlinuz" ] || unpack_kernel "$deb" "$kernel"
}

unpack_kernel() {
    local deb=$1 target=$2 tree=$2.tree
    rm -rf "$tree" "$target"
    mkdir -p "$tree" "$target"
    dpkg-deb -x "$deb" "$tree"
    local module file
    for module in "${kernel_modules[@]}"; do
        file=$(find "$tree" -path '*/kernel/drivers/*' -name "$module.ko*" | head -n 1)
        [ -n "$file" ] || die "$module is not in $(basename "$deb")"
        case $file in
        *.ko) cp "$file" "$target/$module.ko" ;;
        *.ko.xz) xz -dc "$file" >"$target/$module.ko" ;;
        *.ko.zst) zstd -qdc "$file" >"$target/$module.ko" ;;
        *.ko.gz) gzip -dc "$file" >"$target/$module.ko" ;;
        *) die "unknown module compression: $file" ;;
        esac
    done
    cp "$(find "$tree/boot" -name 'vmlinuz-*' | head -n 1)" "$target/vmlinuz.part"
    mv "$target/vmlinuz.part" "$target/vmlinuz"
    rm -rf "$tree"
}

build_initramfs() {
    local cli=$1 root=$work/initramfs
    rm -rf "$root"
    mkdir -p "$root"/{bin,dev,etc,lib/modules,proc,sys,tmp}
    cp "$(command -v busybox)" "$root/bin/busybox"
    ln -s busybox "$root/bin/sh"
    # The guest needs no debug information: a smaller initramfs boots sooner.
    strip --strip-debug -o "$root/bin/pinprobe-cli" "$cli"
    copy_shared_libraries "$cli" "$root"
    cp "$here/init.sh" "$root/init"
    chmod 0755 "$root/init"
    cp "$kernel"/*.ko "$root/lib/modules/"
    (cd "$root" && find . | LC_ALL=C sort | cpio -o -H newc -R 0:0 --quiet) | gzip -1 >"$work/initrd.gz"
}

# boot NAME KERNEL_ARGUMENTS QEMU_ARGUMENTS...: starts a boot that leaves the console in
# $work/NAME.log and its exit status and tenths of a second in $work/NAME.status. QEMU's TCG keeps
# one core busy, so as many boots run at once as there are cores; read_boots waits for them.
boot() {
    local name=$1 append=$2
    shift 2
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
    boots+=("$name")
    rm -f "$work/$name.status"
    run_boot "$name" "$append" "$@" &
}

run_boot() {
    local name=$1 append=$2 started status=0
    shift 2
    started=$(date +%s%N)
    # No network card: its boot ROM only costs time.
    timeout -k 5 "$boot_timeout" qemu-system-x86_64 -accel tcg -m 256 -nographic -no-reboot -nic none \
        -kernel "$kernel/vmlinuz" -initrd "$work/initrd.gz" \
        -append "console=ttyS0 panic=-1 quiet hwpath=$name $append" "$@" \
        </dev/null >"$work/$name.log" 2>&1 || status=$?
    echo "$status $((($(date +%s%N) - started) / 100000000))" >"$work/$name.status"
}

# The results of every boot started, in the order they were started.
read_boots() {
    wait
    local name status tenths
    for name in "${boots[@]}"; do
        if ! read -r status tenths 2>/dev/null <"$work/$name.status"; then
            host_check "$name/boot" fail "the boot left no status"
            continue
        fi
        read_results "$name" "$work/$name.log" "$status" "$((tenths / 10)).$((tenths % 10))"
    done
}

passed=0
failed=0
orders=()
boots=()

host_check() {
    if [ "$2" = pass ]; then
        passed=$((passed + 1))
        echo "  PASS $1"
    else
        failed=$((failed + 1))
        echo "  FAIL $1: $3"
    fi
}

read_results() {
    local name=$1 log=$2 status=$3 seconds=$4 lines
    lines=$(tr -d '\r' <"$log" | grep -ao 'HWPATH: .*' || true)
    echo "hwpath: boot $name (${seconds} s)"
    local pass fail done_line
    pass=$(grep -c '^HWPATH: PASS ' <<<"$lines" || true)
    fail=$(grep -c '^HWPATH: FAIL ' <<<"$lines" || true)
    grep -E '^HWPATH: (PASS|FAIL|INFO) ' <<<"$lines" | sed 's/^HWPATH: /  /' || true
    passed=$((passed + pass))
    failed=$((failed + fail))
    orders+=("$(sed -n 's/^HWPATH: INFO order //p' <<<"$lines")")
    done_line=$(grep '^HWPATH: DONE ' <<<"$lines" || true)
    if [ "$status" = 124 ] || [ "$status" = 137 ]; then
        host_check "$name/boot" fail "no result within $boot_timeout s; console in $log"
    elif [ -z "$done_line" ]; then
        host_check "$name/boot" fail "the guest stopped early (exit $status); console in $log"
        tail -n 20 "$log" | tr -d '\r' | sed 's/^/    | /'
    elif [ "$done_line" != "HWPATH: DONE $name passed=$pass failed=$fail" ]; then
        host_check "$name/boot" fail "result lines lost: '$done_line', read $pass passed, $fail failed"
    else
        host_check "$name/boot" pass
    fi
}

# Both orders of parport numbers must have been seen, or the match by base went untested.
check_orders() {
    local first=() order
    for order in "${orders[@]}"; do
        [ -n "$order" ] && first+=("${order%% *}")
    done
    if printf '%s\n' "${first[@]}" | grep -q 'parport0=0x378' &&
        printf '%s\n' "${first[@]}" | grep -q 'parport0=0x278'; then
        host_check orders pass
    else
        host_check orders fail "parport0 was not once at each base: ${first[*]:-none seen}"
    fi
}

main() {
    require_tools
    mkdir -p "$work"
    find_cli "$@"
    fetch_kernel
    echo "hwpath: kernel $(basename "$kernel"), pinprobe-cli $cli"
    build_initramfs "$cli"
    # QEMU's default pair: LPT1 at 0x378 and LPT2 at 0x278; the kernel numbers 0x278 first.
    boot ports "" -parallel null -parallel null
    # The same ports made in the other order, which the kernel numbers the other way round.
    boot ports-swapped "" -parallel none \
        -chardev null,id=lpt2 -device isa-parallel,chardev=lpt2,iobase=0x278,index=1 \
        -chardev null,id=lpt1 -device isa-parallel,chardev=lpt1,iobase=0x378,index=0
    boot lockdown "lockdown=integrity" -parallel null -parallel null
    boot absent "" -parallel none
    # One port below 0x400 at neither legacy base. Not at 0x3BC: QEMU's port decodes its
    # registers from the address's low three bits, so at a base that is not a multiple of 8 it
    # reads 0xFF and the kernel finds nothing. At 0x3B8, the nearest base it emulates, the
    # kernel finds it through ACPI, as an on-board port at 0x3BC is found. Its eight registers
    # would cover the display card's at 0x3BA, so there is none.
    boot low-base "" -parallel none -vga none \
        -chardev null,id=lpt -device isa-parallel,chardev=lpt,iobase=0x3b8,index=0
    # One port above 0x3FF, as a PCI card's: QEMU places an ISA port there, and parport_pc is
    # told its base (io=0xe000), as it finds a card's by itself.
    boot high-base "" -parallel none \
        -chardev null,id=lpt -device isa-parallel,chardev=lpt,iobase=0xe000,index=0
    read_boots
    check_orders
    echo "hwpath: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

main "$@"
