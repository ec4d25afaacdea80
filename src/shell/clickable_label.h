#pragma once

#include <QLabel>

namespace zorvane {

// A label that acts as a link or a button: clicked() on a left click.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    // Underlined in the links' colour, with the pointing hand over it.
    void showAsLink();

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace zorvane
