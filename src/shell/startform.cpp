#include "startform.h"

#include "fonts.h"
#include "ui_startform.h"

#include <QKeyEvent>

namespace merilon {

TStartform::TStartform(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TStartform>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(size());
    setFont(windowFont());
}

TStartform::~TStartform() = default;

void TStartform::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept(); // neither closes the window nor presses a button
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace merilon
