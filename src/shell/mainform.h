#pragma once

#include "anchors.h"

#include <QMainWindow>
#include <memory>

namespace merilon {

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

// The main window: its controls, its commands and the status bar. What the
// commands do lives in the classes of the parts they belong to.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    Ui::TMainForm &widgets() { return *ui; }
    const Ui::TMainForm &widgets() const { return *ui; }
    StatusBar &status() const;

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
    Anchors *m_anchors = nullptr;
    HintRouter *m_hints = nullptr;
};

} // namespace merilon
