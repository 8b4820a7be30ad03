#pragma once

#include <QPlainTextEdit>
#include <QTextCharFormat>

namespace kx::ui {

// The entry editor (objectName "SnippetTextTB"). Enter and Tab are the symbol characters
// "Ã" and "ð", each followed by a line break, drawn as a red return arrow and a blue tab
// arrow. Positions in this interface count a line break as two characters (CR LF), as the
// stored editor text does; Qt's document counts it as one. A plain-text editor underneath,
// since it lays out only what is visible: long texts show at once.
class SnippetEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit SnippetEditor(QWidget* parent = nullptr);

    // The whole text: symbols and line breaks as "Ã"/"ð" and CR LF.
    QString editorText() const;
    int textLength() const;

    // Fills the editor in one pass: CR LF pairs are dropped, each symbol gets its colour
    // and a line break, everything else Arial black. The cursor keeps its offset, limited
    // to the new length.
    void showTextInEditor(const QString& text);

    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    QString selectedEditorText() const;
    // Replaces the selection with ordinary text in Arial black (line breaks stay visual).
    void replaceSelection(const QString& text);

    // What Enter and Tab do: the symbol and its line break go in at the selection start.
    void insertSymbol(bool enter);
    // Moves the cursor from between a symbol and its line break to behind the break.
    void skipGlyphLineBreak();

    // The document position of a CR LF-counting position; one between CR and LF goes
    // behind the line break when `afterBreak`, else before it.
    int toDocPosition(int pos, bool afterBreak = false) const;
    int fromDocPosition(int docPos) const;

    static QTextCharFormat normalFormat();
    static QTextCharFormat symbolFormat(bool enter);
    static bool isSymbolFormat(const QTextCharFormat& format);

signals:
    // Focus went to another control of the program (not to a menu or another program).
    void focusLost();
    // The right button went down without Shift, Ctrl or Alt.
    void contextMenuWanted(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool focusNextPrevChild(bool next) override;
};

} // namespace kx::ui
