#pragma once

#include <QDialog>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;

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

    // The controls the other parts drive, by the names the form gives them.
    struct Controls
    {
        QFrame *Panel1;
        QLabel *ProgramIcon;
        QLabel *ProductName;
        QLabel *Version;
        QLabel *Copyright;
        QLabel *Comments;
        QPushButton *OKButton;
    };
    const Controls &controls() const { return m_controls; }

private:
    std::unique_ptr<Ui::TAboutBox> ui;
    Controls m_controls{};
};

} // namespace merilon
