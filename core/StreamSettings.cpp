#include "core/StreamSettings.h"

#include "core/StreamServicePlugin.h"

namespace {

const QString EnabledKey = QStringLiteral("Stream/Enabled");
const QString PortKey = QStringLiteral("Stream/Port");
const QString AllowNetworkKey = QStringLiteral("Stream/AllowNetwork");

// "true" and "false" as written, "1" and "0" as another program may write them.
std::optional<bool> flagFromText(const QString &text)
{
    const QString word = text.trimmed().toLower();
    if (word == u"true" || word == u"1")
        return true;
    if (word == u"false" || word == u"0")
        return false;
    return std::nullopt;
}

bool loadFlag(const QString &path, bool fallback)
{
    const auto stored = LoadStoredText(path);
    return stored ? flagFromText(*stored).value_or(fallback) : fallback;
}

QString flagText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

std::optional<int> StreamSettings::portFromText(QStringView text)
{
    const QStringView digits = text.trimmed();
    // Five digits at most: toInt would take a sign, and a long run of zeros
    // is no port anyone typed on purpose.
    if (digits.isEmpty() || digits.size() > 5)
        return std::nullopt;
    for (const QChar ch : digits) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
    }
    const int port = digits.toInt();
    if (port < LowestPort || port > HighestPort)
        return std::nullopt;
    return port;
}

QString StreamSettings::overlayAddress() const
{
    const StreamServicePlugin *plugin = AllowNetwork ? StreamServicePlugin::instance() : nullptr;
    return overlayAddress(plugin ? plugin->networkAddress() : QString());
}

QString StreamSettings::overlayAddress(const QString &networkAddress) const
{
    // The address other computers reach this one at; this one too.
    const QString host = AllowNetwork && !networkAddress.isEmpty() ? networkAddress : QStringLiteral("127.0.0.1");
    return QStringLiteral("http://%1:%2/overlay").arg(host).arg(Port);
}

StreamSettings LoadStreamSettings()
{
    StreamSettings settings;
    settings.Enabled = loadFlag(EnabledKey, settings.Enabled);
    settings.AllowNetwork = loadFlag(AllowNetworkKey, settings.AllowNetwork);
    if (const auto stored = LoadStoredText(PortKey))
        settings.Port = StreamSettings::portFromText(*stored).value_or(settings.Port);
    return settings;
}

SettingsSaveResult SaveStreamSettings(const StreamSettings &settings)
{
    return SaveStoredTexts({{EnabledKey, flagText(settings.Enabled)},
        {PortKey, QString::number(settings.Port)}, {AllowNetworkKey, flagText(settings.AllowNetwork)}});
}
