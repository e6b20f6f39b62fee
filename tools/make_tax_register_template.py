#!/usr/bin/env python3
"""Writes data/Shablon/registr-ndfl-2011.rtf, the employer's income-tax
register of one employee (A4 landscape), one "page0" region per employee,
every copy beginning a new sheet. In the order of the register writer
(src/reports/incometax/TaxRegisterForm.cpp):
  - the head: the tax agent, the taxpayer and his status, the amount from the
    previous employer and the notice of the property deduction (24 slots);
  - the first half-year, January to June: the row regions of incomes by code
    (row0 first, row1 further), standard deductions (row3 / row4), deductions
    by income code (row6 / row7), the property deduction (row9), then the
    lines row12 .. row22;
  - filler rows row24 (one line each) and the heads of the second half
    (row25 .. row27);
  - the second half-year, July to December, with a period total: row28 / row29,
    row31 / row32, row34 / row35, row37, row40 .. row50, and row52, which
    closes the table;
  - the closing block (39 slots): the deductions of the period, the tax by
    rate (9 %, 13 %, 30 %, 35 %, and without the property deduction), three
    empty transfer records, the date, the chief accountant.

The shape is the one print::CTree reads (see src/print/CTree.h): the row
regions follow each other, each opening in its first cell with its start
bookmark and the end bookmark of the region above. The cells and the RTF
writing come from make_pay_statement_templates.py.

Run from the project folder after changing the layout:
    python3 tools/make_tax_register_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import SLOT, Cell, box, rtf_text, text, write_row  # noqa: E402

PAGE_WIDTH, PAGE_HEIGHT = 16838, 11906
MARGIN = 567
WIDTH = PAGE_WIDTH - 2 * MARGIN   # 15704 twips
SIZE = 16
HEIGHT = 260


class Row:
    def __init__(self, height, cells):
        self.height, self.cells = height, cells
        assert sum(c.width for c in cells) <= WIDTH, sum(c.width for c in cells)


FIRST = [2300] + [1250, 950] * 6                 # label, six (amount, date)
SECOND = [1900] + [1150, 850] * 6 + [1500]        # label, six (amount, date), total
FIRST_SINGLE = [2300] + [2200] * 6
SECOND_SINGLE = [1900] + [2000] * 6 + [1500]
HALF_HEADS = {0: ['Январь', 'Февраль', 'Март', 'Апрель', 'Май', 'Июнь'],
              1: ['Июль', 'Август', 'Сентябрь', 'Октябрь', 'Ноябрь', 'Декабрь']}


def slots(widths, label=None, size=SIZE):
    cells = [box(widths[0], label if label is not None else SLOT, size=size, align='l')]
    cells += [box(w, SLOT, size=size, align='r') for w in widths[1:]]
    return Row(HEIGHT, cells)


def labelled(label, count, widths):
    return Row(HEIGHT, [box(widths[0], label, size=SIZE, align='l')] +
               [box(w, SLOT, size=SIZE, align='r') for w in widths[1:1 + count]])


def field(label, width, slot_width):
    return [text(width, label, size=SIZE, align='r'), box(slot_width, SLOT, size=SIZE, align='l')]


def head_rows():
    rows = [
        Row(400, [text(WIDTH, 'НАЛОГОВЫЙ РЕГИСТР по налогу на доходы физических лиц', size=24, bold=True,
                       align='c')]),
        Row(HEIGHT, [text(WIDTH, 'Налоговый агент', size=SIZE, bold=True)]),
        Row(HEIGHT, field('ИНН', 1200, 2000) + field('КПП', 900, 1800) + field('Код налогового органа', 2600, 900)),
        Row(HEIGHT, field('Наименование', 1800, 11000)),
        Row(HEIGHT, field('ОКАТО', 1800, 1800)),
        Row(HEIGHT, [text(WIDTH, 'Налогоплательщик', size=SIZE, bold=True)]),
        Row(HEIGHT, field('ИНН', 1200, 2000) + field('Ф.И.О.', 1200, 7000)),
        Row(HEIGHT, field('Код документа', 1800, 700) + field('Серия, номер', 1800, 2800)
            + field('Дата рождения', 1800, 1500)),
        Row(HEIGHT, field('Индекс', 1200, 1000) + field('Гражданство', 1600, 3000) + field('Регион', 1000, 3500)),
        Row(HEIGHT, field('Город', 1200, 3000) + field('Улица', 1000, 4500) + field('Дом', 600, 900)
            + field('Корп.', 700, 800) + field('Кв.', 600, 700)),
        Row(HEIGHT, field('Статус налогоплательщика', 3000, 600)),
        Row(HEIGHT, field('Сумма дохода с предыдущего места работы', 5000, 2000)),
        Row(HEIGHT, field('Основание имущественного вычета', 4000, 1500) + field('№', 500, 1000)
            + field('дата', 700, 1400) + field('код налогового органа', 2500, 900)),
    ]
    return rows


def half_head(half):
    widths = FIRST if half == 0 else SECOND
    cells = [box(widths[0], 'Показатель', size=SIZE, bold=True)]
    for m, name in enumerate(HALF_HEADS[half]):
        cells.append(box(widths[1 + 2 * m] + widths[2 + 2 * m], name, size=SIZE, bold=True))
    if half == 1:
        cells.append(box(widths[-1], 'Итого', size=SIZE, bold=True))
    return Row(HEIGHT, cells)


TAX_LINES = [(12, 'Доходы, не облагаемые налогом', 'single'), (13, 'Налоговая база', 'single'),
             (14, 'Налоговая база по основной ставке', 'single'),
             (15, 'Налоговая база нарастающим итогом', 'single'), (16, 'Доходы по ставке 9 % (30 %)', 'single'),
             (17, 'Доходы по ставке 35 %', 'single'), (18, 'Предоставлено вычетов', 'cells'),
             (19, 'Перечислено налога', 'cells'), (20, 'Исчислено налога', 'cells'),
             (21, 'Удержано налога', 'cells'), (22, 'Платежное поручение №', 'orders')]


def half_regions(half):
    """The row regions of a half-year, as (number, row)."""
    pair = FIRST if half == 0 else SECOND
    single = FIRST_SINGLE if half == 0 else SECOND_SINGLE
    offset = 28 * half
    regions = []
    for first in (0, 3, 6):
        regions.append((first + offset, slots(pair)))
        regions.append((first + 1 + offset, slots(pair)))
    regions.append((9 + offset, slots(pair)))
    for number, label, kind in TAX_LINES:
        if kind == 'single':
            regions.append((number + offset, labelled(label, len(single) - 1, single)))
        elif kind == 'cells':
            regions.append((number + offset, labelled(label, len(pair) - 1, pair)))
        else:
            regions.append((number + offset, labelled(label, 6, single)))
    return regions


def closing_rows():
    rate = [4200] + [1900] * 6
    heads = ['Доход', 'Налоговая база', 'Исчислено', 'Удержано', 'Перечислено', 'Удержано по расчету']
    rows = [Row(HEIGHT, field('Стандартные вычеты за период', 3600, 1800) + field('Имущественный вычет', 2600, 1800)),
            Row(HEIGHT, [box(rate[0], 'Ставка', size=SIZE, bold=True)] +
                [box(w, h, size=SIZE, bold=True) for w, h in zip(rate[1:], heads)])]
    for label, count in (('9 %', 5), ('13 %', 6), ('30 %', 6), ('35 %', 5),
                         ('По основной ставке без имущественного вычета', 6)):
        rows.append(labelled(label, count, rate))
    rows.append(Row(HEIGHT, [text(4200, 'Перечисление налога: сумма, дата', size=SIZE)] +
                    [box(1900, SLOT, size=SIZE) for _ in range(6)]))
    rows.append(Row(500, field('Дата составления', 2000, 1500) + [text(600, '')] +
                    [box(2600, SLOT, size=SIZE), text(300, ''), box(4500, SLOT, size=SIZE, align='l')]))
    return rows


def write_template(path):
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text('Налоговый регистр по НДФЛ'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d\\landscape \\fet0\\sectd \\lndscpsxn\\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN, MARGIN, MARGIN, MARGIN,
              PAGE_WIDTH, PAGE_HEIGHT, MARGIN, MARGIN, MARGIN, MARGIN)]
    counter = [0]
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}{\\par }\n')
    for row in head_rows():
        out.append(write_row(row, '', counter))
    assert counter[0] == 24, counter[0]
    out.append(write_row(half_head(0), '', counter))
    regions = half_regions(0)
    regions.append((24, Row(HEIGHT, [Cell(WIDTH, size=SIZE)])))
    regions.append((25, Row(400, [text(WIDTH, 'Второе полугодие', size=SIZE, bold=True, valign='b')])))
    regions.append((26, half_head(1)))
    regions.append((27, Row(HEIGHT, [box(SECOND[0], '', size=SIZE)] +
                        [box(w, 'сумма' if i % 2 == 0 else 'дата', size=SIZE) for i, w in enumerate(SECOND[1:-1])]
                        + [box(SECOND[-1], '', size=SIZE)])))
    regions += half_regions(1)
    regions.append((52, Row(200, [Cell(WIDTH, size=4)])))
    previous = None
    for number, row in regions:
        opening = '{\\*\\bkmkstart row%d}' % number
        if previous is not None:
            opening += '{\\*\\bkmkend row%d}' % previous
        out.append(write_row(row, opening, counter))
        previous = number
    first_closing = counter[0]
    for index, row in enumerate(closing_rows()):
        out.append(write_row(row, '{\\*\\bkmkend row%d}' % previous if index == 0 else '', counter))
    assert counter[0] - first_closing == 39, counter[0] - first_closing
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d value slots' % (path, counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 'registr-ndfl-2011.rtf'))


if __name__ == '__main__':
    main()
