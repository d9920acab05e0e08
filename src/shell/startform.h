#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace merilon {

namespace Ui {
class TStartform;
}

// The registration window: surname, first name and OK. Enter and Escape do
// nothing here; the close box cancels.
class TStartform : public QDialog
{
    Q_OBJECT

public:
    explicit TStartform(QWidget *parent = nullptr);
    ~TStartform() override;

    // The controls the other parts drive, by the names the form gives them.
    struct Controls
    {
        QLabel *Label1;
        QLabel *Label2;
        QLineEdit *Editfam;
        QLineEdit *Editimya;
        QPushButton *Buttonok;
    };
    const Controls &controls() const { return m_controls; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::TStartform> ui;
    Controls m_controls{};
};

} // namespace merilon
