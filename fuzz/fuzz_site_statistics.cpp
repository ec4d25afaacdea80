// The site-statistics parsers on any received bytes, read both ways a source
// reads them (GBK text, UTF-8 bytes), and the relay's test for a whole answer.
#include "checks/site_statistics.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &page : {fromGbk(bytes), decodeUtf8(bytes)}) {
        const AlexaFigures alexa = parseAlexa(page);
        const QStringList counts = {parseBaidu(page),     parseSoso(page), parseSogou(page),
                                    parseLinkStats(page), alexa.rank,      alexa.linksIn};
        const QString bing = parseBing(page);
        const QString google = parseGoogle(page);
        // Blanks are removed from these two.
        if (bing.contains(u' ') || google.contains(u' '))
            __builtin_trap();
        if (const std::optional<QString> frame = parsePageRankPage(page); frame && frame->size() > page.size())
            __builtin_trap();
        const QString pr = parsePageRankFrame(page);
        if (pr != SeoText::failed() && pr.size() >= 21)
            __builtin_trap();
        for (const QString &count : counts) {
            if (count.size() > page.size() + 7)
                __builtin_trap();
        }
    }
    if (const std::optional<QByteArray> body = relayAnswerBody(bytes)) {
        if (body->size() > bytes.size())
            __builtin_trap();
        (void)parseRelayBody(*body);
    }
    return 0;
}
