#include "shell/ui/CInfoView.h"

#include "shell/ui/BaseService.h"
#include "shell/ui/CKalvorDoc.h"

#include <QLabel>
#include <QVBoxLayout>

CInfoView::CInfoView(CKalvorDoc* doc, QWidget* parent)
    : CCommonFormView(0, doc, parent), m_title(new QLabel(this)), m_state(new QLabel(this))
{
    setObjectName(QStringLiteral("CInfoView"));
    auto* layout = new QVBoxLayout(this);
    QFont f = m_title->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    m_title->setFont(f);
    layout->addWidget(m_title);
    layout->addWidget(m_state);
    layout->addStretch(1);
    connect(doc, &CKalvorDoc::baseChosen, this, &CInfoView::Refresh);
}

void CInfoView::OnInitialUpdate() { Refresh(); }

void CInfoView::Refresh()
{
    CKalvorDoc* doc = Document();
    m_title->setText(doc->infoBase.baseName.isEmpty() ? QStringLiteral("Kalvor")
                                                      : QStringLiteral("База данных: %1").arg(doc->infoBase.baseName));
    const bool open = doc->BaseOpen();
    if (doc->infoBase.baseName.isEmpty())
        m_state->clear();
    else if (open)
        m_state->setText(QStringLiteral("Предприятие: %1\nОтчетный месяц: %2\nРабочая папка: %3")
                             .arg(FirmNameOf(*doc), ReportingMonthOf(*doc), doc->infoBase.workFolder));
    else
        m_state->setText(QStringLiteral("База данных не найдена.\n\nСоздайте новую базу данных или восстановите ее из "
                                        "архива командами панели \"База данных\"."));
}
