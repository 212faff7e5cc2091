# Sourced around the Windows tests: starts a printing system of this run's own (its own
# socket, spool and configuration under /tmp, so that parallel runs do not meet) with
# one PDF printer, "PDF", the default. Jobs land as PDF files in $PAIREX_PDF_OUT.
# printer_env_stop ends it. When this machine cannot print, PAIREX_PRINTER_UNAVAILABLE
# says why, and the printing tests skip with that reason.
printer_env_unavailable() {
    export PAIREX_PRINTER_UNAVAILABLE="$1"
    echo "printer-env: no PDF printer: $1" >&2
}

printer_env_start() {
    unset PAIREX_PRINTER_UNAVAILABLE PAIREX_PDF_OUT
    PRINTER_ENV_BASE="" PRINTER_ENV_CUPSD="" PRINTER_ENV_CONF=""
    local tool
    for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/backend/cups-pdf \
        /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/bin/pdftotext /usr/bin/pdfinfo /usr/bin/pdftoppm; do
        [ -e "$tool" ] || { printer_env_unavailable "$tool is missing (scripts/setup.sh installs it)"; return 0; }
    done
    # The PDF backend runs as root and reads its settings from /etc/cups only.
    [ "$(id -u)" -eq 0 ] || { printer_env_unavailable "the PDF printer needs root"; return 0; }
    local base
    base=$(mktemp -d /tmp/pairex-cups.XXXXXX) || { printer_env_unavailable "no temporary folder"; return 0; }
    PRINTER_ENV_BASE=$base
    chmod 755 "$base"
    mkdir -p "$base"/{etc,spool,cache,state,tmp,log,pdf}
    # Filters run as an unprivileged user and the PDFs are written as the job's user.
    chmod 1777 "$base/tmp" "$base/pdf"
    cat >"$base/etc/cupsd.conf" <<EOC
Listen $base/cups.sock
LogLevel warn
WebInterface No
Browsing No
DefaultPolicy open
<Policy open>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOC
    cat >"$base/etc/cups-files.conf" <<EOC
ServerRoot $base/etc
RequestRoot $base/spool
CacheDir $base/cache
StateDir $base/state
TempDir $base/tmp
AccessLog $base/log/access_log
ErrorLog $base/log/error_log
PageLog $base/log/page_log
Printcap $base/printcap
SystemGroup root
FileDevice No
EOC
    # The backend takes the name after "cups-pdf:/" as the name of its own settings file.
    local name="pairex_${base##*.}"
    PRINTER_ENV_CONF="/etc/cups/cups-pdf-$name.conf"
    printf 'Out %s\nLabel 2\nLog %s\n' "$base/pdf" "$base/log" >"$PRINTER_ENV_CONF"
    /usr/sbin/cupsd -f -c "$base/etc/cupsd.conf" -s "$base/etc/cups-files.conf" \
        </dev/null >"$base/log/cupsd.out" 2>&1 &
    PRINTER_ENV_CUPSD=$!
    export CUPS_SERVER="$base/cups.sock"
    local i
    for i in $(seq 100); do
        lpstat -r 2>/dev/null | grep -q 'is running' && break
        sleep 0.1
    done
    if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
        printer_env_unavailable "the printing system did not start: $(tail -n 3 "$base/log/error_log" "$base/log/cupsd.out" 2>/dev/null | tr '\n' ' ')"
        printer_env_stop
        return 0
    fi
    if ! lpadmin -p PDF -E -v "cups-pdf:/$name" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
        ! lpadmin -d PDF; then
        printer_env_unavailable "the PDF printer could not be added"
        printer_env_stop
        return 0
    fi
    export PAIREX_PDF_OUT="$base/pdf"
    echo "printer-env: PDF printer ready, jobs go to $PAIREX_PDF_OUT"
}

printer_env_stop() {
    if [ -n "${PRINTER_ENV_CUPSD:-}" ]; then
        kill "$PRINTER_ENV_CUPSD" 2>/dev/null || true
        wait "$PRINTER_ENV_CUPSD" 2>/dev/null || true
    fi
    if [ -n "${PRINTER_ENV_CONF:-}" ]; then rm -f "$PRINTER_ENV_CONF"; fi
    if [ -n "${PRINTER_ENV_BASE:-}" ]; then rm -rf "$PRINTER_ENV_BASE"; fi
    PRINTER_ENV_CUPSD="" PRINTER_ENV_CONF="" PRINTER_ENV_BASE=""
    unset CUPS_SERVER PAIREX_PDF_OUT
}

printer_env_start
