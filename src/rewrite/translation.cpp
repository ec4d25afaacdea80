#include "rewrite/translation.h"

#include "net/http_exchange.h"
#include "net/http_request.h"
#include "net/servers.h"
#include "rewrite/rewrite_texts.h"
#include "settings/config_keys.h"
#include "text/between.h"
#include "text/text_utils.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// htmlToParagraphs makes a paragraph of every line between CR LFs and drops
// every tag. Ending a line at each paragraph end and line break first keeps
// the paragraphs that the tags alone would have marked: every "</p>" and
// "<br\s*/?>" (without case) becomes CR LF, in one pass over the text.
QString breakAtParagraphEnds(const QString &text)
{
    const QStringView view(text);
    const auto isSpace = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
    };
    QString out;
    qsizetype copied = 0;
    for (qsizetype at = view.indexOf(u'<'); at >= 0; at = view.indexOf(u'<', at + 1)) {
        qsizetype end = -1;
        if (caselessAt(view, at, "</p>"_L1)) {
            end = at + 4;
        } else if (caselessAt(view, at, "<br"_L1)) {
            qsizetype k = at + 3;
            while (k < view.size() && isSpace(view[k]))
                ++k;
            if (k < view.size() && view[k] == u'/')
                ++k;
            if (k < view.size() && view[k] == u'>')
                end = k + 1;
        }
        if (end < 0)
            continue;
        out += view.sliced(copied, at - copied);
        out += u"\r\n"_s;
        copied = end;
        at = end - 1;
    }
    if (copied == 0)
        return text;
    out += view.sliced(copied);
    return out;
}

QString serviceRoot()
{
    return serverAddress(Cfg::Servers::Translate).url(u"/"_s);
}

} // namespace

QString translationLanguages(TranslationDirection direction)
{
    return direction == TranslationDirection::ZhToEn ? u"sl=zh-CN&tl=en"_s : u"sl=en&tl=zh-CN"_s;
}

QString translationSourceText(const QString &html)
{
    // The web editor ends its lines with LF where the paragraphs need CR LF.
    QString text = html;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\n', u"\r\n"_s);
    return htmlToParagraphs(breakAtParagraphEnds(text));
}

QString translationRequestBody(const QString &html, TranslationDirection direction)
{
    return u"js=n&prev=_t&hl=zh-CN&layout=2&eotf=1&" + translationLanguages(direction) + u"&ie=UTF-8&text="
           + urlEncodeUtf8(translationSourceText(html));
}

QString translationRequestText(const QString &html, TranslationDirection direction)
{
    return buildPostRequest(u"/"_s, serverAddress(Cfg::Servers::Translate).authority(),
                            translationRequestBody(html, direction), serverSetting(Cfg::Servers::TranslateCookie),
                            serviceRoot());
}

QString translationFromAnswer(const QByteArray &answer)
{
    QString result;
    {
        // The whole page is let go as soon as the result is out of it.
        const QString page = decodeUtf8(answer);
        result = Between(page, u"<span id=result_box"_s, u"</div>"_s);
    }
    if (result.isEmpty())
        return {};
    // The rest of the span's opening tag.
    result.remove(0, result.indexOf(u'>') + 1);
    result = htmlToParagraphs(result);
    // The service writes the paragraph tags it was sent as entities; decoded,
    // they end the paragraphs of the answer.
    result = htmlDecode(std::move(result));
    result = htmlToParagraphs(breakAtParagraphEnds(result));
    if (result.trimmed().isEmpty())
        return {};
    return result;
}

ArticleTranslator::ArticleTranslator(QObject *parent) : QObject(parent), m_exchange(new HttpExchange(this))
{
    connect(m_exchange, &HttpExchange::finished, this, [this](const HttpReply &reply) {
        // An error page, or a captive portal's, is not the service answering.
        if (!reply.isSuccess()) {
            Q_EMIT finished(
                {TranslationOutcome::Status::NetworkFailure, QString(), RewriteText::kTranslationNetworkFailure});
            return;
        }
        TranslationOutcome outcome;
        outcome.text = translationFromAnswer(reply.bytes);
        if (outcome.text.isEmpty()) {
            outcome.status = TranslationOutcome::Status::NoResult;
            outcome.message = RewriteText::kTranslationNoResult;
        } else {
            outcome.status = TranslationOutcome::Status::Translated;
        }
        Q_EMIT finished(outcome);
    });
    connect(m_exchange, &HttpExchange::failed, this, [this](const QString &message) {
        Q_EMIT finished({TranslationOutcome::Status::NetworkFailure, QString(), message});
    });
}

ArticleTranslator::~ArticleTranslator() = default;

void ArticleTranslator::translateArticle(const QString &html, TranslationDirection direction)
{
    abort();
    if (html.isEmpty()) {
        m_emptyPending = true;
        QMetaObject::invokeMethod(
            this,
            [this, run = m_run] {
                if (run != m_run || !m_emptyPending)
                    return;
                m_emptyPending = false;
                Q_EMIT finished({TranslationOutcome::Status::EmptyArticle, QString(), QString()});
            },
            Qt::QueuedConnection);
        return;
    }
    HttpExchange::Request request;
    // The service is reached at its own address; the host name goes only into
    // the Host header.
    request.server = serverAddress(Cfg::Servers::TranslateAddress);
    request.text = translationRequestText(html, direction);
    request.completion = CompletionMarker::inBytes(toByteString(u"</html>"_s));
    request.receive = HttpExchange::Receive::Bytes;
    request.failureMessage = RewriteText::kTranslationNetworkFailure;
    m_exchange->start(request);
}

bool ArticleTranslator::isRunning() const
{
    return m_emptyPending || m_exchange->isRunning();
}

void ArticleTranslator::abort()
{
    ++m_run;
    m_emptyPending = false;
    m_exchange->abort();
}

namespace TranslationPanel {

TranslationDirection directionOfCaption(const QString &caption)
{
    return caption == RewriteText::kZhToEnCaption ? TranslationDirection::ZhToEn : TranslationDirection::EnToZh;
}

QString captionOf(TranslationDirection direction)
{
    return direction == TranslationDirection::ZhToEn ? RewriteText::kZhToEnCaption : RewriteText::kEnToZhCaption;
}

QString captionAfter(const QString &caption, const TranslationOutcome &outcome)
{
    if (!outcome.replacesArticle())
        return caption;
    return caption == RewriteText::kZhToEnCaption ? RewriteText::kEnToZhCaption : RewriteText::kZhToEnCaption;
}

bool warningWanted()
{
    return configInt(Cfg::YC::ShowHelp) == 0;
}

bool suppressWarning()
{
    return setConfigInt(Cfg::YC::ShowHelp, 1);
}

} // namespace TranslationPanel

} // namespace zorvane
