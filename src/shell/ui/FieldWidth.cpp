#include "shell/ui/FieldWidth.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// What the line edit keeps free on each side of its text.
constexpr int kInnerMargin = 2;

} // namespace

int FieldWidthFor(const QLineEdit& edit, const QString& text)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = QRect(0, 0, 1000, edit.height());
    option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    const QMargins margins = edit.textMargins() + edit.contentsMargins();
    const int frame = option.rect.width() - contents.width();
    // One pixel more for the cursor behind the last character.
    return edit.fontMetrics().horizontalAdvance(text) + frame + margins.left() + margins.right() + 2 * kInnerMargin + 1;
}

void FitFieldToText(QLineEdit& edit)
{
    const int needed = FieldWidthFor(edit, edit.displayText());
    if (edit.maximumWidth() < needed)
        edit.setMaximumWidth(needed);
    if (edit.minimumWidth() < needed)
        edit.setMinimumWidth(needed);
}

void FitWindowToTitle(QWidget& window)
{
    QFont bold = window.font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + kTitleBarRoom;
    if (window.minimumWidth() < needed)
        window.setMinimumWidth(needed);
}
