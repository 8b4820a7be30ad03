#include "ui/SnippetEditor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace kx::ui {

namespace {

constexpr QChar enterChar(0x00C3);
constexpr QChar tabChar(0x00F0);
// Marks the two symbol characters inserted as key symbols (typed "Ã" stays a letter).
constexpr int symbolProperty = QTextFormat::UserProperty + 1;
const QColor enterColour(255, 0, 0);
const QColor tabColour(0, 0, 255);

QFont editorFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.75);
    return font;
}

void drawReturnArrow(QPainter& p, const QRectF& r, const QColor& colour)
{
    const qreal right = r.right() - 3;
    const qreal left = r.left() + 2;
    const qreal top = r.top() + r.height() * 0.25;
    const qreal bottom = r.top() + r.height() * 0.62;
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath stem;
    stem.moveTo(right, top);
    stem.lineTo(right, bottom);
    stem.lineTo(left + 3, bottom);
    p.drawPath(stem);
    QPainterPath head;
    head.moveTo(left, bottom);
    head.lineTo(left + 4.5, bottom - 3.5);
    head.lineTo(left + 4.5, bottom + 3.5);
    head.closeSubpath();
    p.fillPath(head, colour);
}

void drawTabArrow(QPainter& p, const QRectF& r, const QColor& colour)
{
    const qreal left = r.left() + 1.5;
    const qreal right = r.right() - 2;
    const qreal mid = r.top() + r.height() * 0.5;
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(left, mid), QPointF(right - 4, mid));
    p.drawLine(QPointF(right, mid - 4), QPointF(right, mid + 4));
    QPainterPath head;
    head.moveTo(right - 1.2, mid);
    head.lineTo(right - 5.5, mid - 3.5);
    head.lineTo(right - 5.5, mid + 3.5);
    head.closeSubpath();
    p.fillPath(head, colour);
}

// Ordinary text for the document: CR LF and lone CR become one line break; a lone LF is
// kept as a line separator so that it survives a round trip as LF.
QString toDocumentText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

SnippetEditor::SnippetEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("SnippetTextTB"));
    setFont(editorFont());
    document()->setDefaultFont(editorFont());
    setCurrentCharFormat(normalFormat());
    setTabChangesFocus(false);
}

QTextCharFormat SnippetEditor::normalFormat()
{
    QTextCharFormat format;
    format.setFont(editorFont(), QTextCharFormat::FontPropertiesAll);
    format.setForeground(QColor(Qt::black));
    return format;
}

QTextCharFormat SnippetEditor::symbolFormat(bool enter)
{
    QTextCharFormat format = normalFormat();
    format.setForeground(enter ? enterColour : tabColour);
    format.setProperty(symbolProperty, enter ? 1 : 2);
    // Room for the arrow drawn over the character cell.
    format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    format.setFontLetterSpacing(5);
    return format;
}

bool SnippetEditor::isSymbolFormat(const QTextCharFormat& format)
{
    return format.hasProperty(symbolProperty);
}

QString SnippetEditor::editorText() const
{
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

int SnippetEditor::textLength() const
{
    const int docLength = document()->characterCount() - 1;
    return docLength + document()->blockCount() - 1;
}

int SnippetEditor::fromDocPosition(int docPos) const
{
    // Every block separator before the position counts twice.
    return docPos + document()->findBlock(docPos).blockNumber();
}

int SnippetEditor::toDocPosition(int pos, bool afterBreak) const
{
    const QTextDocument* doc = document();
    pos = std::clamp(pos, 0, textLength());
    // The last block whose start (counted with CR LF) is not behind pos.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= pos)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int offset = pos - (block.position() + lo);
    const int textLen = block.length() - 1;
    if (offset <= textLen)
        return block.position() + offset;
    // Between CR and LF.
    return block.position() + textLen + (afterBreak ? 1 : 0);
}

int SnippetEditor::selStart() const { return fromDocPosition(textCursor().selectionStart()); }

int SnippetEditor::selLength() const
{
    const QTextCursor c = textCursor();
    return fromDocPosition(c.selectionEnd()) - fromDocPosition(c.selectionStart());
}

void SnippetEditor::setSelection(int start, int length)
{
    start = std::clamp(start, 0, textLength());
    length = std::clamp(length, 0, textLength() - start);
    QTextCursor c(document());
    c.setPosition(toDocPosition(start));
    if (length > 0)
        c.setPosition(toDocPosition(start + length, true), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString SnippetEditor::selectedEditorText() const { return editorText().mid(selStart(), selLength()); }

void SnippetEditor::replaceSelection(const QString& text)
{
    QTextCursor c = textCursor();
    c.insertText(toDocumentText(text), normalFormat());
    setTextCursor(c);
}

void SnippetEditor::showTextInEditor(const QString& input)
{
    const int remembered = selStart();
    QString text = input;
    text.remove(QLatin1String("\r\n"));

    QTextDocument* doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();

    // Consecutive characters of one format go in as one run.
    const QTextCharFormat normal = normalFormat();
    const QTextCharFormat enter = symbolFormat(true);
    const QTextCharFormat tab = symbolFormat(false);
    const QTextCharFormat* current = &normal;
    QString run;
    auto flush = [&] {
        if (!run.isEmpty()) {
            c.insertText(run, *current);
            run.clear();
        }
    };
    for (const QChar ch : std::as_const(text)) {
        if (ch == enterChar || ch == tabChar) {
            flush();
            current = ch == enterChar ? &enter : &tab;
            c.insertText(QString(ch), *current);
            c.insertBlock(QTextBlockFormat(), normal);
        } else if (ch.unicode() >= 32) {
            if (current != &normal) {
                flush();
                current = &normal;
            }
            run.append(ch);
        } else {
            // Below the blank: the format of the character before it.
            run.append(ch == QLatin1Char('\n') ? QChar(QChar::LineSeparator) : ch);
        }
    }
    flush();
    c.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    setSelection(remembered, 0);
    setCurrentCharFormat(normal);
}

void SnippetEditor::insertSymbol(bool enter)
{
    skipGlyphLineBreak();
    QTextCursor c = textCursor();
    c.setPosition(c.selectionStart());
    c.insertText(QString(enter ? enterChar : tabChar), symbolFormat(enter));
    c.insertBlock(QTextBlockFormat(), normalFormat());
    setTextCursor(c);
    setCurrentCharFormat(normalFormat());
}

void SnippetEditor::skipGlyphLineBreak()
{
    const int start = selStart();
    if (start == 0)
        return;
    const QChar before = document()->characterAt(textCursor().selectionStart() - 1);
    if (before == enterChar || before == tabChar)
        setSelection(start + 2, 0);
}

void SnippetEditor::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        insertSymbol(true);
        event->accept();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        insertSymbol(false);
        event->accept();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).unicode() >= 32 && typed.at(0).unicode() != 127
        && !(event->modifiers() & Qt::ControlModifier)) {
        skipGlyphLineBreak();
        setCurrentCharFormat(normalFormat());
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool SnippetEditor::focusNextPrevChild(bool)
{
    // Tab and Shift+Tab are symbols here, never focus moves.
    return false;
}

void SnippetEditor::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    // A menu or another window taking the focus is no leaving of the editor.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit focusLost();
}

void SnippetEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton
        && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        event->accept();
        emit contextMenuWanted(event->globalPosition().toPoint());
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void SnippetEditor::contextMenuEvent(QContextMenuEvent* event)
{
    // The window's "&Bearbeiten" menu serves as the context menu (see mousePressEvent).
    event->accept();
}

void SnippetEditor::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);

    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    const QTextCursor cursor = textCursor();
    const QColor base = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Base);
    const QColor highlight
        = palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    const QPointF offset = contentOffset();

    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF blockRect = blockBoundingGeometry(block).translated(offset);
        if (blockRect.top() > event->rect().bottom())
            break;
        if (!block.isVisible())
            continue;
        const QTextLayout* textLayout = block.layout();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!isSymbolFormat(fragment.charFormat()))
                continue;
            const bool enter = fragment.charFormat().property(symbolProperty).toInt() == 1;
            for (int i = 0; i < fragment.length(); ++i) {
                const int docPos = fragment.position() + i;
                const int inBlock = docPos - block.position();
                const QTextLine line = textLayout->lineForTextPosition(inBlock);
                if (!line.isValid())
                    continue;
                const qreal x1 = line.cursorToX(inBlock);
                const qreal x2 = line.cursorToX(inBlock + 1);
                const QRectF cell = QRectF(x1, line.y(), x2 - x1, line.height())
                                        .translated(blockRect.topLeft() + textLayout->position());
                const bool selected = docPos >= cursor.selectionStart() && docPos < cursor.selectionEnd();
                p.fillRect(cell, selected ? highlight : base);
                if (enter)
                    drawReturnArrow(p, cell, enterColour);
                else
                    drawTabArrow(p, cell, tabColour);
            }
        }
    }
}

bool SnippetEditor::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void SnippetEditor::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText())
        replaceSelection(source->text());
}

QMimeData* SnippetEditor::createMimeDataFromSelection() const
{
    auto* mime = new QMimeData;
    mime->setText(selectedEditorText());
    return mime;
}

} // namespace kx::ui
