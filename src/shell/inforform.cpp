#include "inforform.h"

#include "dialogframe.h"
#include "fonts.h"
#include "ui_inforform.h"

#include <QLabel>

namespace merilon {

TInforform::TInforform(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TInforform>())
{
    ui->setupUi(this);
    m_controls = {ui->Editotest, ui->Buttonok, ui->Labeljournal};
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

void TInforform::setJournalText(const QString &text)
{
    QLabel &label = *ui->Labeljournal;
    label.setText(text);
    const int top = ui->Editotest->geometry().bottom() + 5;
    const int height = text.isEmpty() ? 0 : label.heightForWidth(label.width());
    label.setGeometry(label.x(), top, label.width(), height);
    label.setVisible(!text.isEmpty());
    const int buttonTop = top + (height > 0 ? height + 5 : 0);
    ui->Buttonok->move(ui->Buttonok->x(), buttonTop);
    setFixedHeight(buttonTop + ui->Buttonok->height() + 2);
}

} // namespace merilon
