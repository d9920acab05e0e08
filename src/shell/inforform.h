#pragma once

#include <QDialog>
#include <memory>

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
    };
    const Controls &controls() const { return m_controls; }

private:
    std::unique_ptr<Ui::TInforform> ui;
    Controls m_controls{};
};

} // namespace merilon
