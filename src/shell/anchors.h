#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace merilon {

// Keeps the edges of child widgets at fixed distances from the same edges
// of their parent when the parent is resized: an edge that is anchored
// keeps its distance, an edge that is not keeps the widget's size.
class Anchors : public QObject
{
    Q_OBJECT

public:
    explicit Anchors(QObject *parent = nullptr) : QObject(parent) {}

    // `widget` at its current geometry inside a parent of `parentDesignSize`.
    void anchor(QWidget *widget, Qt::Edges edges, QSize parentDesignSize);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QWidget *widget;
        Qt::Edges edges;
        QRect design;
        QSize parentDesign;
    };
    void apply(const Entry &entry) const;

    QList<Entry> m_entries;
};

} // namespace merilon
