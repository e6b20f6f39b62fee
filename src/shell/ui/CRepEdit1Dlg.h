// The choice dialog of a report loop (dialog 481 "Обработка отчета"): shows
// the print file's name with the extension "rtf" and ends with 500 (the
// report's first editor), 501 (make the report), 502 (its second editor) or 2
// (cancel). The editor buttons name the parts of the report's own form that
// its editors hold; without captions they are those of the pension-fund
// report ("Редактировать раздел 1 и 5", "Редактировать раздел 4").
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class CRepEdit1Dlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    // The captions of buttons 1383 (500) and 1384 (502); an empty one keeps
    // the pension-fund report's.
    struct EditorCaptions {
        QString first;
        QString second;
    };

    explicit CRepEdit1Dlg(const QString& path, const EditorCaptions& captions = {}, QWidget* parent = nullptr);

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
