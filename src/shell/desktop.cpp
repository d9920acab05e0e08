#include "desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace merilon {

QString SystemDesktop::openFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString SystemDesktop::saveFileName(QWidget *parent, const QString &suggested,
                                    const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), suggested, filter);
}

void SystemDesktop::showError(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Мерилон"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void SystemDesktop::showWarning(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Внимание"), text, QMessageBox::NoButton,
                    parent);
    QPushButton *ok = box.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool SystemDesktop::confirm(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Подтвердите"), text,
                    QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Да"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Нет"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

int SystemDesktop::choose(QWidget *parent, const QString &text, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Внимание"), text, QMessageBox::NoButton,
                    parent);
    QList<QPushButton *> pushed;
    for (const QString &caption : buttons)
        pushed << box.addButton(caption, QMessageBox::AcceptRole);
    if (!pushed.isEmpty())
        box.setDefaultButton(pushed.front());
    box.exec();
    return int(pushed.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
}

int SystemDesktop::exec(QDialog &dialog)
{
    return dialog.exec();
}

bool SystemDesktop::openDocument(const QString &path)
{
    if (!QFileInfo::exists(path) || !hasViewerFor(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace merilon
