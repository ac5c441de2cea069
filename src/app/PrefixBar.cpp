#include "app/PrefixBar.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace {

QString canonical(const QString &folder)
{
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return resolved.isEmpty() ? folder : resolved;
}

} // namespace

TPrefixBar::TPrefixBar(QWidget *parent)
    : QFrame(parent), PrefixBox(new QComboBox(this)), PrefixPath(new QLabel(this))
{
    setFrameShape(QFrame::StyledPanel);
    auto *caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("PrefixLabel"));
    PrefixBox->setObjectName(QStringLiteral("PrefixBox"));
    PrefixBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    PrefixBox->setMaximumWidth(260);
    PrefixPath->setObjectName(QStringLiteral("PrefixPath"));
    PrefixPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(caption);
    row->addWidget(PrefixBox);
    row->addWidget(PrefixPath, 1);
    caption->setBuddy(PrefixBox);
    connect(PrefixBox, &QComboBox::activated, this, [this](int index) {
        showPath(index);
        emit prefixChosen(PrefixBox->itemData(index).toString());
    });
}

void TPrefixBar::fill(const std::vector<prefixes::FoundPrefix> &found, const QString &currentRoot)
{
    const QSignalBlocker quiet(PrefixBox);
    PrefixBox->clear();
    const QString current = canonical(currentRoot);
    int shown = -1;
    for (const prefixes::FoundPrefix &prefix : found) {
        PrefixBox->addItem(
            QStringLiteral("%1 (%2)").arg(prefix.name, prefixes::kindWord(prefix.kind)),
            prefix.path);
        PrefixBox->setItemData(PrefixBox->count() - 1, prefix.path, Qt::ToolTipRole);
        if (shown < 0 && canonical(prefix.path) == current)
            shown = PrefixBox->count() - 1;
    }
    if (shown < 0) {
        PrefixBox->insertItem(0, QFileInfo(currentRoot).fileName(), currentRoot);
        PrefixBox->setItemData(0, currentRoot, Qt::ToolTipRole);
        shown = 0;
    }
    PrefixBox->setCurrentIndex(shown);
    showPath(shown);
}

void TPrefixBar::showPath(int index)
{
    m_path = PrefixBox->itemData(index).toString();
    PrefixPath->setToolTip(m_path);
    elidePath();
}

// A long path keeps its beginning and its end.
void TPrefixBar::elidePath()
{
    PrefixPath->setText(
        PrefixPath->fontMetrics().elidedText(m_path, Qt::ElideMiddle, PrefixPath->width()));
}

void TPrefixBar::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    elidePath();
}
