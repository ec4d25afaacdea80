#include "checks/word_count.h"

#include "text/text_utils.h"

using namespace Qt::StringLiterals;

namespace zorvane {

WordCount countWords(const QString &html)
{
    WordCount count;
    count.source = html.size();
    // Blanks only: tabs and line breaks are dealt with afterwards.
    QString text = trimBlanks(stripHtml(html)).toString();
    text.remove(u"\r\n"_s);
    text.remove(u'\t');
    count.text = text.size();
    return count;
}

QString wordCountCaption(const WordCount &count)
{
    return QString::number(count.source) + u"个[源码] "_s + QString::number(count.text) + u"个[文本]"_s;
}

qsizetype countTextBox(const QString &plainText)
{
    qsizetype count = plainText.size();
    for (qsizetype i = 0; i < plainText.size(); ++i) {
        if (plainText[i] == u'\n' && (i == 0 || plainText[i - 1] != u'\r'))
            ++count;
    }
    return count;
}

QString textBoxCaption(qsizetype count)
{
    return QString::number(count) + u"个"_s;
}

} // namespace zorvane
