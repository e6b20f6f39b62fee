// The choice dialog of a report loop (dialog 481 "Обработка отчета"): shows
// the print file's name with the extension "rtf", which the user may change,
// and ends with 500 (edit sections 1 and 5), 501 (make the report), 502 (edit
// section 4) or 2 (cancel). Making the report with a name that cannot be
// written is refused aloud and the dialog stays.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class CRepEdit1Dlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    explicit CRepEdit1Dlg(const QString& path, QWidget* parent = nullptr);

    // The file name under "Имя файла печати" as it stands, blanks around it dropped.
    QString PrintFileName() const;
    // Where the print form goes: the name typed, in the folder of the path the
    // dialog was given unless it is a whole path itself, with ".rtf" added
    // when it does not end so.
    QString PrintFilePath() const;
    // 500, 501, 502 or IDCANCEL.
    int DoModal() { return exec(); }

    // The name of the path's file with the extension "rtf".
    static QString RtfFileName(const QString& path);

public slots:
    void reject() override;

private:
    // Ends with 501 unless the print file cannot be written there
    // (an empty name, a missing or read-only folder, a read-only file), which
    // is said in a box while the dialog stays.
    void EndWith(int result);

    QString m_folder;
};
