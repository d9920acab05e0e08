#include "formresult.h"

#include "dialogframe.h"
#include "fonts.h"
#include "ui_formresult.h"

#include <QCloseEvent>

namespace merilon {

TFormresult::TFormresult(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFormresult>())
{
    ui->setupUi(this);
    m_controls = {ui->Editresult, ui->Chart1, ui->Buttonok};
    // A title bar without buttons or system menu.
    fixedDialogFrame(*this, false);
    QFont report = windowFont();
    report.setPixelSize(13);
    report.setItalic(true);
    ui->Editresult->setFont(report);
    // Disabled, it still shows its text as written.
    QPalette palette = ui->Editresult->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::Base})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    ui->Editresult->setPalette(palette);
    ui->Chart1->setTitle(QStringLiteral("Диаграмма результатов"));
}

TFormresult::~TFormresult() = default;

void TFormresult::closeByOk()
{
    m_closing = true;
    accept();
    m_closing = false;
}

void TFormresult::reject()
{
    // Escape and the window manager's close: the window stays.
}

void TFormresult::closeEvent(QCloseEvent *event)
{
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

} // namespace merilon
