#pragma once

#include <QDialog>
#include <memory>

class QAction;
class QPushButton;

namespace merilon {

class RichEdit;
namespace Ui {
class TFormzurnal;
}
class Anchors;

// The journal viewer: the journal's text, and copy, print and cancel. Its
// buttons follow the bottom edge when it is resized; the text keeps its size.
// Ctrl+C, Ctrl+P and Ctrl+T act anywhere in the window.
class TFormzurnal : public QDialog
{
    Q_OBJECT

public:
    explicit TFormzurnal(QWidget *parent = nullptr);
    ~TFormzurnal() override;

    // The controls the other parts drive, by the names the form gives them.
    struct Controls
    {
        RichEdit *Editorzur;
        QPushButton *Button1;
        QPushButton *Button2;
        QPushButton *Button3;
        QPushButton *Buttontable; // the journal as a table for a spreadsheet
        QAction *copydoc;
        QAction *printdoc;
        QAction *tabledoc;
    };
    const Controls &controls() const { return m_controls; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::TFormzurnal> ui;
    Controls m_controls{};
    Anchors *m_anchors = nullptr;
};

} // namespace merilon
