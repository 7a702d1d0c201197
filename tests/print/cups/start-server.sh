#!/bin/sh
# Starts a print server of our own for the tests: its own configuration,
# spool, logs and program folders under DIR, listening on 127.0.0.1:PORT only,
# with one queue, "halvex-keep", whose backend keeps every job as a file in
# DIR/jobs. The machine's own print server and its settings are not touched.
#
#   start-server.sh DIR PORT
set -eu
dir=$1
port=$2
here=$(cd "$(dirname "$0")" && pwd)
queue=halvex-keep
server=127.0.0.1:$port

for tool in cupsd lpadmin lpstat; do
  command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || {
    echo "$tool is missing: install the print server (scripts/deps.sh)" >&2; exit 1; }
done
PATH=$PATH:/usr/sbin
export PATH

# A server left over from an interrupted run of this build tree goes first.
"$here/stop-server.sh" "$dir"

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
rm -rf "$dir/conf" "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/bin" "$dir/jobs"
mkdir -p "$dir/conf/ppd" "$dir/conf/ssl" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" \
         "$dir/bin/backend" "$dir/bin/daemon" "$dir/jobs"
chmod 755 "$dir" "$dir/bin" "$dir/bin/backend" "$dir/bin/daemon"

# The print server runs its helper programs as an unprivileged user; run
# as another user it keeps that user.
if [ "$(id -u)" -eq 0 ]; then
  user=lp; group=lp
else
  user=$(id -un); group=$(id -gn)
fi

# Program folders: our backend, and the system's filters and daemon helpers.
cp "$here/keep-backend.sh" "$dir/bin/backend/keep"
chmod 700 "$dir/bin/backend/keep"   # run as root when the server is root
for program in /usr/lib/cups/daemon/*; do
  ln -s "$program" "$dir/bin/daemon/"
done
for folder in filter notifier monitor driver; do
  [ -d "/usr/lib/cups/$folder" ] && ln -s "/usr/lib/cups/$folder" "$dir/bin/$folder"
done

cat > "$dir/conf/cups-files.conf" <<CONF
User $user
Group $group
SystemGroup root
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin $dir/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
FileDevice No
CONF

cat > "$dir/conf/cupsd.conf" <<CONF
LogLevel info
Listen $server
DefaultAuthType None
Browsing Off
WebInterface No
MaxJobs 0
PreserveJobFiles No
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

setsid cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
  </dev/null >"$dir/log/cupsd.out" 2>&1 &
echo $! > "$dir/cupsd.pid"

tries=0
until lpstat -h "$server" -r 2>/dev/null | grep -qx "scheduler is running"; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ] || ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
    echo "the test print server did not start; its logs:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    exit 1
  fi
  sleep 0.1
done

ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
[ -f "$ppd" ] || { echo "$ppd is missing: install cups-filters" >&2; exit 1; }
lpadmin -h "$server" -p "$queue" -E -v "keep:$dir/jobs" -P "$ppd" \
  -o media-default=A4 -o printer-error-policy=abort-job 2>&1 | grep -v -i deprecated >&2 || true
lpstat -h "$server" -p "$queue" >/dev/null
echo "print server on $server, queue $queue, jobs kept in $dir/jobs"
