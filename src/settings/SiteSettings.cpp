#include "SiteSettings.h"

namespace
{

const QString immutable = QStringLiteral("[$i]");

} // namespace

SiteSettings::SiteSettings(const QString& path) : m_file(path)
{
    if (path.isEmpty())
        return;
    m_file.load();
    m_hasFixed = m_file.bytes().contains("[$i]");
}

SiteSettings::Value SiteSettings::value(QStringView section, QStringView key) const
{
    // "[default][$i]" reads as a section named "default][$i".
    const QString fixedSection = section + u']' + QStringView(immutable).chopped(1);
    const QString fixedKey = key + immutable;
    const struct {
        QString section;
        QString key;
        bool fixed;
    } places[] = {{fixedSection, key.toString(), true},
                  {fixedSection, fixedKey, true},
                  {section.toString(), fixedKey, true},
                  {section.toString(), key.toString(), false}};
    for (const auto& place : places) {
        if (m_file.contains(place.section, place.key))
            return {true, place.fixed, m_file.value(place.section, place.key),
                    m_file.wholeValue(place.section, place.key)};
    }
    return {};
}
