#include "shell/richedit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    merilon::RichEdit edit;
    edit.setWindowTitle(QStringLiteral("Мерилон и обучение"));
    edit.resize(700, 535);
    edit.show();
    return QApplication::exec();
}
