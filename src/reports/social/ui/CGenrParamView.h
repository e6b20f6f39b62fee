#pragma once
// "Параметры работы генератора" (form 413): the reporting period, the firm's
// codes and names and four choices that every report of the generator reads.
// The screen shows the stored values when it opens and stores what was
// changed when it is left; a year out of range is refused with a message and
// the stored year kept.
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/PeriodMonths.h"
#include "shell/ui/TypedInput.h"
#include "values/TypedFigure.h"

#include <vector>

class QGridLayout;
class QKeyEvent;

class CGenrParamView : public CCommonFormView {
    Q_OBJECT
public:
    enum : int { CommandId = 32884, IdYear = 1382, IdFirstMonth = 1383, IdLastMonth = 1384 };

    explicit CGenrParamView(CKalvorDoc* doc, QWidget* parent = nullptr);
    // Stores the changes when the view goes without having been left.
    ~CGenrParamView() override;

    // Fills the fields from the document; the form takes its colours.
    void OnInitialUpdate() override;
    // Months and choices as pick lists, hints for the other fields.
    void ShowFormHelp() override;
    // Leaving the screen stores the changes.
    bool CanLeave() override;
    // Stores what differs from the document: the period, the texts and the
    // choices; then the firm tables and the configuration when anything
    // changed. Nothing is written when nothing changed.
    void Save();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A labelled input in the next line of the form, made with its kind and
    // its label (the kind's name) before it.
    void AddField(QGridLayout* grid, int id, InputKind kind, int width);

    PeriodMonths m_months; // the period's months, in order
    CTypedEdit* Typed(int id) const { return controlAs<CTypedEdit>(id); }
    bool SavePeriod();
    bool SaveTexts();
    bool SaveChoices();

    bool m_saved = false;
};
