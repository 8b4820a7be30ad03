#pragma once

#include <QPushButton>

namespace kx::ui {

// A command button with its picture above a caption that wraps at blanks, so that
// "&Umbe- nennen" shows in two lines and keeps its exact text and mnemonic.
class CaptionButton : public QPushButton
{
    Q_OBJECT
public:
    CaptionButton(const QString& caption, const QIcon& picture, QWidget* parent = nullptr);

    // Room for the picture and the wrapped caption below it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where the caption is drawn, in widget coordinates.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The pictures of the command buttons, drawn here so no image files are needed. `index`
// is the button's index in the Btn array.
QIcon buttonPicture(int index);

} // namespace kx::ui
