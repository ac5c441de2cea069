#pragma once

#include "ui_u_beschaeftigt.h"

#include <QDialog>

class QTimer;

// The busy window. Callers drive it through its controls: a self-running modal progress
// (FakeTimer's interval is the milliseconds per percent; the window closes itself at 100),
// or a modeless work indicator whose bar the caller moves.
class TForm2 : public QDialog, public Ui::TForm2
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    QTimer *FakeTimer;

    static constexpr int StoredFakeTimerInterval = 50;

public slots:
    void FakeTimerTimer();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void FormHide();
    void FormClose();
};
