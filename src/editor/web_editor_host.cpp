#include "editor/web_editor_host.h"

#include "editor/editor_page.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineScript>

#include <memory>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// What a pending request shares with its callback: the callback may arrive
// after the request gave up waiting, when the loop no longer exists.
struct Pending
{
    QEventLoop *loop = nullptr;
    bool answered = false;
    QVariant value;
};

constexpr std::chrono::milliseconds ReadyPollInterval{20};

} // namespace

QString jsStringLiteral(const QString &text)
{
    // A one-element JSON array is valid JavaScript; take its element.
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json) + u"[0]"_s;
}

WebEditorHost::WebEditorHost(EditorPage *page, QObject *parent) : QObject(parent), m_page(page)
{
    m_readyPoll.setSingleShot(true);
    m_readyPoll.setInterval(ReadyPollInterval);
    connect(&m_readyPoll, &QTimer::timeout, this, &WebEditorHost::pollReady);
    connect(m_page, &QWebEnginePage::loadFinished, this, &WebEditorHost::pageLoadFinished);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus || m_pageUrl.isEmpty())
                    return;
                load(m_pageUrl);
                Q_EMIT pageRestarted();
            });
}

void WebEditorHost::load(const QUrl &pageUrl)
{
    m_ready = false;
    m_pageUrl = pageUrl;
    m_loadStarted = std::chrono::steady_clock::now();
    m_page->open(pageUrl);
}

void WebEditorHost::pageLoadFinished(bool ok)
{
    if (m_ready)
        return;
    if (!ok) {
        Q_EMIT loadFailed();
        return;
    }
    m_readyPoll.start();
}

void WebEditorHost::pollReady()
{
    if (!m_page || m_ready || m_polling)
        return;
    m_polling = true;
    QPointer<WebEditorHost> self(this);
    m_page->runJavaScript(
        u"window.zorvaneEditorReady === true"_s, QWebEngineScript::MainWorld, [self](const QVariant &value) {
            if (!self)
                return;
            self->m_polling = false;
            if (value.toBool()) {
                self->m_ready = true;
                // Announced from the event loop, not from inside this
                // callback: listeners make requests of their own.
                QMetaObject::invokeMethod(
                    self, [self] { Q_EMIT self->ready(); }, Qt::QueuedConnection);
            } else if (std::chrono::steady_clock::now() - self->m_loadStarted > self->m_readyTimeout) {
                Q_EMIT self->loadFailed();
            } else {
                self->m_readyPoll.start();
            }
        });
}

std::optional<QVariant> WebEditorHost::evaluateIn(EditorPage *page, const QString &script, int world)
{
    if (!page)
        return std::nullopt;
    QEventLoop loop;
    auto pending = std::make_shared<Pending>();
    pending->loop = &loop;
    page->runJavaScript(script, quint32(world), [pending](const QVariant &value) {
        pending->answered = true;
        pending->value = value;
        if (pending->loop)
            pending->loop->quit();
    });
    if (!pending->answered) {
        QTimer::singleShot(m_timeout, &loop, &QEventLoop::quit);
        waitFor(loop);
    }
    pending->loop = nullptr;
    if (!pending->answered)
        return std::nullopt;
    return pending->value;
}

void WebEditorHost::waitFor(QEventLoop &loop)
{
    ++m_waiting;
    // Keeps user input out while waiting: a click must not start a second
    // command in the middle of this one.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (--m_waiting == 0)
        Q_EMIT idle();
}

std::optional<QVariant> WebEditorHost::evaluate(const QString &script)
{
    if (!m_ready)
        return std::nullopt;
    return evaluateIn(m_page, script, QWebEngineScript::MainWorld);
}

bool WebEditorHost::setElementValue(const QString &id, const QString &value)
{
    const QString script = u"(function(){var e=document.getElementById("_s + jsStringLiteral(id)
                           + u");if(!e)return false;e.value="_s + jsStringLiteral(value) + u";return true;})()"_s;
    const std::optional<QVariant> result = evaluate(script);
    return result && result->toBool();
}

std::optional<QString> WebEditorHost::elementValue(const QString &id)
{
    const QString script = u"(function(){var e=document.getElementById("_s + jsStringLiteral(id)
                           + u");return e&&typeof e.value==='string'?[e.value]:null;})()"_s;
    const std::optional<QVariant> result = evaluate(script);
    // Wrapped in an array so that an empty article is told apart from no answer.
    if (!result || result->typeId() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList list = result->toList();
    if (list.size() != 1)
        return std::nullopt;
    return list.first().toString();
}

bool WebEditorHost::clickElement(const QString &id)
{
    const QString script = u"(function(){var e=document.getElementById("_s + jsStringLiteral(id)
                           + u");if(!e)return false;e.click();return true;})()"_s;
    const std::optional<QVariant> result = evaluate(script);
    return result && result->toBool();
}

EditorPage *WebEditorHost::scratchPage()
{
    if (!m_scratch) {
        m_scratch = new EditorPage(m_page->profile(), this);
        m_scratch->setScriptsEnabled(false);
    }
    return m_scratch;
}

std::optional<QString> WebEditorHost::plainTextOf(const QString &html)
{
    EditorPage *scratch = scratchPage();
    {
        QEventLoop loop;
        bool loaded = false;
        const QMetaObject::Connection done = connect(scratch, &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
            loaded = ok;
            loop.quit();
        });
        scratch->write(u"<html><body>"_s + html + u"</body></html>"_s);
        QTimer::singleShot(m_timeout, &loop, &QEventLoop::quit);
        waitFor(loop);
        disconnect(done);
        if (!loaded)
            return std::nullopt;
    }
    // The article's own scripts are off in the scratch page; this query runs
    // in the program's separate world, which they cannot switch off.
    const std::optional<QVariant> text =
        evaluateIn(scratch, u"document.body?[document.body.innerText]:null"_s, QWebEngineScript::ApplicationWorld);
    if (!text || text->typeId() != QMetaType::QVariantList || text->toList().size() != 1)
        return std::nullopt;
    QString plain = text->toList().first().toString();
    plain.replace(u"\r\n"_s, u"\n"_s);
    return plain.replace(u"\n"_s, u"\r\n"_s);
}

} // namespace zorvane
