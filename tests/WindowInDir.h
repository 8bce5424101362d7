#pragma once

#include "app/Screens.h"
#include "app/ZelMain.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

// Whether a window's least size, frame and all, fits a laptop's screen less
// its taskbar (1366×768 and 1280×720), whatever it shows; else what it needs.
inline std::string needsMoreThanALaptop(const QWidget& w)
{
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
    for (const QRect screen : {QRect(0, 0, 1366, 728), QRect(0, 0, 1280, 680)})
        if (!screen.marginsRemoved(kTypicalFrame).contains(QRect(screen.topLeft(), least).translated(kTypicalFrame.left(), kTypicalFrame.top())))
        {
            // The widest part named: where the width comes from.
            auto width = [](const QWidget* part) { return part->minimumWidth() > 0 ? part->minimumWidth() : part->minimumSizeHint().width(); };
            const QWidget* widest = nullptr;
            for (const QWidget* part : w.findChildren<QWidget*>())
                if (part->isVisibleTo(&w) && !part->isWindow() && (!widest || width(part) > width(widest)))
                    widest = part;
            return w.objectName().toStdString() + " needs " + std::to_string(least.width()) + "x" + std::to_string(least.height())
                + (widest ? ", the widest part " + std::string(widest->metaObject()->className()) + " " + widest->objectName().toStdString()
                                + " " + std::to_string(width(widest))
                          : std::string());
        }
    return {};
}

// The lines of the window's list.
inline QStringList listLines(const TForm1& form)
{
    QStringList lines;
    for (int i = 0; i < form.ListBox1->count(); ++i)
        lines << form.ListBox1->item(i)->text();
    return lines;
}

// Makes a fresh temporary directory the current one, where the window keeps
// its settings file, for as long as it lives.
class WindowInDir {
public:
    WindowInDir()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(dir.path());
    }
    ~WindowInDir() { QDir::setCurrent(m_previous); }
    void writeIni(const QByteArray& text)
    {
        QFile f(dir.filePath("Zel-Terravox.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    QTemporaryDir dir;

private:
    QString m_previous;
};

// A modal window over `parent`, kept open for `ms` by its own event loop, as
// a user leaves About or a file dialog open.
inline void holdModal(QWidget* parent, int ms)
{
    QDialog modal(parent);
    QTimer::singleShot(ms, &modal, &QDialog::accept);
    modal.exec();
}

// Runs `action` once, on the first look at which `ready` holds; looks every 20 ms.
inline void onceWhen(QObject* owner, std::function<bool()> ready, std::function<void()> action)
{
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [poll, ready = std::move(ready), action = std::move(action)] {
        if (!ready())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start(20);
}

// Lets the window's event loop run until `done` or the time is up: a
// ceiling only a fault reaches, as the sanitizers and a busy machine slow an
// inversion several times over.
template <class Done>
bool waitUntil(Done done, int ms = 600000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(5);
    return done();
}
