#include "help/help_text_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QShortcut>
#include <QTextDocument>
#include <stdexcept>

#include "app/fatal.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "look/text_zoom.h"
#include "ui_help_text_window.h"

namespace {

QString readText(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // The texts are built into the program; a missing one is a build fault.
        throw std::runtime_error("Help text missing: " + fileName.toStdString());
    }
    return QString::fromUtf8(file.readAll());
}

// With no browser to hand the address to, the link would do nothing at all; the address is
// shown so it can be typed into a browser elsewhere.
void openWebLink(const QString& url) {
    if (QDesktopServices::openUrl(QUrl(url))) {
        return;
    }
    prompts::MsgBox(QStringLiteral("No web browser could be opened for this link. To see the page, "
                                   "type its address into a web browser:\n\n%1")
                        .arg(url),
                    prompts::Buttons::OkOnly, prompts::Icon::Information);
}

}  // namespace

HelpTextWindow::HelpTextWindow(const help::HelpPage& page)
    : ui(std::make_unique<Ui::HelpTextWindow>()) {
    ui->setupUi(this);
    setObjectName(page.windowName);
    setWindowTitle(page.caption);
    setWindowFlags(Qt::Window);

    QPlainTextEdit* text = ui->Text1;
    text->setObjectName(page.textBoxName);
    text->setAccessibleName(page.caption);
    look::followZoom(*text);
    text->setPlainText(readText(page.textFile));
    text->document()->setDocumentMargin(12);
    text->setReadOnly(page.locked);
    if (page.locked) {
        // Locked, not dead: the reader still selects, copies and scrolls with the keys.
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    text->setVerticalScrollBarPolicy(page.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAlwaysOff);
    ui->Command1->setText(page.returnCaption);
    QWidget* previous = text;
    for (const help::HyperLink& link : page.links) {
        QWidget* label = addLink(link);
        setTabOrder(previous, label);
        previous = label;
    }
    setTabOrder(previous, ui->Command1);

    app::onSignal(ui->Command1, &QPushButton::clicked, this, &HelpTextWindow::Command1_Click);
    // Escape leaves a help window the way it leaves any reading window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, ui->Command1, &QPushButton::click);
}

HelpTextWindow::~HelpTextWindow() = default;

QWidget* HelpTextWindow::addLink(const help::HyperLink& link) {
    auto* label = new QLabel(this);
    label->setObjectName(link.name);
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(link.url.toHtmlEscaped(), link.text.toHtmlEscaped()));
    label->setToolTip(link.url);
    label->setOpenExternalLinks(false);
    connect(label, &QLabel::linkActivated, this,
            [](const QString& url) { app::guarded([&url] { openWebLink(url); }); });
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    ui->links->addWidget(label);
    return label;
}

void HelpTextWindow::Show() {
    if (!loaded) {
        loaded = true;
        app::showMaximizedOnScreen(*this);
        return;
    }
    show();
    raise();
    activateWindow();
}

void HelpTextWindow::Unload() {
    hide();
    loaded = false;
}

void HelpTextWindow::Command1_Click() {
    hide();
    // Opened by F1 over a window that is still up: back to that window.
    QWidget* opener = flow::existing(flow::openerOf(objectName()));
    if (opener && opener->isVisible()) {
        opener->raise();
        opener->activateWindow();
        return;
    }
    // Left open from before an exam, a help page must not bring the menu back over it.
    flow::showMainMenu();
}

void HelpTextWindow::closeEvent(QCloseEvent* event) {
    app::routeTitleBarClose(event, [this] { Command1_Click(); });
}
