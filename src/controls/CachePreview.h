#pragma once

#include <QString>
#include <QTextBrowser>

// The preview of a cached page or picture. Shows local HTML and images without a network, runs
// no script, follows no link, and reads nothing outside the folder it is confined to: a page
// that refers to remote or other local resources shows without them.
class CachePreview : public QTextBrowser
{
    Q_OBJECT

public:
    explicit CachePreview(QWidget *parent = nullptr);

    // Resources are read only inside this folder (links resolved); empty: none at all.
    void setConfinement(const QString &folder);

    // "about:blank" or a local file inside the folder; anything else shows the blank page.
    void Navigate(const QString &target);
    // Loading is done by the time Navigate returns.
    bool Busy() const { return false; }
    // What the preview shows now: "about:blank" or the file's path.
    const QString &LocationURL() const { return m_location; }

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    bool inside(const QString &path) const;

    QString m_root;
    QString m_location;
};
