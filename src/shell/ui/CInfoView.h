// The first view: which base is in use, its firm and reporting month.
#pragma once

#include "shell/ui/CCommonFormView.h"

class QLabel;

class CInfoView : public CCommonFormView {
    Q_OBJECT
public:
    explicit CInfoView(CKalvorDoc* doc, QWidget* parent = nullptr);
    void OnInitialUpdate() override;
    // Shows the base, the firm's name, the reporting month and the working folder.
    void Refresh();

private:
    QLabel* m_title;
    QLabel* m_state;
};
