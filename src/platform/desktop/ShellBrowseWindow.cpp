#include "platform/desktop/ShellBrowseWindow.h"

#include "platform/desktop/SystemIcons.h"
#include "platform/kernel/AnsiCodePage.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/shell/ShellNamespaceItems.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <cstring>

namespace win {

namespace {

using shellitems::listOf;
using shellitems::terminated;

QString nameOf(const IShellFolder &folder, LPCITEMIDLIST item)
{
    STRRET name;
    if (FAILED(folder.GetDisplayNameOf(item, SHGDN_NORMAL, &name)) ||
        name.uType != STRRET::STRRET_WSTR)
        return {};
    QString text = QString::fromUtf16(name.pOleStr);
    CoTaskMemFree(name.pOleStr);
    return text;
}

int iconOf(const QByteArray &absolute)
{
    SHFILEINFOA info;
    const QByteArray list = terminated(absolute);
    SHGetFileInfoA(listOf(list), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

// The status line, which its owner may draw itself.
class StatusLine : public QLabel
{
public:
    using QLabel::QLabel;
    ShellBrowseWindow::StatusPainter painter;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (!painter) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter p(this);
        painter(p, rect());
    }
};

} // namespace

// The folders below the root, read from the namespace when a branch is first opened.
class ShellTreeModel : public QAbstractItemModel
{
public:
    struct Node
    {
        QByteArray absolute; // without the terminator
        QString name;
        int icon = 0;
        bool hasChildren = true;
        bool loaded = false;
        Node *parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
    };

    ShellTreeModel(const QByteArray &root, bool includeFiles, QObject *parent)
        : QAbstractItemModel(parent), m_includeFiles(includeFiles)
    {
        m_root.absolute = root;
        auto top = std::make_unique<Node>();
        top->absolute = root;
        top->parent = &m_root;
        std::shared_ptr<IShellFolder> desktop;
        SHGetDesktopFolder(&desktop);
        const QByteArray list = terminated(root);
        top->name = root.isEmpty() ? QStringLiteral("Desktop") : nameOf(*desktop, listOf(list));
        top->icon = root.isEmpty() ? IconFolder : iconOf(root);
        m_root.children.push_back(std::move(top));
        m_root.loaded = true;
    }

    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        const Node *node = nodeOf(parent);
        if (column != 0 || row < 0 || row >= int(node->children.size()))
            return {};
        return createIndex(row, 0, node->children[std::size_t(row)].get());
    }

    QModelIndex parent(const QModelIndex &child) const override
    {
        const Node *node = nodeOf(child);
        if (!child.isValid() || node->parent == &m_root)
            return {};
        return indexOf(node->parent);
    }

    int rowCount(const QModelIndex &parent) const override
    {
        Node *node = nodeOf(parent);
        const_cast<ShellTreeModel *>(this)->load(node);
        return int(node->children.size());
    }

    int columnCount(const QModelIndex &) const override { return 1; }

    bool hasChildren(const QModelIndex &parent) const override
    {
        const Node *node = nodeOf(parent);
        return node->loaded ? !node->children.empty() : node->hasChildren;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const Node *node = nodeOf(index);
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return node->name;
        if (role == Qt::DecorationRole)
            return SystemIcons::icon(systemImageList(), node->icon);
        return {};
    }

    Node *nodeOf(const QModelIndex &index) const
    {
        return index.isValid() ? static_cast<Node *>(index.internalPointer())
                               : const_cast<Node *>(&m_root);
    }

    QModelIndex indexOf(const Node *node) const
    {
        if (node == &m_root)
            return {};
        const auto &siblings = node->parent->children;
        const auto at = std::find_if(siblings.begin(), siblings.end(),
                                     [node](const auto &n) { return n.get() == node; });
        return createIndex(int(at - siblings.begin()), 0, const_cast<Node *>(node));
    }

    // The node of an absolute list below the root, reading the branches on the way.
    const Node *find(const QByteArray &absolute)
    {
        Node *node = m_root.children.front().get();
        if (!absolute.startsWith(node->absolute))
            return nullptr;
        while (node->absolute.size() < absolute.size()) {
            load(node);
            const qsizetype at = node->absolute.size();
            const qsizetype count = quint8(absolute[at]) | qsizetype(quint8(absolute[at + 1])) << 8;
            if (count < 2 || at + count > absolute.size())
                return nullptr;
            const QByteArray wanted = terminated(absolute.sliced(at, count));
            const std::shared_ptr<IShellFolder> folder = bind(node->absolute);
            Node *next = nullptr;
            for (const auto &child : node->children) {
                const QByteArray item = terminated(child->absolute.sliced(at));
                if (folder && folder->CompareIDs(0, listOf(item), listOf(wanted)) == S_OK) {
                    next = child.get();
                    break;
                }
            }
            if (!next)
                return nullptr;
            node = next;
        }
        return node;
    }

private:
    static std::shared_ptr<IShellFolder> bind(const QByteArray &absolute)
    {
        std::shared_ptr<IShellFolder> desktop;
        if (FAILED(SHGetDesktopFolder(&desktop)))
            return nullptr;
        if (absolute.isEmpty())
            return desktop;
        std::shared_ptr<IShellFolder> folder;
        const QByteArray list = terminated(absolute);
        return SUCCEEDED(desktop->BindToObject(listOf(list), &folder)) ? folder : nullptr;
    }

    void load(Node *node)
    {
        if (node->loaded)
            return;
        node->loaded = true;
        const std::shared_ptr<IShellFolder> folder = bind(node->absolute);
        std::unique_ptr<IEnumIDList> entries;
        const DWORD flags = SHCONTF_FOLDERS | (m_includeFiles ? SHCONTF_NONFOLDERS : 0);
        if (!folder || FAILED(folder->EnumObjects(flags, &entries)))
            return;
        std::vector<QByteArray> items;
        for (LPITEMIDLIST item = nullptr; entries->Next(&item) == S_OK;) {
            items.push_back(shellitems::contentOf(item));
            CoTaskMemFree(item);
        }
        std::sort(items.begin(), items.end(), [&](const QByteArray &a, const QByteArray &b) {
            const QByteArray x = terminated(a);
            const QByteArray y = terminated(b);
            return qint16(quint16(folder->CompareIDs(0, listOf(x), listOf(y)))) < 0;
        });
        for (const QByteArray &item : items) {
            auto child = std::make_unique<Node>();
            const QByteArray list = terminated(item);
            child->absolute = node->absolute + item;
            child->name = nameOf(*folder, listOf(list));
            child->icon = iconOf(child->absolute);
            ULONG attributes = SFGAO_HASSUBFOLDER | SFGAO_FOLDER;
            folder->GetAttributesOf(listOf(list), &attributes);
            child->hasChildren = m_includeFiles ? bool(attributes & SFGAO_FOLDER)
                                                : bool(attributes & SFGAO_HASSUBFOLDER);
            child->parent = node;
            node->children.push_back(std::move(child));
        }
    }

    Node m_root; // above the top node, which is the root folder itself
    bool m_includeFiles;
};

ShellBrowseWindow::ShellBrowseWindow(const BROWSEINFOA &info, QWidget *owner)
    : QDialog(owner), m_info(info),
      m_model(
          new ShellTreeModel(info.pidlRoot ? shellitems::contentOf(info.pidlRoot) : QByteArray(),
                             info.ulFlags & BIF_BROWSEINCLUDEFILES, this)),
      m_title(new QLabel(info.lpszTitle, this)), m_status(new StatusLine(this)),
      m_tree(new QTreeView(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("ShellBrowseWindow"));
    setWindowTitle(QStringLiteral("Browse for Folder"));
    resize(320, 400);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setGeometry(12, 10, 296, 32);
    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setGeometry(12, 44, 296, 16);
    m_status->setVisible(info.ulFlags & BIF_STATUSTEXT);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setGeometry(12, 64, 296, 284);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setModel(m_model);
    m_tree->expand(m_model->index(0, 0, {}));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setGeometry(150, 362, 75, 23);
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setGeometry(233, 362, 75, 23);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ShellBrowseWindow::selectionChanged);
    m_tree->setCurrentIndex(m_model->index(0, 0, {}));
}

ShellBrowseWindow::~ShellBrowseWindow() = default;

void ShellBrowseWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_initialized)
        return;
    m_initialized = true;
    if (!m_info.lpfn)
        return;
    m_info.lpfn(this, BFFM_INITIALIZED, nullptr, m_info.lParam);
    // The first selection is reported too, also when the start folder is the one selected
    // already or none was set.
    if (!m_selectionReported)
        selectionChanged();
}

void ShellBrowseWindow::selectionChanged()
{
    const QByteArray selected = selection();
    m_ok->setEnabled(canBeChosen(selected));
    if (m_initialized && m_info.lpfn) {
        m_selectionReported = true;
        const QByteArray list = terminated(selected);
        m_info.lpfn(this, BFFM_SELCHANGED, listOf(list), m_info.lParam);
    }
}

// This shell holds no network: a dialog for computers or printers finds none to choose, and no
// folder lies below a domain, which leaves nothing for BIF_DONTGOBELOWDOMAIN to hide.
bool ShellBrowseWindow::canBeChosen(const QByteArray &selected) const
{
    if (m_info.ulFlags & (BIF_BROWSEFORCOMPUTER | BIF_BROWSEFORPRINTER))
        return false;
    const QByteArray list = terminated(selected);
    if (m_info.ulFlags & BIF_RETURNONLYFSDIRS) {
        QString path;
        if (!SHGetPathFromIDListA(listOf(list), &path))
            return false;
    }
    // The desktop, at the top, is an ancestor of every folder.
    if ((m_info.ulFlags & BIF_RETURNFSANCESTORS) && !selected.isEmpty()) {
        SHFILEINFOA info;
        SHGetFileInfoA(listOf(list), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_ATTRIBUTES);
        if (!(info.dwAttributes & SFGAO_FILESYSANCESTOR))
            return false;
    }
    return true;
}

void ShellBrowseWindow::setStatusText(const QString &text)
{
    m_status->setText(text);
    m_status->update();
}

bool ShellBrowseWindow::setSelection(LPCITEMIDLIST list)
{
    const ShellTreeModel::Node *node = list ? m_model->find(shellitems::contentOf(list)) : nullptr;
    if (!node)
        return false;
    const QModelIndex index = m_model->indexOf(node);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    return true;
}

bool ShellBrowseWindow::setSelection(const QString &path)
{
    std::shared_ptr<IShellFolder> desktop;
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || FAILED(desktop->ParseDisplayName(path, &list)))
        return false;
    const bool selected = setSelection(list);
    CoTaskMemFree(list);
    return selected;
}

void ShellBrowseWindow::enableOk(bool enable)
{
    m_ok->setEnabled(enable);
}

void ShellBrowseWindow::setStatusPainter(StatusPainter painter)
{
    static_cast<StatusLine *>(m_status)->painter = std::move(painter);
    m_status->update();
}

QByteArray ShellBrowseWindow::selection() const
{
    return m_model->nodeOf(m_tree->currentIndex())->absolute;
}

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA *info)
{
    if (!info)
        return nullptr;
    ShellBrowseWindow window(*info, info->hwndOwner);
    if (window.exec() != QDialog::Accepted)
        return nullptr;
    const QByteArray chosen = window.selection();
    const QByteArray list = terminated(chosen);
    if (info->pszDisplayName) {
        std::shared_ptr<IShellFolder> desktop;
        SHGetDesktopFolder(&desktop);
        const QString name =
            chosen.isEmpty() ? QStringLiteral("Desktop") : nameOf(*desktop, listOf(list));
        const QByteArray bytes = AnsiCodePage::fromUnicode(name).left(259);
        std::memcpy(info->pszDisplayName, bytes.constData(), std::size_t(bytes.size()));
        info->pszDisplayName[bytes.size()] = '\0';
    }
    info->iImage = iconOf(chosen);
    return allocIdList(chosen);
}

} // namespace win
