#pragma once

#include <QDialog>
#include <QScopedPointer>

class QTimer;

namespace Ui {
class TTypedURLsForm;
}

// The typed-address window: the addresses typed into the browser's address bar.
class TTypedURLsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TTypedURLsForm(QWidget *parent = nullptr);
    ~TTypedURLsForm() override;

    QTimer *Timer1;

signals:
    // The link asks the main window to delete the addresses, as its own link does.
    void deletionRequested();

public slots:
    void Timer1Timer();
    void Label6Click();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    QScopedPointer<Ui::TTypedURLsForm> ui;
};

// The browser keeps every typed address as one string value of this key, whatever its name.
extern const QString TypedUrlsKey;

// What deleting the typed addresses came to.
struct TypedUrlDeletion
{
    // Every listed value is gone; false when the registry refused the change.
    bool complete = false;
    // The read-only notice came up during this deletion.
    bool noticeGiven = false;
};

// Deletes every value of the key. Errors are swallowed; a value the registry keeps only shows in
// the result.
TypedUrlDeletion DeleteTypedUrls();

// After the deletion: text 97, or where the registry kept the values the read-only notice,
// unless it came up during the deletion already.
void ReportTypedUrlDeletion(const TypedUrlDeletion &deletion);
