#include "passwordform.h"

#include "dialogframe.h"
#include "ui_passwordform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace merilon {

TPasswordform::TPasswordform(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TPasswordform>())
{
    ui->setupUi(this);
    m_controls = {ui->Labelprompt, ui->Editpassword, ui->Labelerror, ui->Buttonok,
                  ui->Buttoncancel};
    // A font wider than the one the layout was drawn for widens the window to the prompt.
    const int grow = ui->Labelprompt->fontMetrics().horizontalAdvance(ui->Labelprompt->text()) + 4 -
                     ui->Labelprompt->width();
    if (grow > 0) {
        resize(width() + grow, height());
        for (QWidget *wide :
             {static_cast<QWidget *>(ui->Labelprompt), static_cast<QWidget *>(ui->Editpassword),
              static_cast<QWidget *>(ui->Labelerror)})
            wide->resize(wide->width() + grow, wide->height());
        for (QWidget *button : {ui->Buttonok, ui->Buttoncancel})
            button->move(button->x() + grow, button->y());
    }
    // Red in the window's own font, as the result window marks a grade.
    QPalette red = ui->Labelerror->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    ui->Labelerror->setPalette(red);
    fixedDialogFrame(*this, true);
    keepLabelsWhole(*this);
    setWrongPassword(false);
    ui->Editpassword->setFocus();
}

TPasswordform::~TPasswordform()
{
    ui->Editpassword->clear();
}

void TPasswordform::setWrongPassword(bool wrong)
{
    ui->Labelerror->setVisible(wrong);
    ui->Editpassword->clear();
    ui->Editpassword->setFocus();
}

QString TPasswordform::takePassword()
{
    QString password = ui->Editpassword->text();
    ui->Editpassword->clear();
    return password;
}

} // namespace merilon
