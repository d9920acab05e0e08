#pragma once

// The program's windows and parts wired as start-up wires them, with a
// scripted desktop.

#include "attempt/attemptcontroller.h"
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "scripteddesktop.h"
#include "shell/inforform.h"
#include "shell/mainform.h"
#include "shell/richedit.h"
#include "ui_inforform.h"
#include "ui_mainform.h"

struct Program
{
    ScriptedDesktop desktop;
    merilon::TMainForm MainForm;
    merilon::TInforform Inforform{&MainForm};
    merilon::TestDocument test{MainForm.widgets().Editortest->content(),
                               MainForm.widgets().Editorvopros->content(),
                               Inforform.widgets().Editotest->content()};
    merilon::AnswerRows rows{MainForm};
    merilon::QuestionDisplay display{MainForm, test, rows};
    merilon::AttemptController controller{MainForm, test, desktop};

    merilon::RichText &document() { return MainForm.widgets().Editortest->content(); }
    merilon::RichText &questionArea() { return MainForm.widgets().Editorvopros->content(); }
    void open(const QString &path)
    {
        desktop.nextFile = path;
        MainForm.widgets().FileOpen1->trigger();
    }
};
