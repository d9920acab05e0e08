#pragma once

#include <QDialog>
#include <memory>

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

    Ui::TStartform &widgets() { return *ui; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::TStartform> ui;
};

} // namespace merilon
