#include "shell/richedit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    merilon::RichEdit edit;
    edit.setWindowTitle(QStringLiteral("Мерилон и обучение"));
    edit.resize(700, 535);
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        edit.content().Lines().LoadFromFile(args.at(1), nullptr);
    edit.show();
    return QApplication::exec();
}
