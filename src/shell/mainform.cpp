#include "mainform.h"

#include "fonts.h"
#include "hints.h"
#include "richtext/richedit.h"
#include "statusbar.h"
#include "ui_mainform.h"

#include <QCloseEvent>
#include <QScreen>
#include <QTextDocument>
#include <QtMath>

namespace merilon {

namespace {

// The central area's size at the design size of the window.
const QSize kCentralDesign(692, 457);
// The most answer rows a question shows (A to J).
constexpr int kMaxAnswerRows = 10;

} // namespace

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>())
{
    ui->setupUi(this);
    m_controls = {ui->Editorvopros,
                  ui->Editortest,
                  ui->Editorvarotv1,
                  ui->Editorvarotv2,
                  ui->Panelvybotv,
                  ui->GroupBox1,
                  ui->Panelgroupodinotv,
                  ui->Panelgroupedit,
                  ui->Radiootv1,
                  ui->Radiootv2,
                  ui->Buttondalshe,
                  ui->ActionMainMenuBar1,
                  ui->MenuFile,
                  ui->MenuTest,
                  ui->MenuHelp,
                  ui->StatusBar1,
                  ui->Inform,
                  ui->FileOpen1,
                  ui->Zurnal,
                  ui->Zakruttest,
                  ui->FileExit1,
                  ui->Start,
                  ui->Stop,
                  ui->Helpfile,
                  ui->About};
    setFont(windowFont());
    ui->ActionMainMenuBar1->setFont(windowFont());
    ui->Editorvopros->setFont(serifFont(11));
    ui->Editorvarotv1->setFont(serifFont(11));
    ui->Editorvarotv2->setFont(serifFont(11));
    // The documents follow the read-only state the layout gives the controls.
    for (RichEdit *edit : findChildren<RichEdit *>())
        edit->content().SetReadOnly(edit->isReadOnly());
    ui->Editortest->hide();
    ui->Editortest->setShowsContent(false);
    ui->Panelvybotv->hide();
    // Keyboard use: Tab goes to the radio buttons and Next, which takes Enter as Space; the
    // question area takes the focus only from a click.
    ui->Buttondalshe->setAutoDefault(true);
    ui->Editorvopros->setFocusPolicy(Qt::ClickFocus);
    ui->StatusBar1->setFixedHeight(20);
    // Five fixed panels take 460 pixels; the hint panel has the rest.
    ui->StatusBar1->setPanels({100, 150, 70, 70, 70, 225}, 467);
    // Where Tahoma is wider than the one the layout was drawn with (Wine's), the mode panel
    // takes what its longest text needs from the hint panel.
    ui->StatusBar1->fitPanelTo(ModePanel,
                               {QStringLiteral("Выберите тест"), QStringLiteral("Выберите режим"),
                                QStringLiteral("Запуск теста F5")});
    ui->StatusBar1->setPanelText(ModePanel, QStringLiteral("Выберите тест"));

    // The commands act from anywhere in the window, whatever has the focus.
    for (QAction *action : ActionManager1()) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setToolTip(QString());
        addAction(action);
    }
    for (QMenu *menu : {ui->MenuFile, ui->MenuTest, ui->MenuHelp})
        menu->setToolTipsVisible(false);
    applyMenuStyle();

    // What the edges of the controls follow when the window is resized.
    m_anchors = new Anchors(this);
    const Qt::Edges all = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    // Design sizes of the parents, taken before anchoring moves anything.
    const QSize answerDesign = ui->Panelvybotv->size();
    // At the smallest size each of ten answer rows keeps one line of its text: the rows'
    // panel follows the window's height one for one.
    QTextDocument oneLine;
    oneLine.setDocumentMargin(0); // as the rows have it
    oneLine.setDefaultFont(ui->Editorvarotv1->font());
    oneLine.setPlainText(QStringLiteral("Ag"));
    const int rowLine = qCeil(oneLine.size().height()) + 2 * ui->Editorvarotv1->frameWidth();
    const int centralLeast =
        kCentralDesign.height() - ui->Panelgroupedit->height() + kMaxAnswerRows * rowLine;
    setMinimumSize(200, centralLeast + ui->ActionMainMenuBar1->sizeHint().height() +
                            ui->StatusBar1->height());
    const QSize groupDesign = ui->GroupBox1->size();
    m_anchors->anchor(ui->Editorvopros, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge, kCentralDesign);
    m_anchors->anchor(ui->Panelvybotv, all, kCentralDesign);
    m_anchors->anchor(ui->GroupBox1, all, answerDesign);
    m_anchors->anchor(ui->Buttondalshe, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge,
                      answerDesign);
    // The radio column keeps its width, so every letter and button stays in sight; the rows'
    // texts take what the window gives or takes.
    m_anchors->anchor(ui->Panelgroupodinotv, Qt::LeftEdge | Qt::TopEdge | Qt::BottomEdge,
                      groupDesign);
    m_anchors->anchor(ui->Panelgroupedit, all, groupDesign);

    FormCreate();

    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

TMainForm::~TMainForm() = default;

StatusBar &TMainForm::status() const
{
    return *ui->StatusBar1;
}

void TMainForm::setCommandState(CommandState state)
{
    const bool running = state == CommandState::AttemptRunning;
    const bool free = state == CommandState::NoTest || state == CommandState::TestReady;
    ui->FileOpen1->setEnabled(free);
    ui->Zurnal->setEnabled(free);
    ui->Zakruttest->setEnabled(state != CommandState::NoTest);
    ui->Start->setEnabled(state == CommandState::TestReady ||
                          state == CommandState::AttemptTimedOut);
    ui->Stop->setEnabled(running);
    ui->Buttondalshe->setEnabled(running);
}

QList<QAction *> TMainForm::ActionManager1() const
{
    return {ui->Inform, ui->FileOpen1, ui->Zurnal,   ui->Zakruttest, ui->FileExit1,
            ui->Start,  ui->Stop,      ui->Helpfile, ui->About};
}

QIcon TMainForm::ImageList1(int index)
{
    return QIcon(QStringLiteral(":/images/%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

void TMainForm::FormCreate()
{
    // The document control has no text limit to raise: it holds any length.
    m_hints = new HintRouter(this);
    connect(m_hints, &HintRouter::hintChanged, this, &TMainForm::ShowHint);
}

void TMainForm::ShowHint(const QString &hint)
{
    ui->StatusBar1->setPanelText(HintPanel, hint.size() < 1 ? QString() : hint);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    emit FormResize();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    bool CanClose = true;
    emit FormCloseQuery(CanClose);
    if (!CanClose) {
        event->ignore();
        return;
    }
    emit FormClose();
    QMainWindow::closeEvent(event);
}

void TMainForm::applyMenuStyle()
{
    // Highlight and rarely used items in (247, 246, 238); a pressed menu
    // title in the button face.
    const QString sheet = QStringLiteral(
        "QMenuBar { spacing: 0px; padding-left: 8px; }"
        "QMenuBar::item { padding: 4px 8px; background: transparent; }"
        "QMenuBar::item:selected { background: rgb(247, 246, 238); border: 1px solid "
        "rgb(178, 180, 191); }"
        "QMenuBar::item:pressed { background: palette(button); border: 1px solid "
        "rgb(178, 180, 191); }"
        "QMenu { background: palette(base); border: 1px solid rgb(138, 134, 122); }"
        "QMenu::item { padding: 3px 24px 3px 28px; color: palette(text); }"
        "QMenu::item:selected { background: rgb(247, 246, 238); border: 1px solid "
        "rgb(178, 180, 191); }"
        "QMenu::item:disabled { color: palette(mid); }"
        "QMenu::icon { padding-left: 6px; }"
        "QMenu::separator { height: 1px; background: rgb(197, 194, 184); margin: 2px 4px "
        "2px 28px; }");
    ui->ActionMainMenuBar1->setStyleSheet(sheet);
}

} // namespace merilon
