#include "shell/ui/CRepEdit1Dlg.h"

#include "shell/ui/FieldWidth.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum : int { IdSections15 = 1383, IdMake = 1040, IdSection4 = 1384, IdFileName = 1385 };
}

QString CRepEdit1Dlg::RtfFileName(const QString& path)
{
    const QFileInfo info(path);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return base + QStringLiteral(".rtf");
}

QString CRepEdit1Dlg::PrintFileName() const { return controlAs<QLineEdit>(IdFileName)->text().trimmed(); }

QString CRepEdit1Dlg::PrintFilePath() const
{
    QString name = PrintFileName();
    if (!name.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive))
        name += QStringLiteral(".rtf");
    return QFileInfo(name).isAbsolute() ? name : QDir(m_folder).filePath(name);
}

void CRepEdit1Dlg::EndWith(int result)
{
    const QFileInfo file(PrintFilePath());
    const QFileInfo folder(file.absolutePath());
    const bool writable = !PrintFileName().isEmpty() && !file.isDir() && folder.isDir() && folder.isWritable() &&
                          (!file.exists() || file.isWritable());
    if (!writable)
        KalvorMessageBox(QStringLiteral("Файл печати не может быть записан: %1").arg(file.filePath()),
                         MB_OK | MB_ICONERROR, QString(), this);
    // The form's own file is replaced when the form is made again; a name
    // typed that holds another file is replaced only when the user says so.
    const bool ownFile = file.absoluteFilePath() == QFileInfo(m_ownPath).absoluteFilePath();
    if (!writable || (file.exists() && !ownFile && !ConfirmFileReplaced(file.filePath(), this))) {
        auto* name = controlAs<QLineEdit>(IdFileName);
        name->setFocus();
        name->selectAll();
        return;
    }
    done(result);
}

CRepEdit1Dlg::CRepEdit1Dlg(const QString& path, const EditorCaptions& captions, QWidget* parent)
    : QDialog(parent), m_folder(QFileInfo(path).absolutePath()), m_ownPath(QDir(m_folder).filePath(RtfFileName(path)))
{
    setWindowTitle(QStringLiteral("Обработка отчета"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Имя файла печати"), this));
    auto* name = new CTypedEdit({QStringLiteral("Имя файла печати"), kalvor::TextFigure(kPathLength)}, this);
    name->setText(RtfFileName(path));
    SetControl(IdFileName, name);
    layout->addWidget(name);
    const struct {
        int id;
        QString text;
        int result;
    } buttons[] = {
        {IdSections15, captions.first.isEmpty() ? QStringLiteral("Редактировать раздел 1 и 5") : captions.first, 500},
        {IdMake, QStringLiteral("Сформировать отчет"), 501},
        {IdSection4, captions.second.isEmpty() ? QStringLiteral("Редактировать раздел 4") : captions.second, 502},
        {IDCANCEL, QStringLiteral("Отмена"), IDCANCEL},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text, this);
        button->setAutoDefault(false);
        SetControl(b.id, button);
        layout->addWidget(button);
        const int result = b.result;
        // Making the report and its editors (which make it too) write the
        // print file: each checks the name first.
        if (result == IDCANCEL)
            connect(button, &QPushButton::clicked, this, [this] { done(IDCANCEL); });
        else
            connect(button, &QPushButton::clicked, this, [this, result] { EndWith(result); });
    }
    auto* make = controlAs<QPushButton>(IdMake);
    make->setDefault(true);
    make->setFocus();
    FitWindowToTitle(*this);
}

void CRepEdit1Dlg::reject() { done(IDCANCEL); }
