#pragma once

#include <QDialog>
#include <memory>

namespace merilon {

namespace Ui {
class TFormzurnal;
}
class Anchors;

// The journal viewer: the journal's text, and copy, print and cancel. Its
// buttons follow the bottom edge when it is resized; the text keeps its size.
// Ctrl+C and Ctrl+P act anywhere in the window.
class TFormzurnal : public QDialog
{
    Q_OBJECT

public:
    explicit TFormzurnal(QWidget *parent = nullptr);
    ~TFormzurnal() override;

    Ui::TFormzurnal &widgets() { return *ui; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::TFormzurnal> ui;
    Anchors *m_anchors = nullptr;
};

} // namespace merilon
