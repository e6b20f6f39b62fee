#!/usr/bin/env python3
"""Writes data/Shablon/spravka_zarabotok.rtf, the certificate of monthly
earnings (A4 portrait), one "page0" region per employee, every copy beginning
a new sheet. The region holds, in the order of the certificate writer
(src/exchange/MonthlyEarningsCertificate.cpp):
  - the head: certificate number, employee name, firm name (3 value slots);
  - "row0", a line of the month table: month i and its amount, month i + 6
    and its amount (4 slots);
  - the tail: the total in figures and in words, the head's position and
    name, the chief accountant's name (5 slots).

The shape is the one print::CTree reads (see src/print/CTree.h); the cells
and the RTF writing come from make_pay_statement_templates.py.

Run from the project folder after changing the layout:
    python3 tools/make_earnings_certificate_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import (  # noqa: E402
    MARGIN_BOTTOM, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, PAGE_HEIGHT, PAGE_WIDTH, SLOT, WIDTH, Cell, Row, box,
    caption, gap, line, rtf_text, text, write_row)

SIZE = 24      # half-points of the text
TABLE = 22     # of the month table

MONTH_COLUMNS = [2300, 2800, 2300, 2805]
assert sum(MONTH_COLUMNS) == WIDTH


def head_rows():
    return [
        Row(300, [gap(6205), text(1800, 'Справка №', align='r', size=SIZE), line(1200, SLOT, size=SIZE, bold=True),
                  gap(1000)]),
        Row(700, [text(WIDTH, 'СПРАВКА', align='c', size=SIZE + 8, bold=True, valign='b')]),
        Row(400, [text(WIDTH, 'о заработной плате', align='c', size=SIZE + 4, bold=True, valign='t')]),
        Row(300, [Cell(WIDTH, size=4)]),
        Row(380, [text(1300, 'Выдана', size=SIZE), line(8905, SLOT, align='l', size=SIZE, bold=True)]),
        Row(220, [gap(1300), caption(8905, 'фамилия, имя, отчество')]),
        Row(380, [text(2800, 'работающему(ей) в', size=SIZE), line(7405, SLOT, align='l', size=SIZE)]),
        Row(220, [gap(2800), caption(7405, 'наименование организации')]),
        Row(480, [text(WIDTH, 'в том, что его (ее) заработная плата по месяцам составила:', size=SIZE,
                       valign='b')]),
        Row(200, [Cell(WIDTH, size=4)]),
        Row(420, [box(w, t, size=TABLE, bold=True) for w, t in zip(MONTH_COLUMNS,
                                                                     ['Месяц', 'Сумма, руб.', 'Месяц',
                                                                      'Сумма, руб.'])]),
    ]


def month_row():
    return Row(360, [box(w, SLOT, size=TABLE, align=a) for w, a in zip(MONTH_COLUMNS, ['l', 'r', 'l', 'r'])])


def tail_rows():
    return [
        Row(420, [box(sum(MONTH_COLUMNS[:3]), 'Итого', size=TABLE, bold=True, align='r'),
                  box(MONTH_COLUMNS[3], SLOT, size=TABLE, bold=True, align='r')]),
        Row(300, [Cell(WIDTH, size=4)]),
        Row(380, [text(1800, 'Всего:', size=SIZE), line(8405, SLOT, align='l', size=SIZE)]),
        Row(220, [gap(1800), caption(8405, 'сумма прописью')]),
        Row(900, [Cell(WIDTH, size=4)]),
        Row(380, [line(3000, SLOT, align='l', size=SIZE), gap(300), line(2400, '', size=SIZE), gap(300),
                  line(4205, SLOT, align='l', size=SIZE)]),
        Row(220, [caption(3000, 'должность руководителя'), gap(300), caption(2400, 'подпись'), gap(300),
                  caption(4205, 'расшифровка подписи')]),
        Row(500, [Cell(WIDTH, size=4)]),
        Row(380, [text(3000, 'Главный бухгалтер', size=SIZE), gap(300), line(2400, '', size=SIZE), gap(300),
                  line(4205, SLOT, align='l', size=SIZE)]),
        Row(220, [gap(3000), gap(300), caption(2400, 'подпись'), gap(300), caption(4205, 'расшифровка подписи')]),
        Row(500, [Cell(WIDTH, size=4)]),
        Row(380, [text(WIDTH, 'М. П.', size=SIZE)]),
    ]


def row_rtf(row, opening, counter):
    """The row as RTF with a least height, so a long text takes a second line."""
    return write_row(row, opening, counter).replace('\\trrh-', '\\trrh', 1)


def write_template(path):
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text('Справка о заработной плате'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM,
              PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM)]
    counter = [0]
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}{\\par }\n')
    for row in head_rows():
        out.append(row_rtf(row, '', counter))
    assert counter[0] == 3, counter[0]
    out.append(row_rtf(month_row(), '{\\*\\bkmkstart row0}', counter))
    for index, row in enumerate(tail_rows()):
        out.append(row_rtf(row, '{\\*\\bkmkend row0}' if index == 0 else '', counter))
    assert counter[0] == 3 + 4 + 5, counter[0]
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d value slots' % (path, counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 'spravka_zarabotok.rtf'))


if __name__ == '__main__':
    main()
