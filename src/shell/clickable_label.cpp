#include "shell/clickable_label.h"

#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace zorvane {

void ClickableLabel::showAsLink()
{
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(u"color: #1a5fb4; text-decoration: underline;"_s);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace zorvane
