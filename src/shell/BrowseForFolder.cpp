#include "shell/BrowseForFolder.h"

#include "platform/desktop/ShellBrowseWindow.h"
#include "platform/kernel/AnsiCodePage.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTreeView>

#include <cstring>

using namespace win;

namespace {

const char *const neverSeen =
    "\n(You should never see this message. If you are the end user, please inform the software's "
    "author. If you are the developer, please inform the author of TBrowseForFolderDialog.)";

[[noreturn]] void fail(const char *text)
{
    throw EBrowseForFolderDialog(std::string(text) + neverSeen);
}

constexpr int maxPath = 260;

LPITEMIDLIST cloneList(LPCITEMIDLIST list)
{
    if (!list)
        return nullptr;
    return allocIdList(
        QByteArray(reinterpret_cast<const char *>(list), qsizetype(idListContentSize(list))));
}

QString pathOf(LPCITEMIDLIST list)
{
    QString path;
    return list && SHGetPathFromIDListA(list, &path) ? path.left(maxPath - 1) : QString();
}

QString withBackslash(const QString &path)
{
    return path.isEmpty() || path.endsWith(u'\\') ? path : path + u'\\';
}

// The path as seen from `root`, as the shell's PathRelativePathTo gives it; the whole path when
// there is no root or the drives differ.
QString relativePath(const QString &root, const QString &path)
{
    if (root.isEmpty() || root.left(2).compare(path.left(2), Qt::CaseInsensitive) != 0)
        return path;
    const QStringList from = root.split(u'\\', Qt::SkipEmptyParts);
    const QStringList to = path.split(u'\\', Qt::SkipEmptyParts);
    qsizetype common = 0;
    while (common < from.size() && common < to.size() &&
           from[common].compare(to[common], Qt::CaseInsensitive) == 0)
        ++common;
    QString result = common == from.size() ? QStringLiteral(".") : QString();
    for (qsizetype i = common; i < from.size(); ++i)
        result += result.isEmpty() ? QStringLiteral("..") : QStringLiteral("\\..");
    for (qsizetype i = common; i < to.size(); ++i)
        result += u'\\' + to[i];
    return result;
}

bool existsOnDisk(const QString &windowsPath)
{
    std::shared_ptr<IShellFolder> desktop;
    LPITEMIDLIST list = nullptr;
    const bool exists = SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
                        SUCCEEDED(desktop->ParseDisplayName(windowsPath, &list));
    CoTaskMemFree(list);
    return exists;
}

} // namespace

TBrowseForFolderDialog::TBrowseForFolderDialog(QObject *owner)
    : QObject(owner), Options(bfOption(bfoReturnOnlyFSDirs) | bfOption(bfoStatusText) |
                              bfOption(bfoStatusTextDefault) | bfOption(bfoEditDefault) |
                              bfOption(bfoStatusTextOwnerDraw)),
      m_about(QStringLiteral("1.0"))
{
    if (auto *window = qobject_cast<QWidget *>(owner))
        m_ownerWindow = window;
    m_rootList = listFor(m_rootFolder, m_rootPath);
    m_startupList = listFor(m_startupFolder, m_startupPath);
}

TBrowseForFolderDialog::~TBrowseForFolderDialog()
{
    CoTaskMemFree(m_rootList);
    CoTaskMemFree(m_startupList);
    CoTaskMemFree(m_selectedList);
}

LPITEMIDLIST TBrowseForFolderDialog::listFor(TbfSpecialFolder folder, const QString &path) const
{
    LPITEMIDLIST list = nullptr;
    if (folder == bfCustomPath) {
        std::shared_ptr<IShellFolder> desktop;
        if (SUCCEEDED(SHGetDesktopFolder(&desktop)))
            desktop->ParseDisplayName(path.left(maxPath - 1), &list);
    } else {
        SHGetSpecialFolderLocation(folder, &list);
    }
    return list;
}

void TBrowseForFolderDialog::replaceList(LPITEMIDLIST &list, LPITEMIDLIST value)
{
    CoTaskMemFree(list);
    list = value;
}

QString TBrowseForFolderDialog::RootPath() const
{
    if (m_rootFolder == bfDesktop)
        return {};
    return m_rootFolder == bfCustomPath ? m_rootPath : pathOf(m_rootList);
}

void TBrowseForFolderDialog::SetRootPath(const QString &path)
{
    m_rootPath = path;
    m_rootFolder = bfCustomPath;
    replaceList(m_rootList, listFor(m_rootFolder, m_rootPath));
}

void TBrowseForFolderDialog::SetRootFolder(TbfSpecialFolder folder)
{
    m_rootFolder = folder;
    replaceList(m_rootList, listFor(m_rootFolder, m_rootPath));
}

QString TBrowseForFolderDialog::StartupPath() const
{
    if (m_startupFolder == bfDesktop)
        return {};
    return m_startupFolder == bfCustomPath ? m_startupPath : pathOf(m_startupList);
}

void TBrowseForFolderDialog::SetStartupPath(const QString &path)
{
    m_startupPath = path;
    m_startupFolder = bfCustomPath;
    replaceList(m_startupList, listFor(m_startupFolder, m_startupPath));
}

void TBrowseForFolderDialog::SetStartupFolder(TbfSpecialFolder folder)
{
    m_startupFolder = folder;
    replaceList(m_startupList, listFor(m_startupFolder, m_startupPath));
}

QString TBrowseForFolderDialog::SelectedPath() const
{
    return m_selectedPath.isEmpty() ? pathOf(m_selectedList) : m_selectedPath;
}

void TBrowseForFolderDialog::SetSelectedPath(const QString &path)
{
    m_selectedPath = path;
    if (m_dialogOpen && m_dialog)
        m_dialog->setSelection(path);
    else
        SetStartupPath(path);
}

QString TBrowseForFolderDialog::EditText() const
{
    if (m_dialog && m_edit)
        const_cast<TBrowseForFolderDialog *>(this)->m_editText = m_edit->text();
    return m_editText;
}

void TBrowseForFolderDialog::SetEditText(const QString &text)
{
    m_editText = text;
    m_changingEdit = true;
    if (m_edit && m_edit->text() != text)
        m_edit->setText(text); // its change notification runs the processing
    else
        editChanged();
}

void TBrowseForFolderDialog::SetStatusText(const QString &text)
{
    m_statusText = text;
    if (m_dialogOpen && m_dialog)
        m_dialog->setStatusText(text);
}

QAbstractButton *TBrowseForFolderDialog::existingCustomButton() const
{
    if (!m_customButton)
        fail("Custom button does not exist.");
    return m_customButton;
}

void TBrowseForFolderDialog::SetCustomButtonType(TbfCustomButton type)
{
    m_customButtonType = type;
    if (!m_dialogOpen)
        return;
    QAbstractButton *old = existingCustomButton();
    m_customButton = nullptr;
    if (type != bfbNone) {
        if (type == bfbButton)
            m_customButtonChecked = false;
        createCustomButton();
        m_customButton->setGeometry(old->geometry());
        fitCustomButtonWidth();
    }
    delete old;
}

QString TBrowseForFolderDialog::CustomButtonCaption() const
{
    return m_dialogOpen ? existingCustomButton()->text() : m_customButtonCaption;
}

void TBrowseForFolderDialog::SetCustomButtonCaption(const QString &caption)
{
    m_customButtonCaption = caption;
    if (!m_dialogOpen)
        return;
    existingCustomButton()->setText(caption);
    fitCustomButtonWidth();
}

bool TBrowseForFolderDialog::CustomButtonEnabled() const
{
    return m_dialogOpen ? existingCustomButton()->isEnabled() : m_customButtonEnabled;
}

void TBrowseForFolderDialog::SetCustomButtonEnabled(bool enabled)
{
    m_customButtonEnabled = enabled;
    if (m_dialogOpen)
        existingCustomButton()->setEnabled(enabled);
}

void TBrowseForFolderDialog::SetCustomButtonVisible(bool visible)
{
    m_customButtonVisible = visible;
    if (m_dialogOpen)
        existingCustomButton()->setVisible(visible);
}

bool TBrowseForFolderDialog::CustomButtonChecked() const
{
    return m_dialogOpen ? existingCustomButton()->isChecked() : m_customButtonChecked;
}

void TBrowseForFolderDialog::SetCustomButtonChecked(bool checked)
{
    m_customButtonChecked = checked;
    if (m_dialogOpen)
        existingCustomButton()->setChecked(checked);
}

bool TBrowseForFolderDialog::TreeViewHideSelection() const
{
    if (m_dialogOpen && m_dialog)
        return m_dialog->tree()->property("hideSelection").toBool();
    return m_treeViewHideSelection;
}

// A hidden selection shows only while the tree has the focus.
void TBrowseForFolderDialog::SetTreeViewHideSelection(bool hide)
{
    m_treeViewHideSelection = hide;
    if (!m_dialogOpen || !m_dialog)
        return;
    QTreeView *tree = m_dialog->tree();
    QPalette palette = tree->palette();
    const QPalette active = m_dialog->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     hide ? active.color(QPalette::Inactive, QPalette::Base)
                          : active.color(QPalette::Inactive, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     hide ? active.color(QPalette::Inactive, QPalette::Text)
                          : active.color(QPalette::Inactive, QPalette::HighlightedText));
    tree->setPalette(palette);
    tree->setProperty("hideSelection", hide);
}

unsigned TBrowseForFolderDialog::dialogFlags() const
{
    struct Flag
    {
        TbfOption option;
        unsigned flag;
    };
    constexpr Flag flags[] = {
        {bfoBrowseForComputer, BIF_BROWSEFORCOMPUTER},
        {bfoBrowseForPrinter, BIF_BROWSEFORPRINTER},
        {bfoDontGoBelowDomain, BIF_DONTGOBELOWDOMAIN},
        {bfoReturnFSAncestors, BIF_RETURNFSANCESTORS},
        {bfoReturnOnlyFSDirs, BIF_RETURNONLYFSDIRS},
        {bfoStatusText, BIF_STATUSTEXT},
        {bfoBrowseIncludeFiles, BIF_BROWSEINCLUDEFILES},
        {bfoEdit, BIF_STATUSTEXT},
    };
    unsigned result = 0;
    for (const Flag &f : flags)
        if (has(f.option))
            result |= f.flag;
    return result;
}

bool TBrowseForFolderDialog::Browse()
{
    if (OnExecuting)
        OnExecuting(this);
    LPITEMIDLIST previous = m_selectedList;
    m_browsePrevious = previous;

    if (!m_rootList)
        m_rootList = listFor(m_rootFolder, m_rootPath);
    char displayName[maxPath] = {};
    BROWSEINFOA info;
    info.hwndOwner = m_ownerWindow;
    info.pidlRoot = m_rootList;
    info.pszDisplayName = displayName;
    info.lpszTitle = Title;
    info.ulFlags = dialogFlags();
    info.lpfn = &TBrowseForFolderDialog::callback;
    info.lParam = this;

    LPITEMIDLIST chosen = nullptr;
    {
        const auto closed = qScopeGuard([this] {
            m_dialogOpen = false;
            m_dialog = nullptr;
            m_edit = nullptr;
            m_browsePrevious = nullptr;
        });
        chosen = SHBrowseForFolderA(&info);
    }

    // The lists selected meanwhile give way to the chosen one, or to the previous one.
    if (m_selectedList != previous)
        CoTaskMemFree(m_selectedList);
    bool result = false;
    if (chosen) {
        if (previous != chosen)
            CoTaskMemFree(previous);
        m_selectedList = chosen;
        m_selDisplayName = AnsiCodePage::toUnicode(
            QByteArrayView(displayName, qsizetype(strnlen(displayName, maxPath))));
        m_seliImage = info.iImage;
        result = true;
    } else {
        m_selectedList = previous;
    }
    if (OnExecuted)
        OnExecuted(this);
    return result;
}

int TBrowseForFolderDialog::callback(ShellBrowseWindow *window, unsigned message,
                                     LPCITEMIDLIST selection, void *data)
{
    auto *self = static_cast<TBrowseForFolderDialog *>(data);
    if (message == BFFM_INITIALIZED)
        self->initialize(window);
    else if (message == BFFM_SELCHANGED)
        self->selectionChanged(selection);
    return 0;
}

void TBrowseForFolderDialog::initialize(ShellBrowseWindow *window)
{
    m_dialog = window;
    m_dialogOpen = true;
    if (!m_startupList)
        m_startupList = listFor(m_startupFolder, m_startupPath);

    QLabel *title = window->titleLabel();
    QLabel *status = window->statusLabel();
    QTreeView *tree = window->tree();
    QPushButton *ok = window->okButton();
    QPushButton *cancel = window->cancelButton();

    if (has(bfoEdit)) {
        status->hide();
        auto *edit = new QLineEdit(m_editText, window);
        edit->setObjectName(QStringLiteral("edit"));
        edit->setGeometry(status->geometry());
        edit->setFont(window->font());
        edit->show();
        m_edit = edit;
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) {
            m_editText = text;
            editChanged();
        });
    } else if (has(bfoStatusText) && has(bfoStatusTextOwnerDraw)) {
        window->setStatusPainter(
            [this](QPainter &painter, const QRect &rect) { drawStatusText(painter, rect); });
    }

    if (m_customButtonType != bfbNone) {
        createCustomButton();
        m_customButton->setGeometry(title->x(), ok->y(), ok->width(), ok->height());
        fitCustomButtonWidth();
        m_customButton->raise();
        if (m_edit)
            QWidget::setTabOrder(m_edit, tree);
        QWidget::setTabOrder(cancel, m_customButton);
        // The new control would take the focus: it goes back to where the user types.
        if (m_edit)
            m_edit->setFocus();
        else
            tree->setFocus();
    }

    if (has(bfoStatusText))
        window->setStatusText(m_statusText);

    QWidget *aboveTree = m_edit               ? static_cast<QWidget *>(m_edit)
                         : has(bfoStatusText) ? static_cast<QWidget *>(status)
                                              : static_cast<QWidget *>(title);
    title->setGeometry(tree->x(), title->y(), tree->width(), title->height());
    for (QWidget *line : {static_cast<QWidget *>(status), static_cast<QWidget *>(m_edit.data())})
        if (line)
            line->setGeometry(tree->x(), line->y(), tree->width(), line->height());
    const int bottom = tree->geometry().bottom();
    tree->setGeometry(tree->x(), aboveTree->geometry().bottom() + 1 + 5, tree->width(),
                      bottom - aboveTree->geometry().bottom() - 5);

    SetTreeViewHideSelection(m_treeViewHideSelection);
    if (OnInitialized)
        OnInitialized(this);
    window->setSelection(m_startupList);
}

void TBrowseForFolderDialog::createCustomButton()
{
    QAbstractButton *button = nullptr;
    switch (m_customButtonType) {
    case bfbButton:
        button = new QPushButton(m_customButtonCaption, m_dialog);
        break;
    case bfbCheckBox:
        button = new QCheckBox(m_customButtonCaption, m_dialog);
        break;
    default:
        fail("Custom button type not supported.");
    }
    button->setObjectName(QStringLiteral("customButton"));
    button->setFont(m_dialog->font());
    button->setEnabled(m_customButtonEnabled);
    button->setVisible(m_customButtonVisible);
    button->setFocusPolicy(Qt::StrongFocus);
    if (auto *box = qobject_cast<QCheckBox *>(button))
        box->setChecked(m_customButtonChecked);
    connect(button, &QAbstractButton::clicked, this, [this, button] {
        // The box's state outlives the dialog, so that it can be read after Browse.
        if (qobject_cast<QCheckBox *>(button))
            m_customButtonChecked = button->isChecked();
        if (OnCustomButtonClick)
            OnCustomButtonClick(this);
    });
    m_customButton = button;
}

// The caption's width and the control's own border, no narrower than OK and no wider than the
// room left of OK.
void TBrowseForFolderDialog::fitCustomButtonWidth()
{
    if (!m_customButton || !m_dialog)
        return;
    const QPushButton *ok = m_dialog->okButton();
    const QPushButton *cancel = m_dialog->cancelButton();
    const int gap = cancel->x() - (ok->x() + ok->width());
    const int widest = ok->x() - m_dialog->titleLabel()->x() - gap;
    const QStyle *style = m_customButton->style();
    const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_customButton);
    const int border =
        qobject_cast<QCheckBox *>(m_customButton)
            ? style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_customButton) +
                  style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, m_customButton) +
                  frame
            : 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, m_customButton) + frame;
    const int wanted =
        m_customButton->fontMetrics().horizontalAdvance(m_customButton->text()) + border;
    m_customButton->resize(qMax(ok->width(), qMin(wanted, widest)), m_customButton->height());
}

void TBrowseForFolderDialog::drawStatusText(QPainter &painter, const QRect &rect)
{
    if (OnDrawStatusText) {
        OnDrawStatusText(this, painter, rect);
        return;
    }
    const QPalette palette = m_dialog ? m_dialog->palette() : QPalette();
    painter.fillRect(rect, palette.color(QPalette::Button));
    painter.setPen(palette.color(QPalette::ButtonText));
    const QString text =
        painter.fontMetrics().elidedText(m_statusText, Qt::ElideMiddle, rect.width());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void TBrowseForFolderDialog::selectionChanged(LPCITEMIDLIST selection)
{
    // The list selected before the dialog opened is kept for a cancel.
    if (m_selectedList != m_browsePrevious)
        CoTaskMemFree(m_selectedList);
    m_selectedList = cloneList(selection);
    m_selectedPath = pathOf(selection);

    if (has(bfoStatusText) && has(bfoStatusTextDefault) && m_dialog) {
        const QLabel *status = m_dialog->statusLabel();
        SetStatusText(status->fontMetrics().elidedText(relativePath(RootPath(), m_selectedPath),
                                                       Qt::ElideMiddle, status->width()));
    }
    if (has(bfoEdit) && has(bfoEditDefault) && !(m_edit && m_edit->hasFocus())) {
        const QString root = RootPath();
        if (m_selectedPath != root) {
            QString relative = m_selectedPath;
            const QString prefix = withBackslash(root);
            if (!prefix.isEmpty() && relative.startsWith(prefix, Qt::CaseInsensitive))
                relative = relative.mid(prefix.size());
            if (relative.endsWith(u'\\'))
                relative.chop(1);
            SetEditText(relative + EditAttachment);
        } else {
            SetEditText(EditAttachment);
        }
    }
    if (OnSelChanged)
        OnSelChanged(this);
}

void TBrowseForFolderDialog::editChanged()
{
    if (!m_changingEdit && has(bfoEditDefault)) {
        QString path = withBackslash(RootPath()) + m_editText;
        while (!path.isEmpty() && !existsOnDisk(path)) {
            const qsizetype cut =
                std::max({path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'), path.lastIndexOf(u':')});
            path = cut < 0 ? QString() : path.left(cut);
        }
        SetSelectedPath(path);
    }
    if (OnEditChange)
        OnEditChange(this);
    m_changingEdit = false;
}
