#include "desktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace merilon {

QString SystemDesktop::openFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

void SystemDesktop::showError(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

} // namespace merilon
