// Base of the entry dialogs and selection strips that a task view hosts as
// child widgets: the shown employee's record slot, the three selection keys,
// group mode and the modified flag.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

class CCommonFormView;
class CGridCtrl;
class QKeyEvent;

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

    // The selection strip's first field takes the focus: the personnel number
    // on a time-sheet strip, the shop on a strip of shops, brigades and
    // professions. Nothing without a strip; a dialog whose view selects
    // otherwise names its own field.
    virtual void FocusStrip() const;
    // As the view's selection strip: its first field takes the focus (the
    // personnel number on a time-sheet strip, the shop on a strip of shops,
    // brigades and professions). A dialog that is no strip does nothing.
    virtual void FocusFirstField() const {}

    // Where the dialog's title goes: the frame around it, which its view owns.
    void ShowTitleWith(std::function<void(const QString&)> show) { m_showTitle = std::move(show); }

    quint32 m_slot = 0; // record slot of the shown employee, 0 = none
    int m_shop = 0;
    int m_brigade = 0;
    int m_third = 0;
    bool m_groupMode = false;
    bool m_modified = false;

protected:
    // Enter and Esc of the entry dialogs that copy their form to a group.
    // Enter: in group mode the group append and, once it is taken, the end of
    // the group through the view's CancelGroup (a refusal keeps the group and
    // what was typed); outside group mode nothing. Esc: in group mode the end
    // of the group; otherwise the focus goes to the strip. False (nothing
    // done) for another key.
    bool GroupEnterOrEscape(QKeyEvent* event);
    void AppendGroupAndEnd();
    void EndGroupOrFocusStrip();
    // Esc of the dialogs that only show what is stored: the grid empties and
    // the focus goes to the strip. False (nothing done) for another key.
    bool EscapeEmptiesGrid(QKeyEvent* event, CGridCtrl& grid);
    void EmptyGridAndFocusStrip(CGridCtrl& grid);
    // The title into the view's frame, through what the view gave
    // ShowTitleWith; nothing before it gave one.
    void ShowTitle(const QString& text) const
    {
        if (m_showTitle)
            m_showTitle(text);
    }

private:
    int m_dialogId;
    CCommonFormView* m_view;
    std::function<void(const QString&)> m_showTitle;
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
