#pragma once

class QLabel;
class QWidget;
class QString;

// The stored layouts keep a few traits that Qt Designer has no property for; they travel as
// dynamic properties and are put into effect here, once, after setupUi():
//   pixelHeight (font size in pixels), fontColor, color (background), alignment ("center"),
//   itemHeight (list rows), viewportCursor, autoSize (a label that fits its text).
// The layouts' buttons are made to answer the keyboard as well (KeyboardAccess).
namespace StoredLayout {

void apply(QWidget *root);

// Puts a stored layout into effect on a dialog window: fixed size, a title bar whose only
// button is the close box (or no button at all).
enum class TitleButtons
{
    CloseBox,
    None
};
void prepareDialog(QWidget *dialog, TitleButtons buttons = TitleButtons::CloseBox);

// Font families of the stored layouts mapped onto fonts that Linux desktops have.
void installFontSubstitutes();

// Sets a label's caption; a label that sizes itself to its text is resized at once.
void setCaption(QLabel *label, const QString &text);

} // namespace StoredLayout
