#pragma once
// Drives the modal dialogs that commands run with exec(): acts on the next one shown.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace almx::testing {

inline void OnNextDialog(std::function<void(QDialog&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start(5);
}

}  // namespace almx::testing
