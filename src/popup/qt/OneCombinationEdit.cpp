#include "popup/qt/OneCombinationEdit.h"

#include <QKeyEvent>

namespace kx::popup {

OneCombinationEdit::OneCombinationEdit(std::function<void()> done, QWidget* parent)
    : QKeySequenceEdit(parent)
    , m_done(std::move(done))
{
}

std::string OneCombinationEdit::combinationText() const
{
    const QKeySequence sequence = keySequence();
    return sequence.isEmpty() ? std::string()
                              : QKeySequence(sequence[0]).toString(QKeySequence::PortableText).toStdString();
}

void OneCombinationEdit::setCombinationText(const std::string& text)
{
    setKeySequence(QKeySequence::fromString(QString::fromStdString(text), QKeySequence::PortableText));
}

void OneCombinationEdit::keyPressEvent(QKeyEvent* event)
{
    QKeySequenceEdit::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_unknown:
        return;
    default:
        m_done();
    }
}

} // namespace kx::popup
