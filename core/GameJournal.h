#pragma once

#include "core/GameState.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

// Keeps the game on disk while it is played, so that after a crash, a kill or
// a power cut the next start can offer it back. At most the changes of the
// last event-loop turn are lost.
//
// The files, in the per-user data folder (on Linux
// ~/.local/share/Quorvane/Quorvane):
//   game.json           the newest state, replaced whole (QSaveFile), never torn:
//                       {"version": 1, "savedAt": "2024-05-01T18:30:00.250Z",
//                        "game": GameState::toJson()}
//   game.previous.json  the state before it, for when the newest is damaged
//   game.lock           held while a copy of the program owns the journal; a
//                       lock whose owner has ended (a crash) is taken over
//   game.json.bad, game.json.2.bad, ...
//                       a damaged file, set aside and kept for inspection
//
// Use: acquire(); when it succeeds, recover() and offer what it returns; then
// record() at every change of the game, and discard() when the game ends
// normally or the operator declines the offer. Every file is checked with
// UserFile before it is opened.
class GameJournal : public QObject
{
    Q_OBJECT

public:
    struct Recovered {
        GameState game;
        QDateTime savedAt; // UTC
    };

    // The "version" of the file, not of the game inside it.
    static constexpr int FormatVersion = 1;

    // The journal in the per-user data folder; the application's organisation
    // and name must be set first.
    explicit GameJournal(QObject *parent = nullptr);
    // The journal in another folder, made at the first write.
    explicit GameJournal(const QString &folder, QObject *parent = nullptr);
    // Writes a state recorded but not yet written, then lets the journal go.
    ~GameJournal() override;

    QString folder() const { return m_folder; }

    // Takes the journal for this copy of the program. False when another
    // running copy owns it: this journal then never reads, writes or removes
    // a file. When the lock cannot be made yet (no folder can be made), this
    // copy takes it at its first write. Nothing else here touches the disk
    // before acquire() has returned true.
    bool acquire();

    // The newest usable generation. A damaged one (unreadable, not this
    // format, too large, not a file) is renamed with ".bad", reported with
    // one line on stderr, and the one before it is tried.
    std::optional<Recovered> recover();

    // Takes the game as it is now; it reaches the disk once the event loop
    // turns, however many changes that turn made.
    void record(const GameState &game);

    // Removes both generations and any write still waiting.
    void discard();

    // False while writes fail (no folder, a full disk): the game goes on, the
    // reason is printed once, and the next record() tries again.
    bool saving() const { return m_saving; }

Q_SIGNALS:
    void savingChanged(bool saving);

private:
    enum class Ownership { NotAcquired, Owner, Inert };

    bool owns() const { return m_ownership == Ownership::Owner && !m_folder.isEmpty(); }
    QString path(const QString &name) const;
    // True when this copy holds the lock. Otherwise `why` says why the lock
    // cannot be made, or stays empty when another running copy holds it.
    bool takeLock(QString &why);
    // Moves a file that stands in the way out of it, saying why on stderr;
    // false, silent, when it cannot be moved.
    bool setAside(const QString &fileName, const QString &why);
    std::optional<Recovered> read(const QString &fileName);
    void writePending();
    // Why the game did not reach the disk; nullopt when it did.
    std::optional<QString> write(const GameState &game);

    QString m_folder;
    QLockFile m_lock;
    Ownership m_ownership = Ownership::NotAcquired;
    GameState m_pending;
    QTimer m_writeTimer;
    bool m_saving = true;
};
