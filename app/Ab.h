#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About box.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;  // the eight lines about the program
    QLabel* Comments;
    QPushButton* OKButton;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
};
