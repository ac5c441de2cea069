#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class TChangeStartPageForm;
}

// Edits the browser's start page; the caller reads the edit box once the window has closed.
class TChangeStartPageForm : public QDialog
{
    Q_OBJECT
public:
    explicit TChangeStartPageForm(QWidget *parent = nullptr);
    ~TChangeStartPageForm() override;

    // The edit box's address.
    void SetStartPage(const QString &address);
    QString StartPage() const;

public slots:
    void Label5Click();
    void Label4Click();

private:
    QScopedPointer<Ui::TChangeStartPageForm> ui;
};
