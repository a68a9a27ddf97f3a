// almanix: the organiser's window program.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Almanix"));
    window.show();
    return application.exec();
}
