#!/usr/bin/env python3
"""Writes data/Shablon/t54.rtf, the personal account of form T-54 (unified
form, A4 landscape), one "page0" region per employee, every copy beginning a
new sheet. The region holds, in the order of the T-54 writer
(src/exchange/T54Form.cpp):
  - the head: firm, OKPO code, shop, sheet number, period start and end,
    category, taxpayer number, insurance number, region, marital status,
    children, hiring and dismissal dates, name, personnel number, birth date
    (17 value slots);
  - "row0", a line of sections 1-3 (hiring and transfers, vacations,
    deductions) and the rate (22 slots);
  - "row1" the title of the month table, "row2" the names of the pay kinds
    (11), "row3" a caption, "row4" their codes (17), "row5" the column heads;
  - "row6" a month of the table (27), "row7" a further day-based entry of the
    month (5);
  - "row9" a spacer and "row10" the accountant's signature and the date (4).

The shape is the one print::CTree reads (see src/print/CTree.h); the cells
and the RTF writing come from make_pay_statement_templates.py.

Run from the project folder after changing the layout:
    python3 tools/make_t54_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import SLOT, Cell, rtf_text, write_row  # noqa: E402

PAGE_WIDTH, PAGE_HEIGHT = 16838, 11906
MARGINS = (567, 567, 567, 567)
WIDTH = PAGE_WIDTH - MARGINS[0] - MARGINS[1]   # 15704 twips
SIZE = 14      # half-points of the text
SMALL = 12     # of the tables

# The 22 columns of sections 1-3 and the rate.
SECTION_COLUMNS = [750, 500, 750, 1300, 600, 700, 700, 700,          # 1
                   400, 700, 450, 700, 700, 700, 700, 450,           # 2
                   1400, 700, 700, 600, 600,                         # 3
                   904]
# The 27 columns of the month table.
MONTH_COLUMNS = ([424, 400, 400, 400, 500] + [700] * 6 + [400, 400, 650, 750] + [560] * 8 + [750, 650, 650, 650])
assert sum(SECTION_COLUMNS) == WIDTH and sum(MONTH_COLUMNS) == WIDTH


class Row:
    def __init__(self, height, cells):
        self.height, self.cells = height, cells
        assert sum(c.width for c in cells) <= WIDTH, sum(c.width for c in cells)


def text(width, *items, size=SIZE, **format):
    return Cell(width, *items, size=size, **format)


def line(width, *items, size=SIZE, **format):
    format.setdefault('align', 'c')
    return Cell(width, *items, borders='b', size=size, **format)


def box(width, *items, size=SMALL, **format):
    format.setdefault('align', 'c')
    return Cell(width, *items, borders='tlbr', size=size, **format)


def row_rtf(row, opening, counter):
    """The row as RTF with a least height, so a long text takes a second line."""
    return write_row(row, opening, counter).replace('\\trrh-', '\\trrh', 1)


def head_rows():
    return [
        Row(40, [Cell(WIDTH, size=2)]),
        Row(420, [text(WIDTH, 'Унифицированная форма № Т-54.   Утверждена постановлением Госкомстата России '
                       'от 05.01.2004 № 1', align='r', size=SMALL)]),
        Row(300, [text(2200, 'Организация'), line(9504, SLOT, align='l'), text(2000, 'Код по ОКПО', align='r'),
                  box(2000, SLOT, size=SIZE)]),
        Row(300, [text(2200, 'Структурное подразделение'), line(11504, SLOT, align='l')]),
        Row(420, [text(4400, 'ЛИЦЕВОЙ СЧЕТ  № ', align='r', size=SIZE + 6, bold=True),
                  line(1000, SLOT, size=SIZE + 6, bold=True), text(2400, 'Отчетный период:  с', align='r'),
                  line(1500, SLOT), text(400, 'по', align='c'), line(1500, SLOT), Cell(4504)]),
        Row(300, [text(2200, 'Категория персонала'), line(700, SLOT), text(700, 'ИНН', align='r'),
                  line(2000, SLOT), text(3300, 'Номер страхового свидетельства', align='r'), line(2600, SLOT),
                  text(2500, 'Код региона', align='r'), line(1704, SLOT)]),
        Row(300, [text(2200, 'Состояние в браке'), line(1400, SLOT), text(2000, 'Количество детей', align='r'),
                  line(700, SLOT), text(2300, 'Дата приема', align='r'), line(1600, SLOT),
                  text(2900, 'Дата увольнения', align='r'), line(2604, SLOT)]),
        Row(300, [text(2200, 'Фамилия, имя, отчество'), line(6400, SLOT, align='l', bold=True),
                  text(2000, 'Табельный номер', align='r'), line(1000, SLOT), text(2000, 'Дата рождения', align='r'),
                  line(2104, SLOT)]),
        Row(80, [Cell(WIDTH, size=2)]),
    ]


def section_heads():
    c = SECTION_COLUMNS
    titles = ['Дата', 'Номер документа', 'Цех, бригада', 'Должность (профессия)', 'Разряд',
              'Оклад (тариф), руб.', 'Надбавка, руб.', 'Надбавка, руб.',
              'Вид отпуска', 'Дата', 'Номер', 'Рабочий год с', 'по', 'Отпуск с', 'по', 'Дней',
              'Код, дата и номер документа', 'Удерживать с', 'по', 'Сумма в месяц, руб.', 'Всего, руб.',
              'Ставка, руб.']
    return [
        Row(300, [box(sum(c[:8]), '1. Прием на работу, переводы, изменение оплаты', bold=True),
                  box(sum(c[8:16]), '2. Отпуска', bold=True), box(sum(c[16:21]), '3. Удержания и взносы', bold=True),
                  box(c[21], '')]),
        Row(420, [box(w, t) for w, t in zip(c, titles)]),
        Row(220, [box(w, str(n + 1) if n < 21 else '') for n, w in enumerate(c)]),
    ]


def section_row():
    aligns = ['c', 'c', 'c', 'l', 'c', 'r', 'r', 'r'] + ['c'] * 8 + ['l', 'c', 'c', 'r', 'r', 'r']
    return Row(260, [box(w, SLOT, align=a) for w, a in zip(SECTION_COLUMNS, aligns)])


def month_rows():
    m = MONTH_COLUMNS
    title = Row(360, [text(WIDTH, '4. Расчет заработной платы', bold=True, align='c', size=SIZE + 2)])
    names = Row(620, [box(sum(m[:5]), 'Вид оплаты', bold=True)] + [box(w, SLOT) for w in m[5:10]] +
                [box(m[10], 'Прочие'), box(sum(m[11:14]), 'Пособия и оплата по среднему'),
                 box(m[14], 'Всего начислено', bold=True), box(sum(m[15:17]), 'Выплачено')] +
                [box(w, SLOT) for w in m[17:23]] +
                [box(m[23], 'Всего удержано', bold=True), box(m[24], 'Перенос'),
                 box(m[25], 'Долг за работником'), box(m[26], 'К выплате')])
    caption = Row(220, [box(WIDTH, 'Коды видов оплат', italic=True)])
    codes = Row(240, [box(sum(m[:5]), 'Код', bold=True)] + [box(w, SLOT) for w in m[5:11]] +
                [box(sum(m[11:15]), SLOT)] + [box(w, SLOT) for w in m[15:23]] +
                [box(sum(m[23:25]), SLOT), box(sum(m[25:27]), SLOT)])
    heads = Row(420, [box(w, t) for w, t in zip(m, [
        'Месяц', 'Код', 'Дни', 'Код', 'Часы'] + ['Сумма'] * 6 + ['Код', 'Дни', 'Сумма', 'Сумма'] +
        ['Сумма'] * 8 + ['Сумма', 'Сумма', 'Сумма', 'Сумма'])])
    aligns = ['c', 'c', 'c', 'c', 'r'] + ['r'] * 6 + ['c', 'c', 'r', 'r'] + ['r'] * 12
    month = Row(240, [box(w, SLOT, align=a) for w, a in zip(m, aligns)])
    further = Row(240, [box(sum(m[:11]), SLOT), box(m[11], SLOT), box(m[12], SLOT), box(m[13], SLOT, align='r'),
                        box(sum(m[14:]), SLOT)])
    return title, names, caption, codes, heads, month, further


def closing_rows():
    spacer = Row(300, [Cell(WIDTH, size=4)])
    signature = Row(320, [text(2400, 'Главный бухгалтер'), line(2000, ''), Cell(200), line(4000, SLOT),
                          Cell(1500), text(300, '«', align='r'), line(500, SLOT), text(300, '»'), line(1800, SLOT),
                          line(500, SLOT), text(2204, ' г.')])
    return spacer, signature


def write_template(path):
    left, right, top, bottom = MARGINS
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text('Лицевой счет (форма Т-54)'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d\\landscape \\fet0\\sectd \\sbknone\\lndscpsxn'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, left, right, top, bottom, PAGE_WIDTH, PAGE_HEIGHT, left, right, top, bottom)]
    counter = [0]
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}{\\par }\n')
    for row in head_rows() + section_heads():
        out.append(row_rtf(row, '', counter))
    assert counter[0] == 17, counter[0]
    regions = [('row0', section_row())]
    title, names, caption, codes, heads, month, further = month_rows()
    spacer, signature = closing_rows()
    regions += [('row1', title), ('row2', names), ('row3', caption), ('row4', codes), ('row5', heads),
                ('row6', month), ('row7', further), ('row9', spacer), ('row10', signature)]
    previous = None
    for name, row in regions:
        opening = '{\\*\\bkmkstart %s}' % name + ('{\\*\\bkmkend %s}' % previous if previous else '')
        out.append(row_rtf(row, opening, counter))
        previous = name
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend %s}{\\par }\n' % previous)
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    assert counter[0] == 17 + 22 + 11 + 17 + 27 + 5 + 4, counter[0]
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d value slots' % (path, counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 't54.rtf'))


if __name__ == '__main__':
    main()
