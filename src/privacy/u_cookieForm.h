#pragma once

#include <QDialog>
#include <QScopedPointer>

class QTimer;
class TIECache;

namespace Ui {
class TCookieForm;
}

// The cookie window: lists the browser's cookies, shows one's details, deletes one or all.
// Every showing lists the cookies afresh; when there are none it says so and closes itself.
class TCookieForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCookieForm(QWidget *parent = nullptr);
    ~TCookieForm() override;

    TIECache *IECache1;
    QTimer *CloseTimer;

public slots:
    void ListBox1Click();
    void Label5Click();
    void Label6Click();
    void BitBtn1Click();
    void CloseTimerTimer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void IECache1Entry(QObject *Sender, bool &Cancel);
    void showDetails();

    QScopedPointer<Ui::TCookieForm> ui;
};
