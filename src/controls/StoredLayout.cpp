#include "controls/StoredLayout.h"

#include "controls/KeyboardAccess.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QTextEdit>
#include <QVariant>

namespace StoredLayout {

namespace {

void applyFont(QWidget *w)
{
    const int px = w->property("pixelHeight").toInt();
    if (px <= 0)
        return;
    QFont f = w->font();
    f.setPixelSize(px);
    w->setFont(f);
}

void applyColors(QWidget *w)
{
    QPalette pal = w->palette();
    const QVariant fg = w->property("fontColor");
    if (fg.isValid()) {
        pal.setColor(QPalette::WindowText, QColor(fg.toString()));
        pal.setColor(QPalette::ButtonText, QColor(fg.toString()));
        pal.setColor(QPalette::Text, QColor(fg.toString()));
    }
    const QVariant bg = w->property("color");
    if (bg.isValid()) {
        pal.setColor(QPalette::Window, QColor(bg.toString()));
        pal.setColor(QPalette::Base, QColor(bg.toString()));
        w->setAutoFillBackground(true);
    }
    if (fg.isValid() || bg.isValid())
        w->setPalette(pal);
}

void applyBehaviour(QWidget *w)
{
    if (auto *edit = qobject_cast<QTextEdit *>(w);
        edit && w->property("alignment").toString() == QLatin1String("center"))
        edit->setAlignment(Qt::AlignHCenter);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(w);
        area && w->property("viewportCursor").isValid())
        area->viewport()->setCursor(w->property("viewportCursor").value<QCursor>());
    if (auto *list = qobject_cast<QListWidget *>(w); list && w->property("itemHeight").isValid())
        list->setStyleSheet(QStringLiteral("QListWidget::item { height: %1px; }")
                                .arg(w->property("itemHeight").toString()));
    if (auto *label = qobject_cast<QLabel *>(w); label && w->property("autoSize").toBool())
        label->adjustSize();
}

void applyOne(QWidget *w)
{
    applyFont(w);
    applyColors(w);
    applyBehaviour(w);
}

} // namespace

void apply(QWidget *root)
{
    applyOne(root);
    for (QWidget *w : root->findChildren<QWidget *>())
        applyOne(w);
    KeyboardAccess::apply(root);
}

void prepareDialog(QWidget *dialog, TitleButtons buttons)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons == TitleButtons::CloseBox)
        flags |= Qt::WindowCloseButtonHint;
    dialog->setWindowFlags(flags);
    apply(dialog);
    dialog->setFixedSize(dialog->size());
}

void installFontSubstitutes()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
}

void setCaption(QLabel *label, const QString &text)
{
    label->setText(text);
    if (label->property("autoSize").toBool())
        label->adjustSize();
}

} // namespace StoredLayout
