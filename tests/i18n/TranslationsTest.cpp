#include "Controls.h"
#include "app/WindowSetFixture.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/Qutrans.h"
#include "i18n/u_language.h"
#include "settings/u_autocomplete.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

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
    EXPECT_EQ(memoLines(Form1->Memo1), Qutrans::get(16).split(QLatin1Char('\n')));
    EXPECT_EQ(memoLines(Form1->Memo8), Qutrans::get(160).split(QLatin1Char('\n')));
    EXPECT_EQ(Form1->Memo3->toPlainText(), Qutrans::get(39));
    EXPECT_EQ(Form1->RichEdit1->toPlainText(), Qutrans::get(15));
}

TEST_F(TranslationsTest, CaptionsGridAndAddressesComeFromTheLibrary)
{
    EXPECT_EQ(Form1->windowTitle(), Qutrans::get(1) + " 1.5a " + Qutrans::get(2));
    EXPECT_EQ(Form1->SpeedButton9->text(), Qutrans::get(14));
    EXPECT_EQ(Form1->StringGrid2->item(1, 0)->text(), QStringLiteral("1.5a"));
    EXPECT_EQ(Form1->StringGrid2->item(5, 0)->text(), Qutrans::get(0));
    EXPECT_EQ(Form1->StringGrid2->item(6, 0)->text(), QStringLiteral("Quendra"));
    EXPECT_EQ(Form1->StringGrid1->item(0, 0), nullptr) << "row 0 stays empty";
    EXPECT_EQ(WebSiteAddress, Qutrans::get(3));
    EXPECT_EQ(MailAddress, "mailto:" + Qutrans::get(4));
    EXPECT_EQ(Form1->Label10->text(), QStringLiteral("Quendra's"))
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
        {Form1->Image13, Form1->Label13, 2}, {Form1->Label16, Form1->Label15, 5},
        {Form1->Label21, Form1->Label19, 5}, {Form1->Label22, Form1->Label20, 5},
        {Form1->Image17, Form1->Label29, 2}, {Form1->Label25, Form1->Label30, 5},
        {Form1->Label23, Form1->Label31, 5}, {Form1->Label38, Form1->Label37, 5},
        {Form1->Image36, Form1->Label62, 4}, {Form1->Image40, Form1->Label64, 4},
        {Form1->Label46, Form1->Label45, 5}, {Form1->Label60, Form1->Label59, 5},
        {Form1->Label53, Form1->Label52, 5}, {Form1->Image37, Form1->Label56, 4},
        {Form6->Image38, Form6->Label56, 4}, {Form6->Image4, Form6->Label4, 4},
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
    ASSERT_EQ(Form1->ComboBox1->count(), Qutrans::CountLang());
    EXPECT_EQ(Form1->ComboBox1->currentText().toUpper(), Qutrans::GetLanguage().toUpper());
    EXPECT_TRUE(Form1->WillkommenPanel->isVisibleTo(Form1));
    EXPECT_FALSE(Form1->Label39->isVisibleTo(Form1)) << "no presenter picture beside the program";
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

} // namespace
