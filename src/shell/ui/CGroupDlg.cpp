#include "shell/ui/CGroupDlg.h"

#include "shell/ui/KalvorMessageBox.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CGroupDlg::CGroupDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Групповая операция"));
    auto* layout = new QVBoxLayout(this);
    auto add = [this, layout](int id, const QString& text, int result) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        layout->addWidget(b);
        SetControl(id, b);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    QPushButton* first =
        add(1571, QStringLiteral("Новая запись будет присоединена к уже имеющейся информации"), Append);
    add(1383, QStringLiteral("Эти данные определят записи, подлежащие корректировке"), Correct);
    add(1061, QStringLiteral("Эти данные определят записи, подлежащие удалению"), Delete);
    add(IDCANCEL, QStringLiteral("Отмена групповой операции"), IDCANCEL);
    first->setDefault(true);
    first->setFocus();
}

void CGroupDlg::reject() { done(IDCANCEL); }

CGroupSelectedDlg::CGroupSelectedDlg(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("CGroupSelectedDlg"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    auto* head = new QLabel(QStringLiteral("Выбрана группа  (Enter - сохранить данные,   Esc - отмена)"), this);
    QFont f = head->font();
    f.setBold(true);
    head->setFont(f);
    auto* note = new QLabel(
        QStringLiteral(
            "Внимание!  Только  непустые  поля  документа  будут скопированы  в записи,  включенные  Вами  в группу."),
        this);
    layout->addWidget(head);
    layout->addWidget(note);
    SetControl(1, head);
    SetControl(2, note);
}
