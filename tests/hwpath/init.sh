#!/bin/sh
# /init of the guest that tests/hwpath/run.sh boots: checks pinprobe-cli against the kernel's
# printer-port drivers and QEMU's emulated ports, prints one "HWPATH:" line per check on the
# console, then powers off. The boot to run comes from "hwpath=NAME" on the kernel command line.

# It rewrites /etc/passwd and /etc/group and mounts over /tmp: only ever as the guest's first
# process, never on a host.
if [ "$$" != 1 ]; then
    echo "init.sh: refused: this is the QEMU guest's /init; run tests/hwpath/run.sh instead" >&2
    exit 1
fi

PATH=/bin
export PATH

cli=/bin/pinprobe-cli
size=5000   # samples per capture
user=tester # in group lp, without CAP_SYS_RAWIO: goes through ppdev
# A port report has to tell the user what to do; one of these words shows that it does.
remedy_words='sudo|modprobe|adduser|setcap|rmmod|firmware|BIOS'

passed=0
failed=0
why=

pass() {
    passed=$((passed + 1))
    echo "HWPATH: PASS $boot/$1"
}

fail() {
    failed=$((failed + 1))
    echo "HWPATH: FAIL $boot/$1: $2"
}

info() { echo "HWPATH: INFO $*"; }

# check NAME COMMAND...: the command returns 0 for a pass, or sets $why and returns 1.
check() {
    name=$1
    shift
    why=
    if "$@"; then pass "$name"; else fail "$name" "${why:-failed}"; fi
}

# The first 200 characters of a file on one line, for a failure's detail.
oneline() { tr '\n' ' ' <"$1" | cut -c1-200; }

start_system() {
    /bin/busybox --install -s /bin
    mount -t proc proc /proc
    mount -t sysfs sysfs /sys
    mount -t devtmpfs devtmpfs /dev
    mount -t securityfs securityfs /sys/kernel/security 2>/dev/null
    mount -t tmpfs -o mode=1777 tmpfs /tmp
    exec </dev/console >/dev/console 2>&1
    # Driver messages must not split the result lines.
    dmesg -n 1
    boot=$(sed -n 's/.*hwpath=\([^ ]*\).*/\1/p' /proc/cmdline)
    printf 'root:x:0:0::/:/bin/sh\n%s:x:1000:1000::/tmp:/bin/sh\n' "$user" >/etc/passwd
    printf 'root:x:0:\nlp:x:7:%s\n%s:x:1000:\n' "$user" "$user" >/etc/group
}

run_as() {
    who=$1
    shift
    if [ "$who" = root ]; then
        timeout 30 "$@"
    else
        timeout 30 su -s /bin/sh -c 'exec "$0" "$@"' -- "$who" "$@"
    fi
}

# load_module NAME [PARAMETERS]
load_module() {
    # shellcheck disable=SC2086 # the parameters are words of their own
    insmod "/lib/modules/$1.ko" ${2:-} || {
        why="insmod $1 failed"
        return 1
    }
}

# load_port_drivers [PARPORT_PC_PARAMETERS]
load_port_drivers() { load_module parport && load_module parport_pc "${1:-}" && load_module ppdev; }

# --- ports as the kernel and the hardware show them, independent of pinprobe-cli ------------

base_of() { [ "$1" = lpt1 ] && echo 888 || echo 632; }
status_address_of() { [ "$1" = lpt1 ] && echo 889 || echo 633; }
other_port() { [ "$1" = lpt1 ] && echo lpt2 || echo lpt1; }
lpt_name() { [ "$1" = lpt1 ] && echo LPT1 || echo LPT2; }
hex_of() { echo "0x$(printf %x "$1")"; }

# The first number of parportN/base-addr. The kernel answers only a read from offset 0, so the
# file is read whole (the shell's own read takes a byte at a time).
base_addr() {
    text=$(cat "$1/base-addr")
    echo "${text%%[[:space:]]*}"
}

# The /dev/parportN node of the port whose base is $1 (decimal), from the kernel's listing.
node_at() {
    for dir in /proc/sys/dev/parport/parport*; do
        [ -r "$dir/base-addr" ] || continue
        base=$(base_addr "$dir")
        if [ "$base" = "$1" ]; then
            echo "/dev/${dir##*/}"
            return 0
        fi
    done
    return 1
}

node_of() { node_at "$(base_of "$1")"; }

# The byte the ppdev captures of PORT read, empty before one worked.
ppdev_byte() { eval "echo \${ppdev_$1:-}"; }

# The byte at I/O address $1 (decimal) through /dev/port, as two hex digits.
port_byte() { dd if=/dev/port bs=1 skip="$1" count=1 2>/dev/null | od -An -tx1 | tr -d ' \n'; }

# Writes control register value $2 (octal escape) of the port whose base is $1 (decimal).
write_control() { printf '%b' "$2" | dd of=/dev/port bs=1 seek=$(($1 + 2)) count=1 conv=notrunc 2>/dev/null; }

# Device nodes as Debian's udev makes them: group lp may read and write.
share_nodes() {
    for node in /dev/parport*; do
        [ -e "$node" ] || continue
        chgrp lp "$node" && chmod 0660 "$node"
    done
}

# --- captures --------------------------------------------------------------------------------

# capture WHO PORT SPEED LABEL [SIZE]: leaves /tmp/LABEL.{sco,stdout,stderr,rc,info}.
capture() {
    out=/tmp/$4
    rm -f "$out".*
    run_as "$1" "$cli" capture -o "$out.sco" --port "$2" --size "${5:-$size}" --speed "$3" \
        >"$out.stdout" 2>"$out.stderr"
    echo $? >"$out.rc"
    run_as root "$cli" info "$out.sco" >"$out.info" 2>&1
}

# Reads the scope file of capture LABEL: sets $count and $bytes (its distinct sample bytes).
read_samples() {
    file=/tmp/$1.sco
    if [ ! -s "$file" ]; then
        why="no file written (exit $(cat "/tmp/$1.rc"): $(oneline "/tmp/$1.stderr"))"
        return 1
    fi
    magic=$(dd if="$file" bs=1 count=4 2>/dev/null)$(dd if="$file" bs=1 skip=8 count=8 2>/dev/null)
    if [ "$magic" != RIFFSCOPdata ]; then
        why="$file is not a scope file"
        return 1
    fi
    count=$(od -An -tu4 -j16 -N4 "$file" | tr -d ' ')
    listed=$(sed -n '1s/^samples: *//p' "/tmp/$1.info")
    if [ "$listed" != "$count" ]; then
        why="info says '$(head -n 1 "/tmp/$1.info")' of a file holding $count samples"
        return 1
    fi
    if [ "$count" -lt $((size - 1)) ] || [ "$count" -gt "$size" ]; then
        why="$count samples kept of $size"
        return 1
    fi
    bytes=$(od -An -tx1 -v -j20 -N"$count" "$file" | tr -s ' \n' '\n\n' | grep . | sort -u |
        tr '\n' ' ')
    bytes=${bytes% }
}

# steady_capture LABEL [NOTE]: a capture that worked: exit 0, no report (or only one matching
# NOTE), and every sample the same byte, left in $byte.
steady_capture() {
    rc=$(cat "/tmp/$1.rc")
    if [ "$rc" != 0 ]; then
        why="exit $rc: $(oneline "/tmp/$1.stderr")"
        return 1
    fi
    if [ -n "${2:-}" ] && ! grep -qE "$2" "/tmp/$1.stderr"; then
        why="no '$2' on stderr: $(oneline "/tmp/$1.stderr")"
        return 1
    fi
    if [ -z "${2:-}" ] && [ -s "/tmp/$1.stderr" ]; then
        why="unexpected report: $(oneline "/tmp/$1.stderr")"
        return 1
    fi
    read_samples "$1" || return 1
    byte=$bytes
    case $byte in
    *' '*)
        why="a port at rest read as several bytes: $byte"
        return 1
        ;;
    ff)
        why="every sample is ff, what an absent port reads"
        return 1
        ;;
    esac
}

# same_byte LABEL EXPECTED WHAT: the steady byte of LABEL equals EXPECTED (read through WHAT).
same_byte() {
    if [ -z "$2" ]; then
        why="nothing to compare with: reading through $3 failed"
        return 1
    fi
    if [ "$byte" != "$2" ]; then
        why="read $byte, $3 reads $2"
        return 1
    fi
}

# refused_capture LABEL PORT [PATTERN]: a capture that could not open PORT exits 3, writes no
# file and reports on stderr: naming the port, saying what to do, and matching PATTERN (the
# remedy for the error the capture met).
refused_capture() {
    rc=$(cat "/tmp/$1.rc")
    report=/tmp/$1.stderr
    if [ "$rc" != 3 ]; then
        why="exit $rc, not 3: $(oneline "$report")"
        return 1
    fi
    if [ -e "/tmp/$1.sco" ]; then
        why="a file was written"
        return 1
    fi
    if ! grep -qiE "$2|0x$(printf %x "$(base_of "$2")")" "$report"; then
        why="no report naming $2 on stderr: '$(oneline "$report")'"
        return 1
    fi
    if ! grep -qE "$remedy_words" "$report"; then
        why="report without a remedy: '$(oneline "$report")'"
        return 1
    fi
    if [ -n "${3:-}" ] && ! grep -qE "$3" "$report"; then
        why="report without '$3': '$(oneline "$report")'"
        return 1
    fi
}

# The messages of capture LABEL, for the log: what a user sees in that case.
show_messages() {
    while IFS= read -r line; do
        info "message $1: $line"
    done <"/tmp/$1.stderr"
}

# names_port LABEL TEXT: capture LABEL printed "port: TEXT".
names_port() {
    named=$(sed -n 's/^port: //p' "/tmp/$1.stdout")
    [ "$named" = "$2" ] || {
        why="port '$named', not '$2'"
        return 1
    }
}

# --- checks ----------------------------------------------------------------------------------

two_ports_listed() {
    lpt1_node=$(node_of lpt1) && lpt2_node=$(node_of lpt2) || {
        why="ports: $(cat /proc/sys/dev/parport/parport*/base-addr 2>/dev/null | tr '\n' ' ')"
        return 1
    }
    [ -c "$lpt1_node" ] && [ -c "$lpt2_node" ] || {
        why="no device nodes: $(echo /dev/parport*)"
        return 1
    }
    order=
    for number in 0 1; do
        order="$order parport$number=0x$(printf %x "$(base_addr "/proc/sys/dev/parport/parport$number")")"
    done
    info "order$order"
}

no_ports_listed() {
    listed=$(ls -d /proc/sys/dev/parport/parport* 2>/dev/null | tr '\n' ' ')
    [ -z "$listed" ] || {
        why="ports listed: $listed"
        return 1
    }
}

user_unprivileged() {
    caps=$(run_as "$user" sed -n 's/^CapEff:[[:space:]]*//p' /proc/self/status)
    groups=" $(run_as "$user" id -G) "
    case $groups in *' 7 '*) ;; *)
        why="$user is not in group lp: $groups"
        return 1
        ;;
    esac
    [ -n "$caps" ] && [ -z "$(echo "$caps" | tr -d 0)" ] || {
        why="$user has capabilities $caps"
        return 1
    }
}

lockdown_on() {
    grep -q '\[integrity\]' /sys/kernel/security/lockdown 2>/dev/null || {
        why="lockdown: $(cat /sys/kernel/security/lockdown 2>&1)"
        return 1
    }
}

# ppdev_reads PORT SPEED: only PORT's node is open to group lp, so a capture that opens another
# node fails. Leaves the byte in ppdev_lpt1 / ppdev_lpt2.
ppdev_reads() {
    own=$(node_of "$1") && others=$(node_of "$(other_port "$1")") || {
        why="the kernel lists no such ports"
        return 1
    }
    chmod 0600 "$others"
    capture "$user" "$1" "$2" "$1-ppdev-$2"
    chmod 0660 "$others"
    steady_capture "$1-ppdev-$2" || return 1
    names_port "$1-ppdev-$2" "$(lpt_name "$1") is $own at $(hex_of "$(base_of "$1")"), read through ppdev" ||
        return 1
    previous=$(ppdev_byte "$1")
    [ -z "$previous" ] || same_byte "$1-ppdev-$2" "$previous" "the other ppdev capture" || return 1
    eval "ppdev_$1=\$byte"
}

# ppdev_refused PORT: PORT's node closed to group lp, as when the user is not in it yet.
ppdev_refused() {
    own=$(node_of "$1") || {
        why="the kernel lists no such port"
        return 1
    }
    chmod 0600 "$own"
    capture "$user" "$1" fastest "$1-ppdev-refused"
    chmod 0660 "$own"
    refused_capture "$1-ppdev-refused" "$1" '(group|adduser).*\<lp\>'
}

# direct_reads PORT SPEED LABEL: as root, the same byte as ppdev and as /dev/port.
direct_reads() {
    capture root "$1" "$2" "$3"
    steady_capture "$3" || return 1
    same_byte "$3" "$(ppdev_byte "$1")" ppdev || return 1
    same_byte "$3" "$(port_byte "$(status_address_of "$1")")" /dev/port
}

# With both ports at rest the two registers read alike; a strobe (select, init and strobe in
# the control register) changes LPT2's status on QEMU's port, so a capture that reads the wrong
# address shows.
direct_addresses() {
    write_control 632 '\015'
    lpt1_now=$(port_byte 889)
    lpt2_now=$(port_byte 633)
    capture root lpt1 fastest lpt1-direct-apart
    capture root lpt2 fastest lpt2-direct-apart
    write_control 632 '\010' # init low puts QEMU's status back at rest
    write_control 632 '\014'
    if [ "$lpt1_now" = "$lpt2_now" ]; then
        why="the strobe did not set LPT2 apart: both read $lpt1_now"
        return 1
    fi
    steady_capture lpt1-direct-apart && same_byte lpt1-direct-apart "$lpt1_now" /dev/port &&
        steady_capture lpt2-direct-apart && same_byte lpt2-direct-apart "$lpt2_now" /dev/port
}

lp_device_on() {
    for device in "/proc/sys/dev/parport/$1/devices"/lp*; do
        [ -e "$device" ] && return 0
    done
    return 1
}

lp_registered() {
    load_module lp || return 1
    for port in lpt1 lpt2; do
        node=$(node_of "$port") || return 1
        lp_device_on "${node#/dev/}" || {
            why="lp did not register on ${node#/dev/}"
            return 1
        }
    done
}

exclusive_refusals() { dmesg | grep -c 'cannot grant exclusive access' || true; }

# ppdev_with_lp PORT: lp holds the port, so the exclusive claim is refused and the shared one
# has to read the same byte as before.
ppdev_with_lp() {
    refusals=$(exclusive_refusals)
    capture "$user" "$1" fastest "$1-ppdev-lp"
    steady_capture "$1-ppdev-lp" || return 1
    same_byte "$1-ppdev-lp" "$(ppdev_byte "$1")" "ppdev without lp" || return 1
    [ "$(exclusive_refusals)" -gt "$refusals" ] || {
        why="no exclusive claim was tried"
        return 1
    }
}

# direct_refused PORT: under lockdown root gets the byte through ppdev, after the kernel
# refused direct I/O.
direct_refused() {
    refusals=$(lockdown_refusals)
    capture root "$1" fastest "$1-direct-lockdown"
    steady_capture "$1-direct-lockdown" || return 1
    same_byte "$1-direct-lockdown" "$(ppdev_byte "$1")" ppdev || return 1
    [ "$(lockdown_refusals)" -gt "$refusals" ] || {
        why="direct I/O was not tried (no lockdown refusal in the kernel log)"
        return 1
    }
}

lockdown_refusals() { dmesg | grep -c 'raw io port access is restricted' || true; }

# no_way_in PORT: under lockdown and without its node, root cannot open the port at all.
no_way_in() {
    own=$(node_of "$1") || {
        why="the kernel lists no such port"
        return 1
    }
    mv "$own" /tmp/hidden-node
    capture root "$1" fastest "$1-no-way"
    mv /tmp/hidden-node "$own"
    refused_capture "$1-no-way" "$1" '[Ll]ockdown'
}

# absent_reported WHO PORT LABEL [PATTERN]
absent_reported() {
    capture "$1" "$2" fastest "$3"
    refused_capture "$3" "$2" "${4:-}"
}

# An existing file of the name a capture without a port was given stays as it was.
old_file_kept() {
    echo "an earlier recording" >/tmp/old-file.sco
    run_as root "$cli" capture -o /tmp/old-file.sco >/dev/null 2>&1
    rc=$?
    [ "$rc" = 3 ] && [ "$(cat /tmp/old-file.sco)" = "an earlier recording" ] || {
        why="exit $rc, file now '$(oneline /tmp/old-file.sco)'"
        return 1
    }
}

# A link that another user planted in the sticky /tmp, to a file of root's: the kernel
# (fs.protected_symlinks) does not follow it for root, so root's capture through it is refused
# and the file stays as it was. Leaves the message in /tmp/evil.stderr.
protected_link_refused() {
    setting=$(cat /proc/sys/fs/protected_symlinks 2>/dev/null)
    info "fs.protected_symlinks=$setting"
    [ "$setting" = 1 ] || {
        why="fs.protected_symlinks is '$setting', not 1"
        return 1
    }
    mkdir -p /root && chmod 0700 /root && echo "root's file" >/root/important
    rm -f /tmp/evil.sco
    run_as "$user" ln -s /root/important /tmp/evil.sco || {
        why="$user could not make the link"
        return 1
    }
    run_as root "$cli" capture --simulate --size 100 -o /tmp/evil.sco >/dev/null 2>/tmp/evil.stderr
    rc=$?
    leftovers=$(ls -a /tmp /root | grep '\.tmp$')
    [ "$rc" = 1 ] && [ "$(cat /root/important)" = "root's file" ] && [ -L /tmp/evil.sco ] &&
        [ -z "$leftovers" ] && grep -q 'Permission denied' /tmp/evil.stderr || {
        why="exit $rc, /root/important '$(oneline /root/important)', left '$leftovers': $(oneline /tmp/evil.stderr)"
        return 1
    }
}

# Root's own link in /tmp is followed: the file it names is replaced, the link stays a link.
own_link_followed() {
    echo "an earlier recording" >/root/mine.sco
    rm -f /tmp/mine.sco
    ln -s /root/mine.sco /tmp/mine.sco
    run_as root "$cli" capture --simulate --size 100 -o /tmp/mine.sco >/dev/null 2>/tmp/mine.stderr
    rc=$?
    [ "$rc" = 0 ] && [ -L /tmp/mine.sco ] && [ "$(dd if=/root/mine.sco bs=1 count=4 2>/dev/null)" = RIFF ] || {
        why="exit $rc: $(oneline /tmp/mine.stderr)"
        return 1
    }
}

# Nanoseconds per read of capture LABEL, from the "rate:" line it printed (the capture's time
# base: the sample loop alone, gaps included).
ns_per_read() {
    awk '/^rate:/ { r = $2 } END { if (r > 0) printf "%.0f", 1e9 / r }' "/tmp/$1.stdout"
}

# Not a check: the cost of one read of LPT1 through each backend, from long Fastest captures.
# The guest is emulated, so only the ratio means something.
measure_read_cost() {
    capture "$user" lpt1 fastest cost-ppdev 200000
    capture root lpt1 fastest cost-direct 200000
    ppdev_ns=$(ns_per_read cost-ppdev)
    direct_ns=$(ns_per_read cost-direct)
    ratio=$(awk -v p="$ppdev_ns" -v d="$direct_ns" 'BEGIN { if (d > 0) printf "%.1f", p / d }')
    info "read cost at $(hex_of "$1"): ppdev ${ppdev_ns:-?} ns, direct I/O ${direct_ns:-?} ns," \
        "ratio ${ratio:-?}; $(grep '^gaps:' /tmp/cost-direct.stdout)"
}

# --- one port at a base of its own: below 0x400, or a high one as a PCI card has ---------

# Sets $one_node to the node of the one port listed, at $one_base.
one_port_listed() {
    listed=$(ls -d /proc/sys/dev/parport/parport* 2>/dev/null | wc -l)
    one_node=$(node_at "$one_base") && [ "$listed" = 1 ] || {
        why="ports: $(cat /proc/sys/dev/parport/parport*/base-addr 2>/dev/null | tr '\n' ' ')"
        return 1
    }
}

# one_port_reads WHO PORT LABEL WAY [NOTE]: a capture as WHO of --port PORT names the one port as
# LPT1, read WAY ("through ppdev", "with direct I/O"), and stores its status byte.
one_port_reads() {
    capture "$1" "$2" fastest "$3"
    steady_capture "$3" "${5:-}" || return 1
    names_port "$3" "LPT1 is $one_node at $(hex_of "$one_base"), read $4" || return 1
    same_byte "$3" "$(port_byte $((one_base + 1)))" /dev/port
}

# The capture before the drivers were loaded failed; the next one, in a new process as each
# pinprobe-cli run is, uses the port they list.
used_after_failure() {
    [ "$(cat /tmp/no-driver-ppdev.rc 2>/dev/null)" = 3 ] || {
        why="the capture before the drivers did not exit 3"
        return 1
    }
    one_port_reads "$user" lpt1 lpt1-ppdev "through ppdev"
}

# Without its node, root still reads a port above 0x3ff: with direct I/O, at the base the kernel
# lists, ppdev never opened.
direct_without_node() {
    mv "$one_node" /tmp/hidden-node
    one_port_reads root lpt1 high-no-node "with direct I/O"
    result=$?
    mv /tmp/hidden-node "$one_node"
    return $result
}

# /init run again, not as process 1, refuses at once and touches nothing.
init_refuses() {
    before=$(cat /etc/passwd)
    message=$(sh /init 2>&1)
    rc=$?
    [ "$rc" != 0 ] && [ "$(echo "$message" | wc -l)" = 1 ] && [ "$(cat /etc/passwd)" = "$before" ] || {
        why="exit $rc: $message"
        return 1
    }
}

# At rest the port never changes: the fastest capture gives up its trigger wait and says so.
trigger_gave_up() {
    out=/tmp/trigger
    rm -f "$out".*
    run_as root "$cli" capture -o "$out.sco" --size 10 --trigger 1 >"$out.stdout" 2>"$out.stderr"
    rc=$?
    [ "$rc" = 0 ] && grep -q 'trigger did not come within 3000000 reads' "$out.stderr" || {
        why="exit $rc: $(oneline "$out.stderr")"
        return 1
    }
}

# --- boots -----------------------------------------------------------------------------------

common_checks() {
    check modules load_port_drivers
    share_nodes
    check ports-listed two_ports_listed
    check user-unprivileged user_unprivileged
}

boot_two_ports() {
    common_checks
    for port in lpt1 lpt2; do
        for speed in fastest fast; do
            check "$port-ppdev-$speed" ppdev_reads "$port" "$speed"
        done
        check "$port-ppdev-refused" ppdev_refused "$port"
        for speed in fastest fast; do
            check "$port-direct-$speed" direct_reads "$port" "$speed" "$port-direct-$speed"
        done
    done
    check direct-addresses direct_addresses
    [ "$boot" != ports ] || measure_read_cost 888
    [ "$boot" != ports ] || show_messages lpt1-ppdev-refused
    check lp-registered lp_registered
    for port in lpt1 lpt2; do
        check "$port-ppdev-lp" ppdev_with_lp "$port"
        check "$port-direct-lp" direct_reads "$port" fastest "$port-direct-lp"
    done
}

boot_lockdown() {
    check lockdown lockdown_on
    common_checks
    for port in lpt1 lpt2; do
        check "$port-ppdev" ppdev_reads "$port" fastest
        check "$port-direct-refused" direct_refused "$port"
        check "$port-no-way-in" no_way_in "$port"
    done
    show_messages lpt1-no-way
}

boot_absent() {
    check lpt1-no-driver-ppdev absent_reported "$user" lpt1 lpt1-no-driver-ppdev parport_pc
    check lpt1-no-driver-direct absent_reported root lpt1 lpt1-no-driver-direct
    load_module parport && load_module ppdev
    insmod /lib/modules/parport_pc.ko 2>/dev/null # finds no port; may refuse to stay
    check no-ports-listed no_ports_listed
    for port in lpt1 lpt2; do
        check "$port-absent-ppdev" absent_reported "$user" "$port" "$port-absent-ppdev"
        check "$port-absent-direct" absent_reported root "$port" "$port-absent-direct"
    done
    check old-file-kept old_file_kept
    check protected-link-refused protected_link_refused
    check own-link-followed own_link_followed
    info "message protected-link-refused: $(oneline /tmp/evil.stderr)"
    check init-refuses init_refuses
    for label in lpt1-no-driver-ppdev lpt1-absent-ppdev lpt1-absent-direct; do
        show_messages "$label"
    done
}

boot_low_base() {
    one_base=952
    check no-driver-ppdev absent_reported "$user" lpt1 no-driver-ppdev parport_pc
    check no-driver-direct absent_reported root lpt1 no-driver-direct 'probably absent'
    check modules load_port_drivers
    share_nodes
    check port-listed one_port_listed
    check lpt1-used-after-failure used_after_failure
    check lpt1-direct one_port_reads root lpt1 lpt1-direct "with direct I/O"
    check port-device one_port_reads "$user" "$one_node" port-device "through ppdev"
    check port-base one_port_reads "$user" 0x3b8 port-base "through ppdev"
    check port-base-direct one_port_reads root 0x3b8 port-base-direct "with direct I/O"
    check lpt2-none absent_reported "$user" lpt2 lpt2-none 'No parallel port at 0x278'
    check trigger-gave-up trigger_gave_up
    for label in no-driver-ppdev no-driver-direct lpt2-none; do show_messages "$label"; done
    show_messages trigger
}

boot_high_base() {
    one_base=57344
    check no-driver-ppdev absent_reported "$user" lpt1 no-driver-ppdev parport_pc
    check modules load_port_drivers "io=0xe000 irq=none"
    share_nodes
    check port-listed one_port_listed
    check lpt1-used-after-failure used_after_failure
    check lpt1-root-direct one_port_reads root lpt1 lpt1-root "with direct I/O"
    check port-device one_port_reads "$user" "$one_node" port-device "through ppdev"
    check port-base one_port_reads "$user" 0xe000 port-base "through ppdev"
    check port-base-direct one_port_reads root 0xe000 port-base-direct "with direct I/O"
    check direct-above-0x3ff direct_without_node
    measure_read_cost 57344
}

start_system
info "boot $boot: $(uname -r), $(cat /proc/cmdline)"
case $boot in
ports | ports-swapped) boot_two_ports ;;
lockdown) boot_lockdown ;;
absent) boot_absent ;;
low-base) boot_low_base ;;
high-base) boot_high_base ;;
*) fail boot "unknown boot '$boot'" ;;
esac
info "guest up $(cut -d ' ' -f 1 /proc/uptime) s"
echo "HWPATH: DONE $boot passed=$passed failed=$failed"
sync
poweroff -f
