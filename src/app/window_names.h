#pragma once

#include <QString>

// Every window of the program, by the name it is registered and reached under, with its role.
// Windows and tests use these constants, never the names as text, so a misspelt window is a
// compile error.
namespace win {

struct Window {
    const char* name;
    const char* role;

    QString id() const { return QString::fromLatin1(name); }
    operator QString() const { return id(); }  // NOLINT: a name is used wherever text was
};

inline constexpr Window MainMenu{"Form1", "the main menu"};
inline constexpr Window Intro{"frmSplash", "the intro shown before an exam"};
inline constexpr Window Notice{"Dialog", "the notice whose OK starts the exam"};
inline constexpr Window Exam{"Form211", "the timed exam"};
inline constexpr Window Answer{"Form5", "the answer to the exam's current question"};
inline constexpr Window Exhibit{"Form2C", "an exhibit picture, over the window that asked for it"};
inline constexpr Window ScoreSheet{"Form3", "the score sheet"};
inline constexpr Window WrongAnswers{"Form41", "the walk through the wrong answers"};
inline constexpr Window Study{"Form11", "the study window over an exam's answer key"};
inline constexpr Window HelpNavigation{"Form31", "help: navigation"};
inline constexpr Window HelpCertification{"Form32", "help: the certification"};
inline constexpr Window HelpReadMe{"Form33", "help: read me"};
inline constexpr Window HelpOrdering{"Form34", "help: ordering"};
inline constexpr Window HelpKeys{"Form35", "help: the keys and features beyond the basics"};
inline constexpr Window About{"frmAbout", "the About box"};
inline constexpr Window Progress{"frmProgress", "every recorded attempt, with its trends"};
inline constexpr Window CustomExam{"frmCustomExam", "the settings of a custom exam"};

inline constexpr Window kAll[] = {
    MainMenu,          Intro,      Notice,       Exam,     Answer,
    Exhibit,           ScoreSheet, WrongAnswers, Study,    HelpNavigation,
    HelpCertification, HelpReadMe, HelpOrdering, HelpKeys, About,
    Progress,          CustomExam};

}  // namespace win
