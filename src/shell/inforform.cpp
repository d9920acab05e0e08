#include "inforform.h"

#include "dialogframe.h"
#include "fonts.h"
#include "ui_inforform.h"

namespace merilon {

TInforform::TInforform(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TInforform>())
{
    ui->setupUi(this);
    m_controls = {ui->Editotest, ui->Buttonok};
    fixedDialogFrame(*this, true);
    ui->Editotest->setFont(serifFont(11));
    ui->Editotest->content().setPlain(
        QStringLiteral("Время на выполнение теста 10 минут.\n"
                       "Количество вопросов в тесте 20.\n"
                       "Критерии оценивания: \n"
                       "\"отлично\" - не менее 90% правильных ответов\n"
                       "\"хорошо\" - не менее 75% правильных ответов\n"
                       "\"удовлетворительно\" - не менее 60%\n"
                       "\"неудовлетворительно\" - менее 60%"));
    connect(ui->Buttonok, &QPushButton::clicked, this, &QDialog::accept);
}

TInforform::~TInforform() = default;

} // namespace merilon
