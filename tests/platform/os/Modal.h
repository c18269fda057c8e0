#pragma once
// Acting on a real modal dialog from a test: the action runs as soon as a
// visible modal widget of the wanted type is on top, from inside its own event
// loop. A dialog still open after a few seconds is closed, so that a failing
// test fails instead of hanging.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace ostest {

template <typename T>
void WhenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer;
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, action]() mutable {
        QWidget* top = QApplication::activeModalWidget();
        if (auto* t = qobject_cast<T*>(top); t && t->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(t);
        } else if (++ticks > 500) {
            timer->stop();
            timer->deleteLater();
            if (top) top->close();
        }
    });
    timer->start(10);
}

}  // namespace ostest
