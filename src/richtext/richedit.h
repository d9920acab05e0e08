#pragma once

#include "richtext.h"

#include <QTextEdit>

class QAbstractButton;

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
    // that closes a copied range) does not count. A control too low for a scroll bar's two
    // arrows and its handle gets two arrow buttons side by side instead, each of a scroll
    // bar's width and the control's whole height.
    void setScrollBarWhenTextOverflows(bool on);
    // The up and down buttons of a low control, or null before they are first needed.
    QAbstractButton *stepButton(bool down) const { return down ? m_stepDown : m_stepUp; }
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
    QAbstractButton *m_stepUp = nullptr;
    QAbstractButton *m_stepDown = nullptr;
    void showStepButtons(bool show);
    void placeStepButtons();
    void enableStepButtons();
    void fitScrollBar();
    void keepScrollInText();
    int textBottom() const;
};

} // namespace merilon
