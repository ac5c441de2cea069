#pragma once

#include "ui_u_ShowMessage2.h"

#include <QDialog>

// The message window: the program's one way of reporting results, counts and warnings.
class TShowMessage2Form : public QDialog, public Ui::TShowMessage2Form
{
    Q_OBJECT
public:
    explicit TShowMessage2Form(QWidget *parent = nullptr);

    // Text laid out as the window shows it: a break at byte 13 and at bytes 13 10.
    static QString displayText(const QString &text);

    static constexpr int LabelWidth = 225;

public slots:
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
};

// Shows the text modally; returns when the user pressed "weiter" or closed the window.
void ShowMessage2(const QString &text);
