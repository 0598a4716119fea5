#include "core/AudienceSettings.h"

#include <algorithm>

namespace {

const QString ScreenKey = QStringLiteral("AudienceDisplay/Screen");
const QString MarginKey = QStringLiteral("AudienceDisplay/Margin");
const QString Automatic = QStringLiteral("Automatic");

// Longer than any name a system gives a screen.
constexpr qsizetype LongestScreenName = 256;

QString usableScreen(const std::optional<QString> &stored)
{
    if (!stored)
        return {};
    const QString name = stored->trimmed();
    const auto isControl = [](QChar ch) { return ch.category() == QChar::Other_Control; };
    const bool control = std::any_of(name.begin(), name.end(), isControl);
    if (control || name.size() > LongestScreenName || name.compare(Automatic, Qt::CaseInsensitive) == 0)
        return {};
    return name;
}

int usableMargin(const std::optional<QString> &stored)
{
    if (!stored)
        return 0;
    bool ok = false;
    const int margin = stored->trimmed().toInt(&ok);
    return ok && margin >= 0 && margin <= AudienceSettings::MaxMargin ? margin : 0;
}

} // namespace

AudienceSettings LoadAudienceSettings()
{
    return {usableScreen(LoadStoredText(ScreenKey)), usableMargin(LoadStoredText(MarginKey))};
}

SettingsSaveResult SaveAudienceSettings(const AudienceSettings &settings)
{
    const QString screen = settings.screen.isEmpty() ? Automatic : settings.screen;
    const int margin = std::clamp(settings.margin, 0, AudienceSettings::MaxMargin);
    return SaveStoredTexts({{ScreenKey, screen}, {MarginKey, QString::number(margin)}});
}
