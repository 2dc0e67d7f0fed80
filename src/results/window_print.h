#pragma once

#include <QString>

class QWidget;

namespace results {

struct PrintOutcome {
    enum class Kind {
        Printed,      // sent to the default printer; detail names the printer
        SavedAsPdf,   // no printer installed; detail is the PDF file's path
        PrintFailed,  // detail names the printer
        PdfFailed,    // detail is the file or folder that could not be written
    };
    Kind kind = Kind::PrintFailed;
    QString detail;
};

// Prints an image of the window as displayed on the default printer, without a dialog, scaled
// to fit the page. With no printer installed the image goes into a PDF file in the user's
// documents folder instead.
PrintOutcome printWindow(QWidget& window);

// Prints the window and tells the user by message box where the image went when it did not
// go to the printer, or why it failed.
void printWindowAndReport(QWidget& window);

}  // namespace results
