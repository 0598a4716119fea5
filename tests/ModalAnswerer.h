#pragma once

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the next modal window as an operator would: polls until one is up,
// hands it to `answer` and records what a message box said. The poll gives up
// after `attempts`, so a window that never appears fails the test, not the run.
class ModalAnswerer
{
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> answer, int attempts = 500)
        : m_answer(std::move(answer)), m_attempts(attempts)
    {
        poll();
    }

    bool answered() const { return m_answered; }
    QString title() const { return m_title; }
    QString text() const { return m_text; }
    QMessageBox::Icon icon() const { return m_icon; }
    QMessageBox::StandardButtons buttons() const { return m_buttons; }
    QMessageBox::StandardButton defaultButton() const { return m_default; }

    static std::function<void(QWidget *)> press(QMessageBox::StandardButton which)
    {
        return [which](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(which)->click();
        };
    }

    // Sets a colour picker to `colour` and presses OK, or Cancel; `openedWith`
    // receives the colour it opened with.
    static std::function<void(QWidget *)> pickColour(const QColor &colour, bool accept = true,
                                                     QColor *openedWith = nullptr)
    {
        return [=](QWidget *modal) {
            auto *picker = qobject_cast<QColorDialog *>(modal);
            QVERIFY(picker);
            if (openedWith)
                *openedWith = picker->currentColor();
            picker->setCurrentColor(colour);
            const auto button = accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel;
            picker->findChild<QDialogButtonBox *>()->button(button)->click();
        };
    }

private:
    void poll()
    {
        // The guard as context drops a pending poll once the answerer is gone.
        QTimer::singleShot(5, &m_guard, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal && --m_attempts > 0)
                return poll();
            if (!modal)
                return;
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                m_title = box->windowTitle();
                m_text = box->text();
                m_icon = box->icon();
                m_buttons = box->standardButtons();
                if (box->defaultButton())
                    m_default = box->standardButton(box->defaultButton());
            }
            m_answered = true;
            m_answer(modal);
        });
    }

    std::function<void(QWidget *)> m_answer;
    int m_attempts;
    bool m_answered = false;
    QString m_title, m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons m_buttons;
    QMessageBox::StandardButton m_default = QMessageBox::NoButton;
    QObject m_guard;
};
