#include "Controls.h"
#include "app/WindowSetFixture.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/Qutrans.h"
#include "i18n/u_language.h"
#include "panels/u_URLChangeForm.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"

#include <QAccessible>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <memory>
#include <optional>

namespace {

class TranslationsTest : public WindowSetTest
{
};

QStringList memoLines(const QPlainTextEdit *memo)
{
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

TEST_F(TranslationsTest, MemosSplitAtLineFeedsOrTakeTheTextWhole)
{
    EXPECT_EQ(memoLines(control<QPlainTextEdit>(Form1, "Memo1")),
              Qutrans::get(16).split(QLatin1Char('\n')));
    EXPECT_EQ(memoLines(control<QPlainTextEdit>(Form1, "Memo8")),
              Qutrans::get(160).split(QLatin1Char('\n')));
    EXPECT_EQ(control<QPlainTextEdit>(Form1, "Memo3")->toPlainText(), Qutrans::get(39));
    EXPECT_EQ(control<QTextEdit>(Form1, "RichEdit1")->toPlainText(), Qutrans::get(15));
}

TEST_F(TranslationsTest, CaptionsGridAndAddressesComeFromTheLibrary)
{
    EXPECT_EQ(Form1->windowTitle(), Qutrans::get(1) + " 1.5a " + Qutrans::get(2));
    EXPECT_EQ(control<QToolButton>(Form1, "SpeedButton9")->text(), Qutrans::get(14));
    EXPECT_EQ(control<QTableWidget>(Form1, "StringGrid2")->item(1, 0)->text(),
              QStringLiteral("1.5a"));
    EXPECT_EQ(control<QTableWidget>(Form1, "StringGrid2")->item(5, 0)->text(), Qutrans::get(0));
    EXPECT_EQ(control<QTableWidget>(Form1, "StringGrid2")->item(6, 0)->text(),
              QStringLiteral("Quendra"));
    EXPECT_EQ(control<QTableWidget>(Form1, "StringGrid1")->item(0, 0), nullptr)
        << "row 0 stays empty";
    EXPECT_EQ(WebSiteAddress, Qutrans::get(3));
    EXPECT_EQ(MailAddress, "mailto:" + Qutrans::get(4));
    EXPECT_EQ(control<QLabel>(Form1, "Label10")->text(), QStringLiteral("Quendra's"))
        << "the maker's label is not translated";
}

TEST_F(TranslationsTest, LinksAndPicturesFollowTheirSentences)
{
    struct Follow
    {
        QWidget *moved;
        QLabel *leader;
        int gap;
    };
    const Follow follows[] = {
        {control<ClickLabel>(Form1, "Image13"), control<QLabel>(Form1, "Label13"), 2},
        {control<ClickLabel>(Form1, "Label16"), control<QLabel>(Form1, "Label15"), 5},
        {control<ClickLabel>(Form1, "Label21"), control<QLabel>(Form1, "Label19"), 5},
        {control<ClickLabel>(Form1, "Label22"), control<QLabel>(Form1, "Label20"), 5},
        {control<ClickLabel>(Form1, "Image17"), control<QLabel>(Form1, "Label29"), 2},
        {control<ClickLabel>(Form1, "Label25"), control<QLabel>(Form1, "Label30"), 5},
        {control<ClickLabel>(Form1, "Label23"), control<QLabel>(Form1, "Label31"), 5},
        {control<ClickLabel>(Form1, "Label38"), control<QLabel>(Form1, "Label37"), 5},
        {control<ClickLabel>(Form1, "Image36"), control<QLabel>(Form1, "Label62"), 4},
        {control<ClickLabel>(Form1, "Image40"), control<QLabel>(Form1, "Label64"), 4},
        {control<ClickLabel>(Form1, "Label46"), control<QLabel>(Form1, "Label45"), 5},
        {control<ClickLabel>(Form1, "Label60"), control<QLabel>(Form1, "Label59"), 5},
        {control<ClickLabel>(Form1, "Label53"), control<QLabel>(Form1, "Label52"), 5},
        {control<ClickLabel>(Form1, "Image37"), control<QLabel>(Form1, "Label56"), 4},
        {control<ClickLabel>(Form6, "Image38"), control<QLabel>(Form6, "Label56"), 4},
        {control<ClickLabel>(Form6, "Image4"), control<QLabel>(Form6, "Label4"), 4},
    };
    for (const Follow &f : follows) {
        EXPECT_EQ(f.leader->width(), f.leader->sizeHint().width())
            << f.leader->objectName().toStdString() << " sizes itself to its text";
        EXPECT_EQ(f.moved->x(), f.leader->x() + f.leader->width() + f.gap)
            << f.moved->objectName().toStdString();
    }
}

TEST_F(TranslationsTest, StartTimerSelectsTheCurrentLanguage)
{
    ASSERT_EQ(control<QComboBox>(Form1, "ComboBox1")->count(), Qutrans::CountLang());
    EXPECT_EQ(control<QComboBox>(Form1, "ComboBox1")->currentText().toUpper(),
              Qutrans::GetLanguage().toUpper());
    EXPECT_TRUE(Form1->willkommenPanel()->isVisibleTo(Form1));
    EXPECT_FALSE(control<QLabel>(Form1, "Label39")->isVisibleTo(Form1))
        << "no presenter picture beside the program";
}

TEST_F(TranslationsTest, LanguageWindowListsLanguagesAndWaitsForAPick)
{
    QComboBox *languages = control<QComboBox>(Form4, "ComboBox1");
    const QPushButton *choose = control<QPushButton>(Form4, "BitBtn1");
    ASSERT_EQ(languages->count(), Qutrans::CountLang());
    EXPECT_EQ(languages->currentIndex(), -1);
    EXPECT_FALSE(choose->isEnabled());
    languages->setCurrentIndex(0);
    languages->activated(0);
    EXPECT_TRUE(choose->isEnabled());

    Form4->show();
    QTest::keyClick(Form4, Qt::Key_Escape);
    EXPECT_TRUE(Form4->isVisible()) << "Escape does not dismiss the language window";
    Form4->close();
    EXPECT_TRUE(Form4->isVisible()) << "nor does a close request";
    Form4->hide();
}

// The text a control shows, for the kinds of control that show one; a picture is no text.
std::optional<QString> shownText(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (!label->pixmap().isNull() || label->movie())
            return std::nullopt;
        return label->text();
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *group = qobject_cast<const QGroupBox *>(control))
        return group->title();
    if (const auto *edit = qobject_cast<const QTextEdit *>(control))
        return edit->toPlainText();
    if (const auto *memo = qobject_cast<const QPlainTextEdit *>(control))
        return memo->toPlainText();
    return std::nullopt;
}

// The window, or the main window's panel, that a control belongs to.
const QWidget *holderOf(const QWidget *control)
{
    const QList<QFrame *> panels = Form1->panels();
    const QWidget *holder = control->parentWidget();
    while (!holder->isWindow() && !panels.contains(qobject_cast<const QFrame *>(holder)))
        holder = holder->parentWidget();
    return holder;
}

// Controls that show data or a message rather than a text of the language, and frames that
// have no title; the parts of composite controls have no name.
bool hasNoTextOfItsOwn(const QWidget *window, const QWidget *control)
{
    const std::pair<const QWidget *, QString> exempt[] = {
        // the start page, the cache preview, the busy window's and the message window's lines
        {Form1, QStringLiteral("Label50")},
        {Form1, QStringLiteral("WebBrowser1")},
        {Form2, QStringLiteral("Label2")},
        {Form2, QStringLiteral("Label3")},
        {ShowMessage2Form, QStringLiteral("Label2")},
        // frames without a title
        {Form1, QStringLiteral("GroupBox11")},
        {Form1, QStringLiteral("GroupBox17")},
        {MruForm, QStringLiteral("GroupBox1")}};
    if (control->objectName().isEmpty() || control->window() != window)
        return true;
    return std::find(std::begin(exempt), std::end(exempt),
                     std::pair<const QWidget *, QString>(window, control->objectName())) !=
           std::end(exempt);
}

// A caption too wide for its side button gets a smaller font, never a line break of its own; the
// window's own font is the stored one for every control without a font of its own.
TEST_F(TranslationsTest, SideButtonsShowTheLibrarysCaptionsWhole)
{
    EXPECT_EQ(Form1->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(Form1->font().pixelSize(), 11);
    const std::pair<const char *, int> buttons[] = {
        {"SpeedButton1", 6},  {"SpeedButton2", 7},  {"SpeedButton3", 8},  {"SpeedButton4", 9},
        {"SpeedButton5", 10}, {"SpeedButton6", 11}, {"SpeedButton7", 12}, {"SpeedButton9", 14}};
    for (const QString &language : {QStringLiteral("DEUTSCH"), QStringLiteral("ENGLISH")}) {
        Qutrans::SetLanguage(language);
        ApplyTranslations();
        for (const auto &[name, number] : buttons) {
            const QToolButton *button = control<QToolButton>(Form1, name);
            EXPECT_EQ(button->text(), Qutrans::get(number)) << name;
            EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()),
                      button->width() - 6)
                << name;
        }
    }
}

// Each control's text by its place below the window: "Panel/Label1".
QMap<QString, QString> textsBelow(const QWidget *window)
{
    QMap<QString, QString> texts;
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        const std::optional<QString> text = shownText(control);
        if (!text || control->objectName().isEmpty() || control->window() != window)
            continue;
        QString place = control->objectName();
        for (const QWidget *up = control->parentWidget(); up != window; up = up->parentWidget())
            if (!up->objectName().isEmpty())
                place = up->objectName() + '/' + place;
        texts.insert(place, *text);
    }
    return texts;
}

// The layouts store their German texts; the German library gives the same ones. Controls made in
// code store none, and a few stored captions stand for values or are placeholders.
TEST_F(TranslationsTest, TheStoredLayoutsSayWhatTheGermanLibrarySays)
{
    Qutrans::SetLanguage(QStringLiteral("DEUTSCH"));
    ApplyTranslations();
    const auto restore = qScopeGuard([] {
        Qutrans::SetLanguage(QStringLiteral("ENGLISH"));
        ApplyTranslations();
    });
    std::vector<std::pair<QWidget *, std::unique_ptr<QWidget>>> pairs;
    pairs.emplace_back(Form1, std::make_unique<TForm1>());
    pairs.emplace_back(CookieForm, std::make_unique<TCookieForm>());
    pairs.emplace_back(HistoryForm, std::make_unique<THistoryForm>());
    pairs.emplace_back(TypedURLsForm, std::make_unique<TTypedURLsForm>());
    pairs.emplace_back(MruForm, std::make_unique<TMruForm>());
    pairs.emplace_back(URLChangeForm, std::make_unique<TURLChangeForm>());
    pairs.emplace_back(ChangeStartPageForm, std::make_unique<TChangeStartPageForm>());
    pairs.emplace_back(Form6, std::make_unique<TForm6>());
    pairs.emplace_back(Form5, std::make_unique<TForm5>());
    pairs.emplace_back(Form2, std::make_unique<TForm2>());
    pairs.emplace_back(ShowMessage2Form, std::make_unique<TShowMessage2Form>());
    const QStringList values{"TForm1/IEPowerPanel/Label50", "TForm1/IEPowerPanel/Label54",
                             "TForm1/IEPowerPanel/Label61", "THistoryForm/Label6"};
    QStringList differing;
    for (const auto &[translated, stored] : pairs) {
        const QMap<QString, QString> given = textsBelow(translated);
        const QMap<QString, QString> kept = textsBelow(stored.get());
        for (auto it = kept.begin(); it != kept.end(); ++it) {
            const QString place = translated->objectName() + '/' + it.key();
            if (!it.value().isEmpty() && !values.contains(place) &&
                given.value(it.key(), it.value()) != it.value())
                differing << place;
        }
    }
    EXPECT_EQ(differing, QStringList{});
}

// Whatever the language, every text is there and fits where it is shown.
TEST_F(TranslationsTest, EveryLanguageFillsEveryTextWithinItsPanel)
{
    const QList<QWidget *> windows{
        Form1,         Form2,   Form5,         CookieForm, HistoryForm,        ShowMessage2Form,
        TypedURLsForm, MruForm, URLChangeForm, Form6,      ChangeStartPageForm};
    ASSERT_GE(Qutrans::CountLang(), 2);
    for (int i = 0; i < Qutrans::CountLang(); ++i) {
        const QString language = Qutrans::AvailableLanguages(i);
        Qutrans::SetLanguage(language);
        ApplyTranslations();
        for (const QWidget *window : windows) {
            for (const QWidget *control : window->findChildren<QWidget *>()) {
                const std::optional<QString> text = shownText(control);
                if (!text || hasNoTextOfItsOwn(window, control))
                    continue;
                const std::string where = language.toStdString() + ": " +
                                          window->objectName().toStdString() + "/" +
                                          control->objectName().toStdString();
                EXPECT_FALSE(text->trimmed().isEmpty()) << where << " is empty";
                const QWidget *holder = holderOf(control);
                const int right = control->mapTo(holder, QPoint(control->width(), 0)).x();
                EXPECT_LE(right, holder->width())
                    << where << " reaches past " << holder->objectName().toStdString() << " by "
                    << right - holder->width();
            }
        }
    }
    Qutrans::SetLanguage(QStringLiteral("ENGLISH"));
    ApplyTranslations();
}

// What a user can operate takes the focus by Tab: links, pictures, buttons, boxes, lists, edits.
bool isOperable(const QWidget *control)
{
    return (control->focusPolicy() & Qt::TabFocus) && control->isEnabled() &&
           !control->objectName().isEmpty() && control->isVisibleTo(holderOf(control));
}

// The name assistive technology speaks: the control's own, or its label's, as a screen reader
// takes a box's name from the label beside it.
QString spokenName(QWidget *control)
{
    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(control);
    QString name = item->text(QAccessible::Name);
    for (const auto &[label, relation] : item->relations(QAccessible::Labelled)) {
        if (name.trimmed().isEmpty())
            name = label->text(QAccessible::Name);
    }
    return name;
}

// Assistive technology names every operable control, a picture by a text of the language, and
// every window by its title, whatever the language.
TEST_F(TranslationsTest, EveryOperableControlAndWindowIsNamedInEveryLanguage)
{
    const QList<QWidget *> windows{Form1,
                                   Form2,
                                   Form4,
                                   Form5,
                                   CookieForm,
                                   HistoryForm,
                                   ShowMessage2Form,
                                   TypedURLsForm,
                                   MruForm,
                                   URLChangeForm,
                                   Form6,
                                   ChangeStartPageForm};
    QHash<QString, QSet<QString>> pictureNames;
    int operable = 0;
    for (int i = 0; i < Qutrans::CountLang(); ++i) {
        const QString language = Qutrans::AvailableLanguages(i);
        Qutrans::SetLanguage(language);
        ApplyTranslations();
        for (const QWidget *window : windows) {
            EXPECT_FALSE(window->windowTitle().trimmed().isEmpty())
                << language.toStdString() << ": " << window->objectName().toStdString();
            for (QWidget *control : window->findChildren<QWidget *>()) {
                if (!isOperable(control))
                    continue;
                ++operable;
                const QString name = spokenName(control);
                EXPECT_FALSE(name.trimmed().isEmpty())
                    << language.toStdString() << ": " << window->objectName().toStdString() << "/"
                    << control->objectName().toStdString() << " has no name";
                const auto *label = qobject_cast<const QLabel *>(control);
                if (label && !label->pixmap().isNull())
                    pictureNames[window->objectName() + "/" + control->objectName()] << name;
            }
        }
    }
    EXPECT_GT(operable, 100);
    EXPECT_FALSE(pictureNames.isEmpty());
    for (auto picture = pictureNames.cbegin(); picture != pictureNames.cend(); ++picture)
        EXPECT_EQ(picture->size(), Qutrans::CountLang())
            << picture.key().toStdString() << " is named alike in two languages";
    Qutrans::SetLanguage(QStringLiteral("ENGLISH"));
    ApplyTranslations();
}

} // namespace
