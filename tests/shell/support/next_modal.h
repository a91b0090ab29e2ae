#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

// Runs `act` on the next modal window of type T once it is up (polling, as modal loops block),
// and again at every tick until that window has gone: a dialog still being set up may not take
// what is done to it at once.
template <typename T>
inline void onNextModal(std::function<void(T&)> act) {
    // The application owns the poll, so that one whose test ended before its last tick goes too.
    auto* poll = new QTimer(qApp);
    auto target = std::make_shared<QPointer<T>>();
    auto seen = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, [poll, act, target, seen] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!*seen && modal != nullptr) {
            *seen = true;
            *target = modal;
        }
        if (!*seen) {
            return;
        }
        if (!target->isNull() && modal == target->data()) {
            act(*modal);
        } else {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
}
