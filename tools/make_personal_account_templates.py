#!/usr/bin/env python3
"""Writes the two personal account templates of data/Shablon:

  1.rtf    A4 portrait
  1_1.rtf  A4 landscape

Each is one "page0" region that the writer repeats per employee, every copy
beginning a new sheet: the personal account with the pay-kind codes on the
left, the employee's pay sheet without codes on the right. The region holds,
in the order of the personal account writer (src/print/PersonalAccounts.cpp):
  - the head: period, shop and personnel number (left, then right), the name
    (left, right), position, rate label, rate and benefits (left, right): 16
    value slots;
  - "row0", a result row: month, code, pay kind, amount, days, hours on the
    left, month, pay kind, amount, days, hours on the right (11 slots);
  - "row1", a total line: label and amount on each side (4 slots), right
    under row0, its first cell opening with its start and row0's end;
  - the closing: payout or debt label and amount on each side (4), the amount
    in words on each side (2) and the income of the year on each side (2).

The shape is the one print::CTree reads (see src/print/CTree.h); the cells
and the RTF writing come from make_pay_statement_templates.py.

Run from the project folder after changing a layout:
    python3 tools/make_personal_account_templates.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import SLOT, Cell, rtf_text, write_row  # noqa: E402


class Row:
    def __init__(self, height, cells):
        self.height, self.cells = height, cells


def row_rtf(row, opening, counter):
    """The row as RTF, its height a least height: a long name or amount in
    words takes a second line instead of being cut."""
    return write_row(row, opening, counter).replace('\\trrh-', '\\trrh', 1)


class Layout:
    """Page and column sizes of one template (twips)."""

    def __init__(self, landscape):
        self.landscape = landscape
        if landscape:
            self.page_width, self.page_height = 16838, 11906
            self.margins = (850, 850, 567, 567)      # left, right, top, bottom
            self.size = 18                           # half-points
            # month, code, pay kind, amount, days, hours | month, pay kind, amount, days, hours
            self.left = [650, 650, 3300, 1600, 650, 850]
            self.gap = 388
            self.right = [650, 3250, 1600, 650, 900]
        else:
            self.page_width, self.page_height = 11906, 16838
            self.margins = (851, 567, 567, 567)
            self.size = 15
            self.left = [450, 480, 2300, 1250, 420, 600]
            self.gap = 188
            self.right = [450, 2200, 1150, 420, 580]
        self.width = self.page_width - self.margins[0] - self.margins[1]
        assert sum(self.left) + self.gap + sum(self.right) == self.width, (
            sum(self.left) + self.gap + sum(self.right), self.width)

    @property
    def left_width(self):
        return sum(self.left)

    @property
    def right_width(self):
        return sum(self.right)


def text(width, *items, size, **format):
    return Cell(width, *items, size=size, **format)


def box(width, *items, size, **format):
    format.setdefault('align', 'c')
    return Cell(width, *items, borders='tlbr', size=size, **format)


def head_rows(layout):
    s, small = layout.size, layout.size - 2
    lw, rw, gap = layout.left_width, layout.right_width, layout.gap
    month = 'Месяц' if layout.landscape else 'Мес.'

    def side(title, width):
        return [text(width, title, SLOT, '     Цех ', SLOT, '     Табель № ', SLOT, size=s, bold=True)]

    def name(width):
        return [Cell(width, SLOT, borders='b', size=s + 2, bold=True)]

    def position(width):
        return [text(width, 'Должность: ', SLOT, '    ', SLOT, ' ', SLOT, '    Льготы ', SLOT, size=small)]

    return [
        Row(60, [Cell(layout.width, size=2)]),
        Row(300, [text(lw, 'ЛИЦЕВОЙ СЧЕТ', align='c', size=small, italic=True), Cell(gap),
                  text(rw, 'РАСЧЕТНЫЙ ЛИСТОК', align='c', size=small, italic=True)]),
        Row(300, side('Лицевой счет за ', lw) + [Cell(gap)] + side('Расчетный лист за ', rw)),
        Row(320, name(lw) + [Cell(gap)] + name(rw)),
        Row(280, position(lw) + [Cell(gap)] + position(rw)),
        Row(80, [Cell(layout.width, size=2)]),
        Row(420, [box(w, t, size=small, bold=True) for w, t in zip(
            layout.left, [month, 'Код', 'Начисление / удержание', 'Сумма', 'Дни', 'Часы'])] + [Cell(gap)] +
            [box(w, t, size=small, bold=True) for w, t in zip(
                layout.right, [month, 'Начисление / удержание', 'Сумма', 'Дни', 'Часы'])]),
    ]


def value_row(layout):
    s = layout.size
    aligns_left = ['c', 'c', 'l', 'r', 'c', 'c']
    aligns_right = ['c', 'l', 'r', 'c', 'c']
    return Row(260, [box(w, SLOT, size=s, align=a) for w, a in zip(layout.left, aligns_left)] + [Cell(layout.gap)] +
               [box(w, SLOT, size=s, align=a) for w, a in zip(layout.right, aligns_right)])


def total_row(layout, **format):
    s = layout.size
    left_label = sum(layout.left[:3])
    right_label = sum(layout.right[:2])
    return Row(280, [box(left_label, SLOT, size=s, align='l', **format),
                     box(layout.left[3], SLOT, size=s, align='r', **format),
                     box(layout.left[4] + layout.left[5], '', size=s),
                     Cell(layout.gap),
                     box(right_label, SLOT, size=s, align='l', **format),
                     box(layout.right[2], SLOT, size=s, align='r', **format),
                     box(layout.right[3] + layout.right[4], '', size=s)])


def closing_rows(layout):
    s = layout.size
    lw, rw, gap = layout.left_width, layout.right_width, layout.gap
    payout = total_row(layout, bold=True)
    words = Row(300, [box(lw, 'Сумма прописью: ', SLOT, size=s - 2, align='l', italic=True), Cell(gap),
                      box(rw, 'Сумма прописью: ', SLOT, size=s - 2, align='l', italic=True)])
    income = Row(280, [box(lw, 'Совокупный доход с начала года: ', SLOT, size=s - 2, align='l'), Cell(gap),
                       box(rw, 'Совокупный доход с начала года: ', SLOT, size=s - 2, align='l')])
    return [payout, words, income]


def write_template(path, title, layout):
    left, right, top, bottom = layout.margins
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text(title),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d%s \\fet0\\sectd \\sbknone%s'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (layout.page_width, layout.page_height, left, right, top, bottom,
              '\\landscape' if layout.landscape else '', '\\lndscpsxn' if layout.landscape else '',
              layout.page_width, layout.page_height, left, right, top, bottom)]
    counter = [0]
    # Every copy of the page begins a new sheet.
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}{\\par }\n')
    for row in head_rows(layout):
        out.append(row_rtf(row, '', counter))
    head_values = counter[0]
    out.append(row_rtf(value_row(layout), '{\\*\\bkmkstart row0}', counter))
    out.append(row_rtf(total_row(layout), '{\\*\\bkmkstart row1}{\\*\\bkmkend row0}', counter))
    closing = closing_rows(layout)
    out.append(row_rtf(closing[0], '{\\*\\bkmkend row1}', counter))
    for row in closing[1:]:
        out.append(row_rtf(row, '', counter))
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    assert head_values == 16 and counter[0] == 16 + 11 + 4 + 8, counter[0]
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d value slots' % (path, counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, '1.rtf'), 'Лицевой счет и расчетный листок', Layout(landscape=False))
    write_template(os.path.join(folder, '1_1.rtf'), 'Лицевой счет и расчетный листок (альбомный)',
                   Layout(landscape=True))


if __name__ == '__main__':
    main()
