// Base of every task view: the operations that the frame's keys call, focus
// tracking of the form's numbered controls, the floating hint window, the
// field-help list and the pick lists built from the document.
#pragma once

#include "shell/ui/CGroupDlg.h"
#include "shell/ui/ControlMap.h"
#include "shell/ui/FieldHelp.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class CFormChildDlg;
class CKalvorDoc;
class QAbstractItemView;

class CCommonFormView : public QWidget, public ControlMap {
    Q_OBJECT
public:
    CCommonFormView(int formId, CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CCommonFormView() override;

    int FormId() const { return m_formId; }
    CKalvorDoc* Document() const { return m_doc; }

    // Called by the frame once the view is in place.
    virtual void OnInitialUpdate() {}

    // Operations of the frame's keys and of the field help; the base does nothing.
    virtual void ShowFormHelp() {} // F1
    virtual void PrevPage() {} // PgUp
    virtual void NextPage() {} // PgDn
    virtual void NextElement() {} // F4
    virtual void PrevElement() {} // F3
    virtual void NextSubElement() {} // Alt+F4
    virtual void PrevSubElement() {} // Alt+F3
    virtual void InsertBefore() {} // F7
    virtual void InsertAfter() {} // F8
    virtual void DeleteElement() {} // Alt+F10
    virtual void SelectElement() {} // F2
    virtual void ApplySelection() {} // Enter in the selection strip
    virtual void EnableEntry(bool enable) { Q_UNUSED(enable); }
    virtual void TakeHelpValues(const QStringList& values) { Q_UNUSED(values); }
    virtual void OnHelpValueSet() {}
    virtual void CancelGroup() {}
    // Asked before the frame replaces the view: false keeps the view (its
    // entry dialog refused to save what was typed).
    virtual bool CanLeave() { return true; }
    // Whether loading an employee for the view reads his dated archive too
    // (the month's deduction screens do without it).
    virtual bool LoadsDatedArchive() const { return true; }

    // Whether a worker of the view runs on the document (a calculation, say).
    virtual bool IsWorking() const { return false; }
    // Stops the view's worker and waits for it; what the view says of a
    // stopped run has been said when this returns.
    virtual void StopWork() {}

    // Floating hint beside the focused field or grid cell; nothing while one is shown.
    void ShowFieldHint(const QString& text, int corner, int width);
    bool HintShown() const { return m_hint && m_hint->isVisible(); }
    // Field-help list beside the focused field or grid cell; -1 when the
    // focused grid has no current cell, else 0.
    int ShowHelpList(const QStringList& lines, const HelpListStyle& style);
    CFieldHelpList* HelpList() const { return m_helpList; }

    // Pick lists built from the document and shown as the help list.
    void PickShop();
    void PickProfession();
    // Mode 3: several lines can be marked. Keys 0 = any.
    void PickEmployee(int mode = 0, int shop = 0, int brigade = 0, int profession = 0);
    void PickPayKind();
    void PickPayKind2();
    void ShowProductionCostCodeHint();

    static QStringList ShopLines(const CKalvorDoc& doc);
    static QStringList ProfessionLines(const CKalvorDoc& doc);
    static QStringList EmployeeLines(const CKalvorDoc& doc, bool markable, bool marksOnly, int shop, int brigade,
                                     int profession);
    static QStringList PayKindLines(const CKalvorDoc& doc);

    // The group panel under the form while a group is marked.
    void OpenGroupPanel();
    void CloseGroupPanel();
    CGroupSelectedDlg* GroupPanel() const { return m_groupPanel; }

    // State that derived views and their dialogs share.
    // Guarded: a dialog that closes itself leaves null here, never a dangling pointer.
    QPointer<CFormChildDlg> m_entryDlg;
    QPointer<QWidget> m_strip;
    unsigned m_tabN = 0; // current personnel number, 0 = none
    int m_focusedId = -1; // focused numbered control, -1 = none
    QPointer<QWidget> m_focusedWnd;
    QPointer<QWidget> m_focusedGrid;
    int m_gridRow = -1;
    int m_gridCol = -1;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnFocusChanged(QWidget* old, QWidget* now);
    // The rectangle (global) beside which hints and lists go; false when the
    // focused control is a grid without a current cell.
    bool FocusedRect(QRect* rect, int* row, int* col) const;
    void TypeValue(QWidget* field, int row, int col, const QString& code);
    void ReturnFocus(QWidget* field);
    void PlaceGroupPanel();
    // The main window's rectangle (global): hints and lists stay inside it.
    QRect WindowArea() const;
    // The rectangle (global) of the field that Tab goes to from the focused
    // control; empty when there is none or the focus is in a grid.
    QRect NextFieldRect() const;

    int m_formId;
    CKalvorDoc* m_doc;
    QPointer<CHintWnd> m_hint;
    QPointer<CFieldHelpList> m_helpList;
    QPointer<CGroupSelectedDlg> m_groupPanel;
    QMetaObject::Connection m_focusConnection;
};

// Gives the focus to the first widget within `within` that Tab reaches (shown
// and enabled), so that a widget shows it; to `within` itself when there is
// none. What a command that ends on a screen leaves the focus on.
void FocusFirstInput(QWidget* within);

// The blank view that the frame shows when no screen is open.
class CEmptyView : public CCommonFormView {
    Q_OBJECT
public:
    explicit CEmptyView(CKalvorDoc* doc, QWidget* parent = nullptr);
};
