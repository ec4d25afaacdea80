// The title search's receive buffer and result-page parser on any page: the
// input is "piece lengths \0 page" (the first part's bytes give the lengths
// the page arrives in). The buffer must agree with lowercaseTagNames run over
// everything after every piece.
#include "checks/title_search.h"
#include "text/text_utils.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 2048)
        return 0; // the whole-buffer pass is quadratic in the pieces and the tags
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray lengths = split < 0 ? QByteArray() : bytes.left(qMin<qsizetype>(split, 24));
    const QString page = QString::fromUtf8(split < 0 ? bytes : bytes.mid(split + 1));

    TagNameLowercaser incremental;
    QString literal;
    qsizetype at = 0;
    for (qsizetype i = 0; at < page.size(); ++i) {
        // The last piece takes what is left.
        const qsizetype length = i < lengths.size() ? 1 + quint8(lengths[i]) % 64 : page.size() - at;
        const QStringView piece = QStringView(page).mid(at, length);
        at += piece.size();
        const QString before = incremental.text();
        const qsizetype changedFrom = incremental.append(piece);
        literal = lowercaseTagNames(literal + piece);
        if (incremental.text() != literal || changedFrom < 0
            || QStringView(before).left(changedFrom) != QStringView(literal).left(changedFrom))
            __builtin_trap();
    }

    for (const TitleSearchMode mode : {TitleSearchMode::Exact, TitleSearchMode::Fuzzy}) {
        const TitlePage parsed = parseTitlePage(literal, mode);
        for (const TitleHit &hit : parsed.hits) {
            if (hit.link.contains(u'"') || (!hit.source.isEmpty() && !hit.caption().endsWith(u'）')))
                __builtin_trap();
            (void)openableHitUrl(hit.link);
        }
    }
    return 0;
}
