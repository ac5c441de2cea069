#pragma once

#include "prefixes/PrefixCatalogue.h"

#include <QFrame>

#include <vector>

class QComboBox;
class QLabel;

// The strip below the main window's panels: the prefix Navolis works on, by name and path, and
// the user's other prefixes to switch to.
class TPrefixBar : public QFrame
{
    Q_OBJECT

public:
    explicit TPrefixBar(QWidget *parent = nullptr);

    // Offers the prefixes found and shows `currentRoot`, which is offered too when it is none of
    // them. Showing never switches.
    void fill(const std::vector<prefixes::FoundPrefix> &found, const QString &currentRoot);

    QComboBox *PrefixBox;
    QLabel *PrefixPath;

signals:
    // The user picked another prefix.
    void prefixChosen(const QString &root);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showPath(int index);
    void elidePath();

    QString m_path;
};
