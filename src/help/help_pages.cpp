#include "app/window_names.h"
#include "help/help_text_window.h"

namespace {

// The publisher's addresses; the texts name the same ones.
const QString kWebHelpUrl = QStringLiteral("https://praxilo.example.com/help/");
const QString kOrderUrl = QStringLiteral("https://praxilo.example.com/order/");
const QString kWebHelpText = QStringLiteral("Click Here for Web help");

help::HyperLink webHelp(const QString& name) {
    return {name, kWebHelpText, kWebHelpUrl};
}

}  // namespace

Form31::Form31()
    : HelpTextWindow({.windowName = win::HelpNavigation,
                      .caption = QStringLiteral("Navigation"),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/navigation.txt"),
                      .locked = true,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("&Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}

Form32::Form32()
    : HelpTextWindow({.windowName = win::HelpCertification,
                      .caption = QStringLiteral("Certification.."),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/certification.txt"),
                      .locked = true,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("&Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}

Form33::Form33()
    : HelpTextWindow({.windowName = win::HelpReadMe,
                      .caption = QStringLiteral("Read Me"),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/readme.txt"),
                      .locked = false,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}

Form34::Form34()
    : HelpTextWindow({.windowName = win::HelpOrdering,
                      .caption = QStringLiteral("Ordering"),
                      .textBoxName = QStringLiteral("Text2"),
                      .textFile = QStringLiteral(":/help/texts/ordering.txt"),
                      .locked = false,
                      .verticalScrollBar = false,
                      .returnCaption = QStringLiteral("Return"),
                      .links = {{QStringLiteral("HyperLink2"), kOrderUrl, kOrderUrl},
                                webHelp(QStringLiteral("HyperLink3"))}}) {}

Form35::Form35()
    : HelpTextWindow({.windowName = win::HelpKeys,
                      .caption = QStringLiteral("Keys and Features"),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/keys.txt"),
                      .locked = true,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("&Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}
