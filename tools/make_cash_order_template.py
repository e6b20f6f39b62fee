#!/usr/bin/env python3
"""Writes data/Shablon/kassa-order-bank-2008.rtf: the expense cash order,
form KO-2, one order per A4 sheet, in the shape that print::CTree reads (see
src/print/CTree.h): one "page0" region whose every copy begins a new sheet,
made of table rows, with the value slots "parK" in the order in which the
cash order writer adds the values (src/print/CashOrders.h lists them).

Run from the project folder after changing the layout:
    python3 tools/make_cash_order_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_pay_statement_templates as ps  # noqa: E402  (cells and RTF rows)

WIDTH = ps.WIDTH
SLOT = ps.SLOT
Cell, Row, text, line, box, caption, gap, spacing = (ps.Cell, ps.Row, ps.text, ps.line, ps.box, ps.caption,
                                                     ps.gap, ps.spacing)


def rows():
    out = []
    # The form's head: its codes on the right.
    out.append(Row(220, [gap(WIDTH - 4200), text(4200, 'Унифицированная форма № КО-2', align='r', size=14)]))
    out.append(Row(220, [gap(WIDTH - 5200), text(5200, 'Утверждена постановлением Госкомстата России',
                                                 align='r', size=14)]))
    out.append(Row(220, [gap(WIDTH - 4200), text(4200, 'от 18.08.98 № 88', align='r', size=14)]))
    out.append(spacing(80))
    out.append(Row(240, [gap(WIDTH - 1400), box(1400, 'Код', size=16)]))
    out.append(Row(240, [gap(WIDTH - 3600), text(2200, 'Форма по ОКУД', align='r', size=16),
                         box(1400, '0310002', size=16, bold=True)]))
    out.append(spacing(160))
    # The title with the number and the date.
    out.append(Row(300, [gap(4000), box(2000, 'Номер документа', size=14), box(2400, 'Дата составления', size=14)]))
    out.append(Row(420, [text(4000, 'РАСХОДНЫЙ КАССОВЫЙ ОРДЕР', bold=True, size=22), box(2000, SLOT, bold=True),
                         Cell(2400, '«', SLOT, '» ', SLOT, ' 20', SLOT, ' г.', align='c', borders='tlbr',
                              size=20)]))
    out.append(Row(240, [gap(WIDTH - 3400), text(2000, 'Ордер №', align='r', size=14),
                         line(1400, SLOT, size=14)]))
    out.append(spacing(120))
    out.append(Row(320, [text(1700, 'Организация'), line(WIDTH - 3100, SLOT, align='l'), gap(200),
                         text(1200, 'по ОКПО', size=16)]))
    out.append(Row(180, [gap(1700), caption(WIDTH - 3100, 'наименование организации'), gap(1400)]))
    out.append(spacing(160))
    # The account box.
    widths = [500, 1300, 1300, 1500, 1700, 1800, 1305, 800]
    out.append(Row(260, [box(sum(widths[:4]), 'Дебет', size=16), box(widths[4], 'Кредит', size=16),
                         box(widths[5], 'Сумма, руб. коп.', size=16), box(widths[6], 'Код целевого', size=16),
                         box(widths[7], '', size=16)]))
    out.append(Row(360, [box(widths[0], '', size=14), box(widths[1], 'структурное подразделение', size=12),
                         box(widths[2], 'корреспондирующий счет, субсчет', size=12),
                         box(widths[3], 'код аналитического учета', size=12), box(widths[4], '', size=14),
                         box(widths[5], '', size=14), box(widths[6], 'назначения', size=12), box(widths[7], '', size=14)]))
    out.append(Row(320, [box(widths[0], ''), box(widths[1], ''), box(widths[2], SLOT), box(widths[3], ''),
                         box(widths[4], SLOT), box(widths[5], SLOT, bold=True), box(widths[6], ''),
                         box(widths[7], '')]))
    out.append(spacing(200))
    # The recipient, the basis and the amount.
    out.append(Row(320, [text(1200, 'Выдать'), line(WIDTH - 1200, SLOT, align='l')]))
    out.append(Row(180, [gap(1200), caption(WIDTH - 1200, 'фамилия, имя, отчество')]))
    out.append(Row(320, [text(1200, 'Основание:'), line(WIDTH - 1200, '')]))
    out.append(Row(320, [text(1200, 'Сумма'), line(WIDTH - 1200, SLOT, align='l')]))
    out.append(Row(180, [gap(1200), caption(WIDTH - 1200, 'прописью')]))
    out.append(Row(320, [gap(WIDTH - 3800), line(1400, SLOT), text(600, ' руб.'), line(800, SLOT),
                         text(1000, ' коп.')]))
    out.append(Row(320, [text(1200, 'Приложение'), line(WIDTH - 1200, '')]))
    out.append(spacing(200))
    # The signatures.
    out.append(Row(320, [text(2800, 'Руководитель организации'), line(2300, SLOT), gap(200), line(1800, ''),
                         gap(200), line(2905, SLOT)]))
    out.append(Row(180, [gap(2800), caption(2300, 'должность'), gap(200), caption(1800, 'подпись'), gap(200),
                         caption(2905, 'расшифровка подписи')]))
    out.append(Row(320, [text(2800, 'Главный бухгалтер'), line(2000, ''), gap(200), line(5205, SLOT)]))
    out.append(Row(180, [gap(2800), caption(2000, 'подпись'), gap(200), caption(5205, 'расшифровка подписи')]))
    out.append(spacing(120))
    out.append(Row(320, [text(1200, 'Получил'), line(WIDTH - 3400, ''), text(1000, ' руб.'), line(600, ''),
                         text(600, ' коп.')]))
    out.append(Row(180, [gap(1200), caption(WIDTH - 3400, 'сумма прописью'), gap(2200)]))
    out.append(Row(320, [text(200, '«', align='r'), line(450, ''), text(200, '»'), line(1500, ''),
                         text(300, '20', align='r'), line(350, ''), text(500, 'г.'), gap(3000),
                         text(1200, 'Подпись'), line(2505, '')]))
    out.append(spacing(120))
    out.append(Row(320, [text(600, 'По'), line(1600, SLOT, align='l'), line(WIDTH - 2200, SLOT, align='l')]))
    out.append(Row(180, [gap(600), caption(WIDTH - 600, 'наименование, номер, дата и место выдачи документа, '
                                                        'удостоверяющего личность получателя')]))
    out.append(spacing(120))
    out.append(Row(320, [text(2000, 'Выдал кассир'), line(2300, ''), gap(200), line(5705, SLOT)]))
    out.append(Row(180, [gap(2000), caption(2300, 'подпись'), gap(200), caption(5705, 'расшифровка подписи')]))
    return out


def write_template(path):
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % ps.rtf_text('Расходный кассовый ордер (форма КО-2)'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (ps.PAGE_WIDTH, ps.PAGE_HEIGHT, ps.MARGIN_LEFT, ps.MARGIN_RIGHT, ps.MARGIN_TOP, ps.MARGIN_BOTTOM,
              ps.PAGE_WIDTH, ps.PAGE_HEIGHT, ps.MARGIN_LEFT, ps.MARGIN_RIGHT, ps.MARGIN_TOP, ps.MARGIN_BOTTOM)]
    counter = [0]
    # Every copy of the page begins a new sheet.
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}{\\par }\n')
    for row in rows():
        out.append(ps.write_row(row, '', counter))
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d value slots' % (path, counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 'kassa-order-bank-2008.rtf'))


if __name__ == '__main__':
    main()
