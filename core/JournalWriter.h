#pragma once

#include "core/GameJournal.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <optional>

// Every disk operation of a GameJournal, on the journal's own thread and in
// the order the journal asks for them: a sync that takes a fifth of a second
// on a slow disk then never holds up a keystroke. Once moved to that thread
// it is called only through queued calls, so nothing here is shared.
class JournalWriter : public QObject
{
    Q_OBJECT

public:
    explicit JournalWriter(const QString &folder);

    // False, with one line on stderr, when another running copy owns the
    // journal: from then on nothing here reads, writes or removes a file.
    bool acquire();
    std::optional<GameJournal::Recovered> recover();
    // The newest becomes the previous generation and the game the newest;
    // says how it went with written() or failed().
    void write(const GameState &game);
    void discard();

Q_SIGNALS:
    void written();
    // `ownerElsewhere`: another running copy was found holding the lock.
    void failed(const QString &why, bool ownerElsewhere);

private:
    QString path(const QString &name) const;
    // True when this copy holds the lock. Otherwise `why` says why the lock
    // cannot be made, or stays empty when another running copy holds it.
    bool takeLock(QString &why);
    // Moves a file that stands in the way out of it, saying why on stderr;
    // false, silent, when it cannot be moved.
    bool setAside(const QString &fileName, const QString &why);
    std::optional<GameJournal::Recovered> read(const QString &fileName);
    // Why the game did not reach the disk; nullopt when it did.
    std::optional<QString> replaceNewest(const GameState &game);

    QString m_folder;
    QLockFile m_lock;
    bool m_ownerElsewhere = false;
};
