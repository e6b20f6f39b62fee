// The choice dialog of a report loop (dialog 481 "Обработка отчета"): shows
// the print file's name with the extension "rtf" and ends with 500 (edit
// sections 1 and 5), 501 (make the report), 502 (edit section 4) or 2 (cancel).
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class CRepEdit1Dlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    explicit CRepEdit1Dlg(const QString& path, QWidget* parent = nullptr);

    // The file name shown under "Имя файла печати".
    QString PrintFileName() const { return m_fileName; }
    // 500, 501, 502 or IDCANCEL.
    int DoModal() { return exec(); }

    // The name of the path's file with the extension "rtf".
    static QString RtfFileName(const QString& path);

public slots:
    void reject() override;

private:
    QString m_fileName;
};
