// Base of the entry dialogs and selection strips that a task view hosts as
// child widgets: the shown employee's record slot, the three selection keys,
// group mode and the modified flag.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QWidget>

class CCommonFormView;

class CFormChildDlg : public QWidget, public ControlMap {
    Q_OBJECT
public:
    CFormChildDlg(int dialogId, CCommonFormView* view);

    int DialogId() const { return m_dialogId; }
    CCommonFormView* View() const { return m_view; }

    virtual void SetSelection(int shop, int brigade, int third)
    {
        m_shop = shop;
        m_brigade = brigade;
        m_third = third;
    }
    virtual void LoadRecord(quint32 slot) { m_slot = slot; }
    // 1 when saved; an override returns 0 to stop its caller.
    virtual int SaveRecord()
    {
        m_modified = false;
        return 1;
    }
    virtual void BeginGroup() { m_groupMode = true; }
    virtual int GroupAppend()
    {
        m_groupMode = false;
        return 1;
    }

    quint32 m_slot = 0; // record slot of the shown employee, 0 = none
    int m_shop = 0;
    int m_brigade = 0;
    int m_third = 0;
    bool m_groupMode = false;
    bool m_modified = false;

private:
    int m_dialogId;
    CCommonFormView* m_view;
};

// Entry dialogs with a grid and a group question add these three.
class CFormChildGridDlg : public CFormChildDlg {
    Q_OBJECT
public:
    using CFormChildDlg::CFormChildDlg;
    virtual int GroupDelete() { return 1; }
    virtual int GroupCorrect() { return 1; }
    virtual int GroupMarkMatching() { return 1; }
};
