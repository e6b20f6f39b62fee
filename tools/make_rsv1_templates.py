#!/usr/bin/env python3
"""Writes data/Shablon/avans-rsv1-2010.rtf and avans-rsv1-2011.rtf, the
calculation of accrued and paid insurance contributions to the pension fund
and the medical insurance funds (form RSV-1 PFR), in the shape that
print::CTree reads (see src/print/CTree.h):

  page regions "page0" ... "page6", each its own section starting a new
  sheet; "page3" (the list of disabled employees) holds the row regions row0
  (a list line), row1 (the totals), row3 (a blank line), row4 ... row8 (the
  list's foot, today's date in row5); value slots "parK" numbered through the
  file in the order in which the form's writer
  (src/reports/social/PensionForm.cpp) adds its values.

2011: page4 is the conformity check under Article 57, page5 the one under
Article 58, page6 the debt page. 2010: page5 is the debt page; page4 and
page6 hold the two checks, which the 2010 report does not fill.

Run from the project folder after changing a layout:
    python3 tools/make_rsv1_templates.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import (  # noqa: E402
    Cell, Row, SLOT, WIDTH, HEIGHT, PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP,
    MARGIN_BOTTOM, rtf_text, text, line, box, gap)
from make_fss4_2011_template import (  # noqa: E402
    CELL, cells, hidden, title_row, note_row, table_head, table_line, list_line, LIST_LINE, write_page)

LABEL = 1900


def page_head():
    """Registration number in the fund and the page number."""
    return [
        Row(300, [text(3600, 'Регистрационный номер в ПФР', size=16)] + cells(12)
            + [text(1400, 'Стр.', align='r', size=16)] + cells(3)),
        Row(120, [gap(WIDTH)]),
    ]


def dated():
    return Row(320, [text(6500, ''), text(1200, 'Дата', align='r', size=18), line(2400, SLOT)])


def signature():
    return Row(420, [text(3000, 'Руководитель организации', size=16, valign='b'), line(2500, '', valign='b'),
                     gap(300), line(4000, '', valign='b')])


# ---------------------------------------------------------------- page0, title

def title_page(year):
    order = '16.02.2010 № 894н' if year == 2010 else '12.11.2009 № 894н'
    return page_head() + [
        Row(220, [text(WIDTH, 'Приложение № 1 к приказу Министерства здравоохранения и социального развития '
                              'Российской Федерации от %s' % order, align='r', size=14)]),
        Row(300, [text(WIDTH, 'Форма РСВ-1 ПФР', align='r', size=22, bold=True)]),
        title_row('РАСЧЕТ'),
        Row(560, [text(WIDTH, 'по начисленным и уплаченным страховым взносам на обязательное пенсионное '
                              'страхование в Пенсионный фонд Российской Федерации и на обязательное медицинское '
                              'страхование в Федеральный фонд обязательного медицинского страхования и '
                              'территориальные фонды обязательного медицинского страхования плательщиками '
                              'страховых взносов, производящими выплаты и иные вознаграждения физическим лицам',
                       align='c', size=16, bold=True)]),
        Row(120, [gap(WIDTH)]),
        Row(320, [text(2000, 'Номер корректировки', size=16)] + cells(3)
            + [text(2400, 'Отчетный период (код)', align='r', size=16)] + cells(2)
            + [text(2200, 'Календарный год', align='r', size=16)] + cells(4)),
        Row(120, [gap(WIDTH)]),
        Row(360, [line(WIDTH, SLOT, align='l', size=20)]),
        Row(220, [Cell(WIDTH, '(наименование организации, обособленного подразделения / фамилия, имя, отчество '
                              'индивидуального предпринимателя, физического лица)', align='c', size=13,
                       valign='t')]),
        Row(320, [text(3800, 'Регистрационный номер в ТФОМС', size=16)] + cells(15)),
        Row(320, [text(LABEL, 'Код по ОКАТО', size=16)] + cells(11)
            + [text(900, 'ИНН', align='r', size=16)] + cells(12)),
        Row(320, [text(LABEL, 'Код по ОКВЭД', size=16)] + cells(6)
            + [text(800, 'КПП', align='r', size=16)] + cells(9)
            + [text(1300, 'Код по ОКПО', align='r', size=16)] + cells(10)),
        Row(320, [text(LABEL, 'ОГРН (ОГРНИП)', size=16)] + cells(15)
            + [text(2000, 'Код по ОКОПФ', align='r', size=16)] + cells(2)),
        Row(320, [text(LABEL, 'Номер контактного телефона', size=14)] + cells(15)
            + [text(2000, 'Код по ОКФС', align='r', size=16)] + cells(2)),
        Row(320, [text(LABEL, 'Адрес', size=16), text(800, 'индекс', size=14), line(1100, SLOT),
                  text(900, 'регион', align='r', size=14), line(2800, SLOT, align='l'),
                  text(800, 'район', align='r', size=14), line(1800, SLOT, align='l')]),
        Row(320, [text(LABEL, '', size=16), text(800, 'город', size=14), line(2200, SLOT, align='l'),
                  text(1400, 'нас. пункт', align='r', size=14), line(1200, SLOT, align='l'),
                  text(800, 'улица', align='r', size=14), line(1900, SLOT, align='l')]),
        Row(320, [text(LABEL, '', size=16), text(800, 'дом', size=14), line(800, SLOT),
                  text(1000, 'корпус', align='r', size=14), line(800, SLOT),
                  text(900, 'кв.', align='r', size=14), line(800, SLOT)]),
        Row(160, [gap(WIDTH)]),
        Row(320, [text(WIDTH - 6 * CELL - 200, 'Численность застрахованных лиц', size=16), gap(200)] + cells(6)),
        Row(320, [text(WIDTH - 6 * CELL - 200, 'Среднесписочная численность', size=16), gap(200)] + cells(6)),
        Row(320, [text(WIDTH - 2 * CELL - 200, 'Код тарифа', size=16), gap(200)] + cells(2)),
        Row(160, [gap(WIDTH)]),
        Row(320, [text(2600, 'Расчет представлен на', size=16)] + cells(3)
            + [text(4700, 'страницах с приложением подтверждающих документов или их копий на', align='c',
                    size=14)] + cells(3) + [text(1000, 'листах', size=16)]),
        Row(160, [gap(WIDTH)]),
        Row(300, [text(WIDTH, 'Достоверность и полноту сведений, указанных в настоящем расчете, подтверждаю:',
                       size=16, bold=True)]),
        Row(320, cells(1) + [text(WIDTH - CELL, '  1 - плательщик страховых взносов, 2 - представитель '
                                                 'плательщика страховых взносов', size=16)]),
        Row(360, [line(6500, SLOT, align='l')]),
        Row(220, [Cell(6500, '(фамилия, имя, отчество руководителя организации, индивидуального '
                             'предпринимателя, физического лица, представителя)', align='c', size=13,
                       valign='t')]),
        Row(360, [text(1100, 'Подпись', size=16), line(1800, ''), text(1000, 'Дата', align='r', size=16)]
            + cells(8) + [text(1200, 'М.П.', align='r', size=16)]),
    ]


# ---------------------------------------------------------------- pages 1 and 2

AMOUNT_LABEL, CODE = 4200, 600
AMOUNT = (WIDTH - AMOUNT_LABEL - CODE) // 4
KINDS = ['Страховая часть трудовой пенсии', 'Накопительная часть трудовой пенсии', 'ФФОМС', 'ТФОМС']


def amounts(label, code, count=4, height=300, size=14):
    return table_line(label, code, [SLOT] * count, AMOUNT_LABEL, AMOUNT, height=height, size=size)


def amount_head(first_column='Наименование показателя'):
    return table_head([(AMOUNT_LABEL, first_column), (CODE, 'Код стр.')] + [(AMOUNT, kind) for kind in KINDS],
                      height=420, size=13)


SECTION1 = [
    ('Остаток страховых взносов, подлежащих уплате на начало расчетного периода', '100'),
    ('Начислено страховых взносов с начала расчетного периода', '110'),
    ('   в том числе за 1 месяц последних трех месяцев', '111'),
    ('   за 2 месяц', '112'),
    ('   за 3 месяц', '113'),
    ('   всего за последние три месяца', '114'),
    ('Доначислено страховых взносов с начала расчетного периода', '120'),
    ('Всего к уплате (стр. 100 + 110 + 120)', '130'),
    ('Уплачено с начала расчетного периода', '140'),
    ('   в том числе за 1 месяц последних трех месяцев', '141'),
    ('   за 2 месяц', '142'),
    ('   за 3 месяц', '143'),
    ('   всего за последние три месяца', '144'),
    ('Остаток страховых взносов, подлежащих уплате на конец отчетного периода (стр. 130 - 140)', '150'),
]

SECTION2 = [
    'Сумма выплат и иных вознаграждений, начисленных в пользу физических лиц',
    '   лицам 1966 года рождения и старше', '   лицам 1967 года рождения и моложе',
    'Сумма выплат, не подлежащих обложению страховыми взносами',
    '   лицам 1966 года рождения и старше', '   лицам 1967 года рождения и моложе',
    'Сумма расходов, принимаемая к вычету',
    '   лицам 1966 года рождения и старше', '   лицам 1967 года рождения и моложе',
    'Сумма выплат, превышающих предельную величину базы',
    '   лицам 1966 года рождения и старше', '   лицам 1967 года рождения и моложе',
    'База для начисления взносов на страховую часть (1966 г.р. и старше)',
    'База для начисления взносов на страховую и накопительную части (1967 г.р. и моложе)',
    'База для начисления взносов на обязательное медицинское страхование',
    'Начислено на страховую часть трудовой пенсии',
    'Начислено на накопительную часть трудовой пенсии',
    'Начислено в ФФОМС', 'Начислено в ТФОМС',
]
PERIOD_COLUMNS = ['Всего с начала расчетного периода', '1 месяц', '2 месяц', '3 месяц']


def tariff_table(lines):
    rows = [table_head([(AMOUNT_LABEL, 'Наименование показателя'), (CODE, 'Код стр.')]
                       + [(AMOUNT, column) for column in PERIOD_COLUMNS], height=420, size=13)]
    for number, label in enumerate(SECTION2[:lines]):
        rows.append(amounts(label, str(200 + number), height=260, size=12))
    return rows


def tariff_code_row():
    return Row(300, [text(WIDTH - 2 * CELL - 200, 'Код тарифа', align='r', size=16), gap(200)] + cells(2))


def section1_page():
    rows = page_head() + [
        title_row('Раздел 1. Расчет по начисленным и уплаченным страховым взносам', size=18, height=320),
        note_row('Код по ОКЕИ: рубль - 383', align='r'),
        amount_head(),
    ]
    rows += [amounts(label, code, height=300, size=13) for label, code in SECTION1]
    rows += [Row(120, [gap(WIDTH)]),
             title_row('Раздел 2. Расчет по тарифу страховых взносов', size=18, height=320),
             tariff_code_row()]
    return rows + tariff_table(19) + [dated()]


def reduced_tariff_page():
    rows = page_head() + [
        title_row('Раздел 2. Расчет по пониженному тарифу страховых взносов (выплаты инвалидам)', size=16,
                  height=320),
    ]
    rows += tariff_table(19)
    rows += [Row(120, [gap(WIDTH)]),
             title_row('Расчет по второму пониженному тарифу страховых взносов', size=16, height=320)]
    return rows + tariff_table(16) + [dated()]


# ---------------------------------------------------------------- page3, the list

def list_page():
    head = page_head() + [
        title_row('Раздел 3. Расчет соответствия условий на право применения пониженного тарифа для '
                  'плательщиков страховых взносов, производящих выплаты физическим лицам, являющимся '
                  'инвалидами I, II или III группы', size=16, height=720),
        list_line(['№ п/п', 'Фамилия, имя, отчество', 'Дата выдачи справки МСЭ', 'Дата окончания действия справки',
                   'Сумма выплат с начала года', 'в т.ч. 1 месяц', '2 месяц', '3 месяц'], bold=True, height=620),
    ]
    widths = [500, 3100, 1200, 1300, 1100, 1000, 1000, 1000]
    regions = [
        ('row0', list_line([SLOT] * 8)),
        ('row1', Row(LIST_LINE, [box(sum(widths[:4]), 'Итого', align='r', size=15, bold=True)]
                     + [box(w, SLOT, align='r', size=15, bold=True) for w in widths[4:]])),
        ('row3', list_line([''] * 8)),
        ('row4', signature()),
        ('row5', Row(320, [gap(3000), Cell(2500, '(подпись)', align='c', size=13, valign='t'), gap(300),
                           Cell(1500, '(Ф.И.О.)', align='c', size=13, valign='t'),
                           text(700, 'Дата', align='r', size=16), line(1800, SLOT)])),
        ('row6', Row(300, [text(WIDTH, 'М.П.', size=16)])),
        ('row7', Row(120, [gap(WIDTH)])),
        ('row8', note_row('Лист списка работников-инвалидов; итог приводится на последнем листе', size=13)),
    ]
    used = sum(r.height for r in head) + 34 * LIST_LINE + sum(r.height for _, r in regions[3:])
    assert used < HEIGHT - 200, 'the list page does not fit: %d' % used
    return head, regions


# ---------------------------------------------------------------- pages 4-6

def check_line(label, code, height=420):
    return table_line(label, code, [SLOT], 6300, WIDTH - 6900, height=height, size=15)


def article57_page():
    return page_head() + [
        title_row('Раздел 4. Расчет соответствия условий на право применения пониженного тарифа '
                  'страховых взносов плательщиками, указанными в пункте 1 части 1 статьи 58 Федерального закона '
                  'от 24 июля 2009 года № 212-ФЗ (статья 57)', size=16, height=720),
        table_head([(6300, 'Наименование показателя'), (600, 'Код стр.'), (WIDTH - 6900, 'Значение показателя')],
                   height=300),
        check_line('Общая сумма доходов, определяемая в соответствии со статьей 248 НК РФ', '430'),
        check_line('Сумма доходов, определяемая в соответствии с пунктом 2.1 статьи 57', '431'),
        check_line('Доля доходов (стр. 431 / стр. 430 x 100)', '432'),
        check_line('Среднесписочная численность работников', '433'),
        table_line('Дата и номер записи в реестре аккредитованных организаций', '434', [SLOT, SLOT], 6300,
                   (WIDTH - 6900) // 2, height=420, size=15),
        Row(200, [gap(WIDTH)]), signature(), dated(),
    ]


def article58_page():
    return page_head() + [
        title_row('Раздел 5. Расчет соответствия условий на право применения пониженного тарифа страховых взносов '
                  'плательщиками, применяющими упрощенную систему налогообложения (статья 58)', size=16,
                  height=560),
        table_head([(6300, 'Наименование показателя'), (600, 'Код стр.'), (WIDTH - 6900, 'Значение показателя')],
                   height=300),
        check_line('Сумма доходов, определяемая в соответствии со статьей 346.15 НК РФ', '435'),
        check_line('Сумма доходов от осуществления основного вида экономической деятельности', '436'),
        check_line('Доля доходов (стр. 436 / стр. 435 x 100)', '437'),
        Row(200, [gap(WIDTH)]), signature(), dated(),
    ]


def debt_page():
    half = (WIDTH - 6900) // 2
    return page_head() + [
        title_row('Раздел 6. Суммы перерасчета страховых взносов за предыдущие расчетные периоды', size=16,
                  height=480),
        table_head([(6300, 'Наименование показателя'), (600, 'Код стр.'), (half, 'Страховая часть'),
                    (half, 'Накопительная часть')], height=420),
        table_line('Задолженность по страховым взносам на начало расчетного периода', '510', [SLOT, SLOT], 6300,
                   half, height=420, size=15),
        table_line('Уплачено в счет погашения задолженности', '520', [SLOT, SLOT], 6300, half, height=420, size=15),
        table_line('Задолженность на конец отчетного периода', '530', [SLOT, SLOT], 6300, half, height=420,
                   size=15),
        Row(200, [gap(WIDTH)]), signature(), dated(),
    ]


# ---------------------------------------------------------------- RTF output

def write_template(year):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon',
                        'avans-rsv1-%d.rtf' % year)
    margins = (PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM)
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text('Расчет по страховым взносам (форма РСВ-1 ПФР)'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n' % (margins + margins)]
    counter = [0]
    list_head, list_regions = list_page()
    if year == 2010:
        tail = [article57_page(), debt_page(), article58_page()]
    else:
        tail = [article57_page(), article58_page(), debt_page()]
    pages = [title_page(year), section1_page(), reduced_tariff_page(), list_head] + tail
    counts = []
    for number, rows in enumerate(pages):
        regions = list_regions if number == 3 else ()
        counts.append(write_page(out, number, rows, counter, regions, last=number == len(pages) - 1))
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: value slots per page %s, %d in all' % (path, counts, counter[0]))


if __name__ == '__main__':
    write_template(2010)
    write_template(2011)
