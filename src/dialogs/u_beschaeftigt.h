#pragma once

#include <QDialog>
#include <QScopedPointer>

class QTimer;

namespace Ui {
class TForm2;
}

// The busy window: a self-running modal progress (FakeTimer's interval is the milliseconds per
// percent; the window closes itself at 100), or a modeless work indicator whose bar the caller
// moves. Other windows use the operations below, not its controls.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    QTimer *FakeTimer;

    static constexpr int StoredFakeTimerInterval = 50;

    // Shows `text` modally while the bar runs to its end at `msPerStep` per percent.
    void runTimedDisplay(const QString &text, int msPerStep);
    // Shows `text` (and `secondLine`, when given) without waiting while the caller works; the
    // bar stands still. Then either finishTimedDisplay or close.
    void showWorkDisplay(const QString &text, int msPerStep, const QString &secondLine = {});
    // After the work: the bar runs its course modally, then the window closes itself.
    void finishTimedDisplay();
    // A modeless display whose bar the caller moves, for the unattended run.
    void showProgressDisplay(const QString &text);
    void setProgress(int percent);
    void endProgressDisplay();

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

    QScopedPointer<Ui::TForm2> ui;
};
