#pragma once

#include <QDialog>
#include <QScopedPointer>

class QTimer;

namespace Ui {
class TMruForm;
}

// The most-recently-used lists window: run-dialog commands and recent documents.
class TMruForm : public QDialog
{
    Q_OBJECT
public:
    explicit TMruForm(QWidget *parent = nullptr);
    ~TMruForm() override;

    QTimer *leerTimer;

public slots:
    void leerTimerTimer();
    void Label6Click();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void listRunCommands();
    void listRecentDocuments();
    QString recentFolder() const;
    QStringList filesLeftInRecentFolder() const;

    QScopedPointer<Ui::TMruForm> ui;
};

// The shell keeps the commands typed into its run dialog as the values of this key, with an
// order value "MRUList" beside them.
extern const QString RunMruKey;

// Empties the shell's list of recent documents. False when a shortcut was kept.
bool EmptyRecentDocuments();

// Deletes every value of the run-dialog key, the order value included. Errors are swallowed;
// false when the registry kept a value.
bool DeleteRunCommands();
