// A bare window started as a new process, to tell what linking Qt WebEngine adds to a start:
// built twice, once with Qt Widgets alone and once linked with Qt WebEngine (whose start-up
// work runs as the library is loaded and the application object is made). It shows a main
// window with a table, writes "window" and "list" once it has painted, as the program's start
// probe does, and ends at once.
#include <QApplication>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

#ifdef BARE_START_WEBENGINE
#include <QWebEngineView>
#endif

namespace {
class Watch : public QObject {
public:
    QWidget* window = nullptr;
    bool done = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window) {
            done = true;
            QTimer::singleShot(0, [] {
                std::printf("window\nlist\n");
                std::fflush(stdout);
                _exit(0);
            });
        }
        return false;
    }
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef BARE_START_WEBENGINE
    // Keeps the library among those loaded, as the program has it: nothing of it is used
    // before the first page.
    if (argc > 99)
        delete new QWebEngineView;
#endif
    QMainWindow window;
    auto* table = new QTableView(&window);
    auto* model = new QStandardItemModel(0, 5, table);
    table->setModel(model);
    window.setCentralWidget(table);
    Watch watch;
    watch.window = &window;
    app.installEventFilter(&watch);
    window.showMaximized();
    return QApplication::exec();
}
