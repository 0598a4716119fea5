#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the next modal window as an operator would: polls until one is up,
// hands it to `answer` and records what a message box said. The poll gives up
// after `attempts`, so a window that never appears fails the test, not the run;
// it stops with the answerer.
class ModalAnswerer
{
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> answer, int attempts = 500)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, answer = std::move(answer), attempts]() mutable {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal || --attempts <= 0)
                m_poll.stop();
            if (!modal)
                return;
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                m_title = box->windowTitle(), m_text = box->text(), m_icon = box->icon();
                m_buttons = box->standardButtons(), m_default = box->standardButton(box->defaultButton());
            }
            m_answered = true;
            answer(modal);
        });
        m_poll.start(5);
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

private:
    QTimer m_poll;
    bool m_answered = false;
    QString m_title, m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons m_buttons;
    QMessageBox::StandardButton m_default = QMessageBox::NoButton;
};
