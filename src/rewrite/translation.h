#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace zorvane {

class HttpExchange;

// The translation round trip of the "yc" panel: the article goes to the web
// translation service (section "Servers": Translate, TranslateAddress,
// TranslateCookie) as plain paragraphs, and the service's page comes back as
// plain paragraphs. Two translations, one each way, give a reworded article.

enum class TranslationDirection { ZhToEn, EnToZh };

// The form's language parameters: "sl=zh-CN&tl=en" or "sl=en&tl=zh-CN".
QString translationLanguages(TranslationDirection direction);

// The article as the service gets it: its text, one "<p>" per paragraph.
// Paragraph ends, line breaks and line ends of the article all end a
// paragraph; the web editor writes paragraphs without a line end between them.
QString translationSourceText(const QString &html);

// The whole form posted for the article, its text percent-encoded as UTF-8.
QString translationRequestBody(const QString &html, TranslationDirection direction);

// The complete request text: POST "/" to the host of "Translate", with the
// cookie string of "TranslateCookie" and the service's root as referrer.
QString translationRequestText(const QString &html, TranslationDirection direction);

// The translation in the service's page (every byte received, headers
// included), one "<p>" per paragraph of the answer; empty when the page holds
// no result element or nothing but blanks in it.
QString translationFromAnswer(const QByteArray &answer);

// How one translation ended.
struct TranslationOutcome
{
    enum class Status {
        Translated,     // `text` is the translated article
        EmptyArticle,   // nothing to translate and nothing was sent
        NetworkFailure, // refused, broken, timed out, closed before the page ended, too
                        // large, or a status other than 2xx
        NoResult,       // the page came, but without a translation in it
    };

    Status status = Status::NoResult;
    QString text;    // the new article: the translation, or empty for an empty article
    QString message; // for the two failures: what to tell the user

    // Whether the article is to be replaced by `text`. On a failure it stays
    // as it was.
    bool replacesArticle() const { return status == Status::Translated || status == Status::EmptyArticle; }
};

// One translation at a time, over a new connection each. Never blocks: the
// outcome arrives as `finished`, always after translateArticle has returned
// (for an empty article too).
class ArticleTranslator : public QObject
{
    Q_OBJECT

public:
    explicit ArticleTranslator(QObject *parent = nullptr);
    ~ArticleTranslator() override;

    // Starts translating html. A translation still running is dropped first
    // without a signal; the panel refuses the click instead (isRunning).
    void translateArticle(const QString &html, TranslationDirection direction);
    bool isRunning() const;
    // Drops the running translation, if any, without a signal.
    void abort();

Q_SIGNALS:
    void finished(const TranslationOutcome &outcome);

private:
    HttpExchange *m_exchange;
    quint64 m_run = 0;           // tells a queued empty-article outcome from a dropped one
    bool m_emptyPending = false; // an empty article's outcome is on its way
};

// The translate button's caption and the panel's choices.
namespace TranslationPanel {

// The direction a caption asks for: "中->英" is Chinese to English, any other
// caption English to Chinese.
TranslationDirection directionOfCaption(const QString &caption);
QString captionOf(TranslationDirection direction);

// The caption after a click that ended with outcome. It turns over after a
// translation or an empty article; after a failure it stays, or the next
// click would send the unchanged Chinese article as English.
QString captionAfter(const QString &caption, const TranslationOutcome &outcome);

// Whether the warning about lost formatting comes before a translation:
// while "ShowHelp" of section "YC" reads 0.
bool warningWanted();
// Cancel on the warning: it is not shown again. False when the settings file
// could not be written (the warning then comes again next time, no harm).
bool suppressWarning();

} // namespace TranslationPanel

} // namespace zorvane
