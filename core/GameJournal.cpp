#include "core/GameJournal.h"

#include "core/JournalWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// Runs `call` on the writer's thread and waits for it. The writer takes calls
// in turn, so every write handed over before has ended when this returns.
template <typename Call> void waitFor(JournalWriter *writer, Call call)
{
    QMetaObject::invokeMethod(writer, call, Qt::BlockingQueuedConnection);
}

} // namespace

GameJournal::GameJournal(QObject *parent)
    : GameJournal(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation), parent)
{
}

GameJournal::GameJournal(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_writer(std::make_unique<JournalWriter>(folder))
{
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(0);
    connect(&m_writeTimer, &QTimer::timeout, this, &GameJournal::handOver);
    connect(m_writer.get(), &JournalWriter::written, this, &GameJournal::writeDone);
    connect(m_writer.get(), &JournalWriter::failed, this, &GameJournal::writeFailed);
    m_thread.setObjectName(QStringLiteral("Game journal"));
    m_writer->moveToThread(&m_thread);
    m_thread.start();
}

GameJournal::~GameJournal()
{
    m_writeTimer.stop();
    if (owns() && m_unsent) {
        m_unsent = false;
        waitFor(m_writer.get(), [writer = m_writer.get(), game = m_pending] { writer->write(game); });
    }
    m_thread.quit();
    m_thread.wait();
    // A last failure on its way here is still printed, but told to no one:
    // whoever listens may be going too.
    blockSignals(true);
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    // The lock goes with the writer, after its last write.
    m_writer.reset();
}

bool GameJournal::acquire()
{
    bool owner = false;
    waitFor(m_writer.get(), [&owner, writer = m_writer.get()] { owner = writer->acquire(); });
    m_ownership = owner ? Ownership::Owner : Ownership::Inert;
    return owner;
}

std::optional<GameJournal::Recovered> GameJournal::recover()
{
    std::optional<Recovered> recovered;
    if (owns())
        waitFor(m_writer.get(), [&recovered, writer = m_writer.get()] { recovered = writer->recover(); });
    return recovered;
}

void GameJournal::record(const GameState &game)
{
    if (!owns())
        return;
    m_pending = game;
    m_unsent = true;
    if (!m_writing && !m_writeTimer.isActive())
        m_writeTimer.start();
}

void GameJournal::handOver()
{
    if (!owns() || !m_unsent || m_writing)
        return;
    m_unsent = false;
    m_writing = true;
    QMetaObject::invokeMethod(
        m_writer.get(), [writer = m_writer.get(), game = m_pending] { writer->write(game); },
        Qt::QueuedConnection);
}

void GameJournal::writeDone()
{
    m_writing = false;
    if (!m_saving) {
        m_saving = true;
        qWarning("The game is kept on disk again in %s.", qPrintable(QDir::toNativeSeparators(m_folder)));
        emit savingChanged(true);
    }
    handOver();
}

void GameJournal::writeFailed(const QString &why, bool ownerElsewhere)
{
    m_writing = false;
    if (ownerElsewhere)
        m_ownership = Ownership::Inert;
    if (m_saving) {
        m_saving = false;
        qWarning(
            "The game is not kept on disk: %s It goes on, and the next change tries again.", qPrintable(why));
        emit savingChanged(false);
    }
    handOver();
}

void GameJournal::discard()
{
    if (!owns())
        return;
    m_writeTimer.stop();
    m_unsent = false;
    waitFor(m_writer.get(), [writer = m_writer.get()] { writer->discard(); });
}
