#pragma once

#include <QDialog>
#include <memory>

namespace merilon {

namespace Ui {
class TAboutBox;
}

// The about box: name, version, authors, a comment and OK (Enter).
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    Ui::TAboutBox &widgets() { return *ui; }

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};

} // namespace merilon
