#include "start/frmsplash.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>

#include "app/edition.h"
#include "app/fatal.h"
#include "app/logo.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/data_source.h"
#include "look/text_zoom.h"
#include "ui_frmsplash.h"

frmSplash::frmSplash()
    : ui(std::make_unique<Ui::frmSplash>()), Data1(new examdb::DataSource(this)) {
    ui->setupUi(this);
    // No title, no control box, not in the task bar; the size follows the layout.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ui->imgLogo->setPixmap(app::logo(72));
    ui->imgLogo->setFixedSize(72, 72);
    ui->lblVersion->setText(app::edition().introVersionCaption);
    ui->Label5->setText(app::edition().introAgreementCaption);
    QFont title = ui->lblProductName->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    ui->lblProductName->setFont(title);
    ui->Frame1->setMinimumWidth(560);
    // Text boxes sized in lines of their text, larger with the text zoom up to twice the size so
    // the fixed window stays inside the screen; beyond that, and whenever the text is longer,
    // they scroll rather than cut it off.
    const int line = fontMetrics().lineSpacing();
    const auto rows = [line](QPlainTextEdit* box, int lines) {
        box->setMinimumWidth(420);
        look::followZoom(*box);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        const int zoomed = std::min(box->fontMetrics().lineSpacing(), 2 * line);
        box->setFixedHeight(zoomed * lines + 12);
    };
    rows(ui->Text1, 2);
    rows(ui->Text6, 2);
    rows(ui->Text5, 4);
    rows(ui->Text4, 7);
    // Each caption names the box beside it for a screen reader.
    const std::pair<QLabel*, QWidget*> captions[] = {
        {ui->Label2, ui->Text1}, {ui->Label6, ui->Text6}, {ui->Label5, ui->Text5},
        {ui->Label4, ui->Text4}, {ui->Label3, ui->Text3}, {ui->Label1, ui->Text2}};
    for (const auto& [caption, box] : captions) {
        caption->setBuddy(box);
    }

    app::useEditionFile(*Data1, QStringLiteral("Data1"), QStringLiteral("Test Information"));
    Data1->bind(ui->Text1, QStringLiteral("test_name"));
    Data1->bind(ui->Text6, QStringLiteral("number_of_questions"));
    Data1->bind(ui->Text5, QStringLiteral("test_disclaimer"));
    Data1->bind(ui->Text4, QStringLiteral("test_description"));
    Data1->bind(ui->Text3, QStringLiteral("copyright_date"));
    Data1->bind(ui->Text2, QStringLiteral("author_name"));
    Data1->bind(ui->lblProductName, QStringLiteral("test_name"));

    // Key preview: every key reaches the window first, whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    installEventFilter(this);
    app::onSignal(ui->Command1, &QPushButton::clicked, this, &frmSplash::Command1_Click);
}

frmSplash::~frmSplash() = default;

void frmSplash::Show() {
    if (!loaded) {
        Form_Load();
        loaded = true;
        Data1->refresh();
    }
    adjustSize();
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    ui->Command1->setFocus();
}

void frmSplash::Form_Load() {
    ui->lblVersion->setText(app::versionText());
    ui->lblProductName->setText(QStringLiteral("Praxilo"));
}

void frmSplash::Command1_Click() {
    flow::open(win::Notice);
    hide();
}

void frmSplash::Form_KeyPress(QChar) {
    Unload();
}

void frmSplash::Frame1_Click() {
    Unload();
}

void frmSplash::Unload() {
    hide();
    Data1->close();
    loaded = false;
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isVisible()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool command =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const bool focusKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!command && !focusKey && !key->text().isEmpty()) {
            // Space and Enter on the button press it, so the window can be used from the keyboard.
            const bool pressesButton = watched == ui->Command1 && (key->key() == Qt::Key_Space ||
                                                                   key->key() == Qt::Key_Return ||
                                                                   key->key() == Qt::Key_Enter);
            if (pressesButton) {
                if (key->key() != Qt::Key_Space) {
                    ui->Command1->click();
                    return true;
                }
                return false;
            }
            const QChar typed = key->text().front();
            app::guarded([&] { Form_KeyPress(typed); });
            return true;
        }
    }
    if (watched == ui->Frame1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        // Only the frame itself: a click on a label inside it reaches the frame too.
        if (mouse->button() == Qt::LeftButton && ui->Frame1->rect().contains(at) &&
            ui->Frame1->childAt(at) == nullptr) {
            app::guarded([this] { Frame1_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
