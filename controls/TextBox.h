#pragma once

#include <QPlainTextEdit>

// A multi-line text box whose Text, like the platform text boxes the designs
// come from, separates its lines with carriage return and line feed.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const;
    // A CR LF pair, a lone CR or a lone LF each start a new line.
    void setText(const QString &text);
};
