#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

namespace Ui {
class HelpTextWindow;
}

namespace help {

struct HyperLink {
    QString name;
    QString text;
    QString url;
};

// What tells one help window from another.
struct HelpPage {
    QString windowName;
    QString caption;
    QString textBoxName;
    QString textFile;
    bool locked = true;
    bool verticalScrollBar = true;
    QString returnCaption;
    std::vector<HyperLink> links;
};

}  // namespace help

// A sizable window showing one fixed text with its links; Return goes back to the menu (or to
// the window F1 opened it over) and leaves the window as it was, scroll position and typed text
// included.
class HelpTextWindow : public QWidget {
    Q_OBJECT

public:
    ~HelpTextWindow() override;

    // Opens maximized the first time; afterwards shows the window as it was left.
    void Show();
    void Unload();

    void Command1_Click();

protected:
    explicit HelpTextWindow(const help::HelpPage& page);
    // The title bar's close is the return button.
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* addLink(const help::HyperLink& link);

    const std::unique_ptr<Ui::HelpTextWindow> ui;
    bool loaded = false;
};

// The help windows, each a page of the one kind.
class Form31 final : public HelpTextWindow {
    Q_OBJECT
public:
    Form31();
};

class Form32 final : public HelpTextWindow {
    Q_OBJECT
public:
    Form32();
};

class Form33 final : public HelpTextWindow {
    Q_OBJECT
public:
    Form33();
};

class Form34 final : public HelpTextWindow {
    Q_OBJECT
public:
    Form34();
};

// Every key and feature added to the program, on one page.
class Form35 final : public HelpTextWindow {
    Q_OBJECT
public:
    Form35();
};
