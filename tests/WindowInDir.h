#pragma once

#include "app/ZelMain.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

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
