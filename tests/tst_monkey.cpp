#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "TestProgram.h"

#include "board/ScoreBoard.h"
#include "controls/ControlName.h"
#include "controls/LedDisplay.h"

#include <QRandomGenerator>
#include <QSet>

#include <array>

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
    QList<LedDisplay *> m_displays, m_innings[2]; // the innings of home, then visitor
    QHash<QWidget *, QStringList> m_mayChange; // what a key typed on a display may change
    QHash<QSize, QStringList> m_looks;
    QSize m_designSize;
    QStringList m_recent; // the last actions, for the failure message
    QSet<size_t> m_had;   // every board the game has had, hashed

    // A key on a run total changes nothing (`inert`); on another field, the field and `alsoChanged`.
    void addField(const QStringList &names, int lowest, int highest, const QStringList &alsoChanged = {},
                  bool inert = false)
    {
        m_fields.append({{}, lowest, highest});
        for (const QString &name : names) {
            m_displays.append(m_board->findChild<LedDisplay *>(name));
            m_fields.last().digits.append(m_displays.last());
            m_mayChange[m_displays.last()] = inert ? QStringList() : names + alsoChanged;
        }
    }

    void mapFields()
    {
        const auto pair = [](const QString &name) { return QStringList{element(name, 0), element(name, 1)}; };
        for (const char *runs : {"ledHomeRuns", "ledVisitorRuns"})
            addField(pair(runs), 0, 99, {}, true);
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
        for (const TwipsControl *c : m_board->findChildren<TwipsControl *>())
            QDebug(&l.emplaceBack()) << c->objectName() << c->geometry()
                                     << (c->geometry().isEmpty() ? 0 : c->font().pointSizeF());
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

    QWidget *keyTarget() const { return m_board->focusWidget() ? m_board->focusWidget() : m_board; }

    // Sends a character code as a keyboard does: named keys, Ctrl with @, A to Z,
    // [, \, ], ^ or _ below 32, Shift for capitals.
    void sendCode(int code, bool keypad)
    {
        static const QHash<int, Qt::Key> Named{{8, Qt::Key_Backspace}, {9, Qt::Key_Tab}, {13, Qt::Key_Return},
                                               {27, Qt::Key_Escape}, {127, Qt::Key_Delete}};
        const QChar ch(code);
        const bool plain = Named.contains(code) || (code >= 128 && code < 160);
        const int upper = ch.toUpper().unicode() <= 0xff ? ch.toUpper().unicode() : code;
        const Qt::Key key = keypad && code == 13 ? Qt::Key_Enter
            : Named.value(code, code < 32 ? Qt::Key(Qt::Key_At + code) : plain ? Qt::Key_unknown : Qt::Key(upper));
        const auto modifiers = (keypad ? Qt::KeypadModifier : Qt::NoModifier) | (plain ? Qt::NoModifier
            : code < 32 ? Qt::ControlModifier : ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget *target = keyTarget(); // the press may move the focus; the release goes where the press went
        for (const auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, target, key, QString(ch), modifiers);
    }

    // A code typed on the focus. "c" brings the confirmation of clear all,
    // answered Yes or No; Esc the start screen, left by a click on its panel;
    // "o" the options, closed by OK, Cancel or Esc; no other code brings a
    // window, and the board comes back alone. The options apply the preferences
    // again, text sizes unscaled until the next resize, so the looks seen so
    // far no longer hold.
    QString typeCode(int code, bool keypad, QStringList &mayChange)
    {
        m_recent.append(QStringLiteral("code %1 on %2").arg(code).arg(keyTarget()->objectName()));
        mayChange = m_mayChange.value(keyTarget());
        const QStringList lookBefore = code == 27 ? look() : QStringList();
        QString seen = QStringLiteral("no window");
        bool yes = false;
        ModalAnswerer answerer([&](QWidget *modal) {
            const QString answer = std::array{"cmdOk", "cmdCancel", "Esc"}[m_random.bounded(3)];
            seen = QLatin1String(modal->metaObject()->className());
            m_recent.last() += QStringLiteral(", %1 answered by %2").arg(seen, answer);
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button((yes = answer == u"cmdOk") ? QMessageBox::Yes : QMessageBox::No)->click();
            else if (auto *panel = modal->findChild<QWidget *>("frameSplash"))
                QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(2, 2));
            else if (auto *button = modal->findChild<QPushButton *>(answer))
                QTest::mouseClick(button, Qt::LeftButton);
            else
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        sendCode(code, keypad);
        const bool alone = QApplication::topLevelWidgets() == QWidgetList{m_board} && m_board->isVisible();
        if (!alone || seen != (code == 'c' ? "QMessageBox" : code == 27 ? "StartScreen"
                               : code == 'o' ? "OptionsDialog" : "no window"))
            return QStringLiteral("code %1 brought %2; the board back alone: %3").arg(code).arg(seen).arg(alone);
        if (code == 'o')
            m_looks.clear();
        else if (const QString moved = changed(lookBefore, code == 27 ? look() : lookBefore); !moved.isEmpty())
            return QStringLiteral("the board came back changed: %1").arg(moved);
        // Ctrl+Z and Ctrl+Y undo and redo: anything may change, to a board the game had.
        if ((code == 26 || code == 25) && !m_had.contains(qHash(numbers())))
            return QStringLiteral("undo or redo made a board the game never had");
        // Yes clears every display (the field's own rule runs after, and code 99
        // changes no number); the entry texts stay.
        for (const Field &f : m_fields)
            for (const LedDisplay *d : f.digits)
                if (yes && (mayChange += d->objectName(), d->caption() != (d == f.digits[0] ? f.lowest : -1)))
                    return QStringLiteral("%1 not cleared").arg(d->objectName());
        return {};
    }

    // Any size, from nothing to the 32767 pixels a side where window systems
    // stop (X11 does), an 8K screen, the design size and sizes seen before.
    QSize randomSize()
    {
        const int roll = m_random.bounded(100);
        return roll < 6 ? QSize(1, 1)
            : roll < 14 ? QSize(m_random.bounded(0, 4000), 0)
            : roll < 20 ? QSize(0, m_random.bounded(0, 3000))
            : roll < 22 ? QSize(7680, 4320)
            : roll < 25 ? QSize(32767, m_random.bounded(0, 3))
            : roll < 28 ? QSize(m_random.bounded(0, 3), 32767)
            : roll < 36 ? m_designSize
            : roll < 66 && !m_looks.isEmpty() ? m_looks.keys()[m_random.bounded(int(m_looks.size()))]
            : QSize(m_random.bounded(0, 2600), m_random.bounded(0, 1700));
    }

    // A resize; back at a size seen before, the board looks as it did then.
    // A resize to the size the board has already lays nothing out: after the
    // options its texts are still unscaled, a look no other visit would give.
    QString resize()
    {
        const QSize wanted = randomSize(), before = m_board->size();
        m_recent.append(QStringLiteral("resize to %1x%2").arg(wanted.width()).arg(wanted.height()));
        m_board->resize(wanted);
        if (const QSize size = m_board->size(); size != before) {
            const QStringList now = look(), seen = m_looks.value(size, now);
            m_looks.insert(size, now);
            if (seen != now)
                return QStringLiteral("back at %1x%2: %3").arg(size.width()).arg(size.height()).arg(changed(seen, now));
        }
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
        if (roll < 830) { // any code, or an entry key, on the keypad now and then
            const int code = roll < 420 ? m_random.bounded(256)
                                        : EntryKeys[m_random.bounded(int(EntryKeys.size()))].unicode();
            broken = typeCode(code, roll >= 420 && m_random.bounded(8) == 0, mayChange);
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
        // Let the board paint what the action changed, at whatever size it has.
        QCoreApplication::processEvents();
        return brokenInvariant();
    }

private Q_SLOTS:
    void randomOperatorKeepsTheBoardSound()
    {
        const auto fromEnvironment = [](const char *name, int fallback) {
            return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
        };
        const auto seed = quint32(fromEnvironment("QUORVANE_MONKEY_SEED", 20240607));
        m_random.seed(seed);

        // As the program starts, and a first run each time so that a seed replays the same.
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        m_board = &program().board();
        m_board->show();
        QVERIFY(QTest::qWaitForWindowActive(m_board));
        mapFields();
        QVERIFY(!m_displays.contains(nullptr) && m_displays.size() == m_board->findChildren<LedDisplay *>().size());
        m_designSize = m_board->size();
        m_looks.insert(m_designSize, look());
        m_had.insert(qHash(numbers()));
        for (int n = 1; n <= fromEnvironment("QUORVANE_MONKEY_ACTIONS", 100000); ++n) {
            if (const QString broken = playOne(); !broken.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with QUORVANE_MONKEY_SEED=%1), action %2: %3\n"
                                                "last actions: %4")
                                     .arg(seed).arg(n).arg(broken, m_recent.join(u"; "))));
        }
        delete m_board;
        PrivateSettings::clear();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
