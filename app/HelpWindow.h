#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help, shown when no help viewer is there: the topics
// H01.htm, H02.htm, ... built into the program, H01 being the contents.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    void showTopic(int topic);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
