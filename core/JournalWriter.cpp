#include "core/JournalWriter.h"

#include "core/UserFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>

namespace {

const QString Newest = QStringLiteral("game.json");
const QString Previous = QStringLiteral("game.previous.json");
const QString Lock = QStringLiteral("game.lock");

// How many files set aside under one name are kept apart.
constexpr int MostSetAside = 99;

// A lock file younger than this may be one another copy is still writing.
constexpr qint64 LockWritingSeconds = 10;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void warn(const QString &line)
{
    qWarning("%s", qPrintable(line));
}

// What a journal file holds, or why it is not one.
std::optional<GameJournal::Recovered> parse(const QByteArray &bytes, QString &damage)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject json = document.object();
    if (error.error != QJsonParseError::NoError) {
        damage = QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset);
    } else if (!document.isObject()) {
        damage = QStringLiteral("it is no JSON object");
    } else if (json.value(QStringLiteral("version")) != QJsonValue(GameJournal::FormatVersion)) {
        damage = QStringLiteral("it is not of version %1").arg(GameJournal::FormatVersion);
    } else {
        const QDateTime savedAt
            = QDateTime::fromString(json.value(QStringLiteral("savedAt")).toString(), Qt::ISODateWithMs);
        const auto game = GameState::fromJson(json.value(QStringLiteral("game")).toObject());
        if (savedAt.isValid() && game)
            return GameJournal::Recovered{*game, savedAt.toUTC()};
        damage = savedAt.isValid() ? QStringLiteral("it holds no sound game")
                                   : QStringLiteral("it does not say when it was saved");
    }
    return std::nullopt;
}

} // namespace

JournalWriter::JournalWriter(const QString &folder)
    : m_folder(folder)
    , m_lock(path(Lock))
{
    // Held for the whole game: only a lock whose owner has ended is stale,
    // never one that is merely old.
    m_lock.setStaleLockTime(0);
}

QString JournalWriter::path(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

bool JournalWriter::acquire()
{
    QString why;
    if (!takeLock(why) && why.isEmpty()) {
        m_ownerElsewhere = true;
        warn(QStringLiteral("Another copy of Quorvane keeps its game in %1; this one keeps none.")
                 .arg(shown(m_folder)));
        return false;
    }
    return true;
}

bool JournalWriter::takeLock(QString &why)
{
    if (m_lock.isLocked())
        return true;
    if (m_folder.isEmpty()) {
        why = QStringLiteral("There is no folder for the game journal.");
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        why = QStringLiteral("The folder %1 cannot be made.").arg(shown(m_folder));
        return false;
    }
    const QString lockName = path(Lock);
    if (const auto reason = UserFile::unusableReason(lockName); reason && !setAside(lockName, *reason)) {
        why = *reason;
        return false;
    }
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() == QLockFile::LockFailedError) {
        // QLockFile has found the owner running. A lock that names no owner
        // was left half made by a crash, unless another copy is making it now.
        qint64 pid = 0;
        QString host, application;
        const QFileInfo lock(lockName);
        if (m_lock.getLockInfo(&pid, &host, &application)
            || qAbs(lock.lastModified().secsTo(QDateTime::currentDateTime())) < LockWritingSeconds)
            return false;
        if (setAside(lockName, QStringLiteral("The lock file %1 names no owner.").arg(shown(lockName)))
            && m_lock.tryLock(0))
            return true;
        if (m_lock.error() == QLockFile::LockFailedError)
            return false;
    }
    why = QStringLiteral("The lock file %1 cannot be made.").arg(shown(lockName));
    return false;
}

bool JournalWriter::setAside(const QString &fileName, const QString &why)
{
    for (int n = 1; n <= MostSetAside; ++n) {
        const QString aside
            = n == 1 ? fileName + QStringLiteral(".bad") : QStringLiteral("%1.%2.bad").arg(fileName).arg(n);
        const QFileInfo taken(aside);
        if (taken.exists() || taken.isSymLink())
            continue;
        // A pipe or a device is renamed, never copied: QFile reads no
        // sequential file to move it.
        if (!QFile::rename(fileName, aside))
            return false;
        warn(QStringLiteral("%1 It is set aside as %2.").arg(why, shown(aside)));
        return true;
    }
    return false;
}

std::optional<GameJournal::Recovered> JournalWriter::recover()
{
    if (m_ownerElsewhere)
        return std::nullopt;
    for (const QString &name : {Newest, Previous}) {
        if (auto recovered = read(path(name)))
            return recovered;
    }
    return std::nullopt;
}

std::optional<GameJournal::Recovered> JournalWriter::read(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return std::nullopt;
    auto why = UserFile::unusableReason(fileName);
    if (!why) {
        QFile file(fileName);
        QString damage;
        if (!file.open(QIODevice::ReadOnly))
            damage = file.errorString();
        else if (auto recovered = parse(file.read(UserFile::LargestSize), damage))
            return recovered;
        why = QStringLiteral("The game journal %1 is damaged: %2.").arg(shown(fileName), damage);
    }
    if (!setAside(fileName, *why))
        warn(QStringLiteral("%1 It cannot be set aside.").arg(*why));
    return std::nullopt;
}

void JournalWriter::write(const GameState &game)
{
    if (m_ownerElsewhere)
        return;
    if (const auto failure = replaceNewest(game))
        emit failed(*failure, m_ownerElsewhere);
    else
        emit written();
}

std::optional<QString> JournalWriter::replaceNewest(const GameState &game)
{
    QString why;
    if (!takeLock(why)) {
        if (!why.isEmpty())
            return why;
        m_ownerElsewhere = true;
        return QStringLiteral("Another copy of Quorvane keeps its game in %1.").arg(shown(m_folder));
    }
    const QString newest = path(Newest), previous = path(Previous);
    for (const QString &fileName : {newest, previous}) {
        if (const auto reason = UserFile::unusableReason(fileName); reason && !setAside(fileName, *reason))
            return reason;
    }
    // The newest becomes the previous; a crash from here on leaves that one.
    if (QFileInfo::exists(newest)) {
        if (QFileInfo::exists(previous) && !QFile::remove(previous))
            return QStringLiteral("The file %1 cannot be replaced.").arg(shown(previous));
        if (!QFile::rename(newest, previous))
            return QStringLiteral("The file %1 cannot be renamed.").arg(shown(newest));
    }
    const QString savedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    const QJsonObject json{{QStringLiteral("version"), GameJournal::FormatVersion},
                           {QStringLiteral("savedAt"), savedAt},
                           {QStringLiteral("game"), game.toJson()}};
    QSaveFile file(newest);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(json).toJson()) < 0 || !file.commit())
        return QStringLiteral("The file %1 cannot be written (%2).").arg(shown(newest), file.errorString());
    return std::nullopt;
}

void JournalWriter::discard()
{
    if (m_ownerElsewhere)
        return;
    for (const QString &name : {Newest, Previous}) {
        const QString fileName = path(name);
        if (QFileInfo(fileName).isFile() && !QFile::remove(fileName))
            warn(QStringLiteral("The game journal %1 cannot be removed; the next start will offer it.")
                     .arg(shown(fileName)));
    }
}
