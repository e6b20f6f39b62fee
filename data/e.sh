#!/bin/sh
# The default print command of text reports: "e.sh <report>".
#
# The program hands over the report converted to the DOS code page (cp866),
# as the print command of statements and cash orders expects it. This script
# shows it: a UTF-8 copy beside the report ("<report>.txt") is opened with the
# program's document opener, whose command comes in KALVOR_OPENER
# (libreoffice when unset). The viewer is started in the background, so the
# report's thread does not wait for it to be closed.
#
# To print instead of showing, store another print command in the print
# dialog, for example: lp -o cpi=12 <report>
report="$1"
if [ -z "$report" ] || [ ! -f "$report" ]; then
    echo "e.sh: нет файла отчета: $report" >&2
    exit 1
fi
shown="$report.txt"
if ! iconv -f CP866 -t UTF-8 "$report" > "$shown"; then
    echo "e.sh: не удалось перекодировать $report" >&2
    exit 1
fi
opener="${KALVOR_OPENER:-libreoffice}"
# The opener is a command line of its own (a program and its options).
# shellcheck disable=SC2086
nohup $opener "$shown" > /dev/null 2>&1 &
exit 0
