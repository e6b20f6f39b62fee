#!/bin/sh
# Installs every Debian package Kalvor needs to build, run and test.
set -e
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO=sudo; fi
# python3 runs tools/netdelay.py, the delaying proxy of the server tests.
PKGS="g++ cmake ninja-build ccache pkg-config \
 qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev libgl-dev \
 libgtest-dev libgmock-dev googletest libbenchmark-dev \
 fonts-dejavu-core fonts-liberation qt6-translations-l10n locales libxlsxwriter-dev \
 postgresql libqt6sql6-psql libpq-dev python3"
# "--viewer" adds the program that opens the generated documents.
# Calc with its dBASE driver lets the tests open an exported dBASE table in LibreOffice.
if [ "${1:-}" = "--viewer" ]; then PKGS="$PKGS libreoffice-writer libreoffice-calc libreoffice-base-drivers"; fi
# "--tests" adds what the tests read the printed forms with: LibreOffice Writer
# renders them to PDF (without its GUI where Debian offers that), pdftotext
# and pdfinfo read the PDF back; openpyxl reads the written workbooks back.
writer=""
if [ "${1:-}" = "--tests" ]; then
  PKGS="$PKGS poppler-utils python3-openpyxl"
  dpkg -s libreoffice-writer >/dev/null 2>&1 || dpkg -s libreoffice-writer-nogui >/dev/null 2>&1 || writer=yes
fi
missing=""
for p in $PKGS; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ] || [ -n "$writer" ]; then
  $SUDO apt-get update
  if [ -n "$writer" ]; then
    if apt-cache show libreoffice-writer-nogui >/dev/null 2>&1; then
      missing="$missing libreoffice-writer-nogui"
    else
      missing="$missing libreoffice-writer"
    fi
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
# The Russian locale, for the tests that check numbers whatever the locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  $SUDO localedef -i ru_RU -c -f UTF-8 ru_RU.UTF-8
fi
