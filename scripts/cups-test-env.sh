#!/bin/sh
# Prepares a local CUPS print queue that turns every job into a PDF file and
# makes it the default printer, so that printing through the system printer
# can be tested without paper. Run it as root before the test suite:
#
#     sudo scripts/cups-test-env.sh
#
# It installs what is missing, starts the scheduler (through systemd when
# the machine has it, otherwise cupsd directly, as in a container), creates
# the queue FenwoPDF on the cups-pdf backend and makes it the default. It is
# safe to run again: whatever is already in place is left as it is, and a
# queue that a failed job stopped is started again.
#
# Note that this changes the machine's default printer.
set -eu

QUEUE=FenwoPDF
PACKAGES="cups cups-bsd cups-client printer-driver-cups-pdf"

say() { printf 'cups-test-env: %s\n' "$*"; }
fail() { printf 'cups-test-env: %s\n' "$*" >&2; exit 1; }

if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || fail "must be run as root"
    exec sudo sh "$0" "$@"
fi

# 1. Packages.
missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    say "installing$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi

# 2. The scheduler.
scheduler_running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

if ! scheduler_running; then
    if [ -d /run/systemd/system ] && command -v systemctl >/dev/null 2>&1; then
        say "starting cups through systemd"
        systemctl start cups || true
    fi
fi
if ! scheduler_running; then
    say "starting cupsd"
    mkdir -p /run/cups
    /usr/sbin/cupsd
fi
i=0
until scheduler_running; do
    i=$((i + 1))
    [ "$i" -le 60 ] || fail "cupsd did not come up within 30 seconds"
    sleep 0.5
done

# 3. The PDF queue.
if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
    model=$(lpinfo -m 2>/dev/null | awk 'tolower($1) ~ /cups-pdf.*_opt\.ppd/ { print $1; exit }')
    [ -n "$model" ] || model=$(lpinfo -m 2>/dev/null | awk 'tolower($0) ~ /cups-pdf/ { print $1; exit }')
    if [ -n "$model" ]; then
        say "creating queue $QUEUE with model $model"
        lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m "$model"
    else
        ppd=$(ls /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -n 1)
        [ -n "$ppd" ] || fail "no cups-pdf printer model found"
        say "creating queue $QUEUE with $ppd"
        lpadmin -p "$QUEUE" -E -v cups-pdf:/ -P "$ppd"
    fi
fi

# A queue that a failed job stopped is started again.
cupsenable "$QUEUE"
cupsaccept "$QUEUE"

# 4. Default printer, for the server and for root's own option file.
lpadmin -d "$QUEUE"
lpoptions -d "$QUEUE" >/dev/null

out=$(awk '$1 == "Out" { print $2 }' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
say "queue $QUEUE is ready and is the default printer (cups-pdf output: ${out:-\${HOME\}/PDF})"
