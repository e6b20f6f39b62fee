#!/bin/sh
# Renders the demo firm's personal accounts for a look: the month computed and
# printed from the portrait template "1" and the landscape template "1_1",
# converted to PDF by LibreOffice and the first two sheets of each to PNG.
#   build/personal-accounts-1.pdf, build/personal-accounts-1-<sheet>.png
#   build/personal-accounts-1_1.pdf, build/personal-accounts-1_1-<sheet>.png
# Needs a configured build folder (sh tools/test.sh), LibreOffice
# (sh tools/setup.sh --viewer) and poppler-utils.
set -e
cd "$(dirname "$0")/.."
for tool in soffice pdftoppm pdftotext; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
cmake --build build --target test_print kalvor_data
QT_QPA_PLATFORM=offscreen build/tests/test_print --gtest_filter='DemoPersonalAccounts.TemplatesRenderToPdf'
for form in 1 1_1; do
  rm -f build/personal-accounts-$form-*.png
  pdftoppm -png -r 80 -f 1 -l 2 build/personal-accounts-$form.pdf build/personal-accounts-$form
  ls build/personal-accounts-$form.pdf build/personal-accounts-$form-*.png
done
