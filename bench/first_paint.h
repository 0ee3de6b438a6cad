#pragma once

// Ends the program once a window has been painted for the first time, so that
// a start-up can be timed from process start to first paint.

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>

class QuitAfterFirstPaint : public QObject {
    Q_OBJECT

public:
    explicit QuitAfterFirstPaint(QMainWindow& form)
    {
        QWidget* painted = form.centralWidget() ? form.centralWidget() : &form;
        painted->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_seen = false;
};
