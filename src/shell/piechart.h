#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

namespace merilon {

// A titled, flat, circular pie of slices in the order they were added, on a
// white ground; no legend, marks or axes.
class PieChart : public QWidget
{
    Q_OBJECT

public:
    struct Slice
    {
        double value;
        QString label;
        QColor color;
    };

    explicit PieChart(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const { return m_title; }

    void clear();
    void addSlice(double value, const QString &label, const QColor &color);
    const QList<Slice> &slices() const { return m_slices; }

    // The square the pie is drawn in.
    QRect pieRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    QList<Slice> m_slices;
};

} // namespace merilon
