#pragma once

#include "editor/editor_host.h"
#include "editor/editor_page.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVariant>

#include <chrono>

class QEventLoop;

namespace zorvane {

// The editor page in a real browser. The program's requests are synchronous
// by nature (a command reads the article, changes it, writes it back), so
// each one runs its script and waits for the answer in a nested event loop
// that ends after timeout(): the only place the program waits like this.
class WebEditorHost : public QObject, public EditorHost
{
    Q_OBJECT

public:
    explicit WebEditorHost(EditorPage *page, QObject *parent = nullptr);

    // Opens the editor page; ready() follows once its editing area can take
    // requests, loadFailed() when it does not within the readiness time-out.
    void load(const QUrl &pageUrl);
    bool isReady() const { return m_ready; }
    bool isBusy() const override { return m_waiting > 0; }

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    std::chrono::milliseconds timeout() const { return m_timeout; }
    void setReadyTimeout(std::chrono::milliseconds timeout) { m_readyTimeout = timeout; }

    EditorPage *page() const { return m_page; }

    bool setElementValue(const QString &id, const QString &value) override;
    std::optional<QString> elementValue(const QString &id) override;
    bool clickElement(const QString &id) override;
    std::optional<QString> plainTextOf(const QString &html) override;

    // Runs script in the page and waits for its result; nullopt when the page
    // did not answer in time.
    std::optional<QVariant> evaluate(const QString &script);

Q_SIGNALS:
    void ready();
    void loadFailed();
    // The page's renderer ended unexpectedly; the page is being opened
    // again (empty), and ready() follows.
    void pageRestarted();
    // The last request waiting for the page has its answer (or gave up): work
    // that found the host busy may start now. Emitted while the command that
    // made the request is still running, so listeners connect queued.
    void idle();

private:
    void pageLoadFinished(bool ok);
    // Runs loop until it ends, counted as a wait for the page.
    void waitFor(QEventLoop &loop);
    void pollReady();
    std::optional<QVariant> evaluateIn(EditorPage *page, const QString &script, int world);
    EditorPage *scratchPage();

    QPointer<EditorPage> m_page;
    QPointer<EditorPage> m_scratch;
    QTimer m_readyPoll;
    std::chrono::milliseconds m_timeout{5000};
    std::chrono::milliseconds m_readyTimeout{15000};
    std::chrono::steady_clock::time_point m_loadStarted;
    QUrl m_pageUrl;
    int m_waiting = 0;
    bool m_ready = false;
    bool m_polling = false;
};

// A JavaScript literal for text, safe to splice into a script.
QString jsStringLiteral(const QString &text);

} // namespace zorvane
