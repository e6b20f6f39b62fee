#include "masterdata/ui/CWorkerArchiveView.h"

#include "infobase/PayKindCodes.h"
#include "masterdata/ui/CWorkerArchiveDlg.h"
#include "shell/ui/CKalvorDoc.h"

CWorkerArchiveView::CWorkerArchiveView(CKalvorDoc* doc, QWidget* parent)
    : CEmployeeDetailView(447, QStringLiteral("Архив"), doc, parent)
{
    setObjectName(QStringLiteral("CWorkerArchiveView"));
}

CEmployeeDetailDlg* CWorkerArchiveView::CreateDialog() { return new CWorkerArchiveDlg(this); }

QStringList CWorkerArchiveView::PayKindPickLines(const CKalvorDoc& doc)
{
    QStringList lines;
    for (const auto& kind : doc.infoBase.payKinds()) {
        const QString name = kind.name.isEmpty() ? QStringLiteral(" ") : kind.name;
        QString line = QStringLiteral("%1|%2").arg(kind.kod).arg(name);
        if (!kalvor::IsAccrualCode(kind.kod))
            line += QStringLiteral("|Mark");
        lines << line;
    }
    return lines;
}

void CWorkerArchiveView::ShowGridHelp(int column)
{
    switch (column) {
    case 0:
    case 5: ShowFieldHint(QStringLiteral("Введите дату в формате: ММ.ГГ Нули не опускайте."), 3, 200); break;
    case 1: ShowHelpList(PayKindPickLines(*Document()), {3, true, 250, 225}); break;
    case 2:
        ShowFieldHint(QStringLiteral("Введите число в формата РРРРРРР.КК,\nнезначащие нули можно опустить. "
                                     "Сторнируемые суммы вводите с отрицательным знаком."),
                      1, 220);
        break;
    case 3: ShowFieldHint(QStringLiteral("Введите количество дней, учтенных в этом начислении"), 1, 220); break;
    case 4: ShowFieldHint(QStringLiteral("Введите время в формате: ЧЧЧ.ММ"), 1, 220); break;
    default: break;
    }
}
