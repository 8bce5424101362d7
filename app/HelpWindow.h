#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

// The program's own help, shown when no help viewer is there: the topics
// H01.htm, H02.htm, ... built into the program, H01 being the contents, in
// Russian and in English as the interface is.
// Back, Forward and Contents buttons move through the topics; Escape closes it.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    void showTopic(int topic);
    QTextBrowser* browser() const { return m_browser; }

    QToolButton* BackButton = nullptr;
    QToolButton* ForwardButton = nullptr;
    QToolButton* ContentsButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QTextBrowser* m_browser;
};
