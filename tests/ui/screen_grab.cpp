// Saves a picture of the whole X screen: screen-grab OUTPUT.png [DELAY_MS].
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screen-grab OUTPUT.png [DELAY_MS]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    if (argc > 2) QThread::msleep(static_cast<unsigned long>(std::atol(argv[2])));
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "screen-grab: cannot grab the screen into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
