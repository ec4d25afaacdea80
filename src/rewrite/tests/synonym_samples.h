#pragma once

#include "testsupport/sample_pages.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

namespace zorvane {

// Synonym libraries and articles made up for tests and benchmarks. Words are
// taken from the running text of a real article, so that the library shares
// many words and prefixes with the article the way a real one does.

// The Chinese characters of a sample article, in order.
inline QString sampleChineseText(const QString &samplesDir)
{
    using namespace Qt::StringLiterals;
    QFile file(samplesDir + u"/articles/qq/source.html"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromUtf8(file.readAll());
    QString chinese;
    for (QChar c : html) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            chinese += c;
    }
    return chinese;
}

inline QString sampleArticleHtml(const QString &samplesDir, qsizetype length)
{
    using namespace Qt::StringLiterals;
    QFile file(samplesDir + u"/articles/qq/source.html"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString html = QString::fromUtf8(file.readAll());
    while (html.size() < length)
        html += html;
    return html.left(length);
}

// lines lines of two or three words of two or three characters, CR LF between
// lines and none after the last, as the import writes them.
inline QString makeSynonymLibrary(const QString &source, int lines, quint32 seed)
{
    using namespace Qt::StringLiterals;
    QRandomGenerator random(seed);
    QString library;
    for (int line = 0; line < lines; ++line) {
        if (line > 0)
            library += u"\r\n"_s;
        const int words = 2 + int(random.bounded(2));
        for (int w = 0; w < words; ++w) {
            if (w > 0)
                library += u'|';
            const int length = 2 + int(random.bounded(2));
            library += source.mid(random.bounded(int(source.size() - length)), length);
        }
    }
    return library;
}

inline QString repeatToLength(const QString &text, qsizetype length)
{
    QString out;
    out.reserve(length);
    while (out.size() < length)
        out += text;
    return out.left(length);
}

} // namespace zorvane
