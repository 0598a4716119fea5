#include "ModalAnswerer.h"
#include "PrivateSettings.h"

#include "controls/ControlName.h"
#include "controls/LedDisplay.h"
#include "TestProgram.h"
#include "board/ScoreBoard.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QHash>
#include <QSet>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <bitset>

using ControlName::element;

// A random operator on the program's board: every character code, Enter, Esc,
// space, clicks, clear all answered either way and resizes to any size, with
// the board's invariants checked after every action. Esc's start screen and
// "o"'s options are answered back to the board. A failure names the seed;
// QUORVANE_MONKEY_SEED replays it and QUORVANE_MONKEY_ACTIONS sets the length.
class TestMonkey : public QObject
{
    Q_OBJECT

    struct Field {
        QList<LedDisplay *> digits; // [0] the ones digit of a two-digit field
        int lowest, highest;
    };
    static constexpr const char *EntryNames[3] = {"strAtBatEntry", "strHomeHitsEntry", "strVisitorHitsEntry"};

    PrivateSettings m_settings;
    ScoreBoard *m_board = nullptr;
    QRandomGenerator m_random;
    QList<Field> m_fields; // the home and the visitor run total first
    QList<LedDisplay *> m_displays;
    std::array<QList<LedDisplay *>, 2> m_innings; // home, visitor
    QHash<QWidget *, QStringList> m_mayChange;    // what a key typed on a display may change
    QList<TwipsControl *> m_controls;
    QHash<QSize, QStringList> m_looks;
    QSize m_designSize;
    std::bitset<256> m_codesSent;
    QStringList m_recent; // the last actions, for the failure message
    QSet<size_t> m_had;   // every board the game has had, hashed
    qint64 m_checks = 0;
    int m_resizes = 0, m_returns = 0, m_clears = 0, m_visits = 0;

    void addField(const QStringList &names, int lowest, int highest, const QStringList &alsoChanged = {})
    {
        m_fields.append({{}, lowest, highest});
        for (const QString &name : names) {
            m_fields.last().digits.append(m_board->findChild<LedDisplay *>(name));
            m_displays.append(m_fields.last().digits.last());
            m_mayChange[m_displays.last()] = names + alsoChanged;
        }
    }

    void mapFields()
    {
        const auto pair = [](const QString &name) { return QStringList{element(name, 0), element(name, 1)}; };
        for (const QString runs : {"ledHomeRuns", "ledVisitorRuns"}) {
            addField(pair(runs), 0, 99);
            for (LedDisplay *digit : m_fields.last().digits)
                m_mayChange[digit].clear(); // a key on a run total changes nothing
        }
        for (const char *field : {"ledAtBat", "ledHomeHits", "ledVisitorHits"})
            addField(pair(field), 0, 99, {QString(field).replace("led", "str") + "Entry"});
        for (const auto &[name, highest] : {std::pair{"ledBall(0)", 4}, {"ledStrike(0)", 3}, {"ledOut(0)", 3},
                                            {"ledHomeErr", 9}, {"ledVisitorErr", 9}})
            addField({name}, 0, highest);
        for (int team = 0; team < 2; ++team) {
            const QString name = team == 0 ? "ledHome" : "ledVisitor";
            for (int i = 1; i <= 10; ++i) { // a key on an inning may rewrite its run total
                addField({element(name, i)}, LedDisplay::Blank, 9, pair(name + "Runs"));
                m_innings[team].append(m_displays.last());
            }
        }
        QVERIFY(!m_displays.contains(nullptr));
        QCOMPARE(m_displays.size(), m_board->findChildren<LedDisplay *>().size());
        m_controls = m_board->findChildren<TwipsControl *>();
        std::sort(m_controls.begin(), m_controls.end(),
                  [](const QObject *a, const QObject *b) { return a->objectName() < b->objectName(); });
    }

    // Every display and entry text as "name=value".
    QStringList numbers() const
    {
        QStringList n;
        for (const LedDisplay *d : m_displays)
            n.append(d->objectName() + u'=' + QString::number(d->caption()));
        for (const char *entry : EntryNames)
            n.append(QLatin1String(entry) + u'=' + m_board->property(entry).toString());
        return n;
    }

    // Every control's rectangle, and the font size of those that show anything
    // (a control of no height keeps whatever font it had: no font has size 0).
    QStringList look() const
    {
        QStringList l;
        for (const TwipsControl *c : m_controls) {
            const QRect r = c->geometry();
            l.append(QStringLiteral("%1 %2,%3 %4x%5 at %6 pt").arg(c->objectName()).arg(r.x()).arg(r.y())
                         .arg(r.width()).arg(r.height())
                         .arg(QString::number(r.isEmpty() ? 0 : c->font().pointSizeF(), 'g',
                                              QLocale::FloatingPointShortest)));
        }
        return l;
    }

    // The first line that differs, unless its name is in `changeable`.
    static QString changed(const QStringList &before, const QStringList &now, const QStringList &changeable = {})
    {
        for (qsizetype i = 0; i < before.size(); ++i)
            if (before[i] != now[i] && !changeable.contains(before[i].section(u'=', 0, 0)))
                return QStringLiteral("%1 became %2").arg(before[i], now[i]);
        return {};
    }

    // Every field within its range, each run total the sum of its innings, the
    // entry texts made of entry keys alone.
    QString brokenInvariant()
    {
        m_checks += m_fields.size() + m_innings.size() + std::size(EntryNames);
        for (const Field &f : m_fields) {
            const int ones = f.digits[0]->caption();
            const int tens = f.digits.size() == 1 ? LedDisplay::Blank : f.digits[1]->caption();
            if (f.digits.size() == 1 ? ones < f.lowest || ones > f.highest
                                     : ones < 0 || ones > 9 || tens < LedDisplay::Blank || tens == 0 || tens > 9)
                return QStringLiteral("%1 shows ones %2, tens %3").arg(f.digits[0]->objectName()).arg(ones).arg(tens);
        }
        for (int team = 0; team < 2; ++team) {
            int sum = 0;
            for (const LedDisplay *inning : m_innings[team])
                sum += std::max(0, inning->caption());
            const int ones = m_fields[team].digits[0]->caption(), tens = m_fields[team].digits[1]->caption();
            if (const int total = std::max(0, tens) * 10 + ones; total != sum)
                return QStringLiteral("run total %1 shows %2, its innings add up to %3").arg(team).arg(total).arg(sum);
        }
        for (const char *entry : EntryNames)
            for (const QChar ch : m_board->property(entry).toString())
                if (ch.unicode() < 43 || ch.unicode() > 57)
                    return QStringLiteral("%1 holds the code %2").arg(QLatin1String(entry)).arg(ch.unicode());
        return {};
    }

    // Sends a character code as a keyboard does: named keys, Ctrl with @, A to Z,
    // [, \, ], ^ or _ below 32, Shift for capitals.
    void sendCode(int code, bool keypad)
    {
        static const QHash<int, Qt::Key> Named{{8, Qt::Key_Backspace}, {9, Qt::Key_Tab}, {13, Qt::Key_Return},
                                               {27, Qt::Key_Escape}, {127, Qt::Key_Delete}};
        const QChar ch(code);
        const char16_t upper = ch.toUpper().unicode();
        const bool plain = Named.contains(code) || (code >= 128 && code < 160);
        const Qt::Key key = keypad && code == 13 ? Qt::Key_Enter
            : Named.contains(code)               ? Named[code]
            : code < 32                          ? Qt::Key(Qt::Key_At + code)
            : plain                              ? Qt::Key_unknown
                                                 : Qt::Key(upper <= 0xff ? upper : code);
        const Qt::KeyboardModifiers modifiers = (keypad ? Qt::KeypadModifier : Qt::NoModifier)
            | (plain ? Qt::NoModifier
                     : code < 32 ? Qt::ControlModifier : ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget *target = keyTarget(); // the press may move the focus; the release goes where the press went
        for (const auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, target, key, QString(ch), modifiers);
        m_codesSent.set(code);
    }
    QWidget *keyTarget() const { return m_board->focusWidget() ? m_board->focusWidget() : m_board; }

    // A code typed on the focus; "c" brings the confirmation of clear all,
    // answered Yes or No.
    QString typeCode(int code, bool keypad, QStringList &mayChange)
    {
        m_recent.append(QStringLiteral("code %1 on %2").arg(code).arg(keyTarget()->objectName()));
        if (code == 27 || code == 'o')
            return visitAndBack(code, keypad);
        mayChange = m_mayChange.value(keyTarget());
        if (code != 'c') {
            sendCode(code, keypad);
            // Ctrl+Z and Ctrl+Y undo and redo: anything may change, to a board the game had.
            if ((code == 26 || code == 25) && !m_had.contains(qHash(numbers())))
                return QStringLiteral("undo or redo made a board the game never had");
            return {};
        }
        const bool yes = m_random.bounded(2) == 0;
        m_recent.last() += yes ? u", answered Yes" : u", answered No";
        ModalAnswerer answerer(ModalAnswerer::press(yes ? QMessageBox::Yes : QMessageBox::No));
        sendCode(code, keypad);
        ++m_clears, ++m_checks;
        if (!answerer.answered() || answerer.title() != u"Clear all LEDs?")
            return QStringLiteral("\"c\" brought no confirmation");
        if (!yes)
            return {};
        // Yes clears every display (the field's own rule runs after, and code 99
        // changes no number); the entry texts stay.
        for (const Field &f : m_fields) {
            mayChange += QStringList{f.digits[0]->objectName(), f.digits.last()->objectName()};
            if (f.digits[0]->caption() != (f.lowest == LedDisplay::Blank ? LedDisplay::Blank : 0)
                || (f.digits.size() == 2 && f.digits[1]->caption() != LedDisplay::Blank))
                return QStringLiteral("%1 not cleared").arg(f.digits[0]->objectName());
        }
        return {};
    }

    // Esc brings the start screen, left by a click on its panel; "o" the
    // options, closed by OK, Cancel or Esc. Either way the board comes back
    // alone. The options apply the preferences again, text sizes unscaled until
    // the next resize, so the looks seen so far no longer hold.
    QString visitAndBack(int code, bool keypad)
    {
        const bool options = code == 'o';
        const char *close = std::array{"cmdOk", "cmdCancel", "Esc"}[m_random.bounded(3)];
        if (options)
            m_recent.last() += QStringLiteral(", closed by %1").arg(QLatin1String(close));
        const QStringList lookBefore = look();
        QString missed;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (options ? !qobject_cast<OptionsDialog *>(modal) : !qobject_cast<StartScreen *>(modal)) {
                missed = QStringLiteral("code %1 brought %2").arg(code).arg(modal->objectName());
                modal->close();
            } else if (!options) {
                QTest::mouseClick(modal->findChild<QWidget *>("frameSplash"), Qt::LeftButton, {}, QPoint(2, 2));
            } else if (auto *button = modal->findChild<QPushButton *>(QLatin1String(close))) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        sendCode(code, keypad);
        ++m_visits, ++m_checks;
        if (!answerer.answered() || !missed.isEmpty())
            return missed.isEmpty() ? QStringLiteral("code %1 brought no window").arg(code) : missed;
        if (QApplication::topLevelWidgets() != QWidgetList{m_board} || !m_board->isVisible())
            return QStringLiteral("code %1: the board is not back alone").arg(code);
        if (options)
            m_looks.clear();
        else if (const QString moved = changed(lookBefore, look()); !moved.isEmpty())
            return QStringLiteral("the board came back changed: %1").arg(moved);
        return {};
    }

    // Any size, from nothing to the 32767 pixels a side where window systems
    // stop (X11 does), an 8K screen, and sizes seen before.
    QSize randomSize()
    {
        const int roll = m_random.bounded(100);
        if (roll < 6)
            return {1, 1};
        if (roll < 14)
            return {m_random.bounded(0, 4000), 0};
        if (roll < 20)
            return {0, m_random.bounded(0, 3000)};
        if (roll < 22)
            return {7680, 4320};
        if (roll < 28)
            return m_random.bounded(2) ? QSize(32767, m_random.bounded(0, 3)) : QSize(m_random.bounded(0, 3), 32767);
        if (roll < 36)
            return m_designSize;
        if (roll < 66 && !m_looks.isEmpty())
            return m_looks.keys()[m_random.bounded(int(m_looks.size()))];
        return {m_random.bounded(0, 2600), m_random.bounded(0, 1700)};
    }

    // A resize; back at a size seen before, the board looks as it did then.
    // A resize to the size the board has already lays nothing out: after the
    // options its texts are still unscaled, a look no other visit would give.
    QString resize()
    {
        const QSize wanted = randomSize();
        m_recent.append(QStringLiteral("resize to %1x%2").arg(wanted.width()).arg(wanted.height()));
        const QSize before = m_board->size();
        m_board->resize(wanted);
        ++m_resizes, ++m_checks;
        const QSize size = m_board->size();
        if (size == before)
            return {};
        const QStringList now = look();
        if (const auto seen = m_looks.constFind(size); seen == m_looks.cend())
            m_looks.insert(size, now);
        else if (++m_returns; *seen != now)
            return QStringLiteral("back at %1x%2: %3").arg(size.width()).arg(size.height()).arg(changed(*seen, now));
        return {};
    }

    // One action, then the invariants; nothing may change but what the action may.
    QString playOne()
    {
        // Digits, "+", "-", Enter and space most of the time, so fields fill up;
        // any code at all often enough that each of the 256 comes up many times.
        static const QString EntryKeys = QStringLiteral("0123456789+-+-\r \r,./");
        const QStringList before = numbers();
        QStringList mayChange;
        QString broken;
        const int roll = m_random.bounded(1000);
        if (roll < 420) {
            broken = typeCode(m_random.bounded(256), false, mayChange);
        } else if (roll < 830) {
            const int code = EntryKeys[m_random.bounded(int(EntryKeys.size()))].unicode();
            broken = typeCode(code, m_random.bounded(8) == 0, mayChange);
        } else if (roll < 965) {
            LedDisplay *display = m_displays[m_random.bounded(int(m_displays.size()))];
            m_recent.append(QStringLiteral("click on %1").arg(display->objectName()));
            QTest::mouseClick(display, Qt::LeftButton);
        } else {
            broken = roll < 995 ? resize() : typeCode('c', false, mayChange);
        }
        if (m_recent.size() > 12)
            m_recent.removeFirst();
        const bool undoOrRedo = m_recent.last().startsWith(u"code 25 ") || m_recent.last().startsWith(u"code 26 ");
        if (broken.isEmpty() && !undoOrRedo)
            broken = changed(before, numbers(), mayChange);
        if (!broken.isEmpty())
            return broken;
        m_had.insert(qHash(numbers()));
        ++m_checks;
        // Let the board paint what the action changed, at whatever size it has.
        QCoreApplication::processEvents();
        return brokenInvariant();
    }

private Q_SLOTS:
    void randomOperatorKeepsTheBoardSound()
    {
        // The headless platform notes each message box's size hints and each raised
        // window as unsupported; hundreds of those lines would bury anything worth reading.
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (text != u"This plugin does not support propagateSizeHints()"
                && text != u"This plugin does not support raise()")
                previous(type, context, text);
        });
        const auto fromEnvironment = [](const char *name, int fallback) {
            bool ok = false;
            const int value = qEnvironmentVariableIntValue(name, &ok);
            return ok ? value : fallback;
        };
        const auto seed = quint32(fromEnvironment("QUORVANE_MONKEY_SEED", 20240607));
        const int actions = fromEnvironment("QUORVANE_MONKEY_ACTIONS", 100000);
        m_random.seed(seed);

        // As the program starts, and a first run each time so that a seed replays the same.
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        m_board = &program().board();
        m_board->show();
        QVERIFY(QTest::qWaitForWindowActive(m_board));
        mapFields();
        if (QTest::currentTestFailed())
            return;
        m_designSize = m_board->size();
        m_looks.insert(m_designSize, look());
        m_had.insert(qHash(numbers()));

        for (int n = 1; n <= actions; ++n) {
            if (const QString broken = playOne(); !broken.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with QUORVANE_MONKEY_SEED=%1), action %2: %3\n"
                                                "last actions: %4")
                                     .arg(seed).arg(n).arg(broken, m_recent.join(QStringLiteral("; ")))));
        }
        if (actions >= 100000)
            QVERIFY2(m_codesSent.all(), "some character codes were never typed");
        qInfo("seed %u: %d actions, %lld invariant checks; %d resizes (%d back to a size seen before), "
              "%d clear-all confirmations answered, %d visits to the start screen or the options, "
              "%zu of 256 codes typed",
              seed, actions, m_checks, m_resizes, m_returns, m_clears, m_visits, m_codesSent.count());
        delete m_board;
        PrivateSettings::clear();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        qInstallMessageHandler(previous);
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
