#include "ModalAnswerer.h"
#include "PrivateSettings.h"

#include "app/ControlName.h"
#include "app/TwipsControl.h"
#include "board/LedDisplay.h"
#include "board/ProgramBoard.h"
#include "board/ScoreBoard.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QHash>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <array>
#include <bitset>
#include <functional>
#include <iterator>
#include <optional>

// A random operator on the program's board: every character code, Enter, Esc,
// space, clicks, clear all answered either way and resizes to any size, with
// the board's invariants checked after every action. The windows that Esc and
// "o" open are answered as an operator would, back to the board. The options
// dialog saves into the test's own settings folder. A failure names the seed;
// QUORVANE_MONKEY_SEED replays it and QUORVANE_MONKEY_ACTIONS sets the length.
class TestMonkey : public QObject
{
    Q_OBJECT

private:
    // Every display of one field: the digits a key on it may change.
    struct Field {
        QString name;
        QList<LedDisplay *> digits; // [0] the ones digit of a two-digit field
        int lowest = 0;
        int highest = 9;
        bool twoDigits = false;
    };

    // What the board looks like: every control's rectangle, and the font size
    // of those that show anything (a control of no height draws nothing, and
    // keeps whatever font it had, since no font has size 0).
    struct Look {
        QList<QRect> rects;
        QList<qreal> fontSizes;
        bool operator==(const Look &) const = default;
    };

    struct Numbers {
        QList<int> captions; // in the order of m_displays
        std::array<QString, 3> entries;
        bool operator==(const Numbers &) const = default;
    };

    static constexpr const char *EntryNames[3] = {"strAtBatEntry", "strHomeHitsEntry", "strVisitorHitsEntry"};

    PrivateSettings m_settings;
    ScoreBoard *m_board = nullptr;
    QRandomGenerator m_random;
    quint32 m_seed = 0;
    QList<Field> m_fields;
    QList<LedDisplay *> m_displays;
    std::array<QList<LedDisplay *>, 2> m_innings; // home, visitor
    std::array<qsizetype, 2> m_runTotal{};       // their run totals in m_fields
    QList<TwipsControl *> m_controls;
    QHash<QWidget *, QSet<LedDisplay *>> m_mayChange; // by the display a key is typed on
    QHash<QWidget *, int> m_entryOf;                  // index into EntryNames
    QHash<QSize, Look> m_looks;
    QSize m_designSize;
    std::bitset<256> m_codesSent;
    QStringList m_recent; // the last actions, for the failure message
    qint64 m_checks = 0;
    int m_resizes = 0;
    int m_returns = 0;
    int m_clears = 0;
    int m_startScreens = 0;
    int m_optionDialogs = 0;

    LedDisplay *led(const QString &name) const { return m_board->findChild<LedDisplay *>(name); }

    void addField(const QString &name, QList<LedDisplay *> digits, int lowest, int highest, bool twoDigits)
    {
        m_fields.append({name, digits, lowest, highest, twoDigits});
        for (LedDisplay *d : digits) {
            m_displays.append(d);
            m_mayChange[d] = QSet<LedDisplay *>(digits.begin(), digits.end());
        }
    }

    void mapFields()
    {
        using ControlName::element;
        for (const char *name : {"ledAtBat", "ledHomeRuns", "ledVisitorRuns", "ledHomeHits", "ledVisitorHits"})
            addField(name, {led(element(name, 0)), led(element(name, 1))}, 0, 9, true);
        m_runTotal = {1, 2}; // ledHomeRuns, ledVisitorRuns
        addField("ledBall", {led("ledBall(0)")}, 0, 4, false);
        addField("ledStrike", {led("ledStrike(0)")}, 0, 3, false);
        addField("ledOut", {led("ledOut(0)")}, 0, 3, false);
        for (int team = 0; team < 2; ++team) {
            const QString name = QLatin1String(team == 0 ? "ledHome" : "ledVisitor");
            for (int i = 1; i <= 10; ++i) {
                addField(element(name, i), {led(element(name, i))}, LedDisplay::Blank, 9, false);
                m_innings[team].append(led(element(name, i)));
            }
        }
        addField("ledHomeErr", {led("ledHomeErr")}, 0, 9, false);
        addField("ledVisitorErr", {led("ledVisitorErr")}, 0, 9, false);
        QVERIFY(!m_displays.contains(nullptr));
        QCOMPARE(m_displays.size(), m_board->findChildren<LedDisplay *>().size());

        // A key on an inning may rewrite its team's run total too; a key on a
        // run total changes nothing.
        for (int i = 1; i <= 10; ++i) {
            for (const char *team : {"Home", "Visitor"}) {
                const QString runs = QStringLiteral("led%1Runs").arg(team);
                m_mayChange[led(element(QStringLiteral("led%1").arg(team), i))] +=
                    {led(element(runs, 0)), led(element(runs, 1))};
            }
        }
        for (const char *runs : {"ledHomeRuns", "ledVisitorRuns"}) {
            m_mayChange[led(element(runs, 0))].clear();
            m_mayChange[led(element(runs, 1))].clear();
        }
        for (int i = 0; i <= 1; ++i) {
            m_entryOf[led(element("ledAtBat", i))] = 0;
            m_entryOf[led(element("ledHomeHits", i))] = 1;
            m_entryOf[led(element("ledVisitorHits", i))] = 2;
        }

        m_controls = m_board->findChildren<TwipsControl *>(Qt::FindDirectChildrenOnly);
        std::sort(m_controls.begin(), m_controls.end(),
                  [](const QObject *a, const QObject *b) { return a->objectName() < b->objectName(); });
    }

    Numbers numbers() const
    {
        Numbers n;
        for (const LedDisplay *d : m_displays)
            n.captions.append(d->caption());
        for (int e = 0; e < 3; ++e)
            n.entries[e] = m_board->property(EntryNames[e]).toString();
        return n;
    }

    Look look() const
    {
        Look l;
        for (const TwipsControl *c : m_controls) {
            l.rects.append(c->geometry());
            l.fontSizes.append(c->geometry().isEmpty() ? 0 : c->font().pointSizeF());
        }
        return l;
    }

    QString differenceIn(const Look &before, const Look &now) const
    {
        for (qsizetype i = 0; i < m_controls.size(); ++i) {
            if (before.rects[i] != now.rects[i] || before.fontSizes[i] != now.fontSizes[i]) {
                return QStringLiteral("%1 was %2,%3 %4x%5 at %6 pt, is %7,%8 %9x%10 at %11 pt")
                    .arg(m_controls[i]->objectName())
                    .arg(before.rects[i].x()).arg(before.rects[i].y())
                    .arg(before.rects[i].width()).arg(before.rects[i].height()).arg(before.fontSizes[i])
                    .arg(now.rects[i].x()).arg(now.rects[i].y())
                    .arg(now.rects[i].width()).arg(now.rects[i].height()).arg(now.fontSizes[i]);
            }
        }
        return {};
    }

    // The number a field shows, or -1 when it shows a leading zero or a blank
    // ones digit (which the range check reports).
    static int shownNumber(const Field &f)
    {
        if (!f.twoDigits)
            return f.digits[0]->caption();
        const int ones = f.digits[0]->caption();
        const int tens = f.digits[1]->caption();
        if (ones < 0 || tens == 0)
            return -1;
        return tens < 0 ? ones : tens * 10 + ones;
    }

    // The invariants that hold whatever the operator did.
    QString brokenInvariant()
    {
        for (const Field &f : m_fields) {
            ++m_checks;
            if (f.twoDigits) {
                const int ones = f.digits[0]->caption();
                const int tens = f.digits[1]->caption();
                if (ones < 0 || ones > 9 || tens < LedDisplay::Blank || tens == 0 || tens > 9)
                    return QStringLiteral("%1 shows tens %2, ones %3").arg(f.name).arg(tens).arg(ones);
            } else {
                const int value = f.digits[0]->caption();
                if (value < f.lowest || value > f.highest)
                    return QStringLiteral("%1 shows %2, outside %3 to %4")
                        .arg(f.name).arg(value).arg(f.lowest).arg(f.highest);
            }
        }
        for (int team = 0; team < 2; ++team) {
            ++m_checks;
            int sum = 0;
            for (const LedDisplay *inning : m_innings[team])
                sum += std::max(0, inning->caption());
            const int total = shownNumber(m_fields[m_runTotal[team]]);
            if (total != sum)
                return QStringLiteral("%1 run total shows %2, its innings sum to %3")
                    .arg(team == 0 ? "home" : "visitor").arg(total).arg(sum);
        }
        for (const char *entry : EntryNames) {
            ++m_checks;
            const QString text = m_board->property(entry).toString();
            for (const QChar ch : text) {
                if (ch.unicode() < 43 || ch.unicode() > 57)
                    return QStringLiteral("%1 holds the code %2").arg(QLatin1String(entry)).arg(ch.unicode());
            }
        }
        return {};
    }

    // Nothing but the displays in `changeable` and the entry text `entry` moved.
    QString brokenFrame(const Numbers &before, const Numbers &now, const QSet<LedDisplay *> &changeable, int entry)
    {
        ++m_checks;
        for (qsizetype i = 0; i < m_displays.size(); ++i) {
            if (before.captions[i] != now.captions[i] && !changeable.contains(m_displays[i]))
                return QStringLiteral("%1 changed from %2 to %3")
                    .arg(m_displays[i]->objectName()).arg(before.captions[i]).arg(now.captions[i]);
        }
        for (int e = 0; e < 3; ++e) {
            if (e != entry && before.entries[e] != now.entries[e])
                return QStringLiteral("%1 changed from \"%2\" to \"%3\"")
                    .arg(QLatin1String(EntryNames[e]), before.entries[e], now.entries[e]);
        }
        return {};
    }

    QString brokenClearedBoard()
    {
        ++m_checks;
        for (const Field &f : m_fields) {
            const int expected = f.lowest == LedDisplay::Blank ? LedDisplay::Blank : 0;
            if (f.digits[0]->caption() != expected || (f.twoDigits && f.digits[1]->caption() != LedDisplay::Blank))
                return QStringLiteral("%1 not cleared").arg(f.name);
        }
        return {};
    }

    // The key and modifiers a keyboard sends for a character code.
    static std::pair<Qt::Key, Qt::KeyboardModifiers> keyFor(int code)
    {
        switch (code) {
        case 8:
            return {Qt::Key_Backspace, Qt::NoModifier};
        case 9:
            return {Qt::Key_Tab, Qt::NoModifier};
        case 13:
            return {Qt::Key_Return, Qt::NoModifier};
        case 27:
            return {Qt::Key_Escape, Qt::NoModifier};
        case 127:
            return {Qt::Key_Delete, Qt::NoModifier};
        default:
            break;
        }
        if (code < 32) // Ctrl with @, A to Z, [, \, ], ^ or _
            return {Qt::Key(Qt::Key_At + code), Qt::ControlModifier};
        if (code >= 128 && code < 160)
            return {Qt::Key_unknown, Qt::NoModifier};
        const QChar ch(code);
        const bool shifted = ch.isUpper();
        const char16_t upper = ch.toUpper().unicode();
        return {Qt::Key(upper <= 0xff ? upper : code), shifted ? Qt::ShiftModifier : Qt::NoModifier};
    }

    QWidget *keyTarget() const
    {
        QWidget *focus = m_board->focusWidget();
        return focus ? focus : m_board;
    }

    void sendCode(int code, bool keypad = false)
    {
        auto [key, modifiers] = keyFor(code);
        if (keypad)
            modifiers |= Qt::KeypadModifier;
        if (keypad && code == 13)
            key = Qt::Key_Enter;
        QWidget *target = keyTarget();
        QTest::sendKeyEvent(QTest::Press, target, key, QString(QChar(code)), modifiers);
        QTest::sendKeyEvent(QTest::Release, target, key, QString(QChar(code)), modifiers);
        m_codesSent.set(code);
    }

    QString typeCode(int code, bool keypad = false)
    {
        QWidget *target = keyTarget();
        m_recent.append(QStringLiteral("code %1 on %2").arg(code).arg(target->objectName()));
        if (code == 'c')
            return clearAll(m_random.bounded(2) == 0, [&] { sendCode(code, keypad); });
        if (code == 27)
            return toStartScreenAndBack([&] { sendCode(code, keypad); });
        if (code == 'o')
            return optionsAndBack([&] { sendCode(code, keypad); });
        const Numbers before = numbers();
        sendCode(code, keypad);
        const auto entry = m_entryOf.find(target);
        return brokenFrame(before, numbers(), m_mayChange.value(target),
                           entry == m_entryOf.end() ? -1 : entry.value());
    }

    // "c" typed on the focus: the real confirmation, answered Yes or No.
    QString clearAll(bool yes, const std::function<void()> &typeC)
    {
        m_recent.last() += yes ? QStringLiteral(", answered Yes") : QStringLiteral(", answered No");
        QWidget *target = keyTarget();
        const Numbers before = numbers();
        ModalAnswerer answerer(ModalAnswerer::press(yes ? QMessageBox::Yes : QMessageBox::No));
        typeC();
        ++m_clears;
        ++m_checks;
        if (!answerer.answered() || answerer.title() != QStringLiteral("Clear all LEDs?"))
            return QStringLiteral("\"c\" brought no confirmation");
        if (yes) {
            // The field's own rule runs after the clearing: code 99 changes no number,
            // but an inning writes its run total again.
            if (const QString broken = brokenClearedBoard(); !broken.isEmpty())
                return broken;
            ++m_checks;
            return numbers().entries == before.entries ? QString() : QStringLiteral("clear all changed an entry text");
        }
        return brokenFrame(before, numbers(), m_mayChange.value(target), -1);
    }

    // Esc: the start screen, modal over the board, left by a click on its panel,
    // its labels or its logo. The board must come back exactly as it was.
    QString toStartScreenAndBack(const std::function<void()> &typeEsc)
    {
        static const char *const WaysBack[] = {"frameSplash", "lblName", "lblClick", "lblSystem",
                                               "lblVersion", "lblMadeBy", "picLogo"};
        const char *wayBack = WaysBack[m_random.bounded(int(std::size(WaysBack)))];
        m_recent.last() += QStringLiteral(", back by %1").arg(QLatin1String(wayBack));
        const Numbers before = numbers();
        const Look lookBefore = look();
        QString missed;
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *screen = qobject_cast<StartScreen *>(modal);
            if (!screen) {
                missed = QStringLiteral("Esc brought %1, not the start screen").arg(modal->objectName());
                modal->close();
                return;
            }
            auto *target = screen->findChild<QWidget *>(QLatin1String(wayBack));
            const auto point = target ? uncoveredPoint(screen, target) : std::nullopt;
            if (!point) {
                missed = QStringLiteral("%1 cannot be clicked").arg(QLatin1String(wayBack));
                screen->close();
                return;
            }
            QTest::mouseClick(target, Qt::LeftButton, {}, *point);
        });
        typeEsc();
        ++m_startScreens;
        ++m_checks;
        if (!answerer.answered())
            return QStringLiteral("Esc brought no start screen");
        if (!missed.isEmpty())
            return missed;
        if (QApplication::topLevelWidgets() != QWidgetList{m_board} || !m_board->isVisible())
            return QStringLiteral("the start screen did not give way to the board alone");
        if (const QString changed = differenceIn(lookBefore, look()); !changed.isEmpty())
            return QStringLiteral("the board came back changed: %1").arg(changed);
        return brokenFrame(before, numbers(), {}, -1);
    }

    // "o": the options dialog, closed by OK, Cancel or Esc without an edit. Its
    // close re-reads the preferences and the board applies them again, which
    // may change the text sizes; the numbers stay.
    QString optionsAndBack(const std::function<void()> &typeO)
    {
        static const char *const Closes[] = {"cmdOk", "cmdCancel", "Esc"};
        const char *close = Closes[m_random.bounded(int(std::size(Closes)))];
        m_recent.last() += QStringLiteral(", closed by %1").arg(QLatin1String(close));
        const Numbers before = numbers();
        QString missed;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (!qobject_cast<OptionsDialog *>(modal)) {
                missed = QStringLiteral("\"o\" brought %1, not the options").arg(modal->objectName());
                modal->close();
                return;
            }
            if (auto *button = modal->findChild<QPushButton *>(QLatin1String(close)))
                QTest::mouseClick(button, Qt::LeftButton);
            else
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        typeO();
        ++m_optionDialogs;
        ++m_checks;
        if (!answerer.answered())
            return QStringLiteral("\"o\" brought no options dialog");
        if (!missed.isEmpty())
            return missed;
        if (QApplication::topLevelWidgets() != QWidgetList{m_board} || !m_board->isVisible())
            return QStringLiteral("the options did not give way to the board alone");
        // The board was painted again from the preferences, its text sizes
        // unscaled until the next resize: what a size looked like before is no
        // longer what it looks like.
        m_looks.clear();
        return brokenFrame(before, numbers(), {}, -1);
    }

    // A point of `item` where a click lands on it and not on something over it.
    static std::optional<QPoint> uncoveredPoint(QWidget *window, QWidget *item)
    {
        for (int y = 1; y < item->height(); y += 3) {
            for (int x = 1; x < item->width(); x += 3) {
                if (window->childAt(item->mapTo(window, QPoint(x, y))) == item)
                    return QPoint(x, y);
            }
        }
        return std::nullopt;
    }

    QString click()
    {
        LedDisplay *display = m_displays[m_random.bounded(int(m_displays.size()))];
        m_recent.append(QStringLiteral("click on %1").arg(display->objectName()));
        const Numbers before = numbers();
        QTest::mouseClick(display, Qt::LeftButton);
        return brokenFrame(before, numbers(), {}, -1);
    }

    QSize randomSize()
    {
        // Window systems stop at 32767 pixels a side (X11 does); an 8K screen
        // is the largest whole window an operator will have.
        constexpr int Huge = 32767;
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
            return m_random.bounded(2) ? QSize(Huge, m_random.bounded(0, 3)) : QSize(m_random.bounded(0, 3), Huge);
        if (roll < 36)
            return m_designSize;
        if (roll < 66 && !m_looks.isEmpty()) { // back to a size seen before
            const auto seen = m_looks.keys();
            return seen[m_random.bounded(int(seen.size()))];
        }
        return {m_random.bounded(0, 2600), m_random.bounded(0, 1700)};
    }

    QString resize()
    {
        const QSize wanted = randomSize();
        m_recent.append(QStringLiteral("resize to %1x%2").arg(wanted.width()).arg(wanted.height()));
        const Numbers before = numbers();
        m_board->resize(wanted);
        ++m_resizes;
        const QSize size = m_board->size();
        const Look now = look();
        ++m_checks;
        if (const auto seen = m_looks.constFind(size); seen != m_looks.cend()) {
            ++m_returns;
            if (const QString changed = differenceIn(*seen, now); !changed.isEmpty())
                return QStringLiteral("back at %1x%2: %3").arg(size.width()).arg(size.height()).arg(changed);
        } else {
            m_looks.insert(size, now);
        }
        return brokenFrame(before, numbers(), {}, -1);
    }

    QString playOne()
    {
        // Digits, "+", "-", Enter and space most of the time, so fields fill up;
        // any code at all often enough that each of the 256 comes up many times.
        static const QString EntryKeys = QStringLiteral("0123456789+-+-\r \r,./");
        const int roll = m_random.bounded(1000);
        QString broken;
        if (roll < 420)
            broken = typeCode(m_random.bounded(256));
        else if (roll < 830)
            broken = typeCode(EntryKeys[m_random.bounded(int(EntryKeys.size()))].unicode(), m_random.bounded(8) == 0);
        else if (roll < 965)
            broken = click();
        else if (roll < 995)
            broken = resize();
        else
            broken = typeCode('c');
        if (m_recent.size() > 12)
            m_recent.removeFirst();
        if (!broken.isEmpty())
            return broken;
        // Let the board paint what the action changed, at whatever size it has.
        QCoreApplication::processEvents();
        return brokenInvariant();
    }

    static int fromEnvironment(const char *name, int fallback)
    {
        bool ok = false;
        const int value = qEnvironmentVariableIntValue(name, &ok);
        return ok ? value : fallback;
    }

    // The headless platform notes each message box's size hints and each raised
    // window as unsupported; hundreds of those lines would bury anything worth reading.
    static void quietPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (message != QStringLiteral("This plugin does not support propagateSizeHints()")
            && message != QStringLiteral("This plugin does not support raise()"))
            s_previousHandler(type, context, message);
    }
    static inline QtMessageHandler s_previousHandler = nullptr;

private Q_SLOTS:
    void initTestCase() { s_previousHandler = qInstallMessageHandler(quietPlatformNotes); }
    void cleanupTestCase() { qInstallMessageHandler(s_previousHandler); }

    void randomOperatorKeepsTheBoardSound()
    {
        m_seed = quint32(fromEnvironment("QUORVANE_MONKEY_SEED", 20240607));
        const int actions = fromEnvironment("QUORVANE_MONKEY_ACTIONS", 100000);
        m_random.seed(m_seed);

        // As the program starts: the preferences read, then the board built.
        // A first run each time, so that a seed replays the same.
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        m_board = &ProgramBoard::get();
        m_board->show();
        QVERIFY(QTest::qWaitForWindowActive(m_board));
        mapFields();
        if (QTest::currentTestFailed())
            return;
        m_designSize = m_board->size();
        m_looks.insert(m_designSize, look());

        for (int n = 1; n <= actions; ++n) {
            const QString broken = playOne();
            if (!broken.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with QUORVANE_MONKEY_SEED=%1), action %2: %3\n"
                                                "last actions: %4")
                                     .arg(m_seed).arg(n).arg(broken, m_recent.join(QStringLiteral("; ")))));
            }
        }
        if (actions >= 100000)
            QVERIFY2(m_codesSent.all(), "some character codes were never typed");
        qInfo("seed %u: %d actions, %lld invariant checks; %d resizes (%d back to a size seen before), "
              "%d clear-all confirmations answered, %d visits to the start screen, %d options dialogs, "
              "%zu of 256 codes typed",
              m_seed, actions, m_checks, m_resizes, m_returns, m_clears, m_startScreens, m_optionDialogs,
              m_codesSent.count());

        delete m_board;
        PrivateSettings::clear();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
