#include "app/Navigation.h"
#include "controls/ClickSound.h"

#include "app/WindowSet.h"
#include "app/u_Navolis.h"

#include <QAbstractButton>
#include <QFrame>
#include <QKeyEvent>

void HideAllPanels()
{
    for (QFrame *panel : Form1->panels())
        panel->setVisible(false);
}

namespace {

// The column as one stop of the Tab order, walked by the arrow keys.
class ColumnArrows : public QObject
{
public:
    ColumnArrows(const QList<QAbstractButton *> &column, QObject *parent)
        : QObject(parent), m_column(column)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            enterAtTheCheckedButton(watched, static_cast<QFocusEvent *>(event)->reason());
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down)
            return false;
        const int step = key == Qt::Key_Down ? 1 : -1;
        for (qsizetype i = m_column.indexOf(watched) + step; i >= 0 && i < m_column.size();
             i += step) {
            if (m_column[i]->isVisible() && m_column[i]->isEnabled()) {
                m_column[i]->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
        // Consumed even at the ends: the buttons' own arrow handling would switch panels.
        return true;
    }

    // Tab into the column lands on the button of the panel shown, not on the one last focused.
    void enterAtTheCheckedButton(QObject *watched, Qt::FocusReason reason) const
    {
        if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason)
            return;
        const auto *button = static_cast<QAbstractButton *>(watched);
        if (!button->isCheckable() || button->isChecked())
            return;
        for (QAbstractButton *checked : m_column) {
            if (checked->isChecked()) {
                checked->setFocus(reason);
                return;
            }
        }
    }

private:
    QList<QAbstractButton *> m_column;
};

} // namespace

void MoveAlongColumnByArrows(const QList<QAbstractButton *> &column)
{
    if (column.isEmpty())
        return;
    auto *arrows = new ColumnArrows(column, column.first());
    for (QAbstractButton *button : column)
        button->installEventFilter(arrows);
}
