#include "controls/TextBox.h"

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

QString TextBox::text() const
{
    return toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TextBox::setText(const QString &text)
{
    setPlainText(text);
}
