#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class TShowMessage2Form;
}

// The message window: the program's one way of reporting results, counts and warnings.
class TShowMessage2Form : public QDialog
{
    Q_OBJECT
public:
    explicit TShowMessage2Form(QWidget *parent = nullptr);
    ~TShowMessage2Form() override;

    // Shows the text modally; returns when the user pressed "weiter" or closed the window.
    void showMessage(const QString &text);

    // Text laid out as the window shows it: a break at byte 13 and at bytes 13 10.
    static QString displayText(const QString &text);

    static constexpr int LabelWidth = 225;

public slots:
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();

    QScopedPointer<Ui::TShowMessage2Form> ui;
};

// Shows the text in the message window, as its showMessage does.
void ShowMessage2(const QString &text);
