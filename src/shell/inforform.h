#pragma once

#include <QDialog>
#include <memory>

namespace merilon {

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

    Ui::TInforform &widgets() { return *ui; }

private:
    std::unique_ptr<Ui::TInforform> ui;
};

} // namespace merilon
