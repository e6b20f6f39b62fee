#pragma once
// The simple reference books edited as a table in a grid, one class with a
// description per book (masterdata/GridBooks.h): shops, positions,
// professions, ranks, tax deductions and contributions. The grid is filled
// from the book's table when the book opens; leaving the book (Esc) reads the
// rows back by the book's rules and saves the table.
#include "masterdata/GridBooks.h"
#include "shell/ui/CCommonFormView.h"

class CFldHlpGridCtrl;
class QPushButton;

class CRefGridBookView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdGrid = 1241, IdAdd = 1060, IdDelete = 1061 };

    CRefGridBookView(kalvor::masterdata::GridBook book, CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefGridBookView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;

    CFldHlpGridCtrl* Grid() const { return m_grid; }
    // The add button (nothing at the book's capacity) and the delete button.
    void AddRow();
    void DeleteRow();
    // Reads the grid into the table and saves it; false when the base or the
    // file refused (the message was shown; the table stays in memory).
    bool SaveBook();
    // Leaving: not while a refused cell is being corrected (its refusal was said).
    bool CanLeave() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowContributionHelp(int column);

    kalvor::masterdata::GridBook m_book;
    CFldHlpGridCtrl* m_grid = nullptr;
};

// The books under their own names.
class CRefOtdelView : public CRefGridBookView {
    Q_OBJECT
public:
    explicit CRefOtdelView(CKalvorDoc* doc) : CRefGridBookView(kalvor::masterdata::GridBook::Shops, doc) {}
};
class CRefPostView : public CRefGridBookView {
    Q_OBJECT
public:
    explicit CRefPostView(CKalvorDoc* doc) : CRefGridBookView(kalvor::masterdata::GridBook::Positions, doc) {}
};
class CRefProfesView : public CRefGridBookView {
    Q_OBJECT
public:
    explicit CRefProfesView(CKalvorDoc* doc) : CRefGridBookView(kalvor::masterdata::GridBook::Professions, doc) {}
};
class CRefTitleView : public CRefGridBookView {
    Q_OBJECT
public:
    explicit CRefTitleView(CKalvorDoc* doc) : CRefGridBookView(kalvor::masterdata::GridBook::Ranks, doc) {}
};
class CRefVichView : public CRefGridBookView {
    Q_OBJECT
public:
    explicit CRefVichView(CKalvorDoc* doc) : CRefGridBookView(kalvor::masterdata::GridBook::Deductions, doc) {}
};
class CRefSborView : public CRefGridBookView {
    Q_OBJECT
public:
    explicit CRefSborView(CKalvorDoc* doc) : CRefGridBookView(kalvor::masterdata::GridBook::Contributions, doc) {}
};
