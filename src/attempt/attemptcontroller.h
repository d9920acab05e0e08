#pragma once

#include "questionorder.h"

#include <QObject>

namespace merilon {

class Desktop;
class TMainForm;
class TestDocument;

// The command logic of the main window: which commands are on in which
// state, and what each command does to the window.
class AttemptController : public QObject
{
    Q_OBJECT

public:
    AttemptController(TMainForm &form, TestDocument &test, Desktop &desktop,
                      QObject *parent = nullptr);

    // Open: the file dialog, then loading the chosen file.
    void FileOpen1Execute();
    void FileOpen1Accept(const QString &path);

    QuestionOrderGenerator &questionOrder() { return m_order; }

private:
    TMainForm &m_form;
    TestDocument &m_test;
    Desktop &m_desktop;
    // One stream of random question orders for the whole run.
    QuestionOrderGenerator m_order;
};

} // namespace merilon
