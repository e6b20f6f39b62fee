#!/usr/bin/env python3
"""Writes data/Shablon/bln-reestr.rtf: the register of temporary-incapacity
benefit calculations, one A4 sheet per sick-leave sheet, in the shape that
print::CTree reads (see src/print/CTree.h): a "page0" region whose every copy
begins a new sheet, its head rows holding the page's value slots, then the
row regions "row0" to "row17" as table rows, one after another. The slots follow the order in which the register writer adds
its values (src/print/SickLeaveRegister.h lists them).

Run from the project folder after changing the layout:
    python3 tools/make_sick_leave_register_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_pay_statement_templates as ps  # noqa: E402  (cells and RTF rows)

WIDTH = ps.WIDTH
SLOT = ps.SLOT
Cell, Row, text, line, box, caption, gap, spacing = (ps.Cell, ps.Row, ps.text, ps.line, ps.box, ps.caption,
                                                     ps.gap, ps.spacing)


def head_rows():
    out = []
    out.append(Row(300, [text(1900, 'Организация', size=18), line(WIDTH - 1900, SLOT, align='l', bold=True)]))
    out.append(spacing(120))
    out.append(Row(360, [text(WIDTH, 'РЕЕСТР РАСЧЕТОВ ПОСОБИЙ ПО ВРЕМЕННОЙ НЕТРУДОСПОСОБНОСТИ',
                              align='c', bold=True, size=24)]))
    out.append(Row(300, [gap(2600), text(600, 'за', align='r'), line(2600, SLOT), gap(1800),
                         text(1400, 'Расчет №', align='r', size=18), box(1205, SLOT, bold=True)]))
    out.append(spacing(160))
    out.append(Row(300, [text(1900, 'Работник', size=18), line(4000, SLOT, align='l', bold=True),
                         text(900, 'Таб. №', align='r', size=18), line(800, SLOT),
                         text(1000, 'Подразд.', align='r', size=18), line(1605, SLOT, size=16)]))
    out.append(Row(300, [text(1900, 'Должность', size=18), line(WIDTH - 1900, SLOT, align='l')]))
    out.append(Row(300, [text(1900, 'Работа', size=18), line(2600, SLOT, align='l'),
                         text(800, 'ИНН', align='r', size=18), line(2000, SLOT),
                         text(1000, 'СНИЛС', align='r', size=18), line(1905, SLOT)]))
    out.append(Row(300, [text(1900, 'Вид пособия', size=18), line(600, SLOT),
                         text(2600, 'Нетрудоспособность с', align='r', size=18), line(1600, SLOT),
                         text(500, 'по', align='r', size=18), line(1600, SLOT)]))
    out.append(Row(420, [text(1400, 'Календарных дней', size=14), box(600, SLOT),
                         text(1100, 'Процент оплаты', align='r', size=14), box(600, SLOT),
                         text(1300, 'Расчетный период', align='r', size=14), box(1300, SLOT, size=16),
                         text(1200, 'Продолжение листка', align='r', size=14), box(500, SLOT),
                         text(1300, 'Исключаемых дней', align='r', size=14), box(605, SLOT)]))
    out.append(spacing(160))
    return out


def labelled(label, size=18):
    return Row(300, [text(WIDTH - 2200, label, size=size), box(2200, SLOT, align='r')])


PERIOD = [2600, 2000, 1600, 1000, 3005]
SHEET = [1000, 1000, 900, 700, 600, 1200, 1200, 1200, 1100, 1305]
SHEET_CAPTIONS = ['Начало', 'Конец', 'Искл. время', 'Дней', '%', 'Средний', 'Максимум', 'Минимум',
                  'В день', 'Пособие']
LINE = object()  # a line break inside a cell


def slots(widths, size=18):
    return Row(300, [box(w, SLOT, size=size, align='r' if i else 'c') for i, w in enumerate(widths)])


def captioned(widths, captions, size=14):
    """A row whose every cell holds its caption above its value."""
    return Row(520, [box(w, c, LINE, SLOT, size=size, align='c') for w, c in zip(widths, captions)])


def items():
    """The row regions after the head, in order: each one table row. The
    engine keeps no fixed rows between regions in place, so every caption
    stands inside a region."""
    out = []
    out.append(('row0', labelled('Дневная тарифная ставка, руб.')))
    out.append(('row1', labelled('Часовая тарифная ставка, руб.')))
    out.append(('row2', Row(360, [box(PERIOD[0], 'Нетрудоспособность с', size=14, bold=True),
                                  box(PERIOD[1], 'по', size=14, bold=True),
                                  box(PERIOD[2], SLOT, size=14, bold=True),
                                  box(PERIOD[3], '%', size=14, bold=True),
                                  box(PERIOD[4], 'Пособие, руб.', size=14, bold=True)])))
    out.append(('row3', slots(PERIOD)))
    out.append(('row4', slots(PERIOD)))
    out.append(('row5', Row(300, [box(3605, SLOT, align='l'), box(2400, 'заработок ', SLOT, align='r'),
                                  box(1600, 'дней ', SLOT, align='r'), box(2600, SLOT, align='r')])))
    out.append(('row6', Row(360, [text(3200, 'Норма в отчетном месяце:', size=16), line(2400, SLOT),
                                  line(WIDTH - 5600, SLOT, align='r', size=16)])))
    out.append(('row7', Row(360, [text(3200, 'Норма в отчетном месяце:', size=16), line(2400, SLOT),
                                  line(WIDTH - 5600, SLOT, align='r', size=16)])))
    out.append(('row8', captioned(SHEET, SHEET_CAPTIONS)))
    out.append(('row9', captioned(SHEET, SHEET_CAPTIONS)))
    out.append(('row10', labelled('Средний дневной заработок, руб.')))
    out.append(('row11', labelled('Максимальный дневной заработок, руб.')))
    out.append(('row12', labelled('Пособие за дни отчетного месяца, руб.')))
    out.append(('row13', labelled('Пособие за дни прошлых месяцев, руб.')))
    out.append(('row14', labelled('Пособие к начислению, руб.')))
    out.append(('row15', Row(640, [Cell(4300, 'Итого пособие ', SLOT, ' руб., в т.ч. за отчетный месяц ', SLOT,
                                        ' руб.', size=16, bold=True),
                                   Cell(WIDTH - 4300, '(', SLOT, ')', size=16, italic=True)])))
    out.append(('row16', Row(480, [text(2800, 'Главный бухгалтер', valign='b'), line(2300, ''), gap(200),
                                   line(WIDTH - 5300, SLOT)])))
    out.append(('row17', Row(480, [text(2800, 'Расчет произвел бухгалтер', valign='b'), line(2300, ''),
                                   gap(200), line(WIDTH - 5300, SLOT)])))
    return out


def write_row(row, opening, counter):
    """ps.write_row, with LINE items as line breaks."""
    rtf = ps.write_row(Row(row.height, [Cell(c.width, *[i for i in c.items if i is not LINE], align=c.align,
                                             borders=c.borders, size=c.size, bold=c.bold, italic=c.italic,
                                             valign=c.valign) for c in row.cells]), opening, counter)
    for cell in row.cells:
        if LINE in cell.items:
            caption_text = '{%s}' % ps.rtf_text(cell.items[0])
            rtf = rtf.replace(caption_text + '{\\*\\bkmkstart', caption_text + '{\\line }{\\*\\bkmkstart', 1)
    return rtf


def write_template(path):
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % ps.rtf_text('Реестр расчетов пособий по временной нетрудоспособности'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (ps.PAGE_WIDTH, ps.PAGE_HEIGHT, ps.MARGIN_LEFT, ps.MARGIN_RIGHT, ps.MARGIN_TOP, ps.MARGIN_BOTTOM,
              ps.PAGE_WIDTH, ps.PAGE_HEIGHT, ps.MARGIN_LEFT, ps.MARGIN_RIGHT, ps.MARGIN_TOP, ps.MARGIN_BOTTOM)]
    counter = [0]
    # Every copy of the page begins a new sheet.
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}{\\par }\n')
    for row in head_rows():
        out.append(ps.write_row(row, '', counter))
    assert counter[0] == 18, counter[0]
    open_region = None
    for name, row in items():
        assert name
        # A region ends in the first cell of the row after it; a region right
        # after another opens with its start, then the end of the one above.
        opening = '{\\*\\bkmkstart %s}' % name
        if open_region:
            opening += '{\\*\\bkmkend %s}' % open_region
        out.append(write_row(row, opening, counter))
        open_region = name
    if open_region:
        out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend %s}{\\par }\n' % open_region)
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d value slots' % (path, counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 'bln-reestr.rtf'))


if __name__ == '__main__':
    main()
