#!/bin/sh
# The default print command of text reports: "e.sh %s", "%s" standing for
# the report's path (the program passes it as one argument, whatever it holds).
#
# The program hands over the report converted to the DOS code page (cp866),
# as the print command of statements and cash orders expects it. This script
# shows it: a UTF-8 copy beside the report ("<report>.txt") is opened with the
# program's document opener, whose command comes in KALVOR_OPENER
# (libreoffice when unset). The viewer is started in the background, so the
# report's thread does not wait for it to be closed. Whatever fails (no
# report, no viewer) ends the script with 1 and a line saying why, which the
# program shows.
#
# To print instead of showing, store another print command in the print
# dialog, for example: lp -o cpi=12 %s
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
set -- $opener
if ! command -v "$1" > /dev/null 2>&1; then
    echo "e.sh: не найдена программа просмотра документов: $1" >&2
    exit 1
fi
nohup "$@" "$shown" > /dev/null 2>&1 &
exit 0
