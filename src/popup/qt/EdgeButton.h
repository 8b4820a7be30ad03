#pragma once

#include <QAbstractButton>

namespace kx::popup {

// One of the four bars along the edges of the pictured desktop in the options dialog: a
// checkable button without caption, filled with the border colour, drawn pressed in while
// its edge is the chosen one.
class EdgeButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit EdgeButton(QWidget* parent = nullptr);

    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
};

} // namespace kx::popup
