#include "privacy/u_cookieForm.h"

#include "ui_u_cookieForm.h"

#include "platform/prefix/ReadOnlyNotice.h"

#include "browserdata/IECache.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/LogCategories.h"
#include "privacy/CookieTimeText.h"

#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

namespace {

// Work against the cache never reaches the user as an error: what it found is what is listed.
template <typename Work> void ignoringExceptions(Work work)
{
    try {
        work();
    } catch (...) {
        logIgnoredException(lcUrlCache(), "the cookie window");
    }
}

void setLine(QLabel *label, int textNumber, const QString &value)
{
    StoredLayout::setCaption(label, Qutrans::get(textNumber) + QLatin1Char(' ') + value);
}

// The list file's path ends a message about the list.
QString aboutKeepList(int textNumber)
{
    return Qutrans::get(textNumber) + QLatin1Char('\r') +
           QDir::toNativeSeparators(CookieKeepList::path());
}

} // namespace

TCookieForm::TCookieForm(QWidget *parent)
    : QDialog(parent), IECache1(new TIECache(this)), CloseTimer(new QTimer(this)),
      PopupMenu1(new QMenu(this)), KeepSite1(PopupMenu1->addAction(QString())),
      ForgetSite1(PopupMenu1->addAction(QString())), ui(new Ui::TCookieForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    IECache1->SetFilterOptions(StandardEntryFilter);
    IECache1->SearchPattern = spAll;
    IECache1->OnEntry = [this](QObject *Sender, bool &Cancel) { IECache1Entry(Sender, Cancel); };
    IECache1->OnStep = LetWindowsPaint;
    CloseTimer->setInterval(10);
    connect(CloseTimer, &QTimer::timeout, this, &TCookieForm::CloseTimerTimer);
    // A click refreshes the details even on the line already selected; the keys change the line.
    connect(ui->ListBox1, &QListWidget::currentRowChanged, this, &TCookieForm::ListBox1Click);
    connect(ui->ListBox1, &QListWidget::itemClicked, this, &TCookieForm::ListBox1Click);
    ui->ListBox1->installEventFilter(this);
    connect(ui->Label5, &ClickLabel::clicked, this, &TCookieForm::Label5Click);
    connect(ui->Label6, &ClickLabel::clicked, this, &TCookieForm::Label6Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TCookieForm::BitBtn1Click);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    KeepSite1->setObjectName(QStringLiteral("KeepSite1"));
    ForgetSite1->setObjectName(QStringLiteral("ForgetSite1"));
    ui->ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->ListBox1, &QWidget::customContextMenuRequested, this,
            &TCookieForm::ListBox1ContextPopup);
    connect(KeepSite1, &QAction::triggered, this, &TCookieForm::KeepSite1Click);
    connect(ForgetSite1, &QAction::triggered, this, &TCookieForm::ForgetSite1Click);
    connect(ui->CheckBox1, &QCheckBox::clicked, this, &TCookieForm::CheckBox1Click);
}

TCookieForm::~TCookieForm() = default;

void TCookieForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TCookieForm::FormShow()
{
    {
        // The selection is set here and the details shown once, below.
        const QSignalBlocker quiet(ui->ListBox1);
        ui->ListBox1->clear();
        m_keepList = CookieKeepList::load();
        IECache1->SearchPattern = spCookies;
        ignoringExceptions([this] { IECache1->RetrieveEntries(0); });
        ui->ListBox1->addItems(m_found);
        m_found.clear();
        markKeptCookies();
        ui->ListBox1->setFocus();
        ui->ListBox1->setCurrentRow(ui->ListBox1->count() > 0 ? 0 : -1);
    }
    ListBox1Click();
    StoredLayout::setCaption(ui->Label11, Qutrans::get(82) + QLatin1Char(' ') +
                                              QString::number(ui->ListBox1->count()));
    if (ui->ListBox1->count() == 0) {
        ShowMessage2(Qutrans::get(83));
        CloseTimer->start();
    }
}

// Delete in the list removes the selected cookie, as the link beside the list does.
bool TCookieForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->ListBox1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        Label5Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TCookieForm::IECache1Entry(QObject *, bool &)
{
    ignoringExceptions([this] { m_found << IECache1->Entry.SourceUrlName; });
}

void TCookieForm::ListBox1Click()
{
    ignoringExceptions([this] { showDetails(); });
}

// Without a line, or when the lookup fails, the lines show the entry read last.
void TCookieForm::showDetails()
{
    if (const QListWidgetItem *line = ui->ListBox1->currentItem())
        IECache1->GetEntryInfo(line->text());
    const TEntryInfo &entry = IECache1->Entry;
    setLine(ui->Label7, 78, QString::number(entry.HitRate));
    setLine(ui->Label8, 79, QString::number(quint32(entry.Size)));
    setLine(ui->Label9, 80, CookieTimeText(entry.LastAccessTime));
    setLine(ui->Label10, 81, CookieTimeText(entry.ExpireTime));
    showKeepChoice();
}

QString TCookieForm::selectedHost() const
{
    const QListWidgetItem *line = ui->ListBox1->currentItem();
    return line ? CookieKeepList::cookieHost(line->text()) : QString();
}

// Only a site the list can be read for, and written with, can be chosen.
void TCookieForm::showKeepChoice()
{
    const QString host = selectedHost();
    ui->CheckBox1->setEnabled(!host.isEmpty() && m_keepList.usable());
    ui->CheckBox1->setChecked(m_keepList.keeps(host));
}

// The line's text is the cookie's key: a kept cookie is marked beside it. Once one is marked,
// the others get an empty mark, so that every line starts at the same place.
void TCookieForm::markKeptCookies()
{
    QList<bool> kept;
    for (int i = 0; i < ui->ListBox1->count(); ++i)
        kept << m_keepList.keepsCookie(ui->ListBox1->item(i)->text());
    QPixmap blank(ui->ListBox1->iconSize().isValid() ? ui->ListBox1->iconSize() : QSize(16, 16));
    blank.fill(Qt::transparent);
    const QIcon keptMark = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon otherMark = kept.contains(true) ? QIcon(blank) : QIcon();
    for (int i = 0; i < ui->ListBox1->count(); ++i) {
        QListWidgetItem *line = ui->ListBox1->item(i);
        line->setIcon(kept.at(i) ? keptMark : otherMark);
        line->setToolTip(kept.at(i) ? Qutrans::get(216) : QString());
    }
}

int TCookieForm::keptCount() const
{
    int kept = 0;
    for (int i = 0; i < ui->ListBox1->count(); ++i)
        kept += m_keepList.keepsCookie(ui->ListBox1->item(i)->text());
    return kept;
}

// Forgetting a cookie's site takes its own line only: a site above it that the user listed stays,
// and the user hears that it still keeps the cookie.
void TCookieForm::changeKeepList(bool keep)
{
    const QString host = selectedHost();
    if (host.isEmpty())
        return;
    PlayClickSound();
    const CookieKeepList::Edit edit =
        keep ? CookieKeepList::add(host) : CookieKeepList::remove({host});
    m_keepList = CookieKeepList::load();
    if (edit == CookieKeepList::Edit::NotUsable || edit == CookieKeepList::Edit::NotSaved) {
        qCWarning(lcUi) << "the list of cookies to keep cannot be changed:"
                        << CookieKeepList::path();
        ShowMessage2(aboutKeepList(219));
    } else if (!keep && m_keepList.keeps(host)) {
        ShowMessage2(Qutrans::get(227) + QLatin1Char('\r') +
                     m_keepList.sitesKeeping(host).join(QStringLiteral(", ")));
    }
    markKeptCookies();
    showKeepChoice();
    ui->ListBox1->setFocus();
}

void TCookieForm::CheckBox1Click(bool checked)
{
    changeKeepList(checked);
}

// The menu offers what the line under the pointer allows.
void TCookieForm::ListBox1ContextPopup(const QPoint &position)
{
    QListWidgetItem *line = ui->ListBox1->itemAt(position);
    if (!line)
        return;
    ui->ListBox1->setCurrentItem(line);
    const bool choosable = !selectedHost().isEmpty() && m_keepList.usable();
    const bool kept = m_keepList.keeps(selectedHost());
    KeepSite1->setText(Qutrans::get(214));
    ForgetSite1->setText(Qutrans::get(215));
    KeepSite1->setEnabled(choosable && !kept);
    ForgetSite1->setEnabled(choosable && kept);
    PopupMenu1->popup(ui->ListBox1->viewport()->mapToGlobal(position));
}

void TCookieForm::KeepSite1Click()
{
    changeKeepList(true);
}

void TCookieForm::ForgetSite1Click()
{
    changeKeepList(false);
}

// A cookie that could not be deleted simply stays in the refreshed list.
void TCookieForm::Label5Click()
{
    const QListWidgetItem *line = ui->ListBox1->currentItem();
    if (!line)
        return;
    PlayClickSound();
    IECache1->DeleteEntry(line->text());
    FormShow();
    ui->ListBox1->setFocus();
}

// The cookies of the keep list's sites stay, and are counted. A list that cannot be read might
// name any cookie: then none is removed. Other cookies that stayed, listed or in a container
// that cannot be read, are said to have stayed: by the read-only notice when Wine runs,
// otherwise by the failure text.
void TCookieForm::Label6Click()
{
    // Events come through while the cookies go: a click then starts no second removal.
    if (m_removing)
        return;
    const QScopedValueRollback removing(m_removing, true);
    PlayClickSound();
    const CookieKeepList keepList = CookieKeepList::load();
    if (!keepList.usable()) {
        qCWarning(lcUi) << "no cookie removed:" << keepList.problem();
        ShowMessage2(aboutKeepList(218));
        ui->ListBox1->setFocus();
        return;
    }
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    IECache1->SearchPattern = spCookies;
    ignoringExceptions([&] {
        IECache1->DeleteAllEntries([&](const QString &url) { return keepList.keepsCookie(url); });
    });
    FormShow();
    const int kept = keptCount();
    if (ui->ListBox1->count() > kept || !IECache1->UnreadableContainers().isEmpty()) {
        if (noticeBefore)
            ShowMessage2(Qutrans::get(196));
        else if (!ReadOnlyNotice::wasGiven())
            ShowMessage2(Qutrans::get(197));
    } else if (kept > 0) {
        ShowMessage2(Qutrans::get(217) + QLatin1Char(' ') + QString::number(kept));
    }
    ui->ListBox1->setFocus();
}

void TCookieForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}

void TCookieForm::CloseTimerTimer()
{
    CloseTimer->stop();
    BitBtn1Click();
}
