#pragma once

#include <QFrame>
#include <QScopedPointer>

class TFavoritesListView;

namespace Ui {
class TFavoritenPanel;
}

// The main window's panel "Favoriten verwalten": the browser's favourites in the favourites
// list view, with links to go one level up and to view, edit and delete a link.
class TFavoritenPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TFavoritenPanel(QWidget *parent = nullptr);
    ~TFavoritenPanel() override;

    TFavoritesListView *favoritesList() const;
    // The list's first filling, made by the start-up once its window is on the screen.
    void FirstFilling();

public slots:
    void FavoritesListView1Click();
    void FavoritesListView1URLSelected(QObject *Sender, const QString &Url);
    void Label47Click();
    void Label49Click();
    void Label5Click();
    void Label48Click();

signals:
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();
    // For the link window: load a resolved link's name and address; edit the link file modally.
    void linkSelected(const QString &caption, const QString &url);
    void editLinkRequested(const QString &linkFileName);

private:
    QString activateSelectedLink();

    QScopedPointer<Ui::TFavoritenPanel> ui;
};
