#pragma once

#include <QFrame>
#include <QScopedPointer>

class TIECache;

namespace Ui {
class TBrowsercachePanel;
}

// The main window's panel "Browsercache säubern": lists the content entries of the URL cache
// with their number and size, previews the selected one, and empties the cache.
class TBrowsercachePanel : public QFrame
{
    Q_OBJECT

public:
    explicit TBrowsercachePanel(QWidget *parent = nullptr);
    ~TBrowsercachePanel() override;

    // The main window's cache enumerator.
    TIECache *IECache1;
    // The running sum of entry sizes in bytes: signed 32 bits, wrapping as the program's does.
    qint32 CacheTotal = 0;

    // The filling on entering the panel, after the navigation has shown it.
    void FillPanel();
    // The emptying of the automatic clean-up: nothing is shown.
    void EmptyBrowserCache();
    // The count and size lines in the current language.
    void ShowCountAndSize();

    // For the window set and the tests: the list, the count and size lines, the preview.
    QStringList listed() const;
    QString countLine() const;
    QString sizeLine() const;
    QString previewLocation() const;
    void selectLine(int row);

public slots:
    void IECache1Entry(QObject *Sender, bool &Cancel);
    void ListBox2Click();
    void Label41Click();

signals:
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();

private:
    void listEntries();

    // The lines of a listing while the walk runs.
    QStringList m_found;
    bool m_emptying = false;

    QScopedPointer<Ui::TBrowsercachePanel> ui;
};
