#!/usr/bin/env bash
# Starts what the tests need beside their own servers: cupsd with a PDF queue as default printer.
set -euo pipefail
if ! lpstat -r >/dev/null 2>&1 || ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  /usr/sbin/cupsd
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E
fi
lpadmin -d PDF
