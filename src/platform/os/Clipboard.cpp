#include "platform/os/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace os {

namespace {

QClipboard* Board()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

void Clipboard::Clear()
{
    if (QClipboard* c = Board()) c->clear();
}

bool Clipboard::SetText(const std::string& text)
{
    QClipboard* c = Board();
    if (!c) return false;
    c->setText(QString::fromStdString(text));
    return true;
}

std::string Clipboard::GetText()
{
    QClipboard* c = Board();
    return c ? c->text().toStdString() : std::string();
}

}  // namespace os
