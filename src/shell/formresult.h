#pragma once

#include <QDialog>
#include <memory>

class QPushButton;

namespace merilon {

class PieChart;
class RichEdit;
namespace Ui {
class TFormresult;
}

// The result window: the report, the chart and one way out, its OK button.
// It has no close button and no system menu, and Escape does not close it.
class TFormresult : public QDialog
{
    Q_OBJECT

public:
    explicit TFormresult(QWidget *parent = nullptr);
    ~TFormresult() override;

    // The controls the other parts drive, by the names the form gives them.
    struct Controls
    {
        RichEdit *Editresult;
        PieChart *Chart1;
        QPushButton *Buttonok;
    };
    const Controls &controls() const { return m_controls; }

    // Closes the window; only its OK button calls it.
    void closeByOk();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<Ui::TFormresult> ui;
    Controls m_controls{};
    bool m_closing = false;
};

} // namespace merilon
