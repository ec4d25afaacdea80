// The title search's receive buffer and result-page parser on any page: the
// input is "piece lengths \0 page" (the first part's bytes give the lengths
// the page arrives in). After every piece the buffer must hold what lowering
// every tag the pattern "<.+?>" finds over everything received gives, each
// where it stands.
#include "checks/title_search.h"
#include "literal_tags.h"

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray lengths = split < 0 ? QByteArray() : bytes.left(qMin<qsizetype>(split, 24));
    const QString page = QString::fromUtf8(split < 0 ? bytes : bytes.mid(split + 1));
    // The pattern itself takes time in the square of a line of "<": the
    // literal runs on short pages only, the buffer on pages of any length.
    const bool compare = page.size() <= 4096;

    TagNameLowercaser incremental;
    qsizetype at = 0;
    for (qsizetype i = 0; at < page.size(); ++i) {
        // The last piece takes what is left, in network-sized pieces.
        const qsizetype length = i < lengths.size() ? 1 + quint8(lengths[i]) % 64 : 1460;
        const QStringView piece = QStringView(page).mid(at, length);
        at += piece.size();
        const QString before = compare ? incremental.text() : QString();
        const qsizetype changedFrom = incremental.append(piece);
        if (changedFrom < 0 || changedFrom > incremental.text().size())
            __builtin_trap();
        if (!compare)
            continue;
        if (incremental.text() != lowerTagsWhereTheyStand(page.left(at))
            || QStringView(before).left(changedFrom) != QStringView(incremental.text()).left(changedFrom))
            __builtin_trap();
    }

    for (const TitleSearchMode mode : {TitleSearchMode::Exact, TitleSearchMode::Fuzzy}) {
        const TitlePage parsed = parseTitlePage(incremental.text(), mode);
        if (parsed.hits.size() > MaxTitleHits)
            __builtin_trap();
        for (const TitleHit &hit : parsed.hits) {
            if (hit.link.contains(u'"') || (!hit.source.isEmpty() && !hit.caption().endsWith(u'）')))
                __builtin_trap();
            (void)openableHitUrl(hit.link);
        }
    }
    return 0;
}
