#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class TURLChangeForm;
}

// Edits the address of one favourite: shows the link's name and address, and on saving
// rewrites the shortcut file when the address changed.
class TURLChangeForm : public QDialog
{
    Q_OBJECT
public:
    explicit TURLChangeForm(QWidget *parent = nullptr);
    ~TURLChangeForm() override;

    // The address in the edit box when the window was last shown.
    QString OriginalUrl;

    // Loads the link's name and address into the window without showing it.
    void ShowLink(const QString &caption, const QString &url);
    // Shows the window modally for the shortcut file `linkFileName`; refuses, with a message, a
    // file that is not an internet shortcut.
    void EditLink(const QString &linkFileName);

    // What the window shows, for the window set and the tests.
    QString linkCaption() const;
    QString address() const;

public slots:
    void FormShow();
    void Label5Click();
    void Label4Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_linkFileName;
    QScopedPointer<Ui::TURLChangeForm> ui;
};
