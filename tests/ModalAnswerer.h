#pragma once

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the next modal window as an operator would: polls until a modal
// widget is up, hands it to `answer`, and records what it saw. The poll stops
// after `attempts` so a window that never appears fails the test, not the run.
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

    // Presses a standard button of a message box.
    static std::function<void(QWidget *)> press(QMessageBox::StandardButton which)
    {
        return [which](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(which)->click();
        };
    }

    // Sets a colour picker to `colour` and presses OK, or Cancel when `accept`
    // is false; `openedWith`, when given, receives the colour it opened with.
    static std::function<void(QWidget *)> pickColour(const QColor &colour, bool accept = true,
                                                     QColor *openedWith = nullptr)
    {
        return [=](QWidget *modal) {
            auto *picker = qobject_cast<QColorDialog *>(modal);
            QVERIFY(picker);
            if (openedWith)
                *openedWith = picker->currentColor();
            picker->setCurrentColor(colour);
            picker->findChild<QDialogButtonBox *>()
                ->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                ->click();
        };
    }

private:
    void poll()
    {
        QTimer::singleShot(5, [this, alive = QPointer<QObject>(&m_guard)] {
            if (!alive)
                return;
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal) {
                if (--m_attempts > 0)
                    poll();
                return;
            }
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                m_title = box->windowTitle();
                m_text = box->text();
                m_icon = box->icon();
                m_buttons = box->standardButtons();
                m_default = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                 : QMessageBox::NoButton;
            }
            m_answered = true;
            m_answer(modal);
        });
    }

    std::function<void(QWidget *)> m_answer;
    int m_attempts;
    bool m_answered = false;
    QString m_title;
    QString m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons m_buttons;
    QMessageBox::StandardButton m_default = QMessageBox::NoButton;
    QObject m_guard; // lets a pending poll see that the answerer is gone
};
