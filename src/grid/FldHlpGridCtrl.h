// The grid of the entry dialogs and result screens. It has no data of its
// own: before the grid handles a typed character or a left-button release,
// its parent screen gets the chance to react (field help, hints, recording
// the focused field), through the two signals below connected directly.
#pragma once

#include "grid/GridCtrl.h"

class CFldHlpGridCtrl : public CGridCtrl {
    Q_OBJECT
public:
    explicit CFldHlpGridCtrl(QWidget* parent = nullptr);

    void OnChar(unsigned ch, Qt::KeyboardModifiers mods) override;
    void OnLButtonUp(Qt::KeyboardModifiers mods, QPoint point) override;

signals:
    // A character that is not a control character was typed into the grid.
    void parentChar(unsigned ch, Qt::KeyboardModifiers mods);
    // The left button was released over the grid (client coordinates).
    void parentLButtonUp(Qt::KeyboardModifiers mods, QPoint point);
};
