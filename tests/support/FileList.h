// The list of result files of a merge view, filled as a test's setup.
#pragma once

#include "summaries/ui/CAmaSvodView.h"

#include <QListWidget>
#include <QStringList>

// Puts the lines into the view's file list in place of what it held; the
// first line is the current one.
inline void SetFileList(CAmaSvodView& view, const QStringList& lines)
{
    auto* list = view.controlAs<QListWidget>(CAmaSvodView::IdFileList);
    list->clear();
    list->addItems(lines);
    if (list->count() > 0)
        list->setCurrentRow(0);
}
