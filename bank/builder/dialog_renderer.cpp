#include "dialog_renderer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "input_file.h"
#include "source_fields.h"

namespace bank {
namespace {

constexpr int kMaxWidth = 2000;

struct Line {
    int number = 0;
    QString key;
    QStringList parts;  // the value split at " | "
};

std::vector<Line> readLines(const QString& file) {
    std::vector<Line> lines;
    int number = 0;
    for (const QString& raw : readUtf8File(file).split(u'\n')) {
        ++number;
        const QString text = raw.trimmed();
        if (text.isEmpty() || text.startsWith(u'#')) {
            continue;
        }
        const qsizetype colon = text.indexOf(u':');
        if (colon <= 0) {
            throw SourceError(file, number, QStringLiteral("expected 'kind: value'"));
        }
        QStringList parts;
        for (const QString& part : text.mid(colon + 1).split(u'|')) {
            parts << part.trimmed();
        }
        lines.push_back({number, text.left(colon).trimmed(), parts});
    }
    return lines;
}

bool yesOrNo(const QString& file, const Line& line) {
    const QString v = line.parts.value(0).toLower();
    if (v != u"yes" && v != u"no") {
        throw SourceError(file, line.number,
                          QStringLiteral("'%1' takes yes or no, then the text").arg(line.key));
    }
    return v == u"yes";
}

void needParts(const QString& file, const Line& line, int count) {
    if (line.parts.size() != count || line.parts.contains(QString())) {
        throw SourceError(
            file, line.number,
            QStringLiteral("'%1' takes %2 value(s) separated by |").arg(line.key).arg(count));
    }
}

// The window's title bar as a window manager draws one, so the picture reads as a window.
QWidget* titleBar(const QString& title, QWidget* parent) {
    auto* bar = new QWidget(parent);
    bar->setAutoFillBackground(true);
    QPalette dark = bar->palette();
    dark.setColor(QPalette::Window, QColor(0x2f, 0x4f, 0x6f));
    dark.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(dark);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 6, 10, 6);
    auto* name = new QLabel(title, bar);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    layout->addWidget(name, 1);
    layout->addWidget(new QLabel(QStringLiteral("\u2715"), bar));
    return bar;
}

}  // namespace

QImage renderDialog(const QString& file) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        throw SourceError(file, 0, QStringLiteral("needs a widget application to be drawn"));
    }
    const std::vector<Line> lines = readLines(file);
    QString title;
    int width = 0;
    QStringList tabs;
    int shownTab = 0;
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    window.setFont(font);
    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    QFormLayout* form = nullptr;  // the group or the body's rows
    QDialogButtonBox* buttons = nullptr;
    const auto rows = [&]() -> QFormLayout* {
        if (!form) {
            form = new QFormLayout;
            bodyLayout->addLayout(form);
        }
        return form;
    };
    for (const Line& line : lines) {
        if (line.key == u"title") {
            title = line.parts.join(QStringLiteral(" | "));
        } else if (line.key == u"width") {
            bool ok = false;
            width = line.parts.value(0).toInt(&ok);
            if (!ok || width < 100 || width > kMaxWidth) {
                throw SourceError(
                    file, line.number,
                    QStringLiteral("'width' must be 100 to %1 pixels").arg(kMaxWidth));
            }
        } else if (line.key == u"tabs") {
            for (int i = 0; i < line.parts.size(); ++i) {
                QString tab = line.parts[i];
                if (tab.startsWith(u'*')) {
                    shownTab = i;
                    tab.remove(0, 1);
                }
                tabs << tab;
            }
        } else if (line.key == u"group") {
            needParts(file, line, 1);
            auto* group = new QGroupBox(line.parts[0], body);
            form = new QFormLayout(group);
            bodyLayout->addWidget(group);
        } else if (line.key == u"field") {
            needParts(file, line, 2);
            auto* edit = new QLineEdit(line.parts[1], body);
            edit->setReadOnly(true);
            edit->setCursorPosition(0);
            rows()->addRow(line.parts[0], edit);
        } else if (line.key == u"combo") {
            needParts(file, line, 2);
            auto* combo = new QComboBox(body);
            combo->addItem(line.parts[1]);
            rows()->addRow(line.parts[0], combo);
        } else if (line.key == u"spin") {
            needParts(file, line, 2);
            bool ok = false;
            const int value = line.parts[1].toInt(&ok);
            if (!ok) {
                throw SourceError(file, line.number, QStringLiteral("'spin' takes a whole number"));
            }
            auto* spin = new QSpinBox(body);
            spin->setRange(std::min(0, value), std::max(99999, value));
            spin->setValue(value);
            rows()->addRow(line.parts[0], spin);
        } else if (line.key == u"check" || line.key == u"radio") {
            needParts(file, line, 2);
            QAbstractButton* box = line.key == u"check"
                                       ? static_cast<QAbstractButton*>(new QCheckBox(body))
                                       : new QRadioButton(body);
            box->setText(line.parts[1]);
            box->setChecked(yesOrNo(file, line));
            // Radio buttons of one dialog are not exclusive across its groups' descriptions.
            box->setAutoExclusive(false);
            rows()->addRow(box);
        } else if (line.key == u"text") {
            auto* label = new QLabel(line.parts.join(QStringLiteral(" | ")), body);
            label->setWordWrap(true);
            rows()->addRow(label);
        } else if (line.key == u"buttons") {
            buttons = new QDialogButtonBox;
            for (const QString& name : line.parts) {
                buttons->addButton(new QPushButton(name), QDialogButtonBox::ActionRole);
            }
        } else {
            throw SourceError(file, line.number, QStringLiteral("unknown kind '%1'").arg(line.key));
        }
    }
    if (title.isEmpty()) {
        throw SourceError(file, 0, QStringLiteral("has no 'title'"));
    }
    bodyLayout->addStretch();

    auto* outer = new QVBoxLayout(&window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(titleBar(title, &window));
    auto* content = new QWidget(&window);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(12, 12, 12, 12);
    if (tabs.isEmpty()) {
        contentLayout->addWidget(body);
    } else {
        auto* tabWidget = new QTabWidget(content);
        for (int i = 0; i < tabs.size(); ++i) {
            tabWidget->addTab(i == shownTab ? body : new QWidget, tabs[i]);
        }
        tabWidget->setCurrentIndex(shownTab);
        contentLayout->addWidget(tabWidget);
    }
    if (buttons) {
        buttons->setParent(content);
        contentLayout->addWidget(buttons);
    }
    outer->addWidget(content);
    if (width > 0) {
        window.setFixedWidth(width);
    }
    window.adjustSize();
    return window.grab().toImage();
}

}  // namespace bank
