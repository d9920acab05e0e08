#include "aboutbox.h"

#include "dialogframe.h"
#include "ui_aboutbox.h"

#include <QPixmap>

namespace merilon {

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    m_controls = {ui->Panel1,    ui->ProgramIcon, ui->ProductName, ui->Version,
                  ui->Copyright, ui->Comments,    ui->OKButton};
    fixedDialogFrame(*this, true);
    // The runs of spaces break the comment into its lines.
    ui->Comments->setText(QStringLiteral("Комментарий:") + QString(7, QLatin1Char(' ')) +
                          QStringLiteral("Программа для проведения") +
                          QString(42, QLatin1Char(' ')) +
                          QStringLiteral("электронных тестирований.\r\n   "));
    ui->ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/images/merilon.png")));
    keepLabelsWhole(*this);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

} // namespace merilon
