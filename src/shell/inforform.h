#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace merilon {

class RichEdit;
namespace Ui {
class TInforform;
}

// The test information window: a fixed text about time, questions and grades.
class TInforform : public QDialog
{
    Q_OBJECT

public:
    explicit TInforform(QWidget *parent = nullptr);
    ~TInforform() override;

    // The controls the other parts drive, by the names the form gives them.
    struct Controls
    {
        RichEdit *Editotest;
        QPushButton *Buttonok;
        QLabel *Labeljournal; // where the results go
    };
    const Controls &controls() const { return m_controls; }

    // Shows where the results go under the information; the window grows to hold it.
    void setJournalText(const QString &text);

private:
    std::unique_ptr<Ui::TInforform> ui;
    Controls m_controls{};
};

} // namespace merilon
