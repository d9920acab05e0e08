#pragma once

#include <QDialog>
#include <memory>

namespace merilon {

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

    Ui::TFormresult &widgets() { return *ui; }

    // Closes the window; only its OK button calls it.
    void closeByOk();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<Ui::TFormresult> ui;
    bool m_closing = false;
};

} // namespace merilon
