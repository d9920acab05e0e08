#pragma once

#include "richtext.h"

#include <QTextEdit>

namespace merilon {

// The rich-text control: a Qt text editor that shows a RichText and keeps
// its caret, selection and read-only state in step with it. User copies and
// pastes carry the same formats as the program's own.
class RichEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichEdit(QWidget *parent = nullptr);

    RichText &content() { return m_content; }

    // A control that is never shown can leave its content alone: the
    // content's document is then never laid out, however far into it the
    // program selects.
    void setShowsContent(bool shows);
    // The room around the text inside the frame, kept for every document the content gets;
    // negative keeps Qt's own.
    void setDocumentMargin(qreal margin);
    // A vertical scroll bar only when the text does not fit; an empty last line (the break
    // that closes a copied range) does not count.
    void setScrollBarWhenTextOverflows(bool on);
    const RichText &content() const { return m_content; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void changeEvent(QEvent *event) override;

private:
    void showDocument(QTextDocument *document);
    void takeCursorFromContent();
    void giveCursorToContent();

    RichText m_content;
    bool m_syncing = false;
    bool m_showsContent = true;
    qreal m_documentMargin = -1;
    bool m_scrollBarWhenOverflows = false;
    bool m_clampingScroll = false;
    void fitScrollBar();
    void keepScrollInText();
    int textBottom() const;
};

} // namespace merilon
