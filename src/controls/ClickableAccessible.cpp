#include "controls/ClickableAccessible.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace {

// Pressing runs the control's "clicked" signal, as a click with the mouse does. A control that
// takes no focus, as the busy window's hourglass, is an animation nobody clicks.
class ClickableAccessible : public QAccessibleWidget
{
public:
    explicit ClickableAccessible(QWidget *control) : QAccessibleWidget(control) {}

    QAccessible::Role role() const override
    {
        if (!clickable())
            return QAccessible::Animation;
        const auto *label = qobject_cast<const QLabel *>(widget());
        return label && label->pixmap().isNull() ? QAccessible::Link : QAccessible::Button;
    }

    // The caption names a link; one that shows nothing, as an empty start page, goes by its
    // description.
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(kind);
        const auto *label = qobject_cast<const QLabel *>(widget());
        const QString caption = label ? label->text() : QString();
        return caption.isEmpty() ? widget()->accessibleDescription() : caption;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (clickable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action == pressAction() && clickable())
            QMetaObject::invokeMethod(widget(), "clicked");
        else
            QAccessibleWidget::doAction(action);
    }

private:
    bool clickable() const { return widget()->focusPolicy() != Qt::NoFocus; }
};

QAccessibleInterface *clickableFactory(const QString &className, QObject *object)
{
    if (object->isWidgetType() &&
        (className == QLatin1String("ClickLabel") || className == QLatin1String("TAniIcon")))
        return new ClickableAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installClickableAccessibility()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(clickableFactory);
        return true;
    }();
}
