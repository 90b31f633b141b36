// tarvel: the certificate printer's window.

#include "ui/program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Declared after the application, so it goes first: a print document still open
    // (a test page) is ended while the application is still there.
    std::unique_ptr<tarvel::ui::FrmBrev> window = tarvel::ui::openMainWindow();
    if (!window)
        return 1;
    window->show();
    return app.exec();
}
