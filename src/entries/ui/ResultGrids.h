// The read-only result grids of the entry dialogs that compute a line on
// the spot (vacation notes, sick-leave sheets).
#pragma once

#include <QRect>
#include <QStringList>

#include <vector>

class CFldHlpGridCtrl;
class CFormChildDlg;

// Sets up (or empties) the entry grid with that control number and fills it:
// the headings in one fixed row, then the rows' texts. Column widths are
// shares of the grid's width, each ceil(width x share - 0.5); a last share of
// 0 takes what the others leave.
CFldHlpGridCtrl* ShowResultGrid(CFormChildDlg* dialog, int id, const QRect& rect, const QStringList& headings,
                                const std::vector<double>& shares, const std::vector<QStringList>& rows);
