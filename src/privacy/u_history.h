#pragma once

#include <QDialog>
#include <QScopedPointer>

class QTimer;
class TUrlHistory;

namespace Ui {
class THistoryForm;
}

// The history window: lists the visited addresses, oldest visit first, and clears them.
class THistoryForm : public QDialog
{
    Q_OBJECT
public:
    explicit THistoryForm(QWidget *parent = nullptr);
    ~THistoryForm() override;

    TUrlHistory *UrlHistory1;
    QTimer *CloseTimer;

signals:
    // The link asks the main window to clear the history, as its own link does.
    void clearingRequested();

public slots:
    void Label6Click();
    void BitBtn1Click();
    void CloseTimerTimer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    QScopedPointer<Ui::THistoryForm> ui;
};

// Empties the history, as the automatic clean-up and the main window's link do; shows nothing.
// True when no visit is left.
bool ClearBrowserHistory();
