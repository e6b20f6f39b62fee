#pragma once
// The merge views of the report generator: the report data files of several
// bases (the list of the merged-summary form) added up into one pension-fund
// report, 4-FSS settlement, headcount form or injury report, which then goes
// to the same choice loop or print form a single base uses. Esc returns to
// the generator's main panel.
#include "reports/social/GenrMerge.h"
#include "summaries/ui/CAmaSvodView.h"

#include <functional>

class QKeyEvent;

class CGenrAmaView : public CAmaSvodView {
    Q_OBJECT
public:
    // Button 1040: the files of the list merged on a worker.
    void StartMerge() override;

protected:
    CGenrAmaView(int tag, CKalvorDoc* doc, QWidget* parent);
    // What follows a merge on the worker: the choice loop or the print form,
    // with the files' period.
    // Makes the merged report; what it wrote, for the view's outcome line.
    using ReportMaker = std::function<kalvor::platform::TaskOutcome(kalvor::infobase::KalvorDocData&,
                                                                    const kalvor::reports::GenrMerged&)>;
    virtual ReportMaker MakeReport() const = 0;
    // The messages of the result, then the base's end of a run.
    void OnMergeDone(int result, int detail, const QString& failure) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_tag;
};

class CGenrAmaOVPFView : public CGenrAmaView {
    Q_OBJECT
public:
    enum : int { CommandId = 32882 };
    explicit CGenrAmaOVPFView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    ReportMaker MakeReport() const override;
};

class CGenrAmaRVedFSSView : public CGenrAmaView {
    Q_OBJECT
public:
    enum : int { CommandId = 32880 };
    explicit CGenrAmaRVedFSSView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    ReportMaker MakeReport() const override;
};

class CGenrAmaSSChislRabsView : public CGenrAmaView {
    Q_OBJECT
public:
    enum : int { CommandId = 32878 };
    explicit CGenrAmaSSChislRabsView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    ReportMaker MakeReport() const override;
};

class CGenrAmaProfTravmOtchFSSView : public CGenrAmaView {
    Q_OBJECT
public:
    enum : int { CommandId = 32876 };
    explicit CGenrAmaProfTravmOtchFSSView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    ReportMaker MakeReport() const override;
};
