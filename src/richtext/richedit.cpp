#include "richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QtMath>
#include <algorithm>

namespace merilon {

RichEdit::RichEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    showDocument(m_content.document());
    connect(&m_content, &RichText::documentReplaced, this, &RichEdit::showDocument);
    connect(&m_content, &RichText::selectionSet, this, &RichEdit::takeCursorFromContent);
    connect(&m_content, &RichText::readOnlyChanged, this, &QTextEdit::setReadOnly);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichEdit::giveCursorToContent);
    connect(this, &QTextEdit::selectionChanged, this, &RichEdit::giveCursorToContent);
}

void RichEdit::setShowsContent(bool shows)
{
    if (m_showsContent == shows)
        return;
    m_showsContent = shows;
    if (shows) {
        showDocument(m_content.document());
    } else {
        // Only a fresh document of the content escapes the layout this
        // control has given the present one.
        const bool wasSyncing = m_syncing;
        m_syncing = true;
        setDocument(nullptr);
        m_syncing = wasSyncing;
    }
}

void RichEdit::setDocumentMargin(qreal margin)
{
    m_documentMargin = margin;
    if (margin >= 0)
        m_content.document()->setDocumentMargin(margin);
}

void RichEdit::setScrollBarWhenTextOverflows(bool on)
{
    m_scrollBarWhenOverflows = on;
    if (on) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The editor sets the range anew after every layout; the end stays at the text's.
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &RichEdit::keepScrollInText,
                Qt::UniqueConnection);
    }
    fitScrollBar();
}

// How far down the text reaches: the bottom of its last line that is not the empty one that
// closes a copied range.
int RichEdit::textBottom() const
{
    const QTextDocument *shown = document();
    QTextBlock last = shown->lastBlock();
    if (last.length() <= 1 && last.previous().isValid())
        last = last.previous();
    const QRectF box = shown->documentLayout()->blockBoundingRect(last);
    return qCeil(box.bottom() + shown->documentMargin());
}

void RichEdit::fitScrollBar()
{
    if (!m_scrollBarWhenOverflows || !m_showsContent)
        return;
    const bool overflows = textBottom() > viewport()->height();
    // A scroll bar needs room for its two arrows and a handle between them.
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool low = height() - 2 * frameWidth() < 3 * extent;
    setVerticalScrollBarPolicy(overflows && !low ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    showStepButtons(overflows && low);
    keepScrollInText();
}

void RichEdit::showStepButtons(bool show)
{
    if (!show && !m_stepUp)
        return;
    if (!m_stepUp) {
        const auto make = [this](Qt::ArrowType arrow, QAbstractSlider::SliderAction action) {
            auto *button = new QToolButton(this);
            button->setArrowType(arrow);
            button->setAutoRepeat(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->setCursor(Qt::ArrowCursor);
            connect(button, &QToolButton::clicked, this,
                    [this, action] { verticalScrollBar()->triggerAction(action); });
            button->hide();
            return button;
        };
        m_stepUp = make(Qt::UpArrow, QAbstractSlider::SliderSingleStepSub);
        m_stepDown = make(Qt::DownArrow, QAbstractSlider::SliderSingleStepAdd);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &RichEdit::enableStepButtons);
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &RichEdit::enableStepButtons);
    }
    if (show == !m_stepUp->isHidden()) {
        placeStepButtons();
        return;
    }
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setViewportMargins(0, 0, show ? 2 * extent : 0, 0);
    m_stepUp->setVisible(show);
    m_stepDown->setVisible(show);
    placeStepButtons();
    enableStepButtons();
}

void RichEdit::placeStepButtons()
{
    if (!m_stepUp || m_stepUp->isHidden())
        return;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QRect inside = contentsRect();
    m_stepDown->setGeometry(inside.right() + 1 - extent, inside.top(), extent, inside.height());
    m_stepUp->setGeometry(inside.right() + 1 - 2 * extent, inside.top(), extent, inside.height());
}

void RichEdit::enableStepButtons()
{
    if (!m_stepUp)
        return;
    const QScrollBar *bar = verticalScrollBar();
    m_stepUp->setEnabled(bar->value() > bar->minimum());
    m_stepDown->setEnabled(bar->value() < bar->maximum());
}

void RichEdit::keepScrollInText()
{
    // Scrolled to the end, the last line of text is at the bottom: the empty line after it
    // is no place to scroll to.
    if (!m_scrollBarWhenOverflows || !m_showsContent || m_clampingScroll)
        return;
    QScrollBar *bar = verticalScrollBar();
    const int end = std::max(0, textBottom() - viewport()->height());
    if (bar->maximum() > end) {
        m_clampingScroll = true;
        bar->setMaximum(end);
        m_clampingScroll = false;
    }
}

void RichEdit::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    fitScrollBar();
    placeStepButtons();
}

void RichEdit::showDocument(QTextDocument *document)
{
    if (m_documentMargin >= 0)
        document->setDocumentMargin(m_documentMargin);
    if (!m_showsContent) {
        document->setDefaultFont(font());
        return;
    }
    const bool wasSyncing = m_syncing;
    m_syncing = true;
    document->setDefaultFont(font());
    setDocument(document);
    m_syncing = wasSyncing;
    connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &RichEdit::fitScrollBar, Qt::UniqueConnection);
    fitScrollBar();
}

void RichEdit::takeCursorFromContent()
{
    if (m_syncing || !m_showsContent)
        return;
    m_syncing = true;
    setTextCursor(m_content.cursor());
    m_syncing = false;
}

void RichEdit::giveCursorToContent()
{
    if (m_syncing || !m_showsContent)
        return;
    m_content.adoptCursor(textCursor());
}

void RichEdit::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        m_content.document()->setDefaultFont(font());
}

QMimeData *RichEdit::createMimeDataFromSelection() const
{
    // The widget's own cursor holds what the user selected; the content's
    // selection follows it, so the content can describe it.
    auto &self = const_cast<RichText &>(m_content);
    self.adoptCursor(textCursor());
    return self.selectionMimeData().release();
}

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return !isReadOnly() && source &&
           (source->hasText() || source->hasHtml() || source->hasFormat("text/rtf"));
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || m_content.ReadOnly())
        return;
    m_content.adoptCursor(textCursor());
    m_content.insertMimeData(*source);
}

} // namespace merilon
