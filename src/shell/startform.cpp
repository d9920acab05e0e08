#include "startform.h"

#include "dialogframe.h"
#include "ui_startform.h"

#include <QKeyEvent>
#include <QLabel>
#include <algorithm>

namespace merilon {

TStartform::TStartform(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TStartform>())
{
    ui->setupUi(this);
    m_controls = {ui->Label1, ui->Label2, ui->Editfam, ui->Editimya, ui->Buttonok};
    fixedDialogFrame(*this, true);
    // Where the font is wider than the one the layout was drawn for, the
    // captions keep their whole text.
    for (QLabel *label : {ui->Label1, ui->Label2})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
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
