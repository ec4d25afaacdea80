#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

namespace zorvane {

// Answers every message box the moment it is shown and keeps what it said.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher() { qApp->installEventFilter(this); }
    ~MessageBoxCatcher() override { qApp->removeEventFilter(this); }

    QStringList texts;
    QStringList titles;
    int buttonCount = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                texts << box->text();
                titles << box->windowTitle();
                buttonCount = int(box->buttons().size());
                QMetaObject::invokeMethod(
                    box, [box] { box->done(QMessageBox::Ok); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
};

} // namespace zorvane
