#!/bin/sh
# Renders a filled sample of each pay statement form for a look: the demo
# firm's month computed and printed as form T-53 and form 0504403, converted
# to PDF by LibreOffice and to one PNG picture per sheet.
#   build/pay-statement-t53.pdf, build/pay-statement-t53-<sheet>.png
#   build/pay-statement-0504403.pdf, build/pay-statement-0504403-<sheet>.png
# Needs a configured build folder (sh tools/test.sh), LibreOffice
# (sh tools/setup.sh --viewer) and poppler-utils.
set -e
cd "$(dirname "$0")/.."
for tool in soffice pdftoppm pdftotext; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
cmake --build build --target test_print
QT_QPA_PLATFORM=offscreen build/tests/test_print --gtest_filter='PayStatementPdf.DemoFirmsMonthInBothForms'
for form in t53 0504403; do
  rm -f build/pay-statement-$form-*.png
  pdftoppm -png -r 80 build/pay-statement-$form.pdf build/pay-statement-$form
  ls build/pay-statement-$form.pdf build/pay-statement-$form-*.png
done
