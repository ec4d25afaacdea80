#include "snapshot/opencc_traditional.h"

#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/Dict.hpp>
#include <opencc/DictEntry.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The one character a UTF-8 string holds, or nothing.
std::optional<char32_t> singleCharacter(const std::string &utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    const QList<uint> codes = text.toUcs4();
    if (codes.size() != 1)
        return std::nullopt;
    return char32_t(codes.first());
}

} // namespace

TraditionalCharsLoad loadTraditionalChars()
{
    TraditionalCharsLoad load;
    try {
        // OpenCC finds its own configuration and dictionaries.
        opencc::Config config;
        const opencc::ConverterPtr converter = config.NewFromFile("t2s.json");
        TraditionalChars chars;
        for (const opencc::ConversionPtr &conversion : converter->GetConversionChain()->GetConversions()) {
            const opencc::LexiconPtr lexicon = conversion->GetDict()->GetLexicon();
            for (const std::unique_ptr<opencc::DictEntry> &entry : *lexicon) {
                const std::optional<char32_t> from = singleCharacter(entry->Key());
                const std::optional<char32_t> to = from ? singleCharacter(entry->GetDefault()) : std::nullopt;
                if (from && to && *from != *to)
                    chars.add(*from, *to);
            }
        }
        if (chars.size() == 0) {
            load.error = u"OpenCC's traditional-to-simplified data holds no characters"_s;
            return load;
        }
        load.chars = std::move(chars);
    } catch (const opencc::Exception &e) {
        load.error = u"OpenCC's traditional-to-simplified data cannot be read: %1"_s.arg(QString::fromUtf8(e.what()));
    } catch (const std::exception &e) {
        load.error = u"OpenCC's traditional-to-simplified data cannot be read: %1"_s.arg(QString::fromUtf8(e.what()));
    }
    return load;
}

} // namespace zorvane
