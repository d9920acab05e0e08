#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Runs `step` with the modal window once `window` (or, when it is null, any
// window) is up as the modal one. A window still open five seconds later is
// hidden, which ends its loop, so that a failure never hangs the run.
inline void whenModal(QWidget *window, std::function<void(QWidget *)> step)
{
    auto *poll = new QTimer(qApp);
    auto deadline = std::make_shared<QElapsedTimer>();
    deadline->start();
    QObject::connect(poll, &QTimer::timeout, qApp, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && (!window || modal == window)) {
            poll->stop();
            poll->deleteLater();
            step(modal);
        } else if (deadline->elapsed() > 5000) {
            poll->stop();
            poll->deleteLater();
            if (modal)
                modal->hide();
        }
    });
    poll->start(10);
}
