#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get and checks it as an
# administrator would find it: the command and its manual pages, the PPD where lpinfo lists it,
# every installed ELF file resolving its libraries from the system and its own place (no build
# tree named anywhere), a job printed through the installed filters by a scheduler of our own
# into a file device, and nothing of the package left after apt-get remove. Run by CI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
failures=0
fail() { echo "check-package: $*" >&2; failures=$((failures + 1)); }
step() { echo "check-package: $*"; }

deb="$("$root/scripts/build-package.sh")"
step "installing $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null
mapfile -t files < <(dpkg-query -L velmora | while read -r f; do [ -d "$f" ] || echo "$f"; done)
step "${#files[@]} files installed"

scratch="$(mktemp -d)"
cupsd_pid=
cleanup() {
    [ -z "$cupsd_pid" ] || kill "$cupsd_pid" 2>/dev/null || true
    rm -rf "$scratch"
    # A check that stopped half-way leaves no package behind either.
    if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q 'ok installed'; then
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq velmora >/dev/null || true
    fi
}
trap cleanup EXIT

# The command, outside the build tree.
(cd "$scratch" && /usr/bin/velmora --help >/dev/null) || fail "velmora --help failed"
[ "$(/usr/bin/velmora --version)" = "velmora $(dpkg-query -W -f='${Version}' velmora)" ] ||
    fail "velmora --version is not the package's version"
for page in velmora velmora-command velmora-package; do
    man -w "$page" >/dev/null 2>&1 || fail "man -w $page finds no page"
done
# Output is read whole before it is searched: under pipefail, grep -q leaving early would make
# the writer's SIGPIPE a failure of the check.
manual="$(man -P cat velmora 2>/dev/null || true)"
grep -q 'velmora - the print panel' <<<"$manual" || fail "velmora(1) does not render"

# Every ELF file finds its libraries, and no installed file names the build tree.
for f in "${files[@]}"; do
    [ -f "$f" ] && [ ! -L "$f" ] || continue
    if [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ]; then
        missing="$(ldd "$f" 2>&1 | grep 'not found' || true)"
        [ -z "$missing" ] || fail "$f: $missing"
        runpath="$(readelf -d "$f" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')"
        case "$runpath" in '' | '$ORIGIN'*) ;; *) fail "$f: RUNPATH $runpath is not relative to it" ;; esac
    fi
    if grep -q -F "$root" "$f"; then fail "$f names the build tree $root"; fi
done
for filter in velmora-command velmora-package; do
    [ "$(stat -c '%U %a' "/usr/lib/cups/filter/$filter")" = "root 755" ] ||
        fail "/usr/lib/cups/filter/$filter is not root's alone"
done

# A scheduler of our own with the system's filters, PPDs and MIME types.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$scratch"/{etc,state,cache,spool/tmp,log,out}
chmod 1777 "$scratch/spool/tmp" "$scratch/out"
chmod 755 "$scratch"
cat >"$scratch/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel debug
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$scratch/etc/cups-files.conf" <<CONF
ServerRoot $scratch/etc
StateDir $scratch/state
CacheDir $scratch/cache
RequestRoot $scratch/spool
TempDir $scratch/spool/tmp
AccessLog $scratch/log/access_log
ErrorLog $scratch/log/error_log
PageLog $scratch/log/page_log
Printcap /dev/null
FileDevice Yes
CONF
/usr/sbin/cupsd -f -c "$scratch/etc/cupsd.conf" -s "$scratch/etc/cups-files.conf" \
    >"$scratch/log/cupsd.out" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER="127.0.0.1:$port"
# lpstat -r exits 0 either way: its answer says whether the scheduler is up.
for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q 'scheduler is running' && break
    sleep 0.1
done

model="$(lpinfo -m 2>/dev/null | grep -i velmora | cut -d' ' -f1 || true)"
[ -n "$model" ] || fail "lpinfo -m lists no Velmora PPD"
device="$scratch/out/press.out"
lpadmin -p Press -E -v "file://$device" -m "${model:-velmora/VelmoraPress.ppd}" ||
    fail "lpadmin could not add a queue with the installed PPD"

printed() { # the job's state once it is done
    for _ in $(seq 300); do
        state="$(lpstat -W completed -o Press 2>/dev/null | grep -c "Press-$1 " || true)"
        [ "$state" = 1 ] && return 0
        sleep 0.1
    done
    return 1
}
job="$(HOME="$scratch" /usr/bin/velmora print /usr/share/velmora/SampleJob.pdf -d Press --no-gui \
    --set StapleMode_StapleMechanism=TopLeftCornerUseStaple | sed -n 's/^  "job": \([0-9]*\),$/\1/p' || true)"
if [ -z "$job" ] || ! printed "$job"; then
    fail "velmora's job did not print: $(lpstat -l -p Press 2>&1 | tr '\n' ' ')"
elif ! ticket="$(/usr/bin/velmora ticket "$device" 2>&1)" ||
    ! grep -q '"StapleMode": "TopLeftCorner"' <<<"$ticket"; then
    fail "the device did not receive the staple: $(grep -m1 -e StapleMode -e rror <<<"$ticket" || head -c 500 <<<"$ticket")"
fi
# A PDF from any application goes through CUPS's filters and the installed velmora-package.
rm -f "$device"
other="$(lp -d Press -o StapleMode=TopLeftCorner /usr/share/velmora/SampleJob.pdf | sed -n 's/.*Press-\([0-9]*\).*/\1/p' || true)"
if [ -z "$other" ] || ! printed "$other"; then
    fail "lp's job did not print: $(lpstat -l -p Press 2>&1 | tr '\n' ' ')"
elif ! ticket="$(/usr/bin/velmora ticket "$device" 2>&1)" ||
    ! grep -q '"StapleMode": "TopLeftCorner"' <<<"$ticket"; then
    fail "lp's job did not reach the device as a package: $(head -c 500 <<<"$ticket")"
fi
# The command filter runs (it fails to reach a print server that is not there, and says so).
refresh="$(/usr/bin/velmora refresh-lists -d Press --timeout 5 StackerInfoList 2>&1 || true)"
case "$refresh" in
    *'"failed"'*StackerInfoList*) ;;
    *) fail "velmora-command did not run: $refresh" ;;
esac
grep -q 'Filter failed\|exited with status 127' "$scratch/log/error_log" &&
    fail "a filter failed: $(grep -m3 'Filter failed\|status 127' "$scratch/log/error_log")"
kill "$cupsd_pid"
wait "$cupsd_pid" 2>/dev/null || true
cupsd_pid=
unset CUPS_SERVER

step "removing the package"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq velmora >/dev/null
for f in "${files[@]}"; do
    [ ! -e "$f" ] && [ ! -L "$f" ] || fail "$f is left after apt-get remove"
done
[ ! -e /usr/lib/velmora ] && [ ! -e /usr/share/velmora ] || fail "the package's folders are left"

if [ "$failures" -gt 0 ]; then
    echo "check-package: $failures problems" >&2
    exit 1
fi
step "the package installs, prints through its filters and removes cleanly"
