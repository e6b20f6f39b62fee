// The choice dialog of a report loop (dialog 481 "Обработка отчета"): shows
// the print file's name with the extension "rtf", which the user may change,
// and ends with 500 (the report's first editor), 501 (make the report), 502
// (its second editor) or 2 (cancel). The editor buttons name the parts of the
// report's own form that its editors hold; without captions they are those of
// the pension-fund report ("Редактировать раздел 1 и 5", "Редактировать
// раздел 4"). Making the report with a name that cannot be written is refused
// aloud and the dialog stays, as is opening an editor with such a name (an
// editor makes the report too). A name typed that holds a file other than
// the form's own asks before replacing it.
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
    // Ends with the result unless the print file cannot be written there
    // (an empty name, a missing or read-only folder, a read-only file), which
    // is said in a box while the dialog stays.
    void EndWith(int result);

    QString m_folder;
    QString m_ownPath; // the form's own print file, which making it again replaces
};
