#include "rewrite/shuffle.h"

#include "text/text_utils.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

int draw(QRandomGenerator &random)
{
    return int(random.bounded(10));
}

// Pieces moved to the front end up in the reverse order of their moves.
QString joinMoved(const QStringList &front, const QString &back)
{
    QString out;
    for (auto it = front.crbegin(); it != front.crend(); ++it)
        out += *it;
    return out + back;
}

} // namespace

int paragraphThreshold(int level)
{
    switch (level) {
    case 0:
        return 8;
    case 1:
        return 6;
    case 2:
        return 5;
    case 3:
        return 4;
    default:
        return 0;
    }
}

int sentenceThreshold(int level)
{
    switch (level) {
    case 0:
        return 9;
    case 1:
        return 8;
    case 2:
        return 6;
    case 3:
        return 4;
    default:
        return 0;
    }
}

QString shuffleParagraphs(const QString &html, int level, QRandomGenerator &random)
{
    const QString s = lowercaseTagNames(html);
    if (s.isEmpty())
        return QString();
    const QString close = u"</p>"_s;
    if (!s.contains(close))
        return level != 0 ? shuffleSentences(s, level, random) : s;

    QStringList pieces = s.split(close);
    for (QString &piece : pieces) {
        // Also removes any other tag whose name starts with p, as it always has.
        piece = regexReplace(piece, u"<p.*?>"_s, QString());
        if (level > 0)
            piece = shuffleSentences(piece, level, random);
    }

    const int threshold = paragraphThreshold(level);
    QStringList front;
    QString back;
    for (const QString &piece : pieces) {
        const int r = draw(random);
        if (trimBlanks(piece).isEmpty())
            continue;
        const QString paragraph = u"<p>"_s + piece + close;
        if (r > threshold)
            front << paragraph;
        else
            back += paragraph;
    }
    return joinMoved(front, back);
}

QString shuffleSentences(const QString &text, int level, QRandomGenerator &random)
{
    if (text.isEmpty())
        return QString();
    QString separator;
    if (text.contains(u'。'))
        separator = u"。"_s;
    else if (text.contains(u'.'))
        separator = u"."_s;
    else
        return text;

    const QStringList pieces = text.split(separator);
    const int threshold = sentenceThreshold(level);
    QStringList front;
    QString back;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const int r = draw(random);
        const QString &piece = pieces.at(i);
        if (trimBlanks(piece).size() <= 1)
            continue;
        if (r > threshold)
            front << piece + separator;
        else
            back += piece + separator;
    }
    QString result = pieces.first() + separator + joinMoved(front, back);
    const QString doubled = separator + separator;
    while (result.contains(doubled))
        result.replace(doubled, separator);
    return result;
}

} // namespace zorvane
