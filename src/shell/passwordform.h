#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace merilon {

namespace Ui {
class TPasswordform;
}

// The password of a sealed test: the teacher types it unseen; OK or Enter gives it, Cancel or
// Escape gives up the opening.
class TPasswordform : public QDialog
{
    Q_OBJECT

public:
    explicit TPasswordform(QWidget *parent = nullptr);
    ~TPasswordform() override;

    struct Controls
    {
        QLabel *Labelprompt;
        QLineEdit *Editpassword;
        QLabel *Labelerror;
        QPushButton *Buttonok;
        QPushButton *Buttoncancel;
    };
    const Controls &controls() const { return m_controls; }

    // After a wrong password the window says so, with the field empty for the next try.
    void setWrongPassword(bool wrong);
    // What was typed; the field forgets it.
    QString takePassword();

private:
    std::unique_ptr<Ui::TPasswordform> ui;
    Controls m_controls{};
};

} // namespace merilon
