#pragma once

#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace zorvane {

class UpdateRun;
struct DownloadProgress;

// Patchwell's window: the status line, the progress bar and its per-cent
// label, and the OK button that starts Zorvane. It shows what its run says
// and asks the user where the run waits for a confirmation.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // The window's load: starts the run. The window shows itself once the
    // user confirmed the updates found (or when the run fails before that);
    // with no update only the message is shown.
    void start();
    UpdateRun *run() const { return m_run; }

    QLabel *lblStatus;
    QLabel *Label1;
    QFrame *Picture1;
    QProgressBar *picJindu; // 0 … 4335 units
    QLabel *lbljindu;
    QPushButton *Command1;

Q_SIGNALS:
    // The updater is to end: after "no update" or "already running", once
    // Zorvane is started, or when the window is closed (which is refused
    // while a package installs).
    void ended();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Command1_Click();
    void run_UpdatesFound(const QString &message);
    void run_NoUpdate(const QString &message);
    void run_ProgressChanged(const DownloadProgress &progress);
    void showMessage(const QString &text, std::function<void()> then);
    void endUpdater();

    UpdateRun *m_run;
};

} // namespace zorvane
