#include "grid/FldHlpGridCtrl.h"

CFldHlpGridCtrl::CFldHlpGridCtrl(QWidget* parent) : CGridCtrl(parent) {}

void CFldHlpGridCtrl::OnChar(unsigned ch, Qt::KeyboardModifiers mods)
{
    if (ch >= 32 && ch != 127)
        emit parentChar(ch, mods);
    CGridCtrl::OnChar(ch, mods);
}

void CFldHlpGridCtrl::OnLButtonUp(Qt::KeyboardModifiers mods, QPoint point)
{
    emit parentLButtonUp(mods, point);
    CGridCtrl::OnLButtonUp(mods, point);
}
