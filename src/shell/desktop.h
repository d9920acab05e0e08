#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace merilon {

// What the program asks of the desktop and a test cannot do to a real one:
// message boxes and the file dialog. The program uses SystemDesktop; tests
// put a scripted one in its place.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // The file chosen in an open dialog, or empty when it was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &filter) = 0;
    // The file chosen in a save dialog that offers `suggested`, or empty when it was
    // cancelled; the dialog asks before a file is replaced.
    virtual QString saveFileName(QWidget *parent, const QString &suggested,
                                 const QString &filter) = 0;
    // An error: a message box with the text and one button.
    virtual void showError(QWidget *parent, const QString &text) = 0;
    // A warning: caption "Внимание", an exclamation mark, one button "ОК".
    virtual void showWarning(QWidget *parent, const QString &text) = 0;
    // A confirmation: caption "Подтвердите", a question mark, "&Да" (the
    // default) and "&Нет"; true only for Yes, Escape and the close box
    // answer No.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // A warning with buttons of its own: the index of the button pressed,
    // -1 when the box was closed otherwise.
    virtual int choose(QWidget *parent, const QString &text, const QStringList &buttons) = 0;
    // Shows a dialog modally and returns its result.
    virtual int exec(QDialog &dialog) = 0;
    // Asks the desktop to open a document in its program, without waiting.
    // False when the desktop says it cannot (no such file, or no program for
    // its kind); what comes of it after that is the desktop's.
    virtual bool openDocument(const QString &path) = 0;
    // Whether the path lies on another computer: a network drive or share.
    virtual bool onNetwork(const QString &path) = 0;
};

// Whether the system has a program that opens documents of this file's kind
// (true where it cannot be asked).
bool hasViewerFor(const QString &path);
// Whether the path lies on a network drive or share (the system's own view of its drive or
// file system).
bool isNetworkPath(const QString &path);

class SystemDesktop final : public Desktop
{
public:
    QString openFileName(QWidget *parent, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &suggested, const QString &filter) override;
    void showError(QWidget *parent, const QString &text) override;
    void showWarning(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;
    int choose(QWidget *parent, const QString &text, const QStringList &buttons) override;
    int exec(QDialog &dialog) override;
    bool openDocument(const QString &path) override;
    bool onNetwork(const QString &path) override { return isNetworkPath(path); }
};

} // namespace merilon
