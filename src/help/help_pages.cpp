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
    : HelpTextWindow({.windowName = QStringLiteral("Form31"),
                      .caption = QStringLiteral("Navigation"),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/navigation.txt"),
                      .locked = true,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("&Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}

Form32::Form32()
    : HelpTextWindow({.windowName = QStringLiteral("Form32"),
                      .caption = QStringLiteral("Certification.."),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/certification.txt"),
                      .locked = true,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("&Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}

Form33::Form33()
    : HelpTextWindow({.windowName = QStringLiteral("Form33"),
                      .caption = QStringLiteral("Read Me"),
                      .textBoxName = QStringLiteral("Text1"),
                      .textFile = QStringLiteral(":/help/texts/readme.txt"),
                      .locked = false,
                      .verticalScrollBar = true,
                      .returnCaption = QStringLiteral("Return"),
                      .links = {webHelp(QStringLiteral("HyperLink1"))}}) {}

Form34::Form34()
    : HelpTextWindow({.windowName = QStringLiteral("Form34"),
                      .caption = QStringLiteral("Ordering"),
                      .textBoxName = QStringLiteral("Text2"),
                      .textFile = QStringLiteral(":/help/texts/ordering.txt"),
                      .locked = false,
                      .verticalScrollBar = false,
                      .returnCaption = QStringLiteral("Return"),
                      .links = {{QStringLiteral("HyperLink2"), kOrderUrl, kOrderUrl},
                                webHelp(QStringLiteral("HyperLink3"))}}) {}
