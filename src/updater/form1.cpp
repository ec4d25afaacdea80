#include "updater/form1.h"

#include "settings/app_folder.h"
#include "updater/download_progress.h"
#include "updater/update_run.h"
#include "updater/update_texts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zorvane {

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , lblStatus(new QLabel(UpdateText::initialStatus(), this))
    , Label1(new QLabel(UpdateText::progressCaption(), this))
    , Picture1(new QFrame(this))
    , picJindu(new QProgressBar(Picture1))
    , lbljindu(new QLabel(u"0%"_s, this))
    , Command1(new QPushButton(UpdateText::okCaption(), this))
    , m_run(new UpdateRun(this))
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Zorvane Patchwell 1.0"_s);
    lblStatus->setObjectName(u"lblStatus"_s);
    Label1->setObjectName(u"Label1"_s);
    Picture1->setObjectName(u"Picture1"_s);
    picJindu->setObjectName(u"picJindu"_s);
    lbljindu->setObjectName(u"lbljindu"_s);
    Command1->setObjectName(u"Command1"_s);

    // Package names come from the server.
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(lblStatus->fontMetrics().lineSpacing() * 2);
    picJindu->setRange(0, DownloadProgress::barUnits);
    picJindu->setValue(0);
    picJindu->setTextVisible(false);
    auto *frameLayout = new QVBoxLayout(Picture1);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(picJindu);
    lbljindu->setMinimumWidth(lbljindu->fontMetrics().horizontalAdvance(u"100%"_s));
    lbljindu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(12);
    layout->addWidget(lblStatus, 0, 0, 1, 3);
    layout->addWidget(Label1, 1, 0);
    layout->addWidget(Picture1, 1, 1);
    layout->addWidget(lbljindu, 1, 2);
    layout->addWidget(Command1, 2, 0, 1, 3, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(440);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_run, &UpdateRun::statusChanged, lblStatus, &QLabel::setText);
    connect(m_run, &UpdateRun::progressChanged, this, &Form1::run_ProgressChanged);
    connect(m_run, &UpdateRun::updatesFound, this, [this](int, const QString &message) { run_UpdatesFound(message); });
    connect(m_run, &UpdateRun::noUpdate, this, &Form1::run_NoUpdate);
    // Another run installs already: this one has nothing to show.
    connect(m_run, &UpdateRun::alreadyRunning, this, &Form1::run_NoUpdate);
    connect(m_run, &UpdateRun::finished, this, [this](UpdateRun::Outcome outcome) {
        Command1->setEnabled(true);
        if (outcome == UpdateRun::Outcome::Failed)
            show();
    });
}

void Form1::start()
{
    m_run->start();
}

void Form1::Command1_Click()
{
    const AppFolder folder = AppFolder::current();
    // Nothing to report if it fails to start: the updater ends either way,
    // and the user starts Zorvane from the desktop.
    QProcess::startDetached(folder.path(u"\\Zorvane"), {}, folder.root());
    endUpdater();
}

void Form1::run_UpdatesFound(const QString &message)
{
    showMessage(message, [this] {
        // Starting Zorvane now would run it while it is being replaced.
        Command1->setEnabled(false);
        show();
        m_run->proceed();
    });
}

void Form1::run_NoUpdate(const QString &message)
{
    showMessage(message, [this] { endUpdater(); });
}

void Form1::run_ProgressChanged(const DownloadProgress &progress)
{
    picJindu->setValue(progress.barWidth);
    lbljindu->setText(progress.percentText());
}

void Form1::showMessage(const QString &text, std::function<void()> then)
{
    // Shown without a nested event loop; the run goes on when it is closed.
    auto *box = new QMessageBox(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, std::move(then));
    box->open();
}

void Form1::endUpdater()
{
    if (isVisible())
        close();
    else
        Q_EMIT ended();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Ending the updater half-way would leave a package half installed.
    if (m_run->isInstalling()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    Q_EMIT ended();
}

} // namespace zorvane
