// The first view: which base is in use.
#pragma once

#include "shell/ui/CCommonFormView.h"

class QLabel;

class CInfoView : public CCommonFormView {
    Q_OBJECT
public:
    explicit CInfoView(CKalvorDoc* doc, QWidget* parent = nullptr);
    void OnInitialUpdate() override;

private:
    void Refresh();
    QLabel* m_title;
    QLabel* m_state;
};
