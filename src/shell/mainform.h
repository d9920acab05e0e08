#pragma once

#include "anchors.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;

namespace merilon {

class MenuBar;
class RichEdit;
namespace Ui {
class TMainForm;
}
class HintRouter;
class StatusBar;

// Indices of the status bar's panels.
enum StatusPanel {
    ModePanel = 0,
    ProgressPanel = 1,
    ElapsedPanel = 2,
    ClockPanel = 3,
    DatePanel = 4,
    HintPanel = 5,
};

// Which commands are on, by the state of the test and its attempt.
enum class CommandState {
    NoTest,         // only Open, Journal and the others that are always on
    TestReady,      // a test is open and no attempt runs: Start and Close too
    AttemptRunning, // Stop, Next and Close; not Open, Journal or Start
    AttemptTimedOut // Start and Close again, while Open and Journal stay off
};

// The main window: its controls, its commands and the status bar. What the
// commands do lives in the classes of the parts they belong to.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The controls the other parts drive, by the names the form gives them.
    struct Controls
    {
        RichEdit *Editorvopros;
        RichEdit *Editortest;
        RichEdit *Editorvarotv1;
        RichEdit *Editorvarotv2;
        QFrame *Panelvybotv;
        QGroupBox *GroupBox1;
        QFrame *Panelgroupodinotv;
        QFrame *Panelgroupedit;
        QRadioButton *Radiootv1;
        QRadioButton *Radiootv2;
        QPushButton *Buttondalshe;
        MenuBar *ActionMainMenuBar1;
        QMenu *MenuFile;
        QMenu *MenuTest;
        QMenu *MenuHelp;
        StatusBar *StatusBar1;
        QAction *Inform;
        QAction *FileOpen1;
        QAction *Zurnal;
        QAction *Zakruttest;
        QAction *FileExit1;
        QAction *Start;
        QAction *Stop;
        QAction *Helpfile;
        QAction *About;
    };
    const Controls &controls() const { return m_controls; }
    StatusBar &status() const;

    // Sets the enabled state of the commands and of Next for the given state.
    void setCommandState(CommandState state);

    // The commands in their order of declaration.
    QList<QAction *> ActionManager1() const;
    // The picture of an index of the command pictures.
    static QIcon ImageList1(int index);

    // Shows the application's hint in the hint panel.
    void ShowHint(const QString &hint);

signals:
    // The window was resized: the answer rows lay themselves out again.
    void FormResize();
    // The window is asked to close, by any means; a handler may refuse.
    void FormCloseQuery(bool &CanClose);
    // The window closes.
    void FormClose();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void applyMenuStyle();

    std::unique_ptr<Ui::TMainForm> ui;
    Controls m_controls{};
    Anchors *m_anchors = nullptr;
    HintRouter *m_hints = nullptr;
};

} // namespace merilon
