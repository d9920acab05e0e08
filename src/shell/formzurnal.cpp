#include "formzurnal.h"

#include "anchors.h"
#include "fonts.h"
#include "ui_formzurnal.h"

#include <QKeyEvent>

namespace merilon {

TFormzurnal::TFormzurnal(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFormzurnal>())
{
    ui->setupUi(this);
    m_controls = {ui->Editorzur,   ui->Button1, ui->Button2,  ui->Button3,
                  ui->Buttontable, ui->copydoc, ui->printdoc, ui->tabledoc};
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(windowFont());
    addAction(ui->copydoc);
    addAction(ui->printdoc);
    addAction(ui->tabledoc);
    // The buttons show the actions' captions and run them.
    connect(ui->Button1, &QPushButton::clicked, ui->copydoc, &QAction::trigger);
    connect(ui->Button2, &QPushButton::clicked, ui->printdoc, &QAction::trigger);
    connect(ui->Buttontable, &QPushButton::clicked, ui->tabledoc, &QAction::trigger);
    ui->Editorzur->content().Lines().Add(QString());
    // The text control would take Ctrl+C for its own selection.
    ui->Editorzur->installEventFilter(this);

    const QSize design = size();
    m_anchors = new Anchors(this);
    m_anchors->anchor(ui->Button1, Qt::LeftEdge | Qt::BottomEdge, design);
    m_anchors->anchor(ui->Button2, Qt::LeftEdge | Qt::BottomEdge, design);
    m_anchors->anchor(ui->Buttontable, Qt::LeftEdge | Qt::BottomEdge, design);
    m_anchors->anchor(ui->Button3, Qt::RightEdge | Qt::BottomEdge, design);
}

TFormzurnal::~TFormzurnal() = default;

bool TFormzurnal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->key() | int(key->modifiers()));
        if (pressed == ui->copydoc->shortcut() || pressed == ui->printdoc->shortcut() ||
            pressed == ui->tabledoc->shortcut()) {
            event->ignore(); // left to the window's commands
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace merilon
