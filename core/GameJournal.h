#pragma once

#include "core/GameState.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

#include <memory>
#include <optional>

class JournalWriter;

// Keeps the game on disk while it is played, so that after a crash, a kill or
// a power cut the next start can offer it back. At most the changes of the
// last event-loop turn and of the write under way are lost.
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
//
// The disk work runs on the journal's own thread (JournalWriter), one write
// at a time: record() never waits for it, and changes that come while a write
// is under way are written together once it is done. acquire(), recover() and
// discard() wait for the writes handed over before them.
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
    // Writes a state recorded but not yet written, ends the thread, then lets
    // the journal go.
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

    // Takes the game as it is now; it goes to the disk once the event loop
    // turns, however many changes that turn made, or once the write under
    // way is done.
    void record(const GameState &game);

    // Removes both generations and any write still waiting; a write under
    // way ends first.
    void discard();

    // False while writes fail (no folder, a full disk): the game goes on, the
    // reason is printed once, and the next record() tries again.
    bool saving() const { return m_saving; }

Q_SIGNALS:
    void savingChanged(bool saving);

private:
    enum class Ownership { NotAcquired, Owner, Inert };

    bool owns() const { return m_ownership == Ownership::Owner && !m_folder.isEmpty(); }
    void handOver();
    void writeDone();
    void writeFailed(const QString &why, bool ownerElsewhere);

    QString m_folder;
    Ownership m_ownership = Ownership::NotAcquired;
    GameState m_pending;
    // m_pending has changes the writer has not been given.
    bool m_unsent = false;
    // A write has been handed over and has not said how it went.
    bool m_writing = false;
    QTimer m_writeTimer;
    bool m_saving = true;
    QThread m_thread;
    std::unique_ptr<JournalWriter> m_writer;
};
