#!/bin/sh
# Renders a filled sample of each settlement statement form for a look: the
# demo firm's month computed and printed as forms T-51, T-49 and 0504401,
# converted to PDF by LibreOffice and to one PNG picture per sheet.
#   build/settlement-t51.pdf, build/settlement-t51-<sheet>.png
#   build/settlement-t49.pdf, build/settlement-t49-<sheet>.png
#   build/settlement-0504401.pdf, build/settlement-0504401-<sheet>.png
# Needs a configured build folder (sh tools/test.sh), LibreOffice
# (sh tools/setup.sh --viewer) and poppler-utils.
set -e
cd "$(dirname "$0")/.."
for tool in soffice pdftoppm pdftotext; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
cmake --build build --target test_print
QT_QPA_PLATFORM=offscreen build/tests/test_print --gtest_filter='SettlementStatementPdf.*'
for form in t51 t49 0504401; do
  rm -f build/settlement-$form-*.png
  pdftoppm -png -r 80 build/settlement-$form.pdf build/settlement-$form
  ls build/settlement-$form.pdf build/settlement-$form-*.png
done
