#include "LogField.h"

#include "common/Cp932.h"

namespace LogField
{

std::optional<Unusable> firstUnusable(QStringView text)
{
    qsizetype index = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            index = i;
            break;
        }
    }
    const Cp932::Encoded encoded = Cp932::encode(index < 0 ? text : text.left(index));
    if (!encoded.ok)
        index = encoded.errorIndex;
    if (index < 0)
        return std::nullopt;
    const bool pair = text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                      text.at(index + 1).isLowSurrogate();
    return Unusable{index, text.mid(index, pair ? 2 : 1).toString()};
}

} // namespace LogField
