// "Печать ведомости" of the bonuses (form 395): the month's bonuses, the
// brigades' labour-participation shares included, as the text pay statement
// or as cash orders. The form, its start and its help are the advance
// statement's; the worker and the end of a run are its own.
#pragma once

#include "entries/ui/CAvancePrintVedView.h"

class CPremPrintVedView : public CAvancePrintVedView {
    Q_OBJECT
public:
    static constexpr int kFormId = 395;

    explicit CPremPrintVedView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    // The end of a run: the marquee goes and "Печать" comes back; 5 shows
    // the bonus calculation's message of its code (information icon), or
    // "Некорректное условие поиска" for sheets out of order; 4 "Нет данных
    // для печати"; 1 the text of the file error's kind (error icon); a
    // failure its text; 0 the run's last line naming the file, as every
    // print run ends; 3 nothing.
    void OnWorkerDone(int result, int detail, const QString& message) override;
};
