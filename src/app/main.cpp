// almanix: the organiser's window program.

#include <QApplication>

#include "app/almx_app.h"

int main(int argc, char** argv) {
    almx::UseJapanTime();  // before Qt reads the time zone
    QApplication application(argc, argv);
    return almx::CAlmxApp::RunProgram();
}
