#!/usr/bin/env python3
"""Writes data/Shablon/avans-fss4-2011.rtf, the settlement statement with the
social insurance fund (form 4-FSS as approved for 2011), in the shape that
print::CTree reads (see src/print/CTree.h):

  ten page regions "page0" ... "page9", each its own section starting a new
  sheet; "page4" (the list of employees paid as disabled persons) holds the row
  regions row0 (a list line), row1 (the totals), row3 (a blank line), row4 ...
  row8 (the page's foot, today's date in row5); value slots "parK" numbered
  through the file in the order in which the form's writer
  (src/reports/social/SocialInsurance2011Form.cpp) adds its values.

Codes and numbers stand one character per cell, as on the fund's paper form.
The list page holds 32 lines and the blank line that closes it.

Run from the project folder after changing a layout:
    python3 tools/make_fss4_2011_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import (  # noqa: E402
    Cell, Row, SLOT, WIDTH, HEIGHT, PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP,
    MARGIN_BOTTOM, rtf_text, text, line, box, gap)

CELL = 240          # one character cell
LABEL = 1900        # the label column of the title page


def cells(count, size=20):
    return [box(CELL, SLOT, size=size) for _ in range(count)]


def hidden(count):
    """Value slots that the form does not show."""
    return Cell(120, *([SLOT] * count), size=2)


def fixed(width, words, size=16, **format):
    return box(width, words, size=size, **format)


def title_row(words, size=24, height=400):
    return Row(height, [text(WIDTH, words, align='c', size=size, bold=True)])


def note_row(words, size=14, height=240, align='l'):
    return Row(height, [text(WIDTH, words, align=align, size=size)])


def page_head():
    """Registration number, additional code, page number, subordination code."""
    return [
        Row(300, [text(3100, 'Регистрационный номер страхователя', size=16)] + cells(10)
            + [text(1700, 'Дополнительный код', align='r', size=16)] + cells(10)),
        Row(300, [gap(5800), text(900, 'Стр.', align='r', size=16)] + cells(3)
            + [text(1580, 'Код подчиненности', align='r', size=16)] + cells(5)),
        Row(120, [gap(WIDTH)]),
    ]


def dated(label='Дата'):
    return Row(320, [text(6500, ''), text(1200, label, align='r', size=18), line(2400, SLOT)])


# ---------------------------------------------------------------- page0, title

def title_page():
    rows = page_head() + [
        Row(220, [text(WIDTH, 'Приложение № 1 к приказу Министерства здравоохранения и социального развития '
                              'Российской Федерации от 12.03.2010 № 156н', align='r', size=14)]),
        Row(300, [text(WIDTH, 'Форма 4 - ФСС', align='r', size=22, bold=True)]),
        title_row('РАСЧЕТНАЯ ВЕДОМОСТЬ'),
        Row(280, [text(WIDTH, 'по средствам Фонда социального страхования Российской Федерации', align='c',
                       size=20, bold=True)]),
        Row(120, [gap(WIDTH)]),
        Row(320, [text(1900, 'Номер корректировки', size=16)] + cells(3)
            + [text(2000, 'Отчетный период (код)', align='r', size=16)] + cells(2)
            + [text(200, '/', align='c')] + cells(2)
            + [text(2000, 'Календарный год', align='r', size=16)] + cells(4)),
        Row(120, [gap(WIDTH)]),
        Row(360, [line(WIDTH, SLOT, align='l', size=20)]),
        Row(220, [Cell(WIDTH, '(полное наименование организации, обособленного подразделения / фамилия, имя, '
                              'отчество индивидуального предпринимателя, физического лица)',
                       align='c', size=13, valign='t')]),
        Row(320, [text(LABEL, 'Код по ОКАТО', size=16)] + cells(11)
            + [text(900, 'ИНН', align='r', size=16)] + cells(12)),
        Row(320, [text(LABEL, 'Код по ОКВЭД', size=16)] + cells(6)
            + [text(800, 'КПП', align='r', size=16)] + cells(9)
            + [text(1300, 'Код по ОКПО', align='r', size=16)] + cells(10)),
        Row(320, [text(LABEL, 'ОГРН (ОГРНИП)', size=16)] + cells(15)
            + [text(2000, 'Код по ОКОПФ', align='r', size=16)] + cells(2)),
        Row(320, [text(LABEL, 'Контактный телефон', size=16)] + cells(15)
            + [text(2000, 'Код по ОКФС', align='r', size=16)] + cells(2) + [hidden(2)]),
        Row(320, [text(3900, 'Адрес места нахождения: почтовый индекс', size=16), line(1500, SLOT)]),
        Row(320, [text(LABEL, 'Код тарифа', size=16)] + cells(3)
            + [text(3400, 'Признак применения УСН (код)', align='r', size=16)] + cells(2)
            + [text(2300, 'Признаки (код)', align='r', size=16)] + cells(2)),
        Row(320, [text(LABEL, 'Регион', size=16), line(WIDTH - LABEL, SLOT, align='l')]),
        Row(320, [text(LABEL, 'Район', size=16), line(WIDTH - LABEL, SLOT, align='l')]),
        Row(320, [text(LABEL, 'Город', size=16), line(3100, SLOT, align='l'),
                  text(1900, 'Населенный пункт', align='r', size=16), line(3300, SLOT, align='l')]),
        Row(320, [text(LABEL, 'Улица', size=16), line(3600, SLOT, align='l'),
                  text(700, 'Дом', align='r', size=16), line(800, SLOT),
                  text(900, 'Корпус', align='r', size=16), line(700, SLOT),
                  text(800, 'Кв.', align='r', size=16), line(800, SLOT)]),
        Row(160, [gap(WIDTH)]),
    ]
    for words in ['Среднесписочная численность работников', 'из них: женщин', 'работающих инвалидов',
                  'работников, занятых на работах с вредными и (или) опасными производственными факторами']:
        rows.append(Row(320, [text(WIDTH - 6 * CELL - 200, words, size=16), gap(200)] + cells(6)))
    rows += [
        Row(160, [gap(WIDTH)]),
        Row(320, [text(2300, 'Расчет представлен на', size=16)] + cells(3)
            + [text(5000, 'страницах с приложением подтверждающих документов или их копий на', align='c',
                    size=14)] + cells(3) + [text(1000, 'листах', size=16)]),
        Row(160, [gap(WIDTH)]),
        Row(300, [text(WIDTH, 'Достоверность и полноту сведений, указанных в настоящем расчете, подтверждаю:',
                       size=16, bold=True)]),
        Row(320, cells(1) + [text(WIDTH - CELL, '  1 - страхователь, 2 - представитель страхователя', size=16)]),
        Row(360, [line(6500, SLOT, align='l')]),
        Row(220, [Cell(6500, '(фамилия, имя, отчество руководителя организации, индивидуального предпринимателя, '
                             'физического лица, представителя)', align='c', size=13, valign='t')]),
        Row(360, [text(1100, 'Подпись', size=16), line(1800, ''), text(1000, 'Дата', align='r', size=16)]
            + cells(8) + [text(1200, 'М.П.', align='r', size=16)]),
        Row(300, [text(WIDTH - 200, 'Документ, подтверждающий полномочия представителя', size=14), hidden(1)]),
    ]
    return rows


# ---------------------------------------------------------------- table rows

def table_head(columns, height=600, size=14):
    return Row(height, [fixed(width, words, size=size) for width, words in columns])


def table_line(label, code, values, label_width, value_width, height=300, size=16, bold=False):
    cells_ = [box(label_width, label, align='l', size=size, bold=bold), box(600, code, size=size)]
    for value in values:
        cells_.append(box(value_width, value, align='r', size=size))
    return Row(height, cells_)


SETTLEMENT_LABEL, SETTLEMENT_VALUE = 6300, 3300


def settlement(label, code, *values, height=300):
    width = SETTLEMENT_VALUE // len(values) if values else SETTLEMENT_VALUE
    return table_line(label, code, list(values), SETTLEMENT_LABEL, width, height=height, size=15)


def settlements_page():
    rows = page_head() + [
        title_row('Раздел I. Расчет по начисленным, уплаченным страховым взносам на обязательное социальное '
                  'страхование на случай временной нетрудоспособности и в связи с материнством и по расходам '
                  'на выплату страхового обеспечения', size=18, height=700),
        title_row('Таблица 1. Расчеты по обязательному социальному страхованию', size=18, height=300),
        note_row('Код по ОКЕИ: рубль - 383', align='r'),
        table_head([(SETTLEMENT_LABEL, 'Наименование показателя'), (600, 'Код стр.'), (SETTLEMENT_VALUE, 'Сумма')],
                   height=300),
        settlement('Задолженность за страхователем на начало расчетного периода', '1', SLOT),
        settlement('Начислено страховых взносов: с начала расчетного периода', '2', SLOT),
        settlement('   в том числе: за предыдущие месяцы / за последние три месяца', '', SLOT, SLOT),
        settlement('   1 месяц / 2 месяц / 3 месяц', '', SLOT, SLOT, SLOT),
        settlement('Начислено страховых взносов по актам проверок', '3', SLOT),
        settlement('   в том числе за последние три месяца (1, 2, 3 месяц)', '', SLOT, SLOT, SLOT, SLOT, SLOT,
                   height=300),
        settlement('Не принято к зачету расходов / в т.ч. по актам проверок', '4', SLOT, SLOT),
        settlement('   в том числе за последние три месяца (1, 2, 3 месяц)', '', SLOT, SLOT, SLOT, SLOT, SLOT),
        settlement('Доначислено страховых взносов, всего', '5', SLOT),
        settlement('   на начало периода / за последние три месяца', '', SLOT, SLOT),
        settlement('   1 месяц / 2 месяц / 3 месяц', '', SLOT, SLOT, SLOT),
        settlement('Получено от территориального органа Фонда в возмещение расходов', '6', SLOT),
        settlement('Итого (стр. 1 + 2 + 3 + 4 + 5 + 6)', '7', SLOT),
        settlement('Задолженность за территориальным органом Фонда на конец отчетного периода', '8', SLOT,
                   height=400),
        settlement('   в том числе: за счет превышения расходов / за счет переплаты страховых взносов', '9',
                   SLOT, SLOT, height=400),
        settlement('Задолженность за территориальным органом Фонда на начало расчетного периода', '10', SLOT,
                   height=400),
        settlement('   в том числе: за счет превышения расходов / за счет переплаты страховых взносов', '',
                   SLOT, SLOT, height=400),
        settlement('Израсходовано на цели обязательного социального страхования: с начала периода', '11', SLOT,
                   height=400),
        settlement('   в том числе: за предыдущие месяцы / за последние три месяца', '', SLOT, SLOT),
        settlement('   1 месяц / 2 месяц / 3 месяц', '', SLOT, SLOT, SLOT),
        settlement('Перечислено страхователем: всего', '12', SLOT),
        settlement('   на начало отчетного периода / за последние три месяца', '', SLOT, SLOT),
    ]
    for number in range(1, 4):
        rows.append(settlement('   дата, № платежного поручения (%d) / сумма' % number, '', SLOT, SLOT))
    rows += [
        settlement('Списанная сумма задолженности страхователя', '13', SLOT),
        settlement('Итого (стр. 9 + 10 + 11 + 12 + 13)', '14', SLOT),
        settlement('Задолженность за страхователем на конец отчетного периода', '15', SLOT),
        settlement('   в том числе недоимка', '16', SLOT),
        Row(200, [gap(WIDTH)]),
        dated(),
    ]
    return rows


BENEFIT_LABEL, BENEFIT_VALUE = 4300, 1320


def benefit(label, code, count, height=400):
    values = [SLOT] * count + [''] * (4 - count)
    return table_line(label, code, values, BENEFIT_LABEL, BENEFIT_VALUE, height=height, size=15)


def benefits_page():
    return page_head() + [
        title_row('Таблица 2. Расходы по обязательному социальному страхованию на случай временной '
                  'нетрудоспособности и в связи с материнством', size=18, height=560),
        table_head([(BENEFIT_LABEL, 'Наименование показателя'), (600, 'Код стр.'),
                    (BENEFIT_VALUE, 'Число случаев (получателей)'),
                    (BENEFIT_VALUE, 'Число дней (выплат, пособий)'), (BENEFIT_VALUE, 'Сумма расходов'),
                    (BENEFIT_VALUE, 'из них за счет средств, финансируемых из федерального бюджета')],
                   height=900),
        benefit('Пособия по временной нетрудоспособности', '1', 4),
        benefit('   в том числе работающим по совместительству и на неполную ставку', '2', 4),
        benefit('Единовременные пособия: при рождении ребенка (число, сумма); вставшим на учет в ранние '
                'сроки беременности (число, сумма)', '3', 4, height=620),
        benefit('Ежемесячное пособие по уходу за ребенком, всего', '4', 4),
        benefit('   по уходу за первым ребенком', '5', 4),
        benefit('   по уходу за вторым и последующими детьми', '6', 4),
        benefit('Оплата дополнительных выходных дней для ухода за детьми-инвалидами', '7', 3),
        benefit('Социальное пособие на погребение', '8', 3),
        benefit('ИТОГО', '9', 3),
        Row(200, [gap(WIDTH)]),
        dated(),
    ]


BASE_LABEL, BASE_VALUE = 3300, 1260


def base_page():
    rows = page_head() + [
        title_row('Таблица 3. База для начисления страховых взносов', size=18, height=320),
        table_head([(BASE_LABEL, 'Наименование показателя'), (600, 'Код стр.'),
                    (BASE_VALUE, 'Всего с начала расчетного периода'),
                    (BASE_VALUE, 'За последние три месяца отчетного периода'),
                    (BASE_VALUE, '1 месяц'), (BASE_VALUE, '2 месяц'), (BASE_VALUE, '3 месяц')], height=800),
    ]
    for number, label in enumerate(['Сумма выплат и иных вознаграждений в пользу физических лиц',
                                    'Суммы, не подлежащие обложению страховыми взносами',
                                    'Суммы выплат и иных вознаграждений в пользу работников-инвалидов'], 1):
        rows.append(table_line(label, str(number), [SLOT] * 5, BASE_LABEL, BASE_VALUE, height=520, size=15))
    return rows + [Row(200, [gap(WIDTH)]), dated()]


# ---------------------------------------------------------------- page4, the list

LIST_COLUMNS = [500, 3100, 1200, 1300, 1100, 1000, 1000, 1000]
LIST_LINE = 330


LIST_ALIGN = ['c', 'l', 'c', 'c', 'r', 'r', 'r', 'r']


def list_line(values, bold=False, height=LIST_LINE):
    return Row(height, [box(width, value, align=align, size=15, bold=bold)
                        for width, align, value in zip(LIST_COLUMNS, LIST_ALIGN, values)])


def list_page():
    head = page_head() + [
        title_row('Сведения, необходимые для применения пониженного тарифа страховых взносов страхователями, '
                  'производящими выплаты физическим лицам - инвалидам I, II или III группы', size=16,
                  height=480),
        list_line(['№ п/п', 'Фамилия, имя, отчество', 'Дата выдачи справки МСЭ', 'Дата окончания действия справки',
                   'Сумма выплат с начала года', 'в т.ч. 1 месяц', '2 месяц', '3 месяц'], bold=True, height=620),
    ]
    regions = [
        ('row0', list_line([SLOT] * 8)),
        ('row1', Row(LIST_LINE, [box(sum(LIST_COLUMNS[:4]), 'Итого', align='r', size=15, bold=True)]
                     + [box(w, SLOT, align='r', size=15, bold=True) for w in LIST_COLUMNS[4:]])),
        ('row3', list_line([''] * 8)),
        ('row4', Row(420, [text(3000, 'Руководитель организации', size=16, valign='b'),
                           line(2000, '', valign='b'), gap(300), line(3500, '', valign='b')])),
        ('row5', Row(320, [gap(3000), Cell(2000, '(подпись)', align='c', size=13, valign='t'), gap(300),
                           Cell(1500, '(Ф.И.О.)', align='c', size=13, valign='t'),
                           text(700, 'Дата', align='r', size=16), line(1800, SLOT)])),
        ('row6', Row(300, [text(WIDTH, 'М.П.', size=16)])),
        ('row7', Row(120, [gap(WIDTH)])),
        ('row8', note_row('Лист списка работников-инвалидов; итог приводится на последнем листе', size=13)),
    ]
    used = sum(r.height for r in head) + 34 * LIST_LINE + sum(r.height for _, r in regions[3:])
    assert used < HEIGHT - 200, 'the list page does not fit: %d' % used
    return head, regions


# ---------------------------------------------------------------- pages 5-9

def reduced_tariff_page():
    rows = page_head() + [
        title_row('Таблица 4. Расчет соответствия условий на право применения пониженного тарифа '
                  'страховых взносов плательщиками, применяющими упрощенную систему налогообложения',
                  size=16, height=560),
        table_head([(6300, 'Наименование показателя'), (600, 'Код стр.'), (3300, 'Значение показателя')],
                   height=300),
    ]
    for number, label in enumerate(['Сумма доходов, определяемая в соответствии со статьей 346.15 НК РФ',
                                    'Сумма доходов от осуществления основного вида экономической деятельности',
                                    'Доля доходов (стр. 2 / стр. 1 x 100)'], 1):
        rows.append(table_line(label, str(number), [''], 6300, 3300, height=400, size=15))
    return rows + [Row(200, [gap(WIDTH)]), dated()]


def table41_page():
    line_ = lambda label, code: table_line(label, code, [SLOT], 6300, 3300, height=420, size=15)  # noqa: E731
    return page_head() + [
        title_row('Таблица 4.1. Расчет соответствия условий на право применения пониженного тарифа страховых '
                  'взносов плательщиками, осуществляющими деятельность в области информационных технологий',
                  size=16, height=560),
        table_head([(6300, 'Наименование показателя'), (600, 'Код стр.'), (3300, 'Значение показателя')],
                   height=300),
        line_('Среднесписочная численность работников (чел.)', '1'),
        line_('Сумма доходов, определяемая в соответствии со статьей 248 НК РФ', '2'),
        line_('Сумма доходов от реализации экземпляров программ для ЭВМ, баз данных, услуг по их разработке', '3'),
        line_('Доля доходов (стр. 3 / стр. 2 x 100)', '4'),
        line_('Сведения о записи в реестре аккредитованных организаций: дата записи', '5'),
        line_('   номер записи', ''),
        Row(200, [gap(WIDTH)]),
        dated(),
    ]


def table5_page():
    rows = page_head() + [
        title_row('Таблица 5. Расшифровка выплат, произведенных из средств, финансируемых из федерального '
                  'бюджета', size=16, height=560),
        table_head([(4300, 'Наименование показателя'), (600, 'Код стр.'), (1760, 'Число получателей'),
                    (1760, 'Число выплат'), (1760, 'Расходы')], height=300),
    ]
    for number, label in enumerate(['Пострадавшим в связи с радиационными авариями и ядерными испытаниями',
                                    'Оплата отпуска сверх ежегодного оплачиваемого отпуска',
                                    'Пособия по временной нетрудоспособности', 'ИТОГО'], 1):
        rows.append(table_line(label, str(number), ['', '', ''], 4300, 1760, height=420, size=15))
    return rows + [Row(200, [gap(WIDTH)]), dated()]


INJURY_LABEL, INJURY_VALUE = 2700, 2300


def injury_page():
    rows = page_head() + [
        title_row('Раздел II. Расчет по начисленным, уплаченным страховым взносам на обязательное социальное '
                  'страхование от несчастных случаев на производстве и профессиональных заболеваний и расходов '
                  'на выплату страхового обеспечения', size=16, height=740),
        title_row('Таблица 6. База для начисления страховых взносов', size=16, height=300),
        table_head([(INJURY_LABEL, 'Период'), (600, 'Код стр.'),
                    (INJURY_VALUE, 'Сумма выплат и иных вознаграждений (база)'),
                    (INJURY_VALUE, 'в т.ч. в пользу работников-инвалидов'),
                    (INJURY_VALUE, 'Начислено страховых взносов')], height=500),
    ]
    for number, label in enumerate(['Всего с начала расчетного периода', 'За последние три месяца',
                                    '1 месяц', '2 месяц', '3 месяц'], 1):
        rows.append(table_line(label, str(number), [SLOT] * 3, INJURY_LABEL, INJURY_VALUE, height=300, size=15))
    rows += [
        Row(300, [text(6300, 'Размер страхового тарифа в соответствии с классом профессионального риска (%)',
                       size=15), box(1500, SLOT)]),
        title_row('Таблица 7. Расчеты по обязательному социальному страхованию от несчастных случаев на '
                  'производстве и профессиональных заболеваний', size=16, height=520),
        table_head([(SETTLEMENT_LABEL, 'Наименование показателя'), (600, 'Код стр.'), (SETTLEMENT_VALUE, 'Сумма')],
                   height=300),
        settlement('Задолженность за страхователем на начало расчетного периода', '1', SLOT),
        settlement('Начислено к уплате страховых взносов: с начала расчетного периода', '2', SLOT),
        settlement('   в том числе: за предыдущие месяцы / за последние три месяца', '', SLOT, SLOT),
        settlement('   1 месяц / 2 месяц / 3 месяц', '', SLOT, SLOT, SLOT),
        settlement('Итого (стр. 1 + 2)', '3', SLOT),
        settlement('Задолженность за территориальным органом Фонда на начало расчетного периода', '4', SLOT,
                   height=400),
        settlement('Израсходовано на выплату страхового обеспечения', '5', SLOT),
        settlement('Перечислено страхователем: всего', '6', SLOT),
    ]
    for number in range(1, 4):
        rows.append(settlement('   дата, № платежного поручения (%d) / сумма' % number, '', SLOT, SLOT))
    rows += [
        settlement('Итого (стр. 4 + 5 + 6)', '7', SLOT),
        settlement('Задолженность на конец отчетного периода: за страхователем / за территориальным органом '
                   'Фонда', '8', SLOT, SLOT, height=400),
        Row(200, [gap(WIDTH)]),
        dated(),
    ]
    return rows


def injury_benefits_page():
    return page_head() + [
        title_row('Таблица 8. Расходы на выплату страхового обеспечения по обязательному социальному '
                  'страхованию от несчастных случаев на производстве и профессиональных заболеваний',
                  size=16, height=560),
        table_head([(4300, 'Наименование показателя'), (600, 'Код стр.'), (2650, 'Число дней (выплат)'),
                    (2650, 'Сумма')], height=300),
        table_line('Пособие по временной нетрудоспособности', '1', [SLOT, SLOT], 4300, 2650, height=420, size=15),
        table_line('Оплата отпуска (сверх ежегодного) на период лечения и проезда', '2', [SLOT, SLOT], 4300, 2650,
                   height=420, size=15),
        table_line('ИТОГО', '3', ['', SLOT], 4300, 2650, height=300, size=15),
        Row(300, [text(6900, 'Численность пострадавших (застрахованных) в связи со страховыми случаями',
                       size=15), box(1500, SLOT)]),
    ]


# ---------------------------------------------------------------- RTF output

def cell_definitions(row):
    out, right = [], 0
    for cell in row.cells:
        for side in cell.borders:
            out.append('\\clbrdr%s\\brdrs\\brdrw10 ' % side)
        out.append({'t': '\\clvertalt', 'c': '\\clvertalc', 'b': '\\clvertalb'}[cell.valign])
        right += cell.width
        out.append('\\cellx%d' % right)
    return ''.join(out)


def write_row(row, opening, counter, exact):
    # Every row spans the whole width, so that the viewer does not stretch
    # the last cell of a shorter one.
    used = sum(cell.width for cell in row.cells)
    if used < WIDTH:
        row = Row(row.height, row.cells + [gap(WIDTH - used)])
    height = '-%d' % row.height if exact else '%d' % row.height
    out = ['\\trowd \\trgaph30\\trleft0\\trrh%s' % height, cell_definitions(row), '\n']
    for index, cell in enumerate(row.cells):
        format = '\\f0\\fs%d' % cell.size + ('\\b' if cell.bold else '') + ('\\i' if cell.italic else '')
        out.append('\\pard\\plain \\intbl\\q%s%s ' % (cell.align, format))
        if index == 0:
            out.append(opening)
        for item in cell.items:
            if item is SLOT:
                out.append('{\\*\\bkmkstart par%d}{\\*\\bkmkend par%d}' % (counter[0], counter[0]))
                counter[0] += 1
            elif item:
                out.append('{%s}' % rtf_text(item))
        out.append('{\\cell }\n')
    out.append('{\\row }\n')
    return ''.join(out)


SECTION = ('\\sectd \\sbkpage\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM))


def write_page(out, number, rows, counter, regions=(), last=False):
    name = 'page%d' % number
    first_value = counter[0]
    if number:
        out.append(SECTION)
    for index, row in enumerate(rows):
        out.append(write_row(row, '{\\*\\bkmkstart %s}' % name if index == 0 else '', counter, exact=bool(regions)))
    previous = None
    for region, row in regions:
        opening = '{\\*\\bkmkstart %s}' % region + ('{\\*\\bkmkend %s}' % previous if previous else '')
        out.append(write_row(row, opening, counter, exact=True))
        previous = region
    if previous:
        out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend %s}{\\par }\n' % previous)
    if last:
        out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend %s}\\par \\pard\\plain \\ql\\f0\\fs2 {\\par }}\n' % name)
    else:
        out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend %s}{\\sect }\n' % name)
    return counter[0] - first_value


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon', 'avans-fss4-2011.rtf')
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text('Расчетная ведомость по средствам ФСС РФ (форма 4-ФСС)'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM,
              PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM)]
    counter = [0]
    list_head, list_regions = list_page()
    pages = [title_page(), settlements_page(), benefits_page(), base_page(), list_head, reduced_tariff_page(),
             table41_page(), table5_page(), injury_page(), injury_benefits_page()]
    counts = []
    for number, rows in enumerate(pages):
        regions = list_regions if number == 4 else ()
        counts.append(write_page(out, number, rows, counter, regions, last=number == len(pages) - 1))
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: value slots per page %s, %d in all' % (path, counts, counter[0]))


if __name__ == '__main__':
    main()
