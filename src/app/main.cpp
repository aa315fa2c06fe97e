#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <clocale>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Qt takes the numeric locale from the environment; the files need "C".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("Dravia4");
    QApplication::setApplicationName("Dravia4");
    QMainWindow window;
    window.setWindowTitle("Dravia4");
    window.menuBar()->addMenu("&File")->addAction("E&xit", &window, &QWidget::close);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
