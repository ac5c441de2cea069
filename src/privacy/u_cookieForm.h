#pragma once

#include "privacy/CookieKeepList.h"

#include <QDialog>
#include <QScopedPointer>

class QAction;
class QMenu;
class QTimer;
class TIECache;

namespace Ui {
class TCookieForm;
}

// The cookie window: lists the browser's cookies, shows one's details, deletes one or all.
// Every showing lists the cookies afresh; when there are none it says so and closes itself.
// The sites of the keep list are chosen here too: their cookies are marked, and removing all
// leaves them.
class TCookieForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCookieForm(QWidget *parent = nullptr);
    ~TCookieForm() override;

    TIECache *IECache1;
    QTimer *CloseTimer;
    QMenu *PopupMenu1;
    QAction *KeepSite1;
    QAction *ForgetSite1;

public slots:
    void ListBox1Click();
    void Label5Click();
    void Label6Click();
    void BitBtn1Click();
    void CloseTimerTimer();
    void CheckBox1Click(bool checked);
    void ListBox1ContextPopup(const QPoint &position);
    void KeepSite1Click();
    void ForgetSite1Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void IECache1Entry(QObject *Sender, bool &Cancel);
    void showDetails();
    QString selectedHost() const;
    void showKeepChoice();
    void markKeptCookies();
    int keptCount() const;
    void changeKeepList(bool keep);

    QScopedPointer<Ui::TCookieForm> ui;
    CookieKeepList m_keepList;
    // The lines of a listing while the walk runs.
    QStringList m_found;
    bool m_removing = false;
};
